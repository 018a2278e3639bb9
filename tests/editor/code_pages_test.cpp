#include "editor/code_pages.h"

#include <gtest/gtest.h>

#include <set>

namespace zorbix {
namespace {

// Every byte draws as something visible in both code pages: no control
// character, no nothing, and (0x00 aside) no blank where the code page has
// a printable character.
TEST(CodePages, EveryByteHasAVisibleGlyph) {
  for (JeuCaracteres jeu : {JeuCaracteres::Ansi, JeuCaracteres::Oem}) {
    for (int b = 1; b < 256; ++b) {
      const char32_t g = Glyphe(jeu, static_cast<std::uint8_t>(b));
      EXPECT_GE(g, 0x20u) << b;
      EXPECT_FALSE(g >= 0x7F && g < 0xA0) << b;
      EXPECT_NE(g, 0xADu) << b;  // soft hyphen: hidden by text layout
      if (b != 0x20 && b != 0xA0 && !(jeu == JeuCaracteres::Oem && b == 0xFF)) {
        EXPECT_NE(g, U' ') << b;
      }
    }
  }
}

TEST(CodePages, KnownGlyphs) {
  EXPECT_EQ(Glyphe(JeuCaracteres::Ansi, 0x41), U'A');
  EXPECT_EQ(Glyphe(JeuCaracteres::Ansi, 0xE9), U'é');
  EXPECT_EQ(Glyphe(JeuCaracteres::Ansi, 0x80), U'€');
  EXPECT_EQ(Glyphe(JeuCaracteres::Oem, 0x82), U'é');
  EXPECT_EQ(Glyphe(JeuCaracteres::Oem, 0xC9), U'╔');
  EXPECT_EQ(Glyphe(JeuCaracteres::Oem, 0xD5), U'ı');
  for (std::uint8_t b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Glyphe(JeuCaracteres::Ansi, b), GlypheIndefini) << int{b};
    EXPECT_NE(Glyphe(JeuCaracteres::Oem, b), GlypheIndefini) << int{b};
  }
  // Control codes: the PC pictures, alike in both code pages.
  for (JeuCaracteres jeu : {JeuCaracteres::Ansi, JeuCaracteres::Oem}) {
    EXPECT_EQ(Glyphe(jeu, 0x01), U'☺');
    EXPECT_EQ(Glyphe(jeu, 0x1B), U'←');
    EXPECT_EQ(Glyphe(jeu, 0x7F), U'⌂');
  }
}

// Code page 850 defines all 256 bytes and no two printable ones alike;
// typing what Windows-1252 shows for a byte gives that byte back.
TEST(CodePages, Cp850IsOneToOneAndAnsiRoundTrips) {
  std::set<char32_t> vus;
  for (int b = 0x20; b < 256; ++b)
    if (b != 0x7F && b != 0xF0) vus.insert(Glyphe(JeuCaracteres::Oem, static_cast<std::uint8_t>(b)));
  EXPECT_EQ(vus.size(), 256u - 0x20 - 2);

  for (int b = 0x20; b < 256; ++b) {
    const char32_t g = Glyphe(JeuCaracteres::Ansi, static_cast<std::uint8_t>(b));
    if (g == GlypheIndefini || b == 0x7F || b == 0xAD) continue;
    EXPECT_EQ(OctetAnsi(g), b) << b;
  }
  EXPECT_EQ(OctetAnsi(U'€'), 0x80);
  EXPECT_EQ(OctetAnsi(U'Ω'), -1);
  EXPECT_EQ(OctetAnsi(GlypheIndefini), -1);
}

TEST(CodePages, AnsiToOem) {
  EXPECT_EQ(AnsiVersOem(0xE9), 0x82);  // é
  EXPECT_EQ(AnsiVersOem(0xC7), 0x80);  // Ç
  EXPECT_EQ(AnsiVersOem(0x41), 0x41);
  EXPECT_EQ(AnsiVersOem(0x8A), 'S');   // Š: transliterated
  EXPECT_EQ(AnsiVersOem(0x80), '?');   // €: several letters, no one byte
  EXPECT_EQ(AnsiVersOem(0x81), '?');   // undefined in Windows-1252
  // A character that code page 850 holds becomes exactly that character.
  int communs = 0;
  for (int b = 0x20; b < 256; ++b) {
    if (b == 0x7F || b == 0xAD) continue;
    const char32_t g = Glyphe(JeuCaracteres::Ansi, static_cast<std::uint8_t>(b));
    for (int o = 0x20; o < 256; ++o) {
      if (o == 0xF0) continue;  // soft hyphen, drawn as "-"
      if (Glyphe(JeuCaracteres::Oem, static_cast<std::uint8_t>(o)) != g) continue;
      ++communs;
      EXPECT_EQ(AnsiVersOem(static_cast<std::uint8_t>(b)), o) << b;
    }
  }
  EXPECT_GT(communs, 150);
}

}  // namespace
}  // namespace zorbix
