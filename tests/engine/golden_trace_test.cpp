// The bus timing, frozen: the port-access sequence of every transfer on every
// chip type, kept as a length and a hash. The accesses are the bus timing, so
// none of them may change when the code around them moves; a difference here
// names the transfer whose wire changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/parallel_adapter.h"
#include "engine/sim/simulated_backend.h"
#include "tests/random_bytes.h"

namespace zorbix {
namespace {

// Forwards to the simulator and folds every access into an FNV-1a hash.
class Empreinte final : public PortBackend {
 public:
  explicit Empreinte(PortBackend& cible) : cible_(cible) {}
  std::uint8_t read(std::uint16_t address) override {
    const std::uint8_t v = cible_.read(address);
    Noter(address, v, 0);
    return v;
  }
  void write(std::uint16_t address, std::uint8_t value) override {
    cible_.write(address, value);
    Noter(address, value, 1);
  }
  std::uint64_t nombre = 0;
  std::uint64_t hash = 14695981039346656037ull;

 private:
  void Noter(std::uint16_t address, std::uint8_t value, std::uint8_t ecriture) {
    for (std::uint8_t o : {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), value,
                           ecriture})
      hash = (hash ^ o) * 1099511628211ull;
    ++nombre;
  }
  PortBackend& cible_;
};

enum class Socle { Bonne, Vide, PlusPetite };
enum class Operation { Lecture, Comparaison, Pages, OctetParOctet, UnOctet };

using test::Aleatoires;

// The next smaller chip of the catalogue, or -1 for the smallest.
int TypePlusPetit(int type) {
  int meilleur = -1;
  for (int t = 0; t < NombreTypesMemoire; ++t)
    if (SpecMemoire(t).Taille < SpecMemoire(type).Taille &&
        (meilleur < 0 || SpecMemoire(t).Taille > SpecMemoire(meilleur).Taille))
      meilleur = t;
  return meilleur;
}

Empreinte Mesurer(int type, Socle socle, Operation operation) {
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  const int puce = socle == Socle::PlusPetite ? TypePlusPetit(type) : type;
  if (socle != Socle::Vide) {
    EepromModel* chip = adaptateur.insertChip(EepromModel::create(puce));
    chip->memory() = Aleatoires(chip->size(), 11u + static_cast<unsigned>(puce));
  }
  adaptateur.setTranscribing(false);
  Empreinte empreinte(sim);
  PortBackend* precedent = InstallerBackend(&empreinte);
  const int taille = SpecMemoire(type).Taille;
  // Through the adapter seam: what it adds (taking the port) never reaches the wire.
  AdaptateurParallele parallele(PortsParalleles({}).front());
  const Puce memoire{type, taille};
  std::vector<std::uint8_t> image = Aleatoires(taille, 97u + static_cast<unsigned>(type));
  std::vector<std::uint8_t> zone(static_cast<std::size_t>(taille));
  switch (operation) {
    case Operation::Lecture: parallele.Lire(memoire, zone.data(), {}); break;
    case Operation::Comparaison: parallele.Comparer(memoire, image.data(), zone.data(), {}); break;
    case Operation::Pages: parallele.ProgrammerTout(memoire, image.data(), true, {}); break;
    case Operation::OctetParOctet: parallele.ProgrammerTout(memoire, image.data(), false, {}); break;
    case Operation::UnOctet: parallele.ProgrammerUnOctet(memoire, image.data(), taille / 2 + 1); break;
  }
  InstallerBackend(precedent);
  return empreinte;
}

struct Attendu {
  std::uint64_t nombre;
  std::uint64_t hash;
};

// [type][operation][socle]: Bonne, Vide, PlusPetite ({0, 0} where the
// catalogue has no smaller chip).
const Attendu Traces[NombreTypesMemoire][5][3] = {
#include "golden_traces.inc"
};

TEST(GoldenTrace, EveryTransferOnEveryChipKeepsItsPortAccesses) {
  std::string nouveau;  // the table as this build draws it, shown on a mismatch
  bool identique = true;
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    nouveau += "{";
    for (int op = 0; op < 5; ++op) {
      nouveau += "{";
      for (int s = 0; s < 3; ++s) {
        const Socle socle = static_cast<Socle>(s);
        std::uint64_t nombre = 0, hash = 0;
        if (socle != Socle::PlusPetite || TypePlusPetit(type) >= 0) {
          const Empreinte m = Mesurer(type, socle, static_cast<Operation>(op));
          nombre = m.nombre;
          hash = m.hash;
        }
        const Attendu& a = Traces[type][op][s];
        if (a.nombre != nombre || a.hash != hash) identique = false;
        EXPECT_EQ(a.nombre, nombre) << SpecMemoire(type).NomCourt << " operation " << op << " socket " << s;
        char ligne[64];
        std::snprintf(ligne, sizeof ligne, "{%llu, 0x%016llXull}%s", static_cast<unsigned long long>(nombre),
                      static_cast<unsigned long long>(hash), s < 2 ? ", " : "");
        nouveau += ligne;
      }
      nouveau += op < 4 ? "},\n " : "}";
    }
    nouveau += "},\n";
  }
  EXPECT_TRUE(identique) << "port-access sequences changed; this build draws:\n" << nouveau;
}

// The autodetection over the three ports and one extra port, with the
// adapter on LPT2 and on the extra port, then on none.
TEST(GoldenTrace, AutodetectionKeepsItsPortAccesses) {
  const PortsSupplementaires supplementaires{{"sim0", 0xDC00}};
  for (const bool present : {true, false}) {
    SimulatedBackend sim;
    if (present) {
      sim.addAdapter(AdresseLPT2).insertChip(EepromModel::create(TypeMemoireParDefaut));
      sim.addAdapter(0xDC00);
    }
    Empreinte empreinte(sim);
    PortBackend* precedent = InstallerBackend(&empreinte);
    const BilanDetection bilan = DetecterAdaptateurParallele(supplementaires);
    EXPECT_EQ(bilan.Trouve ? bilan.Trouve->Nom : "", present ? "sim0" : "");
    InstallerBackend(precedent);
    EXPECT_EQ(empreinte.nombre, 8076u);
    EXPECT_EQ(empreinte.hash, present ? 0x3EDB31E71E233EDBull : 0xFB9577C135DD23CFull) << std::hex << empreinte.hash;
  }
}

}  // namespace
}  // namespace zorbix
