// The transfers against the simulated chips: bytes on the wire, port access
// counts, progress positions and what the chip holds afterwards.
#include "engine/transfers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "bus_transactions.h"
#include "engine/chips.h"
#include "engine/lines.h"
#include "engine/sim/simulated_backend.h"
#include "scripted_port.h"
#include "tests/random_bytes.h"

namespace zorbix {
namespace {

using test::Ecritures;
using test::EnTete;
using test::Jeton;
using test::Jetons;
using test::Suite;
using Octets = std::vector<std::uint8_t>;

// Port accesses of the bus steps: a line operation is one read and one write
// of the data register, an SDA read one read of the status register.
constexpr long Start = 10, Stop = 6, Envoi = 125, Scrutation = Start + Envoi + Stop;
constexpr long Alimentation = 2000 + 1, Pin7 = 2;

long AccesLecture(long n, int k) { return Alimentation + Start + Envoi * (2 + k) + Start + 56 * (n - 1) + 54 + Stop; }

using test::Aleatoires;

// One adapter on LPT1 holding a chip of `type` with random contents.
struct Banc {
  explicit Banc(int type) : installe(sim), cible{AdresseLPT1, type, SpecMemoire(type).Taille} {
    chip = adaptateur.insertChip(EepromModel::create(type));
    chip->memory() = Aleatoires(chip->size(), 7u + type);
  }
  Progression Noter() {
    positions.clear();
    return [this](int p) { positions.push_back(p); };
  }
  long Acces() { return static_cast<long>(sim.accessCount()); }

  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  test::Installed installe;
  CibleI2C cible;
  EepromModel* chip = nullptr;
  std::vector<int> positions;
};

class TransfertsParType : public ::testing::TestWithParam<int> {};

TEST_P(TransfertsParType, ReadPageProgramAndCompare) {
  const int type = GetParam(), n = SpecMemoire(type).Taille, k = OctetsAdresse(type), page = TaillePage(n);
  Banc b(type);
  const Octets contenu = b.chip->memory();
  const int s = PasProgression(n, 32);
  std::vector<int> pas = Suite(s - 1, s, n - 1);
  pas.push_back(n);

  Octets lu(n, 0x55);
  long debut = b.Acces();
  ASSERT_TRUE(LireMemoire(b.cible, lu.data(), b.Noter()));
  EXPECT_EQ(b.Acces() - debut, AccesLecture(n, k));
  EXPECT_EQ(lu, contenu);
  EXPECT_EQ(b.positions, pas);
  // Address 0, a repeated start, every byte acknowledged by the master but the last.
  Jetons fil = {"A0+"};
  fil.insert(fil.end(), k, "00+");
  fil.insert(fil.end(), {"Sr", "A1+"});
  for (int i = 0; i < n; ++i) fil.push_back(Jeton(contenu[i], i < n - 1 ? '*' : '-'));
  EXPECT_EQ(test::Transactions(b.adaptateur.transcript()), std::vector<Jetons>{fil});

  const Octets neuf = Aleatoires(n, 99);
  b.adaptateur.clearTranscript();
  debut = b.Acces();
  ASSERT_EQ(ProgrammerMemoireEntiere(b.cible, neuf.data(), true, b.Noter()), WriteResult::EcritureReussie);
  const long acces = b.Acces() - debut;
  const auto ecritures = Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(static_cast<int>(ecritures.size()), n / page);
  long polls = 0;
  for (int j = 0; j < n / page; ++j) {
    Jetons attendu = EnTete(type, j * page);
    for (int i = 0; i < page; ++i) attendu.push_back(Jeton(neuf[j * page + i], '+'));
    EXPECT_EQ(ecritures[j].octets, attendu) << "page " << j;
    EXPECT_TRUE(ecritures[j].finVue);
    polls += ecritures[j].scrutations;
  }
  EXPECT_EQ(b.positions, Suite(0, page, n));
  EXPECT_EQ(acces, Alimentation + (n / page) * (Pin7 + Start + Envoi * (1 + k + page) + Stop) + Scrutation * polls);
  EXPECT_EQ(b.chip->memory(), neuf);

  Octets image = neuf;
  auto zone = AllouerSansException(n);
  debut = b.Acces();
  ResultatComparaison r = ComparerMemoire(b.cible, image.data(), zone.get(), b.Noter());
  EXPECT_EQ(b.Acces() - debut, AccesLecture(n, k));
  EXPECT_TRUE(r.Acquittee && r.Differences == 0);
  EXPECT_EQ(b.positions, pas);
  for (int a : {0, n / 2, n - 1}) image[a] ^= 0x10;
  r = ComparerMemoire(b.cible, image.data(), zone.get(), nullptr);
  EXPECT_EQ(r.Differences, 3);
  EXPECT_EQ(b.chip->memory(), neuf);
  EXPECT_EQ(LirePort(AdresseLPT1), 0x06);
}

INSTANTIATE_TEST_SUITE_P(TousLesTypes, TransfertsParType, ::testing::Range(0, NombreTypesMemoire));

class OctetParOctet : public ::testing::TestWithParam<int> {};

// Every byte is its own transaction (8192 for the 24C64), followed by its own
// polling until the chip's write cycle has ended.
TEST_P(OctetParOctet, EachByteIsOneTransactionWithItsOwnPolling) {
  const int type = GetParam(), n = SpecMemoire(type).Taille, k = OctetsAdresse(type);
  Banc b(type);
  const Octets neuf = Aleatoires(n, 5);
  const long debut = b.Acces();
  ASSERT_EQ(ProgrammerMemoireEntiere(b.cible, neuf.data(), false, b.Noter()), WriteResult::EcritureReussie);
  const long acces = b.Acces() - debut;
  const int s = PasProgression(n, 64);
  EXPECT_EQ(b.positions, Suite(s - 1, s, n));
  const auto ecritures = Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(static_cast<int>(ecritures.size()), n);
  long polls = 0;
  for (int a = 0; a < n; ++a) {
    Jetons attendu = EnTete(type, a);
    attendu.push_back(Jeton(neuf[a], '+'));
    ASSERT_EQ(ecritures[a].octets, attendu) << "address " << a;
    ASSERT_TRUE(ecritures[a].finVue && ecritures[a].scrutations > 1) << "address " << a;
    polls += ecritures[a].scrutations;
  }
  EXPECT_EQ(acces, Alimentation + n * (Pin7 + Start + Envoi * (2 + k) + Stop) + Scrutation * polls);
  EXPECT_EQ(b.chip->memory(), neuf);
  EXPECT_EQ(LirePort(AdresseLPT1), 0x06);
}

INSTANTIATE_TEST_SUITE_P(TypesQuiLOffrent, OctetParOctet, ::testing::Range(0, DernierTypeOctetParOctet + 1));

// Pin 7 is set at the start of each write and kept until the power-down:
// grounded for the 24Cxx, released for the PCF8582, which is what protects a
// 24C02 in the socket when the PCF8582 is selected.
TEST(Transferts, PinSevenDuringWritesAndWriteProtect) {
  for (const int cibleType : {3, TypePCF8582}) {
    Banc b(3);
    const Octets avant = b.chip->memory();
    b.cible.ChipType = cibleType;
    b.sim.setRecording(true);
    const Octets image(256, 0x5A);
    EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), 0x21), WriteResult::EcritureReussie);
    Octets ecrits;
    for (const PortAccess& a : b.sim.record())
      if (a.write) ecrits.push_back(a.value);
    ASSERT_GT(ecrits.size(), 2002u);
    EXPECT_EQ(ecrits[2000], cibleType == 3 ? 0xF1 : 0xF5);
    for (std::size_t i = 2000; i + 1 < ecrits.size(); ++i) ASSERT_EQ(ecrits[i] & BitPin7, cibleType == 3 ? 0 : BitPin7);
    EXPECT_EQ(ecrits.back(), 0x06);
    EXPECT_EQ(b.chip->memory()[0x21], cibleType == 3 ? 0x5A : avant[0x21]);
  }
}

// Never reached from the grid, whose selection stays inside the chip.
TEST(Transferts, OneByteOutsideTheChipSendsNothing) {
  Banc b(6);
  const Octets image(2048, 0);
  b.sim.setRecording(true);
  EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), 2048), WriteResult::AdresseHorsMemoire);
  EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), -1), WriteResult::AdresseHorsMemoire);
  EXPECT_EQ(b.sim.record().size(), 2u * 2001u);  // power up and down only
  EXPECT_TRUE(b.adaptateur.transcript().events().empty());
}

}  // namespace
}  // namespace zorbix
