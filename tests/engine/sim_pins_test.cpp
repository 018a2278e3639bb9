// The pin decoder: the chip's I2C interface at the level of the lines, in the
// simulated adapter's socket, driven by the tests' own plain bus driver.
#include <gtest/gtest.h>

#include "sim_fixture.h"

namespace zorbix::simtest {
namespace {

void ClockBits(Wire& wire, int count) {
  for (int bit = 0; bit < count; ++bit) {
    wire.set(false, true);
    wire.set(true, true);
    wire.set(false, true);
  }
}

TEST(PinDecoder, PortAccessesAreTheChipsTimeAndPin7ItsWriteProtect) {
  SimFixture f(6);
  ASSERT_TRUE(f.wire.write({0xA0, 0x00, 0x12}));
  const std::uint64_t stop = f.sim.accessCount();
  std::uint64_t lastRefused = 0;
  for (;;) {
    const std::uint64_t before = f.sim.accessCount();
    if (f.wire.write({0xA0})) break;
    lastRefused = before;
    ASSERT_LT(before - stop, 20000u) << "write cycle never ended";
  }
  // Refused until 5000 accesses after the STOP, answered by the next poll.
  EXPECT_LT(lastRefused - stop, EepromModel::DefaultWriteCycleMicroseconds);
  EXPECT_GE(f.sim.accessCount() - stop, EepromModel::DefaultWriteCycleMicroseconds);
  EXPECT_EQ(f.chip->memory()[0], 0x12);

  f.wire.setWp(true);
  EXPECT_TRUE(f.wire.write({0xA0, 0x00, 0x34}));
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0], 0x12);
}

TEST(PinDecoder, OnlyAStopAfterAWholeByteStartsTheWriteCycle) {
  SimFixture f(6);
  f.wire.start();
  for (std::uint8_t b : {0xA0, 0x10, 0x99}) ASSERT_TRUE(f.wire.send(b));
  ClockBits(f.wire, 4);
  f.wire.stop();  // four bits into the next byte
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0x10], 0xFF);
  EXPECT_EQ(f.chip->writeCyclesStarted(), 0);

  ASSERT_TRUE(f.wire.write({0xA0, 0x10, 0x99}));
  EXPECT_GT(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0x10], 0x99);
}

TEST(PinDecoder, BytesWithoutAStartAreIgnored) {
  SimFixture f(6);
  f.wire.stop();
  EXPECT_FALSE(f.wire.send(0xA0));
  EXPECT_FALSE(f.wire.send(0xA1));
}

TEST(PinDecoder, TheChipReleasesSdaAfterTheMastersNoAcknowledge) {
  SimFixture f(3);
  f.chip->memory()[0] = 0x00;  // a byte of zeros keeps SDA low while sent
  f.wire.start();
  f.wire.send(0xA0);
  f.wire.send(0x00);
  f.wire.start();
  ASSERT_TRUE(f.wire.send(0xA1));
  EXPECT_EQ(f.wire.receive(false), 0x00);
  EXPECT_FALSE(f.adapter.chipPullsSdaLow());
  EXPECT_TRUE(f.wire.sda());
  f.wire.stop();
  EXPECT_EQ(f.adapter.transcript().text(), "S A0+ 00+ Sr A1+ 00- P");
}

TEST(PinDecoder, PowerLossInTheMiddleOfATransactionResetsTheBus) {
  for (int type : {6, 8}) {
    SimFixture f(type);
    for (int a = 0; a < 16; ++a) f.chip->memory()[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(a + 1);
    f.wire.start();
    ASSERT_TRUE(f.wire.send(0xA1));
    f.wire.set(false, true);
    f.wire.set(true, true);  // one bit into the first byte
    f.wire.powerDown();
    f.wire.powerUp();
    EXPECT_FALSE(f.adapter.chipPullsSdaLow());
    EXPECT_EQ(f.wire.read(SimFixture::Header(type, 1), 0xA1, 2), (std::vector<std::uint8_t>{2, 3})) << type;
  }
}

}  // namespace
}  // namespace zorbix::simtest
