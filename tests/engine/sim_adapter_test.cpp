// The adapter's electrics, the backend's addresses and access counting,
// the access record, the bus transcript and every fault switch.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace zorbix::simtest {
namespace {

constexpr std::uint16_t kStatus = AdresseLPT1 + 1;

std::uint8_t StatusAfter(std::uint8_t data) {
  EcrirePort(AdresseLPT1, data);
  return LirePort(kStatus);
}

TEST(AdapterElectrics, SdaFollowsTheTransistorOnlyWhilePowered) {
  SimFixture f(6);
  f.adapter.takeChip();  // the pull-up and the transistor alone
  // Status = 0x3F | SDA << 6: the open pins of the port, Busy reading 0.
  EXPECT_EQ(StatusAfter(0xF5), 0x7F);  // powered, D1 = 0: pulled up
  EXPECT_EQ(StatusAfter(0xF7), 0x3F);  // powered, D1 = 1: transistor
  EXPECT_EQ(StatusAfter(0x05), 0x3F);  // unpowered: no pull-up
  EXPECT_EQ(StatusAfter(0x75), 0x3F);  // three supply lines out of four
  EXPECT_EQ(StatusAfter(0x06), 0x3F);
  f.adapter.setStatusOtherBits(0x38);
  EXPECT_EQ(StatusAfter(0xF5), 0x78);
  EXPECT_EQ(StatusAfter(0xF7), 0x38);
}

TEST(AdapterElectrics, Pin7IsHighUnlessGroundedAndOnlyWhilePowered) {
  SimFixture f(6);
  const struct {
    std::uint8_t data;
    bool wp, scl, powered;
  } rows[] = {{0xF5, true, true, true}, {0xF1, false, true, true},
              {0xF4, true, false, true}, {0x06, false, false, false}, {0x0D, false, true, false}};
  for (const auto& r : rows) {
    EcrirePort(AdresseLPT1, r.data);
    EXPECT_EQ(f.adapter.wp(), r.wp) << int(r.data);
    EXPECT_EQ(f.adapter.scl(), r.scl) << int(r.data);
    EXPECT_EQ(f.adapter.powered(), r.powered) << int(r.data);
  }
}

TEST(AdapterElectrics, DataRegisterReadsBackAndStatusShowsTheChipsAcknowledge) {
  SimFixture f(6);
  for (int v : {0x00, 0x5A, 0xF7, 0xFF}) {
    EcrirePort(AdresseLPT1, static_cast<std::uint8_t>(v));
    EXPECT_EQ(LirePort(AdresseLPT1), v);
  }
  f.wire.powerUp();
  f.wire.start();
  for (int bit = 7; bit >= 0; --bit) {
    const bool one = (0xA0 >> bit) & 1;
    f.wire.set(false, one);
    f.wire.set(true, one);
    f.wire.set(false, one);
  }
  f.wire.set(false, true);  // the master lets go; the chip holds SDA low
  EXPECT_TRUE(f.adapter.chipPullsSdaLow());
  EXPECT_EQ(LirePort(kStatus) & 0x40, 0);
}

TEST(Backend, AddressesWithoutAnAdapterReadFFAndEveryAccessCountsOnce) {
  SimulatedBackend sim;
  PortBackend* previous = InstallerBackend(&sim);
  EXPECT_EQ(LirePort(AdresseLPT1), 0xFF);
  SimulatedAdapter& lpt2 = sim.addAdapter(AdresseLPT2);
  EXPECT_EQ(&sim.addAdapter(AdresseLPT2), &lpt2);
  EcrirePort(AdresseLPT2, 0xF7);
  EcrirePort(AdresseLPT1, 0x12);
  EcrirePort(AdresseLPT3, 0x34);
  EXPECT_EQ(LirePort(AdresseLPT2), 0xF7);
  EXPECT_EQ(LirePort(AdresseLPT2 + 1), 0x3F);
  EXPECT_EQ(LirePort(AdresseLPT1), 0xFF);
  EXPECT_EQ(LirePort(AdresseLPT3 + 1), 0xFF);
  EXPECT_EQ(LirePort(AdresseLPT2 + 2), 0xFF);  // the control register is not simulated
  EXPECT_EQ(sim.accessCount(), 9u);
  EXPECT_TRUE(sim.record().empty());
  InstallerBackend(previous);
}

TEST(Backend, RecordHoldsEveryAccessInOrder) {
  SimFixture f(6);
  f.sim.setRecording(true);
  const std::uint64_t before = f.sim.accessCount();
  f.wire.write({0xA0});
  const auto& rec = f.sim.record();
  ASSERT_EQ(rec.size(), f.sim.accessCount() - before);
  // START: SDA released, SCL high, SDA low, SCL low.
  EXPECT_EQ(rec[0].address, AdresseLPT1);
  EXPECT_TRUE(rec[0].write);
  EXPECT_EQ(rec[1].value, 0xF1);
  EXPECT_EQ(rec[2].value, 0xF3);
  EXPECT_EQ(rec[3].value, 0xF2);
  int reads = 0;
  for (const PortAccess& a : rec)
    if (!a.write) {
      ++reads;
      EXPECT_EQ(a.address, kStatus);
      EXPECT_EQ(a.value, 0x3F);  // acknowledged: SDA low
    }
  EXPECT_EQ(reads, 1);
  f.sim.clearRecord();
  f.sim.setRecording(false);
  LirePort(kStatus);
  EXPECT_TRUE(f.sim.record().empty());
}

TEST(Transcript, RandomReadOnTheWireWithWhoAcknowledged) {
  SimFixture f(7);
  f.chip->memory()[0x0123] = 0x55;
  f.chip->memory()[0x0124] = 0x66;
  f.adapter.clearTranscript();
  f.wire.read({0xA0, 0x01, 0x23}, 0xA1, 2);
  f.wire.write({0xA4});  // not this chip's address pins
  EXPECT_EQ(f.adapter.transcript().text(), "S A0+ 01+ 23+ Sr A1+ 55* 66- P S A4- P");
  EXPECT_EQ(f.adapter.transcript().bytes(),
            (std::vector<std::uint8_t>{0xA0, 0x01, 0x23, 0xA1, 0x55, 0x66, 0xA4}));
  const auto& e = f.adapter.transcript().events();
  for (std::size_t i = 1; i < e.size(); ++i) EXPECT_LE(e[i - 1].time, e[i].time);
}

TEST(Transcript, ShowsAByteCutShortAndTheMastersOwnAcknowledge) {
  SimFixture f(6);
  f.adapter.clearTranscript();
  f.wire.start();
  for (bool one : {true, false, true}) {
    f.wire.set(false, one);
    f.wire.set(true, one);
    f.wire.set(false, one);
  }
  f.wire.stop();
  // A master that pulls SDA low on the ninth clock of its own byte.
  f.wire.start();
  for (int bit = 0; bit < 9; ++bit) {
    f.wire.set(false, false);
    f.wire.set(true, false);
    f.wire.set(false, false);
  }
  f.wire.set(false, true);
  f.wire.stop();
  EXPECT_EQ(f.adapter.transcript().text(), "S ?101 P S 00* P");
  f.adapter.setTranscribing(false);
  f.wire.write({0xA0});
  EXPECT_EQ(f.adapter.transcript().events().size(), 6u);
}

TEST(Faults, EmptySocketAcknowledgesNothing) {
  SimFixture f(6);
  f.adapter.insertChip(nullptr);
  EXPECT_EQ(f.adapter.chip(), nullptr);
  EXPECT_FALSE(f.wire.write({0xA0}));
  EXPECT_EQ(f.wire.read({}, 0xA1, 1), std::vector<std::uint8_t>{0xFF});
}

TEST(Faults, SmallerChipRefusesTheUpperBlockAndWrapsOnRead) {
  SimFixture f(3);  // a 24C02 where a 24C04 is expected
  for (int a = 0; a < 256; ++a) f.chip->memory()[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(a);
  EXPECT_FALSE(f.wire.write({0xA2, 0x00, 0x01}));
  const std::vector<std::uint8_t> got = f.wire.read({0xA0, 0x00}, 0xA1, 512);
  for (int a = 0; a < 512; ++a) ASSERT_EQ(got[static_cast<std::size_t>(a)], a & 0xFF) << a;
}

TEST(Faults, ChipRemovedAfterNAccessesTakesItsDataWithIt) {
  SimFixture f(6);
  f.adapter.removeChipAfter(150);
  EXPECT_TRUE(f.wire.write({0xA0, 0x00, 0x42}));  // about 90 accesses
  while (f.adapter.chip()) LirePort(kStatus);
  ASSERT_NE(f.adapter.removedChip(), nullptr);
  EXPECT_FALSE(f.wire.write({0xA0}));
  // Removed in the middle of its write cycle: the byte never made it.
  EXPECT_EQ(f.adapter.removedChip()->memory()[0], 0xFF);
  EXPECT_FALSE(f.adapter.removedChip()->busy());
}

TEST(Faults, ChipRemovedExactlyAtTheGivenAccess) {
  SimFixture f(6);
  const std::uint64_t start = f.sim.accessCount();
  f.adapter.removeChipAfter(10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_NE(f.adapter.chip(), nullptr) << i;
    LirePort(kStatus);
  }
  EXPECT_EQ(f.sim.accessCount(), start + 10);
  LirePort(kStatus);
  EXPECT_EQ(f.adapter.chip(), nullptr);
}

TEST(Faults, StuckSdaHidesTheChip) {
  SimFixture f(6);
  f.adapter.setStuckSda(StuckLine::High);
  EXPECT_FALSE(f.wire.write({0xA0}));
  EXPECT_EQ(StatusAfter(0xF7) & 0x40, 0x40);
  f.adapter.setStuckSda(StuckLine::Low);
  EXPECT_EQ(StatusAfter(0xF5) & 0x40, 0);
  // Every byte looks acknowledged, but the chip saw no START and wrote nothing.
  f.wire.powerUp();
  EXPECT_TRUE(f.wire.write({0xA0, 0x00, 0x55}));
  f.adapter.setStuckSda(StuckLine::None);
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0], 0xFF);
}

TEST(Faults, StuckSclMeansNoClockForTheChip) {
  for (StuckLine stuck : {StuckLine::Low, StuckLine::High}) {
    SimFixture f(6);
    f.adapter.setStuckScl(stuck);
    EXPECT_FALSE(f.wire.write({0xA0})) << int(stuck);
    f.adapter.setStuckScl(StuckLine::None);
    f.wire.powerUp();
    EXPECT_TRUE(f.wire.write({0xA0})) << int(stuck);
  }
}

TEST(Faults, NothingAttachedReadsFFWhateverIsWritten) {
  SimFixture f(6);
  f.adapter.setNothingAttached(true);
  for (std::uint8_t v : {0x00, 0x02, 0x06, 0xF5, 0xF7}) EXPECT_EQ(StatusAfter(v), 0xFF);
  EXPECT_EQ(LirePort(AdresseLPT1), 0xF7);  // the port itself is there
  EXPECT_FALSE(f.adapter.powered());
  f.wire.powerUp();
  EXPECT_FALSE(f.wire.write({0xA0}));
}

TEST(Faults, DataRegisterWithStuckBits) {
  SimFixture f(6);
  f.adapter.setDataReadback(0xFF, 0xFF);
  EcrirePort(AdresseLPT1, 0x06);
  EXPECT_EQ(LirePort(AdresseLPT1), 0xFF);
  EXPECT_FALSE(f.adapter.powered());  // the lines follow what was written
  f.adapter.setDataReadback(0x03, 0x01);
  EcrirePort(AdresseLPT1, 0xF6);
  EXPECT_EQ(LirePort(AdresseLPT1), 0xF5);
}

}  // namespace
}  // namespace zorbix::simtest
