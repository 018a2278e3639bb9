// The CH341A and /dev/i2c-N adapters through the shared use cases, on the
// simulated device and buses of ZORBIX_SIMULATION, for every chip type: the
// virtual chip's file holds what the adapter wrote, and nothing else.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/ch341a_transport_sim.h"
#include "engine/sim/simulated_message_adapters.h"
#include "engine/transfer_messages.h"
#include "engine/usb/ch341a_adapter.h"
#include "engine/use_cases.h"
#include "tests/random_bytes.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;

using test::Aleatoires;

Octets LireFichier(const std::string& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  return Octets(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A CH341A, an I2C bus with I2C_RDWR, an I2C bus with SMBus only.
enum class Genre { Ch341a, I2c, Smbus };

class AdaptateursMessages : public ::testing::TestWithParam<std::tuple<Genre, int>> {
 protected:
  void SetUp() override {
    char modele[] = "/tmp/zorbix_adaptateurs_XXXXXX";
    dossier_ = mkdtemp(modele);
    fichier_ = dossier_ + "/puce.bin";
    const auto [genre, type] = GetParam();
    AdaptateurMessagesSimule d;
    d.Genre = genre == Genre::Ch341a ? GenrePort::Ch341a : GenrePort::I2c;
    d.SmbusSeulement = genre == Genre::Smbus;
    d.ChipType = type;
    d.Fichier = fichier_;
    std::string erreur;
    ASSERT_TRUE(source_.Ajouter(d, erreur)) << erreur;
    const std::vector<AdaptateurTrouve> trouves = source_.Lister(d.Genre);
    ASSERT_EQ(trouves.size(), 1u);
    adaptateur_ = source_.Ouvrir(trouves[0].Port, {});
    puce_ = {type, SpecMemoire(type).Taille};
  }
  void TearDown() override {
    std::remove(fichier_.c_str());
    std::remove((fichier_ + ".lock").c_str());
    rmdir(dossier_.c_str());
  }

  std::string dossier_, fichier_;
  SourceSimulee source_;
  std::unique_ptr<Adapter> adaptateur_;
  Puce puce_{0, 0};
};

TEST_P(AdaptateursMessages, ReadProgramVerifyCompareAndARange) {
  const int n = puce_.ChipSize, type = puce_.ChipType;
  // Programmed and verified; the CH341A's read-back is imposed.
  const Octets image = Aleatoires(n, 7u + static_cast<unsigned>(type));
  std::vector<int> positions;
  const Suivi suivi{[&](int p) { positions.push_back(p); }, nullptr};
  const IssueProgrammation p =
      ProgrammerEtVerifier(*adaptateur_, puce_, image.data(), true, false, AllouerSansException, suivi);
  ASSERT_TRUE(p.Reussie) << p.Message;
  EXPECT_EQ(p.Verifiee, !adaptateur_->VoitChaqueAcquittement());
  EXPECT_EQ(LireFichier(fichier_), image);
  EXPECT_EQ(positions.front(), 0);

  Octets lu(static_cast<std::size_t>(n), 0x55);
  const Issue l = LireLaMemoire(*adaptateur_, puce_, lu.data(), {});
  EXPECT_TRUE(l.Reussie) << l.Message;
  EXPECT_EQ(lu, image);

  Octets autre = image;
  autre[static_cast<std::size_t>(n / 2)] ^= 0x01;
  const IssueComparaison c = ComparerEtJuger(*adaptateur_, puce_, autre.data(), AllouerSansException(n), {});
  EXPECT_FALSE(c.Reussie);
  EXPECT_EQ(c.Resultat.Differences, 1);

  // A range across a page boundary (and a block boundary where there is
  // one): only its bytes change, in both write modes the type offers.
  const int page = TaillePage(n);
  const int debut = n >= 512 ? 256 - page / 2 : page / 2;
  const Plage plage{debut, std::min(page + 3, n - debut)};
  for (bool parPages : {true, false}) {
    if (!parPages && !OctetParOctetPropose(type)) continue;
    const Octets morceau = Aleatoires(plage.Longueur, parPages ? 1u : 2u);
    const BilanProgrammation b = adaptateur_->ProgrammerPlage(puce_, plage, morceau.data(), parPages, {});
    ASSERT_EQ(b.Fin, Deroulement::Termine) << b.Raison;
    EXPECT_EQ(b.Resultat, WriteResult::EcritureReussie);
    Octets attendu = image;
    std::copy(morceau.begin(), morceau.end(), attendu.begin() + plage.Debut);
    EXPECT_EQ(LireFichier(fichier_), attendu) << (parPages ? "par pages" : "octet par octet");
    Octets relu(static_cast<std::size_t>(plage.Longueur));
    EXPECT_TRUE(adaptateur_->LirePlage(puce_, plage, relu.data(), {}).Acquittee);
    EXPECT_EQ(relu, morceau);
  }
  // The probe sees the chip's first block and writes nothing.
  const Octets avant = LireFichier(fichier_);
  EXPECT_TRUE(adaptateur_->SonderAcquittement(0xA0).Acquittee);
  EXPECT_EQ(LireFichier(fichier_), avant);

  // The chip is its file: removed by another program, the chip reads erased.
  ASSERT_EQ(std::remove(fichier_.c_str()), 0);
  EXPECT_TRUE(LireLaMemoire(*adaptateur_, puce_, lu.data(), {}).Reussie);
  EXPECT_EQ(lu, Octets(static_cast<std::size_t>(n), 0xFF));
}

std::string NomDuCas(const ::testing::TestParamInfo<std::tuple<Genre, int>>& info) {
  static const char* const Noms[] = {"CH341A", "I2C", "SMBus"};
  return std::string(Noms[static_cast<int>(std::get<0>(info.param))]) + "_" +
         SpecMemoire(std::get<1>(info.param)).NomCourt;
}

INSTANTIATE_TEST_SUITE_P(TousLesTypes, AdaptateursMessages,
                         ::testing::Combine(::testing::Values(Genre::Ch341a, Genre::I2c, Genre::Smbus),
                                            ::testing::Range(1, NombreTypesMemoire)),
                         NomDuCas);

// The CH341A pulled out in the middle of a programming: the operation ends
// as not kept, with the message saying so, and is not taken as written.
TEST(AdaptateurCh341a, UnpluggedMidProgrammingKeepsNothing) {
  std::unique_ptr<EepromModel> modele = EepromModel::create(8);
  Ch341aDevice device(modele.get());
  device.debrancherApres(40);
  struct Prise final : PriseCh341a {
    explicit Prise(Ch341aDevice& d) : usb(d) {}
    TransportCh341a& Transport() override { return usb; }
    HorlogeMs Horloge() override { return usb.horloge(); }
    bool Rendre(std::string&) override { return true; }
    TransportSimule usb;
  };
  AdaptateurCh341a adaptateur({GenrePort::Ch341a, "1-2", 0}, {},
                              [&](std::string&) { return std::make_unique<Prise>(device); });
  const Octets image = Aleatoires(8192, 3);
  const IssueProgrammation p =
      ProgrammerEtVerifier(adaptateur, {8, 8192}, image.data(), true, true, AllouerSansException, {});
  EXPECT_EQ(p.Fin, Deroulement::NonConserve);
  EXPECT_FALSE(p.Reussie);
  EXPECT_FALSE(p.Verifiee);
  EXPECT_EQ(p.Message, TexteCh341aDebranche);
  // A device that cannot be had at all: nothing is done.
  AdaptateurCh341a absent({GenrePort::Ch341a, "1-3", 0}, {}, [](std::string& raison) {
    raison = "CH341A (USB 1-3) : débranché";
    return std::unique_ptr<PriseCh341a>();
  });
  Octets lu(256, 0x55);
  const Issue l = LireLaMemoire(absent, {3, 256}, lu.data(), {});
  EXPECT_EQ(l.Fin, Deroulement::Occupe);
  EXPECT_EQ(l.Message, "CH341A (USB 1-3) : débranché");
  EXPECT_EQ(lu, Octets(256, 0x55));
}

}  // namespace
}  // namespace zorbix
