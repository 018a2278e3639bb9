// The range use cases and the identification through the adapter seam, on
// the simulated chips: what goes on the wire, what the chip holds afterwards;
// and the identification through an adapter that is not the parallel port.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bus_transactions.h"
#include "engine/adapter_table.h"
#include "engine/chips.h"
#include "engine/identification.h"
#include "engine/sim/simulated_backend.h"
#include "engine/transfer_messages.h"
#include "engine/use_cases.h"
#include "scripted_port.h"
#include "tests/random_bytes.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;
using Jetons = std::vector<std::string>;

using test::Aleatoires;

// A chip of `type` with random contents on LPT1, and the parallel adapter
// that the command line opens for it.
struct Banc {
  explicit Banc(int type) : installe(sim), puce{type, SpecMemoire(type).Taille} {
    chip = adaptateur.insertChip(EepromModel::create(type));
    chip->memory() = Aleatoires(chip->size(), 11u + type);
    adaptateur.setTranscribing(true);
  }
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  test::Installed installe;
  Puce puce;
  EepromModel* chip = nullptr;
  std::unique_ptr<Adapter> parallele = OuvrirAdaptateur(PortsParalleles({}).front());
};

// A 24C16 range across two page boundaries and a block boundary: three page
// transactions, each stopping at the boundary, the bytes around untouched;
// byte by byte, one transaction a byte, then the range alone read back.
TEST(PlageTest, ProgrammingSplitsAtPageBoundariesAndTouchesNothingElse) {
  Banc b(6);
  const Octets avant = b.chip->memory();
  const Partie plage{false, {0xF5, 40}};
  const Octets neuf = Aleatoires(40, 5);
  std::vector<int> positions;
  IssueProgrammation p =
      ProgrammerLaPartieEtVerifier(*b.parallele, b.puce, plage, neuf.data(), true, false, AllouerSansException,
                                   {[&](int x) { positions.push_back(x); }, nullptr});
  ASSERT_TRUE(p.Reussie) << p.Message;
  const auto ecritures = test::Ecritures(b.adaptateur.transcript());
  ASSERT_EQ(ecritures.size(), 3u);
  EXPECT_EQ((Jetons{ecritures[0].octets[0], ecritures[0].octets[1]}), (Jetons{"A0+", "F5+"}));
  EXPECT_EQ((Jetons{ecritures[1].octets[0], ecritures[1].octets[1]}), (Jetons{"A2+", "00+"}));
  EXPECT_EQ((Jetons{ecritures[2].octets[0], ecritures[2].octets[1]}), (Jetons{"A2+", "10+"}));
  EXPECT_EQ(ecritures[0].octets.size() + ecritures[1].octets.size() + ecritures[2].octets.size(), 40u + 6u);
  EXPECT_EQ(positions, (std::vector<int>{0, 11, 27, 40}));
  Octets attendu = avant;
  std::copy(neuf.begin(), neuf.end(), attendu.begin() + 0xF5);
  EXPECT_EQ(b.chip->memory(), attendu);

  // Byte by byte and verified: forty one-byte writes, then one read of the range.
  const Octets autre = Aleatoires(40, 6);
  b.adaptateur.clearTranscript();
  p = ProgrammerLaPartieEtVerifier(*b.parallele, b.puce, plage, autre.data(), false, true, AllouerSansException, {});
  ASSERT_TRUE(p.Reussie && p.Verifiee) << p.Message;
  const auto transactions = test::Transactions(b.adaptateur.transcript());
  EXPECT_EQ(test::Ecritures(b.adaptateur.transcript()).size(), 41u);
  EXPECT_EQ(transactions.back().size(), 2u + 2u + 40u);  // A0 F5 Sr A1, then the 40 bytes
  std::copy(autre.begin(), autre.end(), attendu.begin() + 0xF5);
  EXPECT_EQ(b.chip->memory(), attendu);

  Octets lu(40);
  ASSERT_TRUE(LireLaPartie(*b.parallele, b.puce, plage, lu.data(), {}).Reussie);
  EXPECT_EQ(lu, autre);
  int differentes = 0;
  for (int i = 0; i < 40; ++i) differentes += neuf[i] != autre[i];
  const IssueComparaison c =
      ComparerLaPartieEtJuger(*b.parallele, b.puce, plage, neuf.data(), AllouerSansException(40), {});
  EXPECT_EQ(c.Resultat.Differences, differentes);
  EXPECT_EQ(c.Message, TexteDifferences(differentes, 40));

  // Outside the chip: refused with the port untouched.
  const auto acces = b.sim.accessCount();
  p = ProgrammerLaPartieEtVerifier(*b.parallele, b.puce, {false, {0x7F0, 17}}, neuf.data(), true, true,
                                   AllouerSansException, {});
  EXPECT_EQ(p.Resultat, WriteResult::AdresseHorsMemoire);
  EXPECT_FALSE(LireLaPartie(*b.parallele, b.puce, {false, {0x800, 1}}, lu.data(), {}).Reussie);
  EXPECT_EQ(b.sim.accessCount(), acces);
}

// Every type, random contents: the identification never writes (no write
// cycle, contents unchanged), never stops right after an address byte, and
// keeps the type in the socket among its candidates.
TEST(IdentificationTest, ReadsOnlyAndKeepsTheTypeInTheSocket) {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    Banc b(type);
    const Octets avant = b.chip->memory();
    Identification id;
    ASSERT_EQ(IdentifierMemoire(*b.parallele, id).Fin, Deroulement::Termine);
    EXPECT_TRUE(id.Possible(type)) << SpecMemoire(type).NomCourt;
    EXPECT_EQ(b.chip->writeCyclesStarted(), 0) << SpecMemoire(type).NomCourt;
    EXPECT_EQ(b.chip->memory(), avant);
    for (const Jetons& t : test::Transactions(b.adaptateur.transcript())) {
      const bool selectionEcriture = !t.empty() && (std::stoi(t[0].substr(0, 2), nullptr, 16) & 1) == 0;
      if (selectionEcriture && t.size() > 1) {
        EXPECT_NE(std::find(t.begin(), t.end(), "Sr"), t.end());
      }
    }
  }
}

// An adapter that is not the parallel port: it gives each probe to the chip
// model as bus events, as an adapter running I2C transactions itself does,
// and gives up a transaction at the first byte refused. It serves nothing
// but the probing.
class AdaptateurDeMessages final : public Adapter, private Sondeur {
 public:
  explicit AdaptateurDeMessages(EepromModel& puce) : puce_(puce) {}
  int sondages = 0;

  const IdentitePort& Identite() const override { return identite_; }
  bool VoitChaqueAcquittement() const override { return true; }
  BilanLecture Lire(const Puce&, std::uint8_t*, const Progression&) override { return Hors<BilanLecture>(); }
  BilanProgrammation ProgrammerTout(const Puce&, const std::uint8_t*, bool, const Progression&) override {
    return Hors<BilanProgrammation>();
  }
  BilanProgrammation ProgrammerUnOctet(const Puce&, const std::uint8_t*, int) override {
    return Hors<BilanProgrammation>();
  }
  BilanComparaison Comparer(const Puce&, const std::uint8_t*, std::uint8_t*, const Progression&) override {
    return Hors<BilanComparaison>();
  }
  BilanLecture LirePlage(const Puce&, const Plage&, std::uint8_t*, const Progression&) override {
    return Hors<BilanLecture>();
  }
  BilanProgrammation ProgrammerPlage(const Puce&, const Plage&, const std::uint8_t*, bool,
                                     const Progression&) override {
    return Hors<BilanProgrammation>();
  }
  BilanSonde SonderAcquittement(std::uint8_t) override { return Hors<BilanSonde>(); }
  Bilan Sonder(const std::function<void(Sondeur&)>& sondage) override {
    ++sondages;
    sondage(*this);
    return {};
  }

 private:
  template <typename BilanT>
  BilanT Hors() {
    ADD_FAILURE() << "the identification only probes";
    return {};
  }
  bool SelectionAcquittee(std::uint8_t selection) override {
    puce_.start();
    const bool acquittee = puce_.writeByte(static_cast<std::uint8_t>(selection | 1));
    if (acquittee) {
      puce_.readByte();
      puce_.masterAck(false);
    }
    puce_.stop();
    return acquittee;
  }
  bool LireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse, std::uint8_t* octets,
                        int nombre) override {
    std::fill(octets, octets + nombre, 0xFF);
    puce_.start();
    bool acquittee = puce_.writeByte(static_cast<std::uint8_t>(selection & 0xFE));
    for (int i = 0; acquittee && i < nombreAdresse; ++i) acquittee = puce_.writeByte(adresse[i]);
    if (acquittee) {
      puce_.start();
      puce_.writeByte(static_cast<std::uint8_t>(selection | 1));
      for (int i = 0; i < nombre; ++i) {
        octets[i] = puce_.readByte();
        puce_.masterAck(i + 1 < nombre);
      }
    }
    puce_.stop();
    return acquittee;
  }

  EepromModel& puce_;
  IdentitePort identite_{GenrePort::Parallele, "messages", 0};
};

// Every type, random and erased: the probing through that adapter, in one
// operation of it, concludes what it concludes on the parallel port, and the
// chip (which would store an extra address byte followed by a STOP) never
// starts a write cycle.
TEST(IdentificationTest, AnotherAdapterConcludesAsTheParallelPortDoes) {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    for (const bool efface : {false, true}) {
      Banc b(type);
      if (efface) std::fill(b.chip->memory().begin(), b.chip->memory().end(), 0xFF);
      Identification parallele, messages;
      IdentifierMemoire(*b.parallele, parallele);
      const std::unique_ptr<EepromModel> puce = EepromModel::create(type);
      puce->memory() = b.chip->memory();
      AdaptateurDeMessages adaptateur(*puce);
      ASSERT_EQ(IdentifierMemoire(adaptateur, messages).Fin, Deroulement::Termine);
      const std::string nom = std::string(SpecMemoire(type).NomCourt) + (efface ? " effacée" : "");
      EXPECT_EQ(adaptateur.sondages, 1) << nom;
      EXPECT_EQ(messages.SelectionsAcquittees, parallele.SelectionsAcquittees) << nom;
      EXPECT_EQ(messages.Lectures.size(), parallele.Lectures.size()) << nom;
      EXPECT_EQ(messages.Verdict, parallele.Verdict) << nom;
      EXPECT_EQ(messages.TailleRetenue, parallele.TailleRetenue) << nom;
      for (int t = 0; t < NombreTypesMemoire; ++t) EXPECT_EQ(messages.Possible(t), parallele.Possible(t)) << nom;
      EXPECT_TRUE(messages.Possible(type)) << nom;
      EXPECT_EQ(puce->writeCyclesStarted(), 0) << nom;
      EXPECT_EQ(puce->memory(), b.chip->memory()) << nom;
    }
  }
}

}  // namespace
}  // namespace zorbix
