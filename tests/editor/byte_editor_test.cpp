// The editing of one byte, key by key, without the widgets.
#include "editor/byte_editor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>

namespace zorbix {
namespace {

constexpr auto Ansi = JeuCaracteres::Ansi;

TEST(EditeurOctetTest, HexDigitsShiftInUntilEnterOrSpaceStoresThem) {
  EditeurOctet e;
  std::uint8_t octet = 0x3C;
  e.Montrer(octet);
  EXPECT_EQ(e.Touche('a', true, octet, Ansi), IssueTouche::Saisie);
  EXPECT_EQ(e.Valeur(), 0xCA);
  EXPECT_EQ(e.Touche('b', true, octet, Ansi), IssueTouche::Saisie);
  EXPECT_EQ(e.Touche('g', true, octet, Ansi), IssueTouche::Ignoree);
  EXPECT_EQ(e.Valeur(), 0xAB);
  EXPECT_EQ(octet, 0x3C);  // pending until the commit
  EXPECT_EQ(e.Touche(ToucheEntree, true, octet, Ansi), IssueTouche::Validee);
  EXPECT_EQ(octet, 0xAB);
  // One digit combines with the previous last digit; Space commits too.
  e.Montrer(0xFF);
  e.Touche('5', true, octet, Ansi);
  EXPECT_EQ(e.Touche(ToucheEspace, true, octet, Ansi), IssueTouche::Validee);
  EXPECT_EQ(octet, 0xF5);
}

TEST(EditeurOctetTest, CharacterSideEntersCodesFromSpaceUpButDelete) {
  EditeurOctet e;
  std::uint8_t octet = 0x00;
  e.Montrer(octet);  // an empty character box commits 0x00
  octet = 0x55;
  EXPECT_EQ(e.Touche(ToucheEntree, false, octet, Ansi), IssueTouche::Validee);
  EXPECT_EQ(octet, 0x00);
  for (int key : {0x08, 0x7F, 0x1F})  // Backspace, Delete, a control code
    EXPECT_EQ(e.Touche(key, false, octet, Ansi), IssueTouche::Ignoree) << key;
  EXPECT_EQ(e.Touche(ToucheEspace, false, octet, Ansi), IssueTouche::Saisie);  // a character here
  EXPECT_EQ(e.Valeur(), 0x20);
  e.Touche(0xE9, false, octet, JeuCaracteres::Oem);  // "é" is 0x82 in code page 850
  EXPECT_EQ(e.Valeur(), 0x82);
  EXPECT_EQ(e.Touche(ToucheEchap, false, octet, Ansi), IssueTouche::Annulee);
  EXPECT_EQ(e.Valeur(), 0x00);
  EXPECT_EQ(octet, 0x00);
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
