#include "drawing_board.h"

#include <QFontMetrics>
#include <QPolygon>

namespace zorbix::outils {
namespace {

constexpr int LongueurCorpsResistance = 22;
constexpr int DemiLargeurResistance = 3;
constexpr int DemiHauteurDiode = 5;
constexpr int LongueurDiode = 9;

QFont Police(int pixels, bool gras) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(pixels);
  f.setBold(gras);
  // Full hinting keeps the stems on whole pixels: no grey to lose.
  f.setStyleStrategy(QFont::NoAntialias);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

}  // namespace

Planche::Planche(int largeur, int hauteur)
    : image_(largeur, hauteur, QImage::Format_RGB32), police_(Police(11, false)) {
  image_.fill(Qt::white);
  pinceau_.begin(&image_);
  pinceau_.setRenderHint(QPainter::Antialiasing, false);
  pinceau_.setRenderHint(QPainter::TextAntialiasing, false);
  pinceau_.setPen(QPen(Qt::black, 0));
  pinceau_.setBrush(Qt::NoBrush);
}

QFont Planche::PoliceTitre() const { return Police(12, true); }
QFont Planche::PolicePetite() const { return Police(10, false); }

void Planche::Fil(QPoint a, QPoint b) {
  pinceau_.drawLine(a, b);
  Enregistrer(QLine(a, b));
}

void Planche::Fils(std::initializer_list<QPoint> points) {
  for (auto p = points.begin(); p + 1 != points.end(); ++p) Fil(*p, *(p + 1));
}

void Planche::Jonction(QPoint p) {
  pinceau_.fillRect(QRect(p.x() - 1, p.y() - 2, 3, 5), Qt::black);
  pinceau_.fillRect(QRect(p.x() - 2, p.y() - 1, 5, 3), Qt::black);
}

void Planche::Saut(QPoint c) {
  // Clear the wire under the arc, then draw the arc (radius 4) above it.
  pinceau_.fillRect(QRect(c.x() - 3, c.y(), 7, 1), Qt::white);
  pinceau_.drawPoint(c.x(), c.y());  // the vertical wire stays whole
  pinceau_.drawArc(QRect(c.x() - 4, c.y() - 4, 8, 8), 0, 180 * 16);
}

void Planche::Rectangle(const QRect& r) {
  Fils({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft(), r.topLeft()});
}

void Planche::ResistanceVerticale(QPoint haut, QPoint bas) {
  const int milieu = (haut.y() + bas.y()) / 2;
  const int y0 = milieu - LongueurCorpsResistance / 2, y1 = y0 + LongueurCorpsResistance;
  Fil(haut, QPoint(haut.x(), y0));
  Fil(QPoint(haut.x(), y1), bas);
  Rectangle(
      QRect(QPoint(haut.x() - DemiLargeurResistance, y0), QPoint(haut.x() + DemiLargeurResistance, y1)));
}

void Planche::ResistanceHorizontale(QPoint gauche, QPoint droite) {
  const int milieu = (gauche.x() + droite.x()) / 2;
  const int x0 = milieu - LongueurCorpsResistance / 2, x1 = x0 + LongueurCorpsResistance;
  Fil(gauche, QPoint(x0, gauche.y()));
  Fil(QPoint(x1, gauche.y()), droite);
  Rectangle(
      QRect(QPoint(x0, gauche.y() - DemiLargeurResistance), QPoint(x1, gauche.y() + DemiLargeurResistance)));
}

void Planche::DiodeHorizontale(QPoint gauche, QPoint droite, bool versLaDroite) {
  const int y = gauche.y();
  const int milieu = (gauche.x() + droite.x()) / 2;
  const int x0 = milieu - LongueurDiode / 2, x1 = x0 + LongueurDiode;
  Fil(gauche, QPoint(x0, y));
  Fil(QPoint(x1, y), droite);
  const int base = versLaDroite ? x0 : x1, pointe = versLaDroite ? x1 : x0;
  QPolygon triangle(
      {QPoint(base, y - DemiHauteurDiode), QPoint(base, y + DemiHauteurDiode), QPoint(pointe, y)});
  pinceau_.setBrush(Qt::black);
  pinceau_.drawPolygon(triangle);
  pinceau_.setBrush(Qt::NoBrush);
  Fil(QPoint(pointe, y - DemiHauteurDiode), QPoint(pointe, y + DemiHauteurDiode));
  Enregistrer(QLine(QPoint(base, y - DemiHauteurDiode), QPoint(base, y + DemiHauteurDiode)));
}

void Planche::CondensateurVertical(QPoint haut, QPoint bas) {
  const int milieu = (haut.y() + bas.y()) / 2;
  Fil(haut, QPoint(haut.x(), milieu - 2));
  Fil(QPoint(haut.x(), milieu + 2), bas);
  for (int y : {milieu - 2, milieu + 2}) {
    pinceau_.fillRect(QRect(haut.x() - 7, y - (y < milieu ? 1 : 0), 15, 2), Qt::black);
    Enregistrer(QLine(haut.x() - 7, y, haut.x() + 7, y));
  }
}

void Planche::Masse(QPoint p) {
  Fil(p, p + QPoint(0, 4));
  const int demi[] = {7, 4, 1};
  for (int i = 0; i < 3; ++i) {
    const int y = p.y() + 4 + 3 * i;
    Fil(QPoint(p.x() - demi[i], y), QPoint(p.x() + demi[i], y));
  }
}

void Planche::Alimentation(QPoint p) {
  Fil(p, p - QPoint(0, 4));
  Fil(QPoint(p.x() - 6, p.y() - 4), QPoint(p.x() + 6, p.y() - 4));
  Texte(QPoint(p.x() + 1, p.y() - 7), QStringLiteral("+Vcc"), Ancre::Centre);
}

Planche::Sorties Planche::TransistorNpn(QPoint base) {
  // The base bar sits 14 px right of the lead; collector and emitter leave
  // it at 45 degrees and end on the circle, 11 px further right.
  const int xBarre = base.x() + 14, y = base.y();
  const QPoint collecteur(xBarre + 11, y - 11), emetteur(xBarre + 11, y + 11);
  Fil(base, QPoint(xBarre, y));
  pinceau_.fillRect(QRect(xBarre, y - 7, 2, 15), Qt::black);
  pinceau_.drawLine(QPoint(xBarre + 2, y - 3), collecteur);
  pinceau_.drawLine(QPoint(xBarre + 2, y + 3), emetteur);
  // Emitter arrow, pointing out of the transistor.
  const QPoint pointe = emetteur - QPoint(1, 1);
  pinceau_.setBrush(Qt::black);
  pinceau_.drawPolygon(QPolygon({pointe, pointe + QPoint(-6, -1), pointe + QPoint(-1, -6)}));
  pinceau_.setBrush(Qt::NoBrush);
  const QPoint centre(xBarre + 5, y);
  const int rayon = 12;
  pinceau_.drawEllipse(centre, rayon, rayon);
  Occuper(QRect(centre.x() - rayon, y - rayon, 2 * rayon + 1, 2 * rayon + 1));
  return {collecteur, emetteur};
}

QRect Planche::Texte(QPoint p, const QString& texte, Ancre ancre, const QFont* police) {
  const QFont& f = police ? *police : police_;
  const QFontMetrics m(f);
  const int largeur = m.horizontalAdvance(texte);
  const int x = ancre == Ancre::Gauche   ? p.x()
                : ancre == Ancre::Droite ? p.x() - largeur
                                         : p.x() - largeur / 2;
  pinceau_.setFont(f);
  pinceau_.drawText(QPoint(x, p.y()), texte);
  const QRect encre = m.tightBoundingRect(texte).translated(x, p.y());
  textes_.emplace_back(encre, texte);
  return encre;
}

QImage Planche::Terminer() {
  pinceau_.end();
  return image_;
}

QStringList Planche::Chevauchements() const {
  QStringList liste;
  for (std::size_t i = 0; i < textes_.size(); ++i) {
    const QRect zone = textes_[i].first.adjusted(-1, -1, 1, 1);
    if (!QRect(0, 0, image_.width(), image_.height()).contains(textes_[i].first))
      liste << QStringLiteral("hors de l'image : %1").arg(textes_[i].second);
    for (std::size_t j = i + 1; j < textes_.size(); ++j)
      if (zone.intersects(textes_[j].first))
        liste << QStringLiteral("« %1 » touche « %2 »").arg(textes_[i].second, textes_[j].second);
    for (const QRect& t : traits_)
      if (zone.intersects(t))
        liste << QStringLiteral("« %1 » touche un trait (%2,%3 %4x%5)")
                     .arg(textes_[i].second)
                     .arg(t.x())
                     .arg(t.y())
                     .arg(t.width())
                     .arg(t.height());
  }
  return liste;
}

}  // namespace zorbix::outils
