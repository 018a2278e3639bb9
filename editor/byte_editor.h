// Typing one byte in the two entry boxes under the grid, without the widgets.
//
// Three states: browsing (the grid has the focus), hex entry and character
// entry (a box has it). The window keeps the focus and the active side
// (HexSide), passes each key typed in a box in with that side, and shows what
// comes out: the value the boxes now show, pending until a commit, and
// whether the entry goes on, was committed or was cancelled. A commit stores
// the value in the selected byte of the Buffer; the window then redraws that
// byte's two cells from the Buffer (RedessinerOctet, grid_refresh.h).
#pragma once

#include <cstdint>

#include "code_pages.h"

namespace zorbix {

// Key codes the entry boxes and the grid pass on.
constexpr int ToucheEntree = 13;
constexpr int ToucheEchap = 27;
constexpr int ToucheEspace = 32;

// What a key typed in a box did, and so the next state.
enum class IssueTouche {
  Ignoree,  // nothing changes; the entry goes on
  Saisie,   // the boxes show the new pending value; the entry goes on
  Validee,  // the pending value was stored; back to browsing
  Annulee,  // the boxes show the stored byte again; back to browsing
};

class EditeurOctet {
 public:
  // What the boxes show: the selected byte, or the value being typed.
  std::uint8_t Valeur() const { return valeur_; }

  // A selection or a refresh shows `octet` in the boxes: a pending value is
  // dropped.
  void Montrer(std::uint8_t octet) { valeur_ = octet; }

  // `key` typed in a box while the hex side (`hexa`) or the character side
  // is active: the side decides, not the box. `octet` is the selected byte
  // of the Buffer, read by a cancel and written by a commit. Characters
  // typed in OEM mode are stored as their code in `jeu`.
  IssueTouche Touche(int key, bool hexa, std::uint8_t& octet, JeuCaracteres jeu);

 private:
  IssueTouche ToucheHexa(int key);
  IssueTouche ToucheCaractere(int key, JeuCaracteres jeu);

  std::uint8_t valeur_ = 0xFF;
};

}  // namespace zorbix
