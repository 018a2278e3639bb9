// The chip operations through the simulated CH341A on every chip type: what
// the chip holds afterwards, the bytes on its wire, the progress positions,
// and the faults (empty socket, endless write cycle, device unplugged).
#include <gtest/gtest.h>

#include "bus_transactions.h"
#include "ch341a_fixture.h"
#include "engine/transfer_messages.h"

namespace zorbix {
namespace {

using test::BancCh341a;
using test::EnTete;
using test::Jeton;
using test::Jetons;
using test::Suite;
using test::Octets;

class Ch341aParType : public ::testing::TestWithParam<int> {};

TEST_P(Ch341aParType, ReadProgramByPagesAndBytesCompare) {
  const int type = GetParam(), n = SpecMemoire(type).Taille, k = OctetsAdresse(type), page = TaillePage(n);
  static constexpr VitesseBus Vitesses[3] = {VitesseBus::K100, VitesseBus::K400, VitesseBus::K750};
  BancCh341a b(type, {Vitesses[type % 3], 0});
  const Octets contenu = b.modele->memory();

  Octets lu(static_cast<std::size_t>(n), 0x55);
  ASSERT_EQ(b.puce.lireMemoire(lu.data(), b.Noter()), EtatLecture::Lue);
  EXPECT_EQ(lu, contenu);
  const int s = PasProgression(n, DivisionsLecture);
  std::vector<int> pasLecture = Suite(s - 1, s, n - 1);
  pasLecture.push_back(n);
  EXPECT_EQ(b.positions, pasLecture);
  Jetons fil = {"A0+"};
  fil.insert(fil.end(), static_cast<std::size_t>(k), "00+");
  fil.insert(fil.end(), {"Sr", "A1+"});
  for (int i = 0; i < n; ++i) fil.push_back(Jeton(contenu[static_cast<std::size_t>(i)], i < n - 1 ? '*' : '-'));
  EXPECT_EQ(test::Transactions(b.transcript), std::vector<Jetons>{fil});

  const Octets neuf = test::Aleatoires(n, 99);
  b.transcript.clear();
  const ResultatEcritureCh341a r = b.puce.programmerMemoireEntiere(neuf.data(), true, b.Noter());
  EXPECT_EQ(r.Code, WriteResult::EcritureReussie);
  EXPECT_FALSE(r.Debranche);
  const auto ecritures = test::Ecritures(b.transcript);
  ASSERT_EQ(static_cast<int>(ecritures.size()), n / page);
  for (int j = 0; j < n / page; ++j) {
    Jetons attendu = EnTete(type, j * page);
    for (int i = 0; i < page; ++i) attendu.push_back(Jeton(neuf[static_cast<std::size_t>(j * page + i)], '+'));
    EXPECT_EQ(ecritures[static_cast<std::size_t>(j)].octets, attendu) << "page " << j;
    EXPECT_TRUE(ecritures[static_cast<std::size_t>(j)].finVue);
  }
  EXPECT_EQ(b.positions, Suite(0, page, n));
  EXPECT_EQ(b.puce.cyclesEcriture(), n / page);
  EXPECT_EQ(b.modele->memory(), neuf);

  Octets image = neuf;
  if (OctetParOctetPropose(type)) {
    image = test::Aleatoires(n, 5);
    b.transcript.clear();
    EXPECT_EQ(b.puce.programmerMemoireEntiere(image.data(), false, b.Noter()).Code, WriteResult::EcritureReussie);
    EXPECT_EQ(static_cast<int>(test::Ecritures(b.transcript).size()), n);
    const int pas = PasProgression(n, DivisionsOctetParOctet);
    EXPECT_EQ(b.positions, Suite(pas - 1, pas, n));
    EXPECT_EQ(b.modele->memory(), image);
  }

  Octets zone(static_cast<std::size_t>(n));
  ResultatComparaisonCh341a c = b.puce.comparerMemoire(image.data(), zone.data(), b.Noter());
  EXPECT_TRUE(c.Comparaison.Acquittee && c.Comparaison.Differences == 0 && !c.Debranche);
  EXPECT_EQ(b.positions, pasLecture);
  for (int a : {0, n / 2, n - 1}) image[static_cast<std::size_t>(a)] ^= 0x10;
  c = b.puce.comparerMemoire(image.data(), zone.data(), nullptr);
  EXPECT_EQ(c.Comparaison.Differences, 3);

  // One byte at the last address, alone in its transaction.
  image[static_cast<std::size_t>(n - 1)] = 0x3C;
  b.transcript.clear();
  EXPECT_EQ(b.puce.programmerOctetSeul(image.data(), n - 1).Code, WriteResult::EcritureReussie);
  Jetons seul = EnTete(type, n - 1);
  seul.push_back("3C+");
  EXPECT_EQ(test::Ecritures(b.transcript).at(0).octets, seul);
  EXPECT_EQ(b.modele->memory()[static_cast<std::size_t>(n - 1)], 0x3C);
}

INSTANTIATE_TEST_SUITE_P(TousLesTypes, Ch341aParType, ::testing::Range(0, NombreTypesMemoire));

// An empty socket refuses the first device-select byte of each operation:
// result 1 and its message, a read that leaves the image as it was, a
// compare without acknowledge; each operation ends with its STOP.
TEST(Ch341aPannes, EmptySocketRefusesEveryOperation) {
  BancCh341a b(-1);
  const Octets image(2048, 0x00);
  const ResultatEcritureCh341a r = b.puce.programmerMemoireEntiere(image.data(), true, b.Noter());
  EXPECT_EQ(r.Code, WriteResult::SelectionNonAcquittee);
  EXPECT_STREQ(MessageCh341a(r), MessageProgrammation(WriteResult::SelectionNonAcquittee));
  EXPECT_EQ(b.positions, std::vector<int>{0});
  Octets lu(2048, 0x55);
  EXPECT_EQ(b.puce.lireMemoire(lu.data(), b.Noter()), EtatLecture::NonAcquittee);
  EXPECT_EQ(lu, Octets(2048, 0x55));
  EXPECT_TRUE(b.positions.empty());
  Octets zone(2048);
  EXPECT_FALSE(b.puce.comparerMemoire(image.data(), zone.data(), nullptr).Comparaison.Acquittee);
  EXPECT_EQ(b.puce.programmerOctetSeul(image.data(), 2048).Code, WriteResult::AdresseHorsMemoire);
  // The first page's stream went out whole: nobody listened to its bytes.
  std::string page = "S A0-";
  for (int i = 0; i < 1 + 16; ++i) page += " 00-";
  EXPECT_EQ(b.transcript.text(), page + " P S A0- 00- Sr A1- P S A0- 00- Sr A1- P");
  EXPECT_EQ(b.device.transfertsSortie(), 5);
}

// A chip whose write cycle never ends is polled until the deadline has
// passed in the device's time, then the run stops with result 5.
TEST(Ch341aPannes, EndlessWriteCycleStopsAtTheDeadline) {
  BancCh341a b(TypeMemoireParDefaut);
  b.modele->setNeverEndsWriteCycle(true);
  const Octets image = test::Aleatoires(2048, 4);
  const std::uint64_t debut = b.device.maintenantUs();
  const ResultatEcritureCh341a r = b.puce.programmerMemoireEntiere(image.data(), true, b.Noter());
  EXPECT_EQ(r.Code, WriteResult::FinEcritureNonVue);
  EXPECT_FALSE(r.Debranche);
  EXPECT_EQ(b.positions, std::vector<int>{0});
  EXPECT_GT(b.device.maintenantUs() - debut, DelaiFinEcritureMs * 1000);
  EXPECT_GT(b.puce.scrutations(), static_cast<long>(DelaiFinEcritureMs) / 2);
  EXPECT_EQ(b.puce.cyclesEcriture(), 1);
}

// The device unplugged in the middle of a run: the operation stops at the
// failed transfer, says the device is gone, and a read leaves the image
// untouched.
TEST(Ch341aPannes, UnpluggedDeviceEndsTheOperation) {
  BancCh341a b(8);
  const Octets image = test::Aleatoires(8192, 6);
  b.device.debrancherApres(40);
  const ResultatEcritureCh341a r = b.puce.programmerMemoireEntiere(image.data(), true, b.Noter());
  EXPECT_TRUE(r.Debranche);
  EXPECT_NE(r.Code, WriteResult::EcritureReussie);
  EXPECT_STREQ(MessageCh341a(r), TexteCh341aDebranche);
  EXPECT_GT(b.positions.size(), 1u);
  EXPECT_LT(b.positions.size(), 8192u / 32);
  EXPECT_EQ(b.device.transfertsSortie(), 40);

  BancCh341a l(8);
  l.device.debrancherApres(100);
  Octets lu(8192, 0x55);
  EXPECT_EQ(l.puce.lireMemoire(lu.data(), nullptr), EtatLecture::Debranche);
  EXPECT_EQ(lu, Octets(8192, 0x55));
  Octets zone(8192);
  EXPECT_TRUE(l.puce.comparerMemoire(image.data(), zone.data(), nullptr).Debranche);
}

}  // namespace
}  // namespace zorbix
