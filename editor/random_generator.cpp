#include "random_generator.h"

namespace zorbix {

std::uint32_t GenerateurAleatoire::Suivant() {
  etat_ = etat_ * Multiplicateur + 1;  // wraps modulo 2^64 by unsigned arithmetic
  return static_cast<std::uint32_t>(etat_ >> 32) & 0x7FFFFFFFu;
}

}  // namespace zorbix
