// Writes the uncompressed Windows bitmaps the information windows show:
// 1 bit per pixel with a black and white palette, and 8 bits per pixel with
// a full 256-entry palette. Written by hand rather than by QImage::save so
// that the depth and the palette size are exactly these.
#pragma once

#include <QImage>
#include <QString>

namespace zorbix::outils {

// `image`: any format; a pixel darker than mid-grey becomes black (index 0),
// any other white (index 1).
bool EcrireBmpNoirEtBlanc(const QImage& image, const QString& chemin);

// `image`: Format_Indexed8 with at most 256 colours; the palette is padded
// to 256 entries with black.
bool EcrireBmp256Couleurs(const QImage& image, const QString& chemin);

}  // namespace zorbix::outils
