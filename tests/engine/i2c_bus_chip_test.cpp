// The bus master against the simulated chips: what reaches the chip's memory,
// what was on the wire, and the result codes a real chip provokes.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>

#include "engine/chips.h"
#include "engine/i2c_bus.h"
#include "engine/lines.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"

namespace zorbix {
namespace {

constexpr std::uint16_t kBase = AdresseLPT1;

class MasterOnChip : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = InstallerBackend(&sim_); }
  void TearDown() override { InstallerBackend(previous_); }

  EepromModel* Inserer(int chipType) {
    return adapter_.insertChip(EepromModel::create(chipType));
  }
  // Polls in the transcript: the select bytes 0xA0 sent after the first stop.
  int Scrutations() const {
    int n = 0;
    bool apresStop = false;
    for (const BusEvent& e : adapter_.transcript().events()) {
      if (e.kind == BusEvent::Kind::Stop) apresStop = true;
      if (apresStop && e.kind == BusEvent::Kind::Byte && e.value == 0xA0) ++n;
    }
    return n;
  }

  SimulatedBackend sim_;
  SimulatedAdapter& adapter_ = sim_.addAdapter(kBase);

 private:
  PortBackend* previous_ = nullptr;
};

// Reads `n` bytes from `address` with the master's own primitives (a random
// read: dummy write of the address, repeated start, 0xA1).
std::vector<std::uint8_t> Lire(int chipType, int address, int n) {
  const AdresseBus a = AdresserMemoire(chipType, address);
  ConditionStart(kBase);
  EnvoyerOctet(kBase, a.Selection);
  for (int i = 0; i < a.NombreOctets; ++i) EnvoyerOctet(kBase, a.Octets[i]);
  ConditionStart(kBase);
  EnvoyerOctet(kBase, static_cast<std::uint8_t>(a.Selection | 1));
  std::vector<std::uint8_t> v;
  for (int i = 0; i < n; ++i) v.push_back(RecevoirOctet(kBase, i + 1 < n ? Acquittement::Avec : Acquittement::Sans));
  ConditionStop(kBase);
  return v;
}

class EveryChip : public MasterOnChip, public ::testing::WithParamInterface<int> {};

TEST_P(EveryChip, LastPageWrittenByPagesAndOneByteByByteWrite) {
  const int type = GetParam();
  const ChipSpec& s = SpecMemoire(type);
  EepromModel* chip = Inserer(type);
  const CibleI2C cible{kBase, type, s.Taille};
  MiseSousTension(kBase);

  const int page = s.Taille - s.TaillePage;
  std::vector<std::uint8_t> octets(s.TaillePage);
  std::iota(octets.begin(), octets.end(), std::uint8_t{0x40});
  adapter_.clearTranscript();
  ASSERT_EQ(ProgrammerPage(cible, page, octets.data(), s.TaillePage), WriteResult::EcritureReussie);
  // The chip was busy for its write cycle and was polled until it answered.
  const int polls = Scrutations();
  EXPECT_GT(polls, 1);
  EXPECT_LT(polls, NombreMaxScrutations);
  EXPECT_FALSE(chip->busy());
  for (int i = 0; i < s.TaillePage; ++i) ASSERT_EQ(chip->memory()[page + i], octets[i]) << i;
  EXPECT_EQ(chip->memory()[page - 1], 0xFF);

  ASSERT_EQ(ProgrammerOctet(cible, 0, 0x5A), WriteResult::EcritureReussie);
  EXPECT_EQ(chip->memory()[0], 0x5A);
  EXPECT_EQ(Lire(type, page, s.TaillePage), octets);
  EXPECT_EQ(Lire(type, 0, 1), std::vector<std::uint8_t>{0x5A});
  MiseHorsTension(kBase);
  EXPECT_FALSE(adapter_.powered());
}

TEST_P(EveryChip, EmptySocketRefusesTheSelectByteAndIsNotPolled) {
  const int type = GetParam();
  MiseSousTension(kBase);
  std::uint8_t octet = 0;
  EXPECT_EQ(ProgrammerOctet({kBase, type, SpecMemoire(type).Taille}, 1, 2), WriteResult::SelectionNonAcquittee);
  EXPECT_EQ(ProgrammerPage({kBase, type, SpecMemoire(type).Taille}, 0, &octet, 1), WriteResult::SelectionNonAcquittee);
  // One start each: no polling after a refused select byte.
  int starts = 0;
  for (const BusEvent& e : adapter_.transcript().events()) starts += e.kind == BusEvent::Kind::Start;
  EXPECT_EQ(starts, 2);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryChip, ::testing::Range(0, NombreTypesMemoire),
                         [](const auto& info) { return std::string(SpecMemoire(info.param).NomCourt); });

TEST_F(MasterOnChip, WireOfAByteWriteOn24C16) {
  Inserer(6);
  MiseSousTension(kBase);
  adapter_.clearTranscript();
  ASSERT_EQ(ProgrammerOctet({kBase, 6, 2048}, 0x7FF, 0x3C), WriteResult::EcritureReussie);
  const std::string t = adapter_.transcript().text();
  EXPECT_EQ(t.substr(0, 16), "S AE+ FF+ 3C+ P ");
  // Refused polls, then the accepted one.
  EXPECT_NE(t.find("S A0- P"), std::string::npos);
  EXPECT_EQ(t.substr(t.size() - 7), "S A0+ P");
}

TEST_F(MasterOnChip, PageWriteOn24C256SendsOneAddressPhaseAndTheWholePage) {
  EepromModel* chip = Inserer(10);
  MiseSousTension(kBase);
  std::vector<std::uint8_t> page(64, 0x77);
  adapter_.clearTranscript();
  ASSERT_EQ(ProgrammerPage({kBase, 10, 32768}, 0x40, page.data(), 64), WriteResult::EcritureReussie);
  const auto& e = adapter_.transcript().events();
  ASSERT_GE(e.size(), 69u);
  EXPECT_EQ(e[0].kind, BusEvent::Kind::Start);
  EXPECT_EQ(e[1].value, 0xA0);
  EXPECT_EQ(e[2].value, 0x00);
  EXPECT_EQ(e[3].value, 0x40);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(e[4 + i].ack, BusEvent::Ack::Chip);
  EXPECT_EQ(e[68].kind, BusEvent::Kind::Stop);
  EXPECT_EQ(chip->writeCyclesStarted(), 1);
}

TEST_F(MasterOnChip, ChipThatNeverEndsItsWriteCycleGivesCode5AfterExactly2500Polls) {
  EepromModel* chip = Inserer(3);
  chip->setNeverEndsWriteCycle(true);
  MiseSousTension(kBase);
  adapter_.clearTranscript();
  EXPECT_EQ(ProgrammerOctet({kBase, 3, 256}, 0x10, 1), WriteResult::FinEcritureNonVue);
  EXPECT_EQ(Scrutations(), NombreMaxScrutations);
}

TEST_F(MasterOnChip, SmallerChipRefusesTheHigherBlock) {
  EepromModel* chip = Inserer(3);  // a 24C02 while a 24C04 is selected
  MiseSousTension(kBase);
  std::uint8_t page[16];
  std::fill(std::begin(page), std::end(page), 7);
  EXPECT_EQ(ProgrammerPage({kBase, 4, 512}, 0x0F0, page, 16), WriteResult::EcritureReussie);
  EXPECT_EQ(ProgrammerPage({kBase, 4, 512}, 0x100, page, 16), WriteResult::SelectionNonAcquittee);
  // The 24C02's own page is 8 bytes: the 16 sent wrap inside it.
  EXPECT_EQ(chip->memory()[0xF0], 7);
  EXPECT_EQ(chip->memory()[0xF8], 0xFF);
  EXPECT_EQ(chip->memory()[0x00], 0xFF);
}

TEST_F(MasterOnChip, ChipRemovedDuringAPageStopsAtTheDataByte) {
  Inserer(8);
  MiseSousTension(kBase);
  std::uint8_t page[32] = {};
  // Header: 3 bytes of 125 accesses each, plus the start and pin 7; then a
  // few data bytes before the chip goes.
  adapter_.removeChipAfter(12 + 3 * 125 + 4 * 125);
  EXPECT_EQ(ProgrammerPage({kBase, 8, 8192}, 0x20, page, 32), WriteResult::DonneeNonAcquittee);
  EXPECT_EQ(adapter_.chip(), nullptr);
  EXPECT_EQ(adapter_.removedChip()->writeCyclesStarted(), 0);
}

TEST_F(MasterOnChip, Pin7LevelDuringTheTransaction) {
  for (int type : {0, 6}) {
    Inserer(type);
    MiseSousTension(kBase);
    ASSERT_EQ(ProgrammerOctet({kBase, type, SpecMemoire(type).Taille}, 3, 9), WriteResult::EcritureReussie);
    EXPECT_EQ(adapter_.wp(), type == TypePCF8582) << type;
    MiseHorsTension(kBase);
    EXPECT_EQ(LirePort(kBase), ValeurHorsTension);
  }
}

}  // namespace
}  // namespace zorbix
