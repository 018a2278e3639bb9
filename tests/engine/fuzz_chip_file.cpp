// libFuzzer target for the loader of a virtual chip's file
// (engine/sim/chip_file.h): a file of any size and any bytes. The first input
// byte picks the chip type, the rest is the file. The loader must keep the
// chip's size, take exactly the bytes that fit, leave the rest of the chip
// erased, and say in its note whether the file's size differs. The chip's
// memory is allocated to its exact size, so AddressSanitizer stops any access
// past its end.
// Built and run by scripts/fuzz_files.sh.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/chip_file.h"
#include "tests/fuzz_support.h"

namespace {

constexpr std::uint8_t Efface = 0xFF;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static FichierEnMemoire fichier;
  const int type = data[0] % zorbix::NombreTypesMemoire;
  const std::uint8_t* contenu = data + 1;
  const std::size_t taille = size - 1;
  fichier.Remplir(contenu, taille);

  const std::size_t capacite = static_cast<std::size_t>(zorbix::SpecMemoire(type).Taille);
  std::vector<std::uint8_t> memoire(capacite, Efface);
  std::string note, erreur;
  Verifier(zorbix::LireFichierPuce(fichier.nom, memoire, note, erreur), "a readable file refused");
  Verifier(erreur.empty(), "an error with success");
  Verifier(memoire.size() == capacite, "the chip's size changed");

  const std::size_t pris = std::min(taille, capacite);
  Verifier(std::equal(contenu, contenu + pris, memoire.begin()), "the chip does not hold the file's bytes");
  Verifier(std::all_of(memoire.begin() + static_cast<std::ptrdiff_t>(pris), memoire.end(),
                       [](std::uint8_t o) { return o == Efface; }),
           "bytes past the file's end changed");
  Verifier(note.empty() == (taille == capacite), "the note and the file's size disagree");
  return 0;
}
