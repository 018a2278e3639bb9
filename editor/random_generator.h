// The pseudo-random generator of the random fill.
//
// A 64-bit linear congruential generator whose sequence is part of the
// program's observable behaviour: two runs seeded with the same time fill the
// Buffer with the same bytes.
#pragma once

#include <cstdint>

namespace zorbix {

class GenerateurAleatoire {
 public:
  // Sets the low 32 bits of the state to `graine` and clears the high ones.
  void Initialiser(std::uint32_t graine) { etat_ = graine; }

  // Advances the state and returns its bits 32 to 62: a value 0 .. 2^31 - 1.
  std::uint32_t Suivant();

 private:
  static constexpr std::uint64_t Multiplicateur = 0x15A00004E35ULL;
  std::uint64_t etat_ = 0;
};

}  // namespace zorbix
