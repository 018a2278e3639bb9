// The editing of one byte, key by key, without the widgets.
#include "editor/byte_editor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

namespace zorbix {
namespace {

constexpr auto Ansi = JeuCaracteres::Ansi;

// Types `touches` on one side from the shown and stored byte `octet`; gives
// the value the boxes show after them and the stored byte.
std::pair<int, int> Taper(bool hexa, std::uint8_t octet, const char* touches, JeuCaracteres jeu = Ansi) {
  EditeurOctet e;
  e.Montrer(octet);
  for (; *touches; ++touches) e.Touche(static_cast<unsigned char>(*touches), hexa, octet, jeu);
  return {e.Valeur(), octet};
}

TEST(EditeurOctetTest, WorkedCases) {
  using P = std::pair<int, int>;
  EXPECT_EQ(Taper(true, 0x3C, "a"), P(0xCA, 0x3C));  // digits shift in, pending
  EXPECT_EQ(Taper(true, 0x3C, "agb\r"), P(0xAB, 0xAB));  // g is no digit; Enter commits
  EXPECT_EQ(Taper(true, 0xFF, "5 "), P(0xF5, 0xF5));  // Space commits too
  EXPECT_EQ(Taper(false, 0x00, "\r"), P(0x00, 0x00));  // the empty box commits 0x00
  EXPECT_EQ(Taper(false, 0x41, "\x08\x7f\x1f"), P(0x41, 0x41));  // Backspace, Delete: nothing
  EXPECT_EQ(Taper(false, 0x41, " "), P(0x20, 0x41));  // Space is a character here
  EXPECT_EQ(Taper(false, 0x41, "\xe9", JeuCaracteres::Oem), P(0x82, 0x41));  // "é" in code page 850
  EXPECT_EQ(Taper(false, 0x41, "B\x1b"), P(0x41, 0x41));  // Escape: back to the stored byte
}

std::string Hexa(int v) {
  char texte[3];
  std::snprintf(texte, sizeof texte, "%02X", v);
  return texte;
}

// Random keys on random sides, against the boxes as text: the hex box keeps
// its last digit and the typed one, the character box holds the typed code.
TEST(EditeurOctetTest, AgreesWithTheBoxesAsText) {
  std::mt19937 alea(20261208);
  EditeurOctet e;
  std::uint8_t octet = 0xFF;  // the model's Buffer byte
  e.Montrer(octet);
  std::string edit1 = "FF";
  for (int pas = 0; pas < 20000; ++pas) {
    const bool hexa = alea() % 2;
    const auto jeu = alea() % 2 ? Ansi : JeuCaracteres::Oem;
    const int key = alea() % 3 ? static_cast<int>(alea() % 256) : "\r\x1b 0aFgz"[alea() % 8];
    const int majuscule = hexa && key >= 'a' && key <= 'z' ? key - 0x20 : key;
    std::uint8_t reel = octet;
    IssueTouche attendu = IssueTouche::Ignoree;
    if (key == ToucheEchap) {
      edit1 = Hexa(octet);
      attendu = IssueTouche::Annulee;
    } else if (hexa && majuscule < 0x80 && std::isxdigit(majuscule)) {
      edit1 = {edit1.back(), static_cast<char>(majuscule)};
      attendu = IssueTouche::Saisie;
    } else if (!hexa && key >= ' ' && key != 0x7F) {
      edit1 = Hexa(jeu == Ansi ? key : AnsiVersOem(static_cast<std::uint8_t>(key)));
      attendu = IssueTouche::Saisie;
    } else if (key == ToucheEntree || (hexa && key == ToucheEspace)) {
      octet = static_cast<std::uint8_t>(std::stoi(edit1, nullptr, 16));
      attendu = IssueTouche::Validee;
    }
    ASSERT_EQ(e.Touche(key, hexa, reel, jeu), attendu) << pas << " key " << key;
    ASSERT_EQ(reel, octet) << pas;
    ASSERT_EQ(Hexa(e.Valeur()), edit1) << pas;
  }
}

}  // namespace
}  // namespace zorbix
