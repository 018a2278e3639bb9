#include "wiring_diagram.h"

#include <array>

#include "drawing_board.h"

namespace zorbix::outils {
namespace {

using Ancre = Planche::Ancre;

// The DB-25 turned a quarter turn clockwise from its solder-side view: the
// row of 13 pins (1 at the bottom) faces the adapter on the right, the row
// of 12 (14 at the bottom) faces left.
constexpr int PasBroches = 18;
constexpr int XRangee13 = 118, YBroche13 = 62;
constexpr int XRangee12 = 100, YBroche25 = 71;
constexpr int RayonBroche = 3;

int YBroche(int numero) {
  return numero <= 13 ? YBroche13 + (13 - numero) * PasBroches : YBroche25 + (25 - numero) * PasBroches;
}
QPoint Broche(int numero) { return {numero <= 13 ? XRangee13 : XRangee12, YBroche(numero)}; }

// Wires leave the pins from the edge of their circle.
QPoint SortieDroite(int numero) { return Broche(numero) + QPoint(RayonBroche, 0); }
QPoint SortieGauche(int numero) { return Broche(numero) - QPoint(RayonBroche, 0); }

// The horizontal lines that run from the port to the EEPROM.
const int YSda = YBroche(10), YWp = YBroche(4), YD1 = YBroche(3), YScl = YBroche(2);

// Where D1 goes up to the transistor, over the line to WP.
constexpr int XSautD1 = 262;

// The EEPROM's box and the ends of its pin leads.
constexpr int XBoiteGauche = 440, XBoiteDroite = 514, YBoiteHaut = 96, YBoiteBas = 272;
constexpr int XPattesGauche = XBoiteGauche - 10, XPattesDroite = XBoiteDroite + 10;

void Entetes(Planche& p) {
  const QFont titre = p.PoliceTitre();
  p.Texte({4, 13}, QStringLiteral("Port parallèle du PC :"), Ancre::Gauche, &titre);
  p.Texte({4, 28}, QStringLiteral("DB-25 mâle vu côté soudures"));
  p.Texte({262, 13}, QStringLiteral("Connexion de l'EEPROM au port parallèle :"), Ancre::Gauche, &titre);
  p.Texte({262, 28}, QStringLiteral("Mémoires : PCF8582, 24C00, 24C01, 24C02,"));
  p.Texte({262, 41}, QStringLiteral("24C04, 24C08, 24C16, 24C32, 24C64, 24C128,"));
  p.Texte({262, 54}, QStringLiteral("24C256 et 24C512."));
}

void Connecteur(Planche& p) {
  QPainter& pinceau = p.Pinceau();
  // The D-shaped shell, wider on the side of the 13 pins, drawn twice.
  for (int retrait : {0, 3}) {
    const int g = XRangee12 - 14 + retrait, d = XRangee13 + 12 - retrait;
    const int hautD = YBroche(13) - 14 + retrait, basD = YBroche(1) + 14 - retrait;
    const int hautG = YBroche(25) - 13 + retrait, basG = YBroche(14) + 13 - retrait;
    pinceau.drawPolygon(QPolygon({QPoint(g, hautG), QPoint(d, hautD), QPoint(d, basD), QPoint(g, basG)}));
  }
  p.Occuper(QRect(XRangee12 - 14, YBroche(13) - 14, 40, YBroche(1) - YBroche(13) + 29));
  for (int n = 1; n <= 25; ++n) pinceau.drawEllipse(Broche(n), RayonBroche, RayonBroche);
}

// Every pin named on its row, next to the shell; a used pin's wire leaves
// the pin, crosses the shell and goes on from the end of its name.
bool Utilisee(int n) { return (n >= 2 && n <= 10 && n != 5) || n >= 18; }

QString NomBroche(int n) {
  static const char* const noms13[] = {"Strobe", "D0", "D1",  "D2",   "D3",        "D4",    "D5",
                                       "D6",     "D7", "Ack", "Busy", "Paper End", "Select"};
  static const char* const noms12[] = {"AutoFeed", "Error", "Init", "Select IN"};
  if (n <= 13) return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(noms13[n - 1]));
  return QStringLiteral("%1 %2").arg(QString::fromLatin1(n <= 17 ? noms12[n - 14] : "Gnd")).arg(n);
}

constexpr int BordDroitCoque = XRangee13 + 12, BordGaucheCoque = XRangee12 - 14;

// The ends of the pins' names, where their wires go on.
std::array<int, 26> finsNoms{};

void NomsBroches(Planche& p) {
  for (int n = 1; n <= 25; ++n) {
    const int y = YBroche(n);
    if (n <= 13) {
      const QRect r = p.Texte({BordDroitCoque + 4, y + 4}, NomBroche(n));
      finsNoms[n] = r.right() + 3;
      if (Utilisee(n)) p.Fil(SortieDroite(n), {BordDroitCoque, y});
    } else {
      const QRect r = p.Texte({BordGaucheCoque - 4, y + 4}, NomBroche(n), Ancre::Droite);
      finsNoms[n] = r.left() - 3;
      if (Utilisee(n)) p.Fil(SortieGauche(n), {BordGaucheCoque, y});
    }
  }
}

// A wire from the end of pin n's name.
QPoint Depart(int n) { return {finsNoms[n], YBroche(n)}; }

// Pins 18 to 25 joined to ground.
void Masses(Planche& p) {
  constexpr int xBus = 12;
  for (int n = 18; n <= 25; ++n) {
    p.Fil(Depart(n), {xBus, YBroche(n)});
    if (n != 25 && n != 18) p.Jonction({xBus, YBroche(n)});
  }
  p.Fil({xBus, YBroche(25)}, {xBus, YBroche(18)});
  p.Masse({xBus, YBroche(18)});
}

// D4 to D7 each through a BAT85 to the chip's supply.
void Alimentation(Planche& p) {
  constexpr int xDiodes = 172, xBus = 212;
  for (int n = 6; n <= 9; ++n) {
    p.Fil(Depart(n), {xDiodes, YBroche(n)});
    p.DiodeHorizontale({xDiodes, YBroche(n)}, {xBus, YBroche(n)}, true);
  }
  p.Fil({xBus, YBroche(9)}, {xBus, YBroche(6)});
  const int yMilieu = (YBroche(9) + YBroche(6)) / 2;
  for (int y : {YBroche(8), YBroche(7), yMilieu}) p.Jonction({xBus, y});
  // The supply leaves sideways: the line to Ack runs just above.
  p.Fil({xBus, yMilieu}, {xBus + 10, yMilieu});
  p.Fil({xBus + 10, yMilieu - 6}, {xBus + 10, yMilieu + 6});
  p.Texte({xBus + 14, yMilieu + 4}, QStringLiteral("+Vcc"));
  p.Texte({(xDiodes + xBus) / 2, YBroche(6) + 16}, QStringLiteral("4 x BAT85"), Ancre::Centre);
}

// SDA: read back on Ack, pulled up by 4.7 kOhm, pulled low by the BC107.
void LigneSda(Planche& p) {
  p.Fil(Depart(10), {XPattesGauche, YSda});
  constexpr int xTirage = 404;
  p.Alimentation({xTirage, 76});
  p.ResistanceVerticale({xTirage, 76}, {xTirage, YSda});
  p.Jonction({xTirage, YSda});
  p.Texte({xTirage - 7, 100}, QStringLiteral("4,7 kΩ"), Ancre::Droite);
}

// D1 drives the transistor's base through 4.7 kOhm, with 22 kOhm to ground.
void Transistor(Planche& p) {
  constexpr int xMontee = XSautD1, yBase = 150, xNoeud = 300;
  p.Fils({Depart(3), {xMontee, YD1}, {xMontee, yBase}});
  p.ResistanceHorizontale({xMontee, yBase}, {xNoeud, yBase});
  p.Texte({(xMontee + xNoeud) / 2, yBase - 7}, QStringLiteral("4,7 kΩ"), Ancre::Centre);

  const Planche::Sorties t = p.TransistorNpn({xNoeud, yBase});
  p.Fil(t.collecteur, {t.collecteur.x(), YSda});
  p.Jonction({t.collecteur.x(), YSda});
  p.Fil(t.emetteur, {t.emetteur.x(), yBase + 18});
  p.Masse({t.emetteur.x(), yBase + 18});
  p.Texte({t.collecteur.x() + 12, yBase - 2}, QStringLiteral("BC107"));
  p.Texte({t.collecteur.x() + 12, yBase + 11}, QStringLiteral("(NPN)"));

  p.Jonction({xNoeud, yBase});
  p.ResistanceVerticale({xNoeud, yBase}, {xNoeud, 200});
  p.Masse({xNoeud, 200});
  p.Texte({xNoeud + 7, 194}, QStringLiteral("22 kΩ"));
}

// WP: 56 kOhm to the supply, 2.2 nF to ground, pulled low from D2 through
// a BAT85 whose anode is on WP.
void LigneWp(Planche& p) {
  constexpr int xDiodeG = 300, xDiodeD = 346, xTirage = 384, xCondo = 414;
  p.Fil(Depart(4), {xDiodeG, YWp});
  p.Saut({XSautD1, YWp});
  p.DiodeHorizontale({xDiodeG, YWp}, {xDiodeD, YWp}, false);
  p.Texte({(xDiodeG + xDiodeD) / 2, YWp + 15}, QStringLiteral("BAT85"), Ancre::Centre);
  p.Fil({xDiodeD, YWp}, {XPattesGauche, YWp});

  p.Alimentation({xTirage, 190});
  p.ResistanceVerticale({xTirage, 190}, {xTirage, YWp});
  p.Jonction({xTirage, YWp});
  p.Texte({xTirage - 6, 212}, QStringLiteral("56 kΩ"), Ancre::Droite);

  p.CondensateurVertical({xCondo, YWp}, {xCondo, YWp + 20});
  p.Masse({xCondo, YWp + 20});
  p.Jonction({xCondo, YWp});
  p.Texte({xCondo - 10, YWp + 16}, QStringLiteral("2,2 nF"), Ancre::Droite);
}

void LigneScl(Planche& p) { p.Fil(Depart(2), {XPattesGauche, YScl}); }

// The EEPROM as a box with its pin numbers: SDA, WP and SCL face the port,
// the supply on top, A0 A1 A2 and GND to ground on the right.
void Eeprom(Planche& p) {
  p.Rectangle(QRect(QPoint(XBoiteGauche, YBoiteHaut), QPoint(XBoiteDroite, YBoiteBas)));
  const QFont petite = p.PolicePetite();
  struct Patte {
    int numero;
    const char* nom;
    int y;
  };
  for (const Patte& g : {Patte{5, "SDA", YSda}, Patte{7, "WP", YWp}, Patte{6, "SCL", YScl}}) {
    p.Fil({XPattesGauche, g.y}, {XBoiteGauche, g.y});
    p.Texte({XPattesGauche + 1, g.y - 3}, QString::number(g.numero), Ancre::Gauche, &petite);
    p.Texte({XBoiteGauche + 4, g.y + 4}, QString::fromLatin1(g.nom));
  }

  constexpr int xBus = XPattesDroite + 4;
  const Patte droites[] = {{1, "A0", 140}, {2, "A1", 165}, {3, "A2", 190}, {4, "GND", 215}};
  for (const Patte& d : droites) {
    p.Fil({XBoiteDroite, d.y}, {xBus, d.y});
    p.Texte({XPattesDroite - 1, d.y - 3}, QString::number(d.numero), Ancre::Droite, &petite);
    p.Texte({XBoiteDroite - 4, d.y + 4}, QString::fromLatin1(d.nom), Ancre::Droite);
    if (d.numero > 1) p.Jonction({xBus, d.y});
  }
  p.Fil({xBus, 140}, {xBus, 232});
  p.Masse({xBus, 232});

  constexpr int x8 = 500;
  p.Fil({x8, YBoiteHaut}, {x8, 84});
  p.Alimentation({x8, 84});
  p.Texte({x8 - 3, YBoiteHaut - 4}, QStringLiteral("8"), Ancre::Droite, &petite);
  p.Texte({x8, YBoiteHaut + 14}, QStringLiteral("5V"), Ancre::Centre);

  p.Texte({XBoiteGauche + 6, 152}, QStringLiteral("EEPROM"));
  p.Texte({XBoiteGauche + 6, 165}, QStringLiteral("I2C"));
}

void Composants(Planche& p) {
  p.Texte({4, 310}, QStringLiteral("Composants : 2 x 4,7 kΩ, 22 kΩ, 56 kΩ,"));
  p.Texte({4, 323}, QStringLiteral("2,2 nF, BC107, 5 x BAT85, DB-25 mâle"));
  p.Texte({4, 336}, QStringLiteral("et son capot, support 8 broches."));
}

bool ZoneBlanche(const QImage& image, const QRect& zone) {
  for (int y = zone.top(); y <= zone.bottom(); ++y)
    for (int x = zone.left(); x <= zone.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) return false;
  return true;
}

}  // namespace

QImage DessinerSchema(QStringList& defauts) {
  Planche p(541, 339);
  Entetes(p);
  Connecteur(p);
  NomsBroches(p);
  Masses(p);
  Alimentation(p);
  LigneSda(p);
  Transistor(p);
  LigneWp(p);
  LigneScl(p);
  Eeprom(p);
  Composants(p);
  QImage image = p.Terminer();
  defauts = p.Chevauchements();
  if (!ZoneBlanche(image, ZoneBoutonsSchema)) defauts << QStringLiteral("le coin des boutons n'est pas vide");
  return image;
}

}  // namespace zorbix::outils
