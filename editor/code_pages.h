// The two code pages the character column is drawn in: ANSI is Windows-1252,
// OEM is code page 850, both decoded by the C library's iconv.
//
// Drawing rules, the same in both code pages:
// - 0x01..0x1F and 0x7F, the control codes, are drawn as the pictures the
//   PC's code page 437 gives them (0x01 smiling face, 0x0D eighth note, 0x1B
//   left arrow, 0x7F house ...): the look a user of these chips knows from a
//   DOS screen, and glyphs that the grid font (Courier New / Liberation Mono)
//   has.
// - 0x00 is drawn blank (its grid cell is empty anyway).
// - A byte the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90 and 0x9D in
//   Windows-1252) is drawn as a white square, U+25A1, so that it never shows
//   as nothing.
// - The soft hyphen (0xAD in Windows-1252, 0xF0 in code page 850) is drawn
//   as a hyphen: text layout would otherwise hide it.
// Everything else is drawn as the character iconv decodes.
#pragma once

#include <cstdint>

namespace zorbix {

enum class JeuCaracteres { Ansi, Oem };

constexpr char32_t GlypheIndefini = 0x25A1;  // white square

// The Unicode code point drawn for `octet` in `jeu`; never 0, never a
// control character.
char32_t Glyphe(JeuCaracteres jeu, std::uint8_t octet);

// The Windows-1252 byte of the character `caractere` (a code point typed by
// the user), or -1 when Windows-1252 has no such character.
int OctetAnsi(char32_t caractere);

// The code page 850 byte for the Windows-1252 byte `octetAnsi`: the same
// character where code page 850 has it ("é" 0xE9 gives 0x82), else iconv's
// transliteration under the C.UTF-8 locale when that is one byte ("Š" gives
// "S", "‚" gives ","), else "?", 0x3F, as the Windows conversion does for
// what it cannot map ("€" would be "EUR"; the undefined bytes).
std::uint8_t AnsiVersOem(std::uint8_t octetAnsi);

}  // namespace zorbix
