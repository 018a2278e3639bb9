// The about box's pictures: an 8-pin DIP memory chip seen from above and in
// front, with its moulded body, tinned pins, notch, pin-1 dimple and
// markings, rendered at 179 x 159 pixels in full colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace zorbix::outils {

struct Puce {
  QString reference;  // first marking line, e.g. "24C16"
  QString lot;        // second line, smaller
  QColor fond;        // the colour the picture's background fades to
};

QImage DessinerPuce(const Puce& puce);

}  // namespace zorbix::outils
