#include "grid_texts.h"

#include <array>

#include "grid_layout.h"

namespace zorbix {
namespace {

struct Textes {
  std::array<QString, 256> hexa;
  std::array<QString, 256> caracteres;
  std::array<QString, 4096> adresses;
  std::array<QString, 256> glyphes[2];

  Textes() {
    for (int b = 0; b < 256; ++b) {
      hexa[b] = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
      if (b != 0) caracteres[b] = QString(QChar(b));
      for (JeuCaracteres jeu : {JeuCaracteres::Ansi, JeuCaracteres::Oem}) {
        const char32_t glyphe = Glyphe(jeu, static_cast<std::uint8_t>(b));
        glyphes[jeu == JeuCaracteres::Oem][b] = QString::fromUcs4(&glyphe, 1);
      }
    }
    for (int ligne = 0; ligne < 4096; ++ligne)
      adresses[ligne] = QStringLiteral("%1").arg(ligne * 16, 4, 16, QLatin1Char('0')).toUpper();
  }
};

// Built on first use, for the rest of the run.
const Textes& LesTextes() {
  static const Textes textes;
  return textes;
}

}  // namespace

const QString& TexteHexa(std::uint8_t octet) { return LesTextes().hexa[octet]; }

const QString& TexteCaractere(std::uint8_t octet) { return LesTextes().caracteres[octet]; }

const QString& TexteAdresse(int adresse) { return LesTextes().adresses[(adresse & 0xFFFF) >> 4]; }

const QString& TexteGlyphe(JeuCaracteres jeu, std::uint8_t octet) {
  return LesTextes().glyphes[jeu == JeuCaracteres::Oem][octet];
}

const QString& TexteMontre(const QString& texte, int col, int row, JeuCaracteres jeu) {
  const bool octet = row != 0 && EstColonneCaracteres(col) && texte.size() == 1 &&
                     texte.at(0).unicode() < 256;
  return octet ? TexteGlyphe(jeu, static_cast<std::uint8_t>(texte.at(0).unicode())) : texte;
}

}  // namespace zorbix
