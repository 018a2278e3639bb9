// Reduces a full-colour picture to at most 256 colours by median cut: the
// colour space is split where the picture's own colours lie, so smooth
// shading keeps its steps small.
#pragma once

#include <QImage>

namespace zorbix::outils {

// A Format_Indexed8 copy of `image` with a palette of at most `couleurs`
// entries, each pixel mapped to its nearest palette colour.
QImage ReduireA256Couleurs(const QImage& image, int couleurs = 256);

}  // namespace zorbix::outils
