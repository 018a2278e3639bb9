// The transfers against the simulated chips: bytes on the wire, port access
// counts, progress positions and what the chip holds afterwards.
#include "engine/transfers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "bus_transactions.h"
#include "engine/chips.h"
#include "engine/lines.h"
#include "engine/sim/simulated_backend.h"
#include "scripted_port.h"

namespace zorbix {
namespace {

using test::Ecritures;
using test::Transactions;
using Octets = std::vector<std::uint8_t>;

// Port accesses of the bus steps: a line operation is one read and one write
// of the data register, an SDA read one read of the status register.
constexpr int Start = 10, Stop = 6, Envoi = 125, ReceptionAcquittee = 56, ReceptionFinale = 54;
constexpr int Alimentation = 2000 + 1, Pin7 = 2;

long AccesLecture(int n, int k) {
  return Alimentation + Start + Envoi * (1 + k) + Start + Envoi + ReceptionAcquittee * (n - 1L) +
         ReceptionFinale + Stop;
}

Octets Aleatoires(int n, unsigned graine) {
  std::mt19937 g(graine);
  Octets o(static_cast<std::size_t>(n));
  for (auto& b : o) b = static_cast<std::uint8_t>(g());
  return o;
}

std::string Jeton(std::uint8_t octet, char acquittement) {
  char t[8];
  std::snprintf(t, sizeof t, "%02X%c", octet, acquittement);
  return t;
}

// Device-select and address bytes for a write at `a`, from the data sheets.
std::vector<std::string> EnTete(int type, int a) {
  if (OctetsAdresse(type) == 2)
    return {"A0+", Jeton(static_cast<std::uint8_t>(a >> 8), '+'), Jeton(static_cast<std::uint8_t>(a), '+')};
  return {Jeton(static_cast<std::uint8_t>(0xA0 | ((a >> 7) & 0x0E)), '+'), Jeton(static_cast<std::uint8_t>(a), '+')};
}

// Addresses 0..fin-1 at which a bar with step s moves.
std::vector<int> Pas(int fin, int s) {
  std::vector<int> p;
  for (int a = 0; a < fin; ++a)
    if (a % s == s - 1) p.push_back(a);
  return p;
}

// One adapter on LPT1 holding a chip of `type` with random contents.
struct Banc {
  explicit Banc(int type) : installe(sim) {
    chip = adaptateur.insertChip(EepromModel::create(type));
    chip->memory() = Aleatoires(chip->size(), 7u + static_cast<unsigned>(type));
    cible = {AdresseLPT1, type, SpecMemoire(type).Taille};
  }
  Progression Noter() {
    return [this](int p) { positions.push_back(p); };
  }
  std::uint8_t Donnees() { return LirePort(AdresseLPT1); }

  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  test::Installed installe;
  EepromModel* chip = nullptr;
  CibleI2C cible{};
  std::vector<int> positions;
};

class TransfertsParType : public ::testing::TestWithParam<int> {};

TEST_P(TransfertsParType, ReadPageProgramAndCompare) {
  const int type = GetParam(), n = SpecMemoire(type).Taille, k = OctetsAdresse(type), page = TaillePage(n);
  Banc b(type);
  const Octets contenu = b.chip->memory();

  Octets lu(static_cast<std::size_t>(n), 0x55);
  const std::uint64_t debut = b.sim.accessCount();
  ASSERT_TRUE(LireMemoire(b.cible, lu.data(), b.Noter()));
  EXPECT_EQ(lu, contenu);
  EXPECT_EQ(static_cast<long>(b.sim.accessCount() - debut), AccesLecture(n, k));
  std::vector<int> attendues = Pas(n - 1, PasProgression(n, 32));
  attendues.push_back(n);
  EXPECT_EQ(b.positions, attendues);
  EXPECT_EQ(b.Donnees(), 0x06);
  // One transaction: address 0, repeated start, every byte acknowledged by
  // the master but the last.
  const auto tr = Transactions(b.adaptateur.transcript());
  ASSERT_EQ(tr.size(), 1u);
  std::vector<std::string> fil = {"A0+"};
  for (int i = 0; i < k; ++i) fil.push_back("00+");
  fil.insert(fil.end(), {"Sr", "A1+"});
  for (int i = 0; i < n; ++i) fil.push_back(Jeton(contenu[static_cast<std::size_t>(i)], i < n - 1 ? '*' : '-'));
  EXPECT_EQ(tr[0], fil);

  const Octets neuf = Aleatoires(n, 99);
  b.adaptateur.clearTranscript();
  b.positions.clear();
  const std::uint64_t avantProgrammation = b.sim.accessCount();
  ASSERT_EQ(ProgrammerMemoireEntiere(b.cible, neuf.data(), true, b.Noter()), EcritureReussie);
  const long accesProgrammation = static_cast<long>(b.sim.accessCount() - avantProgrammation);
  EXPECT_EQ(b.chip->memory(), neuf);
  EXPECT_EQ(b.Donnees(), 0x06);
  const auto ecritures = Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(static_cast<int>(ecritures.size()), n / page);
  long polls = 0;
  for (int j = 0; j < n / page; ++j) {
    const int a = j * page;
    std::vector<std::string> attendu = EnTete(type, a);
    for (int i = 0; i < page; ++i) attendu.push_back(Jeton(neuf[static_cast<std::size_t>(a + i)], '+'));
    EXPECT_EQ(ecritures[static_cast<std::size_t>(j)].octets, attendu) << "page at " << a;
    EXPECT_TRUE(ecritures[static_cast<std::size_t>(j)].finVue);
    polls += ecritures[static_cast<std::size_t>(j)].scrutations;
    EXPECT_EQ(b.positions[static_cast<std::size_t>(j)], a);
  }
  EXPECT_EQ(b.positions.size(), ecritures.size());
  const long parPage = Pin7 + Start + Envoi * (1L + k + page) + Stop;
  EXPECT_EQ(accesProgrammation, Alimentation + parPage * (n / page) + (Start + Envoi + Stop) * polls);

  Octets image = neuf;
  auto zone = AllouerSansException(static_cast<std::size_t>(n));
  ASSERT_TRUE(zone);
  b.positions.clear();
  const std::uint64_t avantComparaison = b.sim.accessCount();
  ResultatComparaison r = ComparerMemoire(b.cible, image.data(), zone.get(), b.Noter());
  EXPECT_TRUE(r.Acquittee);
  EXPECT_EQ(r.Differences, 0);
  EXPECT_EQ(static_cast<long>(b.sim.accessCount() - avantComparaison), AccesLecture(n, k));
  EXPECT_EQ(b.positions, attendues);
  for (int a : {0, n / 2, n - 1}) image[static_cast<std::size_t>(a)] ^= 0x10;
  r = ComparerMemoire(b.cible, image.data(), zone.get(), nullptr);
  EXPECT_EQ(r.Differences, 3);
  EXPECT_EQ(b.chip->memory(), neuf);
  EXPECT_EQ(b.Donnees(), 0x06);
}

INSTANTIATE_TEST_SUITE_P(TousLesTypes, TransfertsParType, ::testing::Range(0, NombreTypesMemoire));

class OctetParOctet : public ::testing::TestWithParam<int> {};

// Every byte is its own transaction, followed by its own polling until the
// chip's write cycle has ended.
TEST_P(OctetParOctet, EachByteIsOneTransactionWithItsOwnPolling) {
  const int type = GetParam(), n = SpecMemoire(type).Taille, k = OctetsAdresse(type);
  Banc b(type);
  const Octets neuf = Aleatoires(n, 5);
  const std::uint64_t debut = b.sim.accessCount();
  ASSERT_EQ(ProgrammerMemoireEntiere(b.cible, neuf.data(), false, b.Noter()), EcritureReussie);
  EXPECT_EQ(b.chip->memory(), neuf);
  EXPECT_EQ(b.positions, Pas(n, PasProgression(n, 64)));
  const auto ecritures = Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(static_cast<int>(ecritures.size()), n);
  long polls = 0;
  for (int a = 0; a < n; ++a) {
    const auto& e = ecritures[static_cast<std::size_t>(a)];
    std::vector<std::string> attendu = EnTete(type, a);
    attendu.push_back(Jeton(neuf[static_cast<std::size_t>(a)], '+'));
    ASSERT_EQ(e.octets, attendu) << "address " << a;
    ASSERT_TRUE(e.finVue && e.scrutations > 1) << "address " << a;
    polls += e.scrutations;
  }
  EXPECT_EQ(static_cast<long>(b.sim.accessCount() - debut),
            Alimentation + (Pin7 + Start + Envoi * (2L + k) + Stop) * n + (Start + Envoi + Stop) * polls);
  EXPECT_EQ(b.Donnees(), 0x06);
}

INSTANTIATE_TEST_SUITE_P(TypesQuiLOffrent, OctetParOctet, ::testing::Range(0, DernierTypeOctetParOctet + 1));

TEST(Transferts, ProgrammingStopsAtTheFirstFailedTransaction) {
  const int type = 6, n = 2048;  // 24C16, pages of 16
  const Octets neuf = Aleatoires(n, 3);
  {
    Banc b(type);
    b.chip->setNeverEndsWriteCycle(true);
    EXPECT_EQ(ProgrammerMemoireEntiere(b.cible, neuf.data(), true, b.Noter()), FinEcritureNonVue);
    const auto e = Ecritures(b.adaptateur.transcript());
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].scrutations, NombreMaxScrutations);
    EXPECT_FALSE(e[0].finVue);
    EXPECT_EQ(b.positions, std::vector<int>{0});
    EXPECT_EQ(b.Donnees(), 0x06);
  }
  {
    // Pulled out of the socket while the page at 0x40 is being sent, after
    // its address.
    Banc b(type);
    const Octets avant = b.chip->memory();
    const int code = ProgrammerMemoireEntiere(b.cible, neuf.data(), true, [&b](int p) {
      b.positions.push_back(p);
      if (p == 0x40) b.adaptateur.removeChipAfter(300);
    });
    EXPECT_EQ(code, DonneeNonAcquittee);
    EXPECT_EQ(b.positions, (std::vector<int>{0x00, 0x10, 0x20, 0x30, 0x40}));
    const Octets& puce = b.adaptateur.removedChip()->memory();
    EXPECT_TRUE(std::equal(neuf.begin(), neuf.begin() + 0x40, puce.begin()));
    EXPECT_TRUE(std::equal(avant.begin() + 0x40, avant.end(), puce.begin() + 0x40));
    const auto e = Ecritures(b.adaptateur.transcript());
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[4].octets, (std::vector<std::string>{"A0+", "40+", Jeton(neuf[0x40], '-')}));
    EXPECT_EQ(e[4].scrutations, 0);
    EXPECT_EQ(b.Donnees(), 0x06);
  }
}

TEST(Transferts, EmptySocketFailsAtTheDeviceSelectByte) {
  Banc b(8);
  b.adaptateur.takeChip();
  Octets image(8192, 0x3C);
  EXPECT_FALSE(LireMemoire(b.cible, image.data(), b.Noter()));
  EXPECT_EQ(image, Octets(8192, 0x3C));
  auto zone = AllouerSansException(8192);
  const ResultatComparaison r = ComparerMemoire(b.cible, image.data(), zone.get(), b.Noter());
  EXPECT_FALSE(r.Acquittee);
  EXPECT_EQ(r.Differences, 0);
  EXPECT_EQ(ProgrammerMemoireEntiere(b.cible, image.data(), true, b.Noter()), SelectionNonAcquittee);
  EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), 5), SelectionNonAcquittee);
  EXPECT_EQ(b.positions, std::vector<int>{0});  // the first page's start only
  EXPECT_EQ(b.adaptateur.transcript().text(), "S A0- P S A0- P S A0- P S A0- P");
  EXPECT_EQ(b.Donnees(), 0x06);
}

// Pin 7 is set at the start of each write and stays until the power-down:
// grounded for the 24Cxx, released for the PCF8582, which on a 24C02 in the
// socket is its write protect.
TEST(Transferts, PinSevenDuringWritesAndWriteProtect) {
  for (const int cibleType : {3, TypePCF8582}) {
    Banc b(3);
    const Octets avant = b.chip->memory();
    b.cible.ChipType = cibleType;
    b.sim.setRecording(true);
    Octets image(256, 0x5A);
    EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), 0x21), EcritureReussie);
    std::vector<std::uint8_t> ecrits;
    for (const PortAccess& a : b.sim.record())
      if (a.write) ecrits.push_back(a.value);
    ASSERT_GT(ecrits.size(), 2002u);
    EXPECT_EQ(ecrits[2000], cibleType == 3 ? 0xF1 : 0xF5);
    for (std::size_t i = 2000; i + 1 < ecrits.size(); ++i)
      ASSERT_EQ(ecrits[i] & BitPin7, cibleType == 3 ? 0 : BitPin7) << i;
    EXPECT_EQ(ecrits.back(), 0x06);
    EXPECT_EQ(b.chip->memory()[0x21], cibleType == 3 ? 0x5A : avant[0x21]);
  }
}

TEST(Transferts, OneByteOutsideTheChipSendsNothing) {
  Banc b(6);
  Octets image(2048, 0);
  b.sim.setRecording(true);
  EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), 2048), AdresseHorsMemoire);
  EXPECT_EQ(ProgrammerOctetSeul(b.cible, image.data(), -1), AdresseHorsMemoire);
  ASSERT_EQ(b.sim.record().size(), 2u * 2001u);
  EXPECT_EQ(b.sim.record().back().value, 0x06);
  EXPECT_TRUE(b.adaptateur.transcript().events().empty());
}

}  // namespace
}  // namespace zorbix
