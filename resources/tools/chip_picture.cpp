#include "chip_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace zorbix::outils {
namespace {

constexpr int Largeur = 179, Hauteur = 159;

// The body in perspective: the top face narrows towards the back.
constexpr double XAvantG = 27, XAvantD = 152, XArriereG = 36, XArriereD = 143;
constexpr double YArriere = 48, YAvant = 90, YBasFace = 105;
constexpr double PasBroches = 31;
constexpr double CentreX = (XAvantG + XAvantD) / 2;

QColor Gris(int v) { return QColor(v, v, v); }

void Fond(QPainter& p, const QColor& fond) {
  QRadialGradient g(QPointF(CentreX, 70), 120);
  g.setColorAt(0, Gris(252));
  g.setColorAt(1, fond);
  p.fillRect(QRect(0, 0, Largeur, Hauteur), g);
  // The soft shadow the chip casts on the table.
  QRadialGradient ombre(QPointF(CentreX + 6, 122), 86);
  ombre.setColorAt(0, QColor(0, 0, 0, 110));
  ombre.setColorAt(0.55, QColor(0, 0, 0, 45));
  ombre.setColorAt(1, QColor(0, 0, 0, 0));
  p.save();
  p.translate(CentreX + 6, 122);
  p.scale(1, 0.26);
  p.translate(-(CentreX + 6), -122);
  p.fillRect(QRectF(0, 0, Largeur, Hauteur * 4), ombre);
  p.restore();
}

// A tinned pin lit from the left: bright in the middle, darker at the edges.
QLinearGradient Etain(double x0, double x1) {
  QLinearGradient g(x0, 0, x1, 0);
  g.setColorAt(0, QColor(118, 124, 130));
  g.setColorAt(0.35, QColor(236, 240, 243));
  g.setColorAt(0.6, QColor(196, 202, 207));
  g.setColorAt(1, QColor(104, 110, 116));
  return g;
}

void BrochesArriere(QPainter& p) {
  const double echelle = (XArriereD - XArriereG) / (XAvantD - XAvantG);
  for (int i = 0; i < 4; ++i) {
    const double x = CentreX + (i - 1.5) * PasBroches * echelle;
    p.fillRect(QRectF(x - 4.5, YArriere - 6, 9, 7), Etain(x - 4.5, x + 4.5));
  }
}

void BrochesAvant(QPainter& p) {
  for (int i = 0; i < 4; ++i) {
    const double x = CentreX + (i - 1.5) * PasBroches;
    // Shoulder leaving the body, then the narrow leg down to the board.
    QPainterPath broche;
    broche.moveTo(x - 5.5, YBasFace - 6);
    broche.lineTo(x + 5.5, YBasFace - 6);
    broche.lineTo(x + 5.5, 120);
    broche.lineTo(x + 2.2, 124);
    broche.lineTo(x + 2.2, 143);
    broche.lineTo(x - 2.2, 143);
    broche.lineTo(x - 2.2, 124);
    broche.lineTo(x - 5.5, 120);
    broche.closeSubpath();
    p.fillPath(broche, Etain(x - 5.5, x + 5.5));
    p.setPen(QPen(QColor(80, 84, 88), 0.8));
    p.drawPath(broche);
    // The bend where the pin leaves the body, in shade.
    p.fillRect(QRectF(x - 5.5, YBasFace - 6, 11, 2.5), QColor(70, 74, 78, 170));
  }
}

void Corps(QPainter& p) {
  const QPolygonF dessus({QPointF(XArriereG, YArriere), QPointF(XArriereD, YArriere),
                          QPointF(XAvantD, YAvant), QPointF(XAvantG, YAvant)});
  QLinearGradient g(0, YArriere, 0, YAvant);
  g.setColorAt(0, QColor(66, 68, 72));
  g.setColorAt(1, QColor(30, 31, 34));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPolygon(dessus);
  // A faint sheen across the moulding.
  QLinearGradient reflet(XArriereG, YArriere, XAvantD, YAvant);
  reflet.setColorAt(0, QColor(255, 255, 255, 0));
  reflet.setColorAt(0.45, QColor(255, 255, 255, 22));
  reflet.setColorAt(0.7, QColor(255, 255, 255, 0));
  p.setBrush(reflet);
  p.drawPolygon(dessus);

  QLinearGradient face(0, YAvant, 0, YBasFace);
  face.setColorAt(0, QColor(24, 25, 27));
  face.setColorAt(1, QColor(10, 10, 11));
  p.setBrush(face);
  p.drawRect(QRectF(XAvantG, YAvant, XAvantD - XAvantG, YBasFace - YAvant));
  p.setPen(QPen(QColor(104, 107, 111), 1));
  p.drawLine(QPointF(XAvantG + 0.5, YAvant), QPointF(XAvantD - 0.5, YAvant));
  p.setPen(QPen(QColor(84, 86, 90), 1));
  p.drawLine(QPointF(XArriereG, YArriere + 0.5), QPointF(XArriereD, YArriere + 0.5));
  p.setBrush(Qt::NoBrush);
}

// The notch at pin 1's end and the dimple over pin 1.
void Reperes(QPainter& p) {
  const double yMilieu = (YArriere + YAvant) / 2;
  const double xBord = (XArriereG + XAvantG) / 2;
  QRadialGradient creux(QPointF(xBord + 2, yMilieu - 2), 10);
  creux.setColorAt(0, QColor(8, 8, 9));
  creux.setColorAt(1, QColor(44, 46, 49));
  p.setPen(Qt::NoPen);
  p.setBrush(creux);
  p.drawPie(QRectF(xBord - 9, yMilieu - 7, 18, 14), -90 * 16, 180 * 16);
  p.setPen(QPen(QColor(96, 99, 103), 0.8));
  p.drawArc(QRectF(xBord - 9, yMilieu - 7, 18, 14), -90 * 16, 90 * 16);

  QRadialGradient fossette(QPointF(43, 80.5), 5);
  fossette.setColorAt(0, QColor(14, 14, 15));
  fossette.setColorAt(0.8, QColor(34, 35, 38));
  fossette.setColorAt(1, QColor(70, 72, 76));
  p.setPen(Qt::NoPen);
  p.setBrush(fossette);
  p.drawEllipse(QPointF(43, 81), 4.5, 3.2);
  p.setBrush(Qt::NoBrush);
}

// Markings printed on the moulding, flattened like the face they lie on.
void Marquage(QPainter& p, const Puce& puce) {
  p.save();
  const double yFace = (YArriere + YAvant) / 2 + 1;
  // Right of centre, clear of the notch.
  p.translate(CentreX + 5, yFace);
  p.scale(1, 0.72);
  QFont reference(QStringLiteral("Liberation Sans"));
  reference.setBold(true);
  const bool longue = puce.reference.size() > 6;
  reference.setPixelSize(longue ? 15 : 22);
  reference.setLetterSpacing(QFont::AbsoluteSpacing, longue ? 0.2 : 0.6);
  p.setFont(reference);
  p.setPen(QColor(214, 217, 220));
  p.drawText(QRectF(-70, -26, 140, 28), Qt::AlignHCenter | Qt::AlignBottom, puce.reference);
  QFont lot(QStringLiteral("Liberation Sans"));
  lot.setPixelSize(12);
  p.setFont(lot);
  p.setPen(QColor(176, 180, 184));
  p.drawText(QRectF(-70, 4, 140, 16), Qt::AlignHCenter | Qt::AlignTop, puce.lot);
  p.restore();
}

}  // namespace

QImage DessinerPuce(const Puce& puce) {
  QImage image(Largeur, Hauteur, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  Fond(p, puce.fond);
  BrochesArriere(p);
  Corps(p);
  BrochesAvant(p);
  Reperes(p);
  Marquage(p, puce);
  p.setPen(QPen(puce.fond.darker(170), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, Largeur - 1, Hauteur - 1));
  p.end();
  return image;
}

}  // namespace zorbix::outils
