// The application's icon in the sizes a desktop's icon theme looks for,
// rendered from its one SVG drawing.
#pragma once

#include <QString>

namespace zorbix::outils {

// Renders hicolor/scalable/apps/zorbix32.svg under `dossier` (normally
// resources/) into hicolor/NxN/apps/zorbix32.png for each size of the theme.
// Returns false, with a note on standard error, if the drawing cannot be
// read or a picture cannot be written.
bool DessinerIconeApplication(const QString& dossier);

}  // namespace zorbix::outils
