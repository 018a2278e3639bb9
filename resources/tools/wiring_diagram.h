// The adapter's wiring diagram, 541 x 339 pixels in black and white: the
// parallel port's male DB-25 seen from its solder side on the left, the
// EEPROM and its few parts on the right. The bottom right corner stays
// blank: the diagram window puts its two buttons there.
#pragma once

#include <QImage>
#include <QRect>
#include <QStringList>

namespace zorbix::outils {

// Where the diagram window's buttons sit over the picture.
inline const QRect ZoneBoutonsSchema(248, 300, 293, 39);

// The drawing, and in `defauts` every text that touches another text or a
// wire, and any ink in the buttons' corner.
QImage DessinerSchema(QStringList& defauts);

}  // namespace zorbix::outils
