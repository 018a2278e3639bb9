// A board for crisp 1-pixel line drawings: wires, junction dots, the usual
// symbols of a schematic and texts, drawn without antialiasing so that the
// picture survives a reduction to black and white. It remembers where every
// text and wire went, and reports texts that touch another text or a wire.
#pragma once

#include <QFont>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

namespace zorbix::outils {

class Planche {
 public:
  Planche(int largeur, int hauteur);

  // Wires: horizontal or vertical segments through the given points.
  void Fil(QPoint a, QPoint b);
  void Fils(std::initializer_list<QPoint> points);
  void Jonction(QPoint p);
  // A wire crossing a vertical one without connection: a half circle over it.
  void Saut(QPoint croisement);

  // Components. Positions are the ends of their leads.
  void ResistanceVerticale(QPoint haut, QPoint bas);
  void ResistanceHorizontale(QPoint gauche, QPoint droite);
  // A diode on a horizontal wire; `versLaDroite`: the cathode bar on the right.
  void DiodeHorizontale(QPoint gauche, QPoint droite, bool versLaDroite);
  void CondensateurVertical(QPoint haut, QPoint bas);
  void Masse(QPoint p);         // ground symbol hanging below p
  void Alimentation(QPoint p);  // +Vcc bar above p, named
  // NPN transistor whose base lead starts at `base`; returns the ends of its
  // collector (above) and emitter (below) leads, for the wires to go on.
  struct Sorties {
    QPoint collecteur, emetteur;
  };
  Sorties TransistorNpn(QPoint base);

  // Text with its anchor: the left, right or centre of its baseline.
  enum class Ancre { Gauche, Droite, Centre };
  QRect Texte(QPoint p, const QString& texte, Ancre ancre = Ancre::Gauche, const QFont* police = nullptr);

  QPainter& Pinceau() { return pinceau_; }
  void Rectangle(const QRect& r);  // outline only, recorded as four wires
  // Marks an area that texts must keep clear of (a symbol's body).
  void Occuper(const QRect& r) { traits_.push_back(r); }
  QFont PoliceTitre() const;
  QFont PolicePetite() const;

  // The finished picture, and what overlaps (empty when the drawing is clean).
  QImage Terminer();
  QStringList Chevauchements() const;

 private:
  void Enregistrer(QLine l) { traits_.push_back(QRect(l.p1(), l.p2()).normalized()); }

  QImage image_;
  QPainter pinceau_;
  QFont police_;
  std::vector<QRect> traits_;  // wires and symbol bodies
  std::vector<std::pair<QRect, QString>> textes_;
};

}  // namespace zorbix::outils
