// The seam above the bus: the port identity's parser and formatter, and the
// outcomes an adapter adds to the transfers' own (the port held by another
// program, work that cannot be kept, a stop between two pages).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/adapter_table.h"
#include "engine/chips.h"
#include "engine/parallel_adapter.h"
#include "engine/sim/simulated_backend.h"
#include "engine/use_cases.h"

namespace zorbix {
namespace {

TEST(PortIdentityTest, EveryFormParsesAndFormatsBackToTheSamePort) {
  const PortsSupplementaires autres = {{"parport1", 0xDC00}, {"parport3", 0xD000}};
  const std::vector<IdentitePort> ports = PortsParalleles(autres);
  ASSERT_EQ(ports.size(), 5u);
  const char* const rapports[] = {"LPT1 (0x378)", "LPT2 (0x278)", "LPT3 (0x3BC)", "parport1 (0xDC00)",
                                  "parport3 (0xD000)"};
  const char* const menus[] = {"LPT&1 (378h - 379h)", "LPT&2 (278h - 279h)", "LPT&3 (3bch - 3bdh)",
                               "parport1 (dc00h - dc01h)", "parport3 (d000h - d001h)"};
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const IdentitePort& p = ports[i];
    std::string erreur;
    // By its name, in any case, and by its address.
    std::string bas = TextePort(p, FormePort::Nom);
    for (char& c : bas) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(LireIdentitePort(TextePort(p, FormePort::Nom), autres, erreur), p);
    EXPECT_EQ(LireIdentitePort(bas, autres, erreur), p);
    EXPECT_EQ(LireIdentitePort(TexteAdressePort(p.Adresse), autres, erreur), p);
    EXPECT_EQ(IdentiteDepuisReglage(ValeurReglage(p), autres), p);
    EXPECT_TRUE(erreur.empty()) << erreur;
    EXPECT_EQ(TextePort(p, FormePort::Rapport), rapports[i]);
    EXPECT_EQ(TextePort(p, FormePort::Menu), menus[i]);
  }
  EXPECT_EQ(TextePort(ports[1], FormePort::Detection), "LPT2 (à l'adresse $278)");
  EXPECT_EQ(TextePort(ports[3], FormePort::Detection), "parport1 (à l'adresse $DC00)");

  // An address no port has keeps its address as its name.
  std::string erreur;
  const auto nue = LireIdentitePort("0xE000", {}, erreur);
  ASSERT_TRUE(nue);
  EXPECT_EQ(TextePort(*nue, FormePort::Rapport), "0xE000");
  EXPECT_EQ(LireIdentitePort("sim0", {{"sim0", 0xDC00}}, erreur)->Adresse, 0xDC00);

  // Stored values: an extra port present now by its address, else the
  // three by their rule (632 LPT2, 956 LPT3, anything else LPT1).
  EXPECT_EQ(IdentiteDepuisReglage(956, {}).Nom, "LPT3");
  for (std::int64_t autre : {888, 1234, 0, -1, 0xD000, 0x1D000})
    EXPECT_EQ(IdentiteDepuisReglage(autre, {}).Nom, "LPT1") << autre;
  EXPECT_EQ(IdentiteDepuisReglage(0xD000, autres).Nom, "parport3");
  EXPECT_EQ(IdentiteDepuisReglage(0x1D000, autres).Nom, "LPT1");

  for (const char* refuse : {"LPT4", "0x", "0x10000", "0xFFFF", "0x0", "0x37g", "378", "parport0", "parport",
                             "parport10", "sim0", ""}) {
    erreur.clear();
    EXPECT_FALSE(LireIdentitePort(refuse, autres, erreur)) << refuse;
    EXPECT_FALSE(erreur.empty()) << refuse;
  }
  // The message names what this machine offers.
  EXPECT_NE(erreur.find("LPT1, LPT2, LPT3, parport1, parport3, une adresse"), std::string::npos) << erreur;

  // The CH341As and I2C buses found now: "ch341a" is the first CH341A, a
  // path selects one whether plugged in or not, "i2c-N" a bus present.
  const std::vector<IdentitePort> trouves = {{GenrePort::Ch341a, "3-1.4", 0},
                                             {GenrePort::Ch341a, "1-2", 0},
                                             {GenrePort::I2c, "i2c-1", 1, "bcm2835 & co", false},
                                             {GenrePort::I2c, "i2c-0", 0, "SMBus I801 adapter", true}};
  EXPECT_EQ(LireIdentitePort("CH341a", autres, trouves, erreur), trouves[0]);
  EXPECT_EQ(LireIdentitePort("usb 1-2", autres, trouves, erreur), trouves[1]);
  EXPECT_EQ(LireIdentitePort("CH341A (USB 1-2)", autres, trouves, erreur), trouves[1]);
  EXPECT_EQ(LireIdentitePort("USB 2-7.1", autres, trouves, erreur), IdentitePort(GenrePort::Ch341a, "2-7.1", 0));
  EXPECT_EQ(LireIdentitePort("I2C-1", autres, trouves, erreur)->Libelle, "bcm2835 & co");
  EXPECT_TRUE(LireIdentitePort("i2c-0", autres, trouves, erreur)->Gardee);
  EXPECT_EQ(TextePort(trouves[1], FormePort::Menu), "CH341A (USB 1-2)");
  EXPECT_EQ(TextePort(trouves[1], FormePort::Detection), "CH341A (USB 1-2)");
  EXPECT_EQ(TextePort(trouves[2], FormePort::Nom), "i2c-1");
  EXPECT_EQ(TextePort(trouves[2], FormePort::Rapport), "i2c-1 (bcm2835 & co)");
  EXPECT_EQ(TextePort(trouves[2], FormePort::Menu), "i2c-1 (bcm2835 && co)");
  for (const IdentitePort& p : trouves) {
    EXPECT_EQ(LireIdentitePort(ValeurReglageAdaptateur(p), autres, trouves, erreur), p) << ValeurReglageAdaptateur(p);
    EXPECT_EQ(LireIdentitePort(TextePort(p, FormePort::Nom), autres, trouves, erreur), p);
  }
  EXPECT_EQ(ValeurReglageAdaptateur(ports[0]), "");
  for (const char* refuse : {"i2c-7", "USB 1-", "USB -2", "USB 1-2.", "ch341a (USB 1-2", "i2c-x"}) {
    erreur.clear();
    EXPECT_FALSE(LireIdentitePort(refuse, autres, trouves, erreur)) << refuse;
    EXPECT_FALSE(erreur.empty()) << refuse;
  }
  EXPECT_FALSE(LireIdentitePort("ch341a", autres, {}, erreur));
  EXPECT_EQ(erreur, "aucun programmateur CH341A n'est branché");
}

// The simulator behind a port whose taking and giving back can be made to
// fail, counting both.
class PortPartage final : public PortBackend {
 public:
  explicit PortPartage(PortBackend& cible) : cible_(cible) {}
  std::uint8_t read(std::uint16_t a) override { return cible_.read(a); }
  void write(std::uint16_t a, std::uint8_t v) override { cible_.write(a, v); }
  bool prendre(std::uint16_t, std::string& raison) override {
    ++prises;
    if (occupe) raison = "LPT1 (0x378) : port occupé par un autre programme (lp)";
    return !occupe;
  }
  bool rendre(std::uint16_t, std::string& raison) override {
    ++rendus;
    if (nonConserve) raison = "impossible de remplacer puce.bin";
    return !nonConserve;
  }
  bool occupe = false, nonConserve = false;
  int prises = 0, rendus = 0;

 private:
  PortBackend& cible_;
};

class SeamTest : public ::testing::Test {
 protected:
  SeamTest() : partage_(sim_) {
    puce_ = sim_.addAdapter(AdresseLPT1).insertChip(EepromModel::create(TypeMemoireParDefaut));
    precedent_ = InstallerBackend(&partage_);
    std::mt19937 g(5);
    for (auto& o : image_) o = static_cast<std::uint8_t>(g());
  }
  ~SeamTest() override { InstallerBackend(precedent_); }

  SimulatedBackend sim_;
  PortPartage partage_;
  EepromModel* puce_;
  PortBackend* precedent_;
  std::vector<std::uint8_t> image_ = std::vector<std::uint8_t>(TailleMemoireParDefaut);
  const Puce memoire_{TypeMemoireParDefaut, TailleMemoireParDefaut};
  std::unique_ptr<Adapter> adaptateur_ = OuvrirAdaptateur(PortsParalleles({}).front());
};

TEST_F(SeamTest, ABusyPortIsNotTouchedAndWorkThatCannotBeKeptIsAFailure) {
  partage_.occupe = true;
  sim_.setRecording(true);
  const std::vector<std::uint8_t> avant = puce_->memory();
  const IssueProgrammation p =
      ProgrammerEtVerifier(*adaptateur_, memoire_, image_.data(), true, true, AllouerSansException, {});
  const Issue l = LireLaMemoire(*adaptateur_, memoire_, image_.data(), {});
  const BilanDetection d = DetecterAdaptateurParallele({});
  EXPECT_EQ(d.Fin, Deroulement::Occupe);
  for (const Issue* i : {static_cast<const Issue*>(&p), &l}) {
    EXPECT_EQ(i->Fin, Deroulement::Occupe);
    EXPECT_FALSE(i->Reussie);
    EXPECT_EQ(i->Message, "LPT1 (0x378) : port occupé par un autre programme (lp)");
  }
  EXPECT_TRUE(sim_.record().empty());
  EXPECT_EQ(puce_->memory(), avant);
  EXPECT_EQ(partage_.rendus, 0);

  // The programming ran, but its give-back fails: the whole fails there,
  // with no verification.
  partage_.occupe = false;
  partage_.nonConserve = true;
  const IssueProgrammation q =
      ProgrammerEtVerifier(*adaptateur_, memoire_, image_.data(), true, true, AllouerSansException, {});
  EXPECT_EQ(q.Fin, Deroulement::NonConserve);
  EXPECT_FALSE(q.Reussie);
  EXPECT_EQ(q.Message, "impossible de remplacer puce.bin");
  EXPECT_EQ(partage_.prises, 6);  // the detection tried each of the three ports
  EXPECT_EQ(partage_.rendus, 1);  // the five refused ones were never given back
}

TEST_F(SeamTest, AnInterruptionStopsAtAPageBoundaryPoweredDownAndGivenBack) {
  const std::vector<std::uint8_t> avant = puce_->memory();
  std::vector<int> positions;
  const Suivi suivi{[&](int p) {
                      positions.push_back(p);
                      if (p == 512) throw Interruption{p};
                    },
                    [] { ADD_FAILURE() << "no verification after an interruption"; }};
  sim_.setRecording(true);
  const IssueProgrammation issue =
      ProgrammerEtVerifier(*adaptateur_, memoire_, image_.data(), true, true, AllouerSansException, suivi);
  EXPECT_EQ(issue.Fin, Deroulement::Interrompu);
  EXPECT_EQ(issue.Position, 512);
  EXPECT_FALSE(issue.Reussie);
  EXPECT_EQ(positions.back(), 512);
  // Every page before it holds the image, nothing from it on was written.
  EXPECT_TRUE(std::equal(image_.begin(), image_.begin() + 512, puce_->memory().begin()));
  EXPECT_TRUE(std::equal(avant.begin() + 512, avant.end(), puce_->memory().begin() + 512));
  // The supply is off and the port given back.
  const PortAccess& derniere = sim_.record().back();
  EXPECT_TRUE(derniere.write);
  EXPECT_EQ(derniere.value, 0x06);
  EXPECT_EQ(partage_.prises, 1);
  EXPECT_EQ(partage_.rendus, 1);
}

// A 24C16 answers its eight block addresses and nothing else; the probe
// writes nothing, and an empty socket answers none.
TEST_F(SeamTest, TheAcknowledgeProbeSeesTheBlocksAndWritesNothing) {
  const std::vector<std::uint8_t> avant = puce_->memory();
  for (int s = 0xA0; s <= 0xAE; s += 2)
    EXPECT_TRUE(adaptateur_->SonderAcquittement(static_cast<std::uint8_t>(s)).Acquittee) << s;
  EXPECT_FALSE(adaptateur_->SonderAcquittement(0xB0).Acquittee);
  EXPECT_FALSE(adaptateur_->SonderAcquittement(0x90).Acquittee);
  EXPECT_EQ(puce_->memory(), avant);
  sim_.adapter(AdresseLPT1)->takeChip();
  EXPECT_FALSE(adaptateur_->SonderAcquittement(0xA0).Acquittee);
  EXPECT_EQ(LirePort(AdresseLPT1), 0x06);
  EXPECT_EQ(partage_.prises, partage_.rendus);
}

}  // namespace
}  // namespace zorbix
