// Where the Buffer's bytes sit in the grid: one row per 16 bytes, under a
// header row; the address, a spacer, 16 hex cells, a spacer, 16 characters.
#pragma once

namespace zorbix {

constexpr int OctetsParLigne = 16;
constexpr int NombreColonnesGrille = 35;
constexpr int ColonneAdresse = 0;
constexpr int PremiereColonneHexa = 2;         // columns 2..17
constexpr int PremiereColonneCaracteres = 19;  // columns 19..34
constexpr int DerniereColonneCaracteres = PremiereColonneCaracteres + OctetsParLigne - 1;

constexpr bool EstColonneCaracteres(int col) {
  return col >= PremiereColonneCaracteres && col <= DerniereColonneCaracteres;
}

// The other cell of the same byte: the character cell of a hex cell, and
// the reverse.
constexpr int ColonneJumelle(int col) {
  constexpr int ecart = PremiereColonneCaracteres - PremiereColonneHexa;
  return col < PremiereColonneCaracteres ? col + ecart : col - ecart;
}

// Grid row of the byte at `adresse` (row 0 is the header).
constexpr int LigneDeAdresse(int adresse) { return adresse / OctetsParLigne + 1; }

// Rows for `count` bytes: the header and one row per 16 bytes, a last
// partial row included.
constexpr int LignesPourOctets(int count) {
  return (count + OctetsParLigne - 1) / OctetsParLigne + 1;
}

}  // namespace zorbix
