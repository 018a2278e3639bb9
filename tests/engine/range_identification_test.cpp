// The range transfers and the identification on the simulated chips: what
// goes on the wire, what the chip holds afterwards.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bus_transactions.h"
#include "engine/chips.h"
#include "engine/identification.h"
#include "engine/range_transfers.h"
#include "engine/sim/simulated_backend.h"
#include "scripted_port.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;
using Jetons = std::vector<std::string>;

Octets Aleatoires(int n, unsigned graine) {
  std::mt19937 g(graine);
  Octets o(static_cast<std::size_t>(n));
  for (auto& b : o) b = static_cast<std::uint8_t>(g());
  return o;
}

struct Banc {
  explicit Banc(int type) : installe(sim), cible{AdresseLPT1, type, SpecMemoire(type).Taille} {
    chip = adaptateur.insertChip(EepromModel::create(type));
    chip->memory() = Aleatoires(chip->size(), 11u + type);
    adaptateur.setTranscribing(true);
  }
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  test::Installed installe;
  CibleI2C cible;
  EepromModel* chip = nullptr;
};

// A 24C16 range across two page boundaries and a block boundary: three page
// transactions, each stopping at the boundary, the bytes around untouched;
// byte by byte, one transaction a byte; read and compared back.
TEST(PlageTest, ProgrammingSplitsAtPageBoundariesAndTouchesNothingElse) {
  Banc b(6);
  const Octets avant = b.chip->memory();
  const Plage plage{0xF5, 40};
  const Octets neuf = Aleatoires(40, 5);
  std::vector<int> positions;
  ASSERT_EQ(ProgrammerPlage(b.cible, plage, neuf.data(), true, [&](int p) { positions.push_back(p); }),
            WriteResult::EcritureReussie);
  const auto ecritures = test::Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(ecritures.size(), 3u);
  EXPECT_EQ((Jetons{ecritures[0].octets[0], ecritures[0].octets[1]}), (Jetons{"A0+", "F5+"}));
  EXPECT_EQ((Jetons{ecritures[1].octets[0], ecritures[1].octets[1]}), (Jetons{"A2+", "00+"}));
  EXPECT_EQ((Jetons{ecritures[2].octets[0], ecritures[2].octets[1]}), (Jetons{"A2+", "10+"}));
  EXPECT_EQ(ecritures[0].octets.size() + ecritures[1].octets.size() + ecritures[2].octets.size(), 40u + 6u);
  EXPECT_EQ(positions, (std::vector<int>{0, 11, 27}));
  Octets attendu = avant;
  std::copy(neuf.begin(), neuf.end(), attendu.begin() + 0xF5);
  EXPECT_EQ(b.chip->memory(), attendu);

  const Octets autre = Aleatoires(40, 6);
  b.adaptateur.clearTranscript();
  ASSERT_EQ(ProgrammerPlage(b.cible, plage, autre.data(), false, nullptr), WriteResult::EcritureReussie);
  EXPECT_EQ(test::Ecritures(b.adaptateur.transcript()).size(), 40u);
  std::copy(autre.begin(), autre.end(), attendu.begin() + 0xF5);
  EXPECT_EQ(b.chip->memory(), attendu);

  Octets lu(40), zone(40);
  ASSERT_TRUE(LirePlage(b.cible, plage, lu.data(), nullptr));
  EXPECT_EQ(lu, autre);
  EXPECT_EQ(ComparerPlage(b.cible, plage, neuf.data(), zone.data(), nullptr).Differences, 40 - [&] {
    int pareils = 0;
    for (int i = 0; i < 40; ++i) pareils += neuf[i] == autre[i];
    return pareils;
  }());

  // Outside the chip: refused with the port untouched.
  const auto acces = b.sim.accessCount();
  EXPECT_EQ(ProgrammerPlage(b.cible, {0x7F0, 17}, neuf.data(), true, nullptr), WriteResult::AdresseHorsMemoire);
  EXPECT_FALSE(LirePlage(b.cible, {0x800, 1}, lu.data(), nullptr));
  EXPECT_EQ(b.sim.accessCount(), acces);
}

// Every type, random contents: the identification never writes (no write
// cycle, contents unchanged), never stops right after an address byte, and
// keeps the type in the socket among its candidates.
TEST(IdentificationTest, ReadsOnlyAndKeepsTheTypeInTheSocket) {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    Banc b(type);
    const Octets avant = b.chip->memory();
    const Identification id = IdentifierMemoire(AdresseLPT1);
    EXPECT_TRUE(id.Possible(type)) << SpecMemoire(type).NomCourt;
    EXPECT_EQ(b.chip->writeCyclesStarted(), 0) << SpecMemoire(type).NomCourt;
    EXPECT_EQ(b.chip->memory(), avant);
    for (const Jetons& t : test::Transactions(b.adaptateur.transcript())) {
      const bool selectionEcriture = !t.empty() && (std::stoi(t[0].substr(0, 2), nullptr, 16) & 1) == 0;
      if (selectionEcriture && t.size() > 1) EXPECT_NE(std::find(t.begin(), t.end(), "Sr"), t.end());
    }
  }
}

}  // namespace
}  // namespace zorbix
