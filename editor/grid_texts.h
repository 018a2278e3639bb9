// The texts the grid shows, built once and shared by every cell that shows
// them (see GridCells), and the glyph strings the character cells are drawn
// with.
#pragma once

#include <QString>

#include <cstdint>

#include "code_pages.h"

namespace zorbix {

// "00" .. "FF".
const QString& TexteHexa(std::uint8_t octet);

// The byte as a one-character text, the character's code being the byte's
// value; the empty text for 0x00.
const QString& TexteCaractere(std::uint8_t octet);

// The address of the 16-byte row that holds `adresse`, as 4 upper-case hex
// digits, "0000" .. "FFF0";
// `adresse` is taken modulo 65,536.
const QString& TexteAdresse(int adresse);

// What a character cell holding `octet` is drawn as in `jeu` (code_pages.h).
const QString& TexteGlyphe(JeuCaracteres jeu, std::uint8_t octet);

// What the grid shows for the cell (col, row) holding `texte`: a byte of a
// character column (a one-character text) as its glyph in `jeu`, any other
// text as it is. The painting and the accessible names both use it.
const QString& TexteMontre(const QString& texte, int col, int row, JeuCaracteres jeu);

}  // namespace zorbix
