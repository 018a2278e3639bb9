// libFuzzer target for the two readers of user files: the Intel HEX reader
// and the raw binary load. Each input is one file's content. Besides the
// sanitizers' own checks, it verifies that neither reader writes outside the
// capacity it is given (guard bytes around it), that the binary load takes
// exactly what it should, and that the HEX reader never changes the Buffer
// while counting no valid data byte (the window would then not redisplay it).
// Built and run by scripts/fuzz_files.sh.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/binary_file.h"
#include "files/intel_hex.h"
#include "tests/fuzz_support.h"

namespace {

constexpr std::size_t Garde = 64;
constexpr std::uint8_t OctetGarde = 0xA5;
constexpr std::uint8_t OctetInitial = 0x5A;

// `capacite` bytes set to OctetInitial between two guard zones.
struct Memoire {
  explicit Memoire(std::size_t capacite)
      : capacite(capacite), octets(Garde + capacite + Garde, OctetGarde) {
    std::fill(Debut(), Debut() + capacite, OctetInitial);
  }
  std::uint8_t* Debut() { return octets.data() + Garde; }
  bool GardesIntactes() const {
    auto garde = [](std::uint8_t o) { return o == OctetGarde; };
    return std::all_of(octets.begin(), octets.begin() + Garde, garde) &&
           std::all_of(octets.end() - Garde, octets.end(), garde);
  }
  bool Inchangee() {
    return std::all_of(Debut(), Debut() + capacite, [](std::uint8_t o) { return o == OctetInitial; });
  }

  std::size_t capacite;
  std::vector<std::uint8_t> octets;
};

void EssayerHexa(const std::string& nom, std::size_t capacite, std::size_t tailleFichier) {
  Memoire memoire(capacite);
  const zorbix::ResultatLectureHexa r = zorbix::LireFichierHexa(nom, memoire.Debut(), capacite);
  Verifier(memoire.GardesIntactes(), "HEX reader wrote outside its capacity");
  const int code = static_cast<int>(r.Code);
  Verifier(code >= -1 && code <= 8, "HEX reader code out of range");
  Verifier(r.Message.empty() == (r.Code == zorbix::CodeHexa::Succes), "HEX message and code disagree");
  Verifier(r.OctetsValides <= tailleFichier / 2, "more data bytes than digit pairs");
  Verifier(r.OctetsValides > 0 || memoire.Inchangee(), "Buffer changed with no valid data byte");
}

void EssayerBinaire(const std::string& nom, const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t capacite = 1024;
  Memoire memoire(capacite);
  const std::size_t n = zorbix::ChargerFichierBinaire(nom, memoire.Debut(), capacite);
  Verifier(memoire.GardesIntactes(), "binary load wrote outside its capacity");
  Verifier(n == std::min(size, capacite), "binary load count");
  Verifier(std::equal(data, data + n, memoire.Debut()), "binary load content");
  Verifier(std::all_of(memoire.Debut() + n, memoire.Debut() + capacite,
                       [](std::uint8_t o) { return o == OctetInitial; }),
           "binary load touched bytes past n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FichierEnMemoire fichier;
  fichier.Remplir(data, size);
  // A small capacity puts the end of the Buffer within reach of the inputs;
  // the whole Buffer is what the window passes.
  EssayerHexa(fichier.nom, 300, size);
  EssayerHexa(fichier.nom, zorbix::CapaciteChargement, size);
  EssayerBinaire(fichier.nom, data, size);
  return 0;
}
