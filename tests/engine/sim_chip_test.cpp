// The EEPROM models against their data sheets, driven over the simulated
// wire with a bus driver of the tests' own.
#include <gtest/gtest.h>

#include <numeric>

#include "sim_fixture.h"

namespace zorbix::simtest {
namespace {

// Real page buffer sizes, from the data sheets.
constexpr int kPage[NombreTypesMemoire] = {8, 1, 8, 8, 16, 16, 16, 32, 32, 64, 64, 128};

std::uint8_t Pattern(int a) { return static_cast<std::uint8_t>(a * 37 + (a >> 8) + 1); }

class ChipModelTest : public ::testing::TestWithParam<int> {
 protected:
  ChipModelTest() : f(GetParam()) {}
  int type() const { return GetParam(); }
  int size() const { return SpecMemoire(type()).Taille; }
  void fillPattern() {
    auto& m = f.chip->memory();
    for (int a = 0; a < size(); ++a) m[static_cast<std::size_t>(a)] = Pattern(a);
  }
  SimFixture f;
};

TEST_P(ChipModelTest, ModelMatchesTheCatalogue) {
  EXPECT_EQ(f.chip->chipType(), type());
  EXPECT_STREQ(f.chip->name(), SpecMemoire(type()).NomCourt);
  EXPECT_EQ(f.chip->size(), size());
  EXPECT_EQ(f.chip->pageSize(), kPage[type()]);
  EXPECT_EQ(f.chip->memory(), std::vector<std::uint8_t>(static_cast<std::size_t>(size()), 0xFF));
}

TEST_P(ChipModelTest, RandomReadThenSequentialReadWrapsAtTheChipsCapacity) {
  fillPattern();
  const int from = size() - 3;
  const std::vector<std::uint8_t> got = f.wire.read(SimFixture::Header(type(), from), 0xA1, 6);
  EXPECT_EQ(got, (std::vector<std::uint8_t>{Pattern(from), Pattern(from + 1), Pattern(from + 2),
                                            Pattern(0), Pattern(1), Pattern(2)}));
  // The counter goes on from there: a current address read gives byte 3.
  EXPECT_EQ(f.wire.read({}, 0xA1, 1), std::vector<std::uint8_t>{Pattern(3)});
}

TEST_P(ChipModelTest, WholeChipReadsBackInOneSequentialRead) {
  fillPattern();
  std::vector<std::uint8_t> got = f.wire.read(SimFixture::Header(type(), 0), 0xA1, size() + 1);
  EXPECT_EQ(got.back(), Pattern(0));  // one past the end wrapped to address 0
  got.pop_back();
  EXPECT_EQ(got, f.chip->memory());
}

TEST_P(ChipModelTest, PageWriteWrapsInsideTheRealPageAfterTheWriteCycle) {
  const int page = kPage[type()];
  const int base = size() - page;  // last page: nothing follows it to overflow into
  const int start = base + page / 2;
  std::vector<std::uint8_t> bytes = SimFixture::Header(type(), start);
  for (int i = 0; i < page + 1; ++i) bytes.push_back(static_cast<std::uint8_t>(0x40 + i));
  ASSERT_TRUE(f.wire.write(bytes));
  const std::uint64_t stop = f.sim.accessCount();

  // Nothing is in the array while the cycle runs, and polls are refused.
  EXPECT_TRUE(f.chip->busy());
  EXPECT_EQ(f.chip->memory()[static_cast<std::size_t>(start)], 0xFF);
  ASSERT_GT(f.settle(), 1);
  EXPECT_GE(f.sim.accessCount() - stop, EepromModel::DefaultWriteCycleMicroseconds);
  EXPECT_FALSE(f.chip->busy());

  // page + 1 bytes from the middle: the last one overwrote the first.
  std::vector<std::uint8_t> expected(static_cast<std::size_t>(size()), 0xFF);
  for (int i = 0; i < page + 1; ++i)
    expected[static_cast<std::size_t>(base + (start - base + i) % page)] =
        static_cast<std::uint8_t>(0x40 + i);
  EXPECT_EQ(f.chip->memory(), expected);
  EXPECT_EQ(f.chip->writeCyclesStarted(), 1);
}

TEST_P(ChipModelTest, PollsAreRefusedUntilTheCycleEndsThenTheFirstOneIsAccepted) {
  ASSERT_TRUE(f.wire.write([&] {
    auto b = SimFixture::Header(type(), 0);
    b.push_back(0x12);
    return b;
  }()));
  const std::uint64_t stop = f.sim.accessCount();
  std::uint64_t lastRefused = 0;
  for (;;) {
    const std::uint64_t before = f.sim.accessCount();
    if (f.wire.write({0xA0})) break;
    lastRefused = before;
    ASSERT_LT(before - stop, 20000u) << "write cycle never ended";
  }
  EXPECT_LT(lastRefused - stop, EepromModel::DefaultWriteCycleMicroseconds);
  EXPECT_EQ(f.chip->memory()[0], 0x12);
}

TEST_P(ChipModelTest, WriteProtectHighIsAcknowledgedButWritesNothing) {
  // Only the 24Cxx with a WP pin protect; the PCF8582's pin 7 is its
  // programming-time control and the 24C00's is not connected.
  const bool protects = type() != TypePCF8582 && size() != 16;
  f.wire.setWp(true);
  auto bytes = SimFixture::Header(type(), 0);
  bytes.push_back(0x5A);
  EXPECT_TRUE(f.wire.write(bytes));
  // No write cycle: the very first poll is answered.
  if (protects)
    EXPECT_EQ(f.settle(), 1);
  else
    EXPECT_GT(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0], protects ? 0xFF : 0x5A);
  EXPECT_EQ(f.chip->writeCyclesStarted(), protects ? 0 : 1);
}

TEST_P(ChipModelTest, PowerLossDuringTheWriteCycleLosesTheWrite) {
  fillPattern();
  auto bytes = SimFixture::Header(type(), 5);
  bytes.push_back(0x00);
  ASSERT_TRUE(f.wire.write(bytes));
  f.wire.powerDown();
  for (int i = 0; i < 6000; ++i) LirePort(AdresseLPT1 + 1);  // long after the cycle would end
  f.wire.powerUp();
  EXPECT_FALSE(f.chip->busy());
  EXPECT_EQ(f.chip->memory()[5], Pattern(5));
  // The chip came back idle and serves the next transaction.
  EXPECT_EQ(f.wire.read(SimFixture::Header(type(), 5), 0xA1, 1), std::vector<std::uint8_t>{Pattern(5)});
}

TEST_P(ChipModelTest, PowerLossInTheMiddleOfATransactionResetsTheBus) {
  fillPattern();
  f.wire.start();
  ASSERT_TRUE(f.wire.send(0xA1));
  f.wire.set(false, true);
  f.wire.set(true, true);  // one bit into the first byte
  f.wire.powerDown();
  f.wire.powerUp();
  EXPECT_FALSE(f.adapter.chipPullsSdaLow());
  EXPECT_EQ(f.wire.read(SimFixture::Header(type(), 1), 0xA1, 2),
            (std::vector<std::uint8_t>{Pattern(1), Pattern(2)}));
}

INSTANTIATE_TEST_SUITE_P(AllTypes, ChipModelTest, ::testing::Range(0, NombreTypesMemoire),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string("T") + SpecMemoire(info.param).NomCourt;
                         });

// Which device-select bits 3..1 each type answers to, with its pins at 000.
TEST(ChipSelect, EachFamilyDecodesItsSelectBits) {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    const ChipSpec& fiche = SpecMemoire(type);
    for (int bits = 0; bits < 8; ++bits) {
      SimFixture f(type);
      bool expected;
      if (fiche.Taille == 16)
        expected = true;  // 24C00: not decoded
      else
        expected = (bits >> fiche.BitsBlocSelection) == 0;  // the rest must match A2..A0 = 0
      const auto select = static_cast<std::uint8_t>(0xA0 | (bits << 1));
      EXPECT_EQ(f.wire.write({select}), expected) << fiche.NomCourt << " bits " << bits;
      EXPECT_EQ(f.wire.write({static_cast<std::uint8_t>(select | 1)}), expected)
          << fiche.NomCourt << " read, bits " << bits;
    }
  }
}

TEST(ChipSelect, OtherDeviceCodesAreIgnored) {
  SimFixture f(6);
  for (std::uint8_t code : {0x00, 0x50, 0xB0, 0xE0, 0x20, 0xF0})
    EXPECT_FALSE(f.wire.write({code})) << int(code);
}

TEST(ChipSelect, BlockBitsAddressTheUpperMemory) {
  // 24C16: select 0xAE carries A10..A8 = 111; 24C04: 0xA2 carries A8.
  SimFixture c16(6);
  ASSERT_TRUE(c16.wire.write({0xAE, 0xFF, 0x77}));
  ASSERT_GT(c16.settle(), 0);
  EXPECT_EQ(c16.chip->memory()[0x7FF], 0x77);
  SimFixture c04(4);
  ASSERT_TRUE(c04.wire.write({0xA2, 0x00, 0x66}));
  ASSERT_GT(c04.settle(), 0);
  EXPECT_EQ(c04.chip->memory()[0x100], 0x66);
  EXPECT_EQ(c04.chip->memory()[0x000], 0xFF);
}

TEST(ChipAddress, BitsAboveTheCapacityAreNotDecoded) {
  SimFixture c00(1);  // 24C00: low 4 bits of the address byte
  ASSERT_TRUE(c00.wire.write({0xA0, 0xF3, 0x11}));
  ASSERT_GT(c00.settle(), 0);
  EXPECT_EQ(c00.chip->memory()[3], 0x11);
  SimFixture c01(2);  // 24C01: low 7 bits
  ASSERT_TRUE(c01.wire.write({0xA0, 0x85, 0x22}));
  ASSERT_GT(c01.settle(), 0);
  EXPECT_EQ(c01.chip->memory()[5], 0x22);
  SimFixture c32(7);  // 24C32: 12 bits of the two address bytes
  ASSERT_TRUE(c32.wire.write({0xA0, 0xF0, 0x10, 0x33}));
  ASSERT_GT(c32.settle(), 0);
  EXPECT_EQ(c32.chip->memory()[0x010], 0x33);
}

TEST(ChipProtocol, ByteWriteOnlyOn24C00KeepsTheLastByte) {
  SimFixture f(1);
  ASSERT_TRUE(f.wire.write({0xA0, 0x04, 0x01, 0x02, 0x03}));
  ASSERT_GT(f.settle(), 0);
  std::vector<std::uint8_t> expected(16, 0xFF);
  expected[4] = 0x03;
  EXPECT_EQ(f.chip->memory(), expected);
}

TEST(ChipProtocol, AWriteHappensOnlyAtAStopAfterACompleteByte) {
  // Repeated START after the data: no write, the chip is free at once.
  SimFixture f(6);
  f.wire.start();
  f.wire.send(0xA0);
  f.wire.send(0x10);
  f.wire.send(0x99);
  f.wire.start();
  f.wire.stop();
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0x10], 0xFF);

  // STOP four bits into the second data byte: aborted as well.
  f.wire.start();
  f.wire.send(0xA0);
  f.wire.send(0x10);
  f.wire.send(0x99);
  for (int bit = 0; bit < 4; ++bit) {
    f.wire.set(false, true);
    f.wire.set(true, true);
    f.wire.set(false, true);
  }
  f.wire.stop();
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.chip->memory()[0x10], 0xFF);
  EXPECT_EQ(f.chip->writeCyclesStarted(), 0);

  // An address alone sets the counter and writes nothing.
  f.chip->memory()[0x20] = 0xC3;
  EXPECT_TRUE(f.wire.write({0xA0, 0x20}));
  EXPECT_EQ(f.settle(), 1);
  EXPECT_EQ(f.wire.read({}, 0xA1, 1), std::vector<std::uint8_t>{0xC3});
}

TEST(ChipProtocol, BytesWithoutAStartAreIgnored) {
  SimFixture f(6);
  f.wire.stop();
  EXPECT_FALSE(f.wire.send(0xA0));
  EXPECT_FALSE(f.wire.send(0xA1));
}

TEST(ChipProtocol, TheChipReleasesSdaAfterTheMastersNoAcknowledge) {
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

TEST(ChipProtocol, ASlowerWriteCycleIsPolledLonger) {
  SimFixture f(6);
  f.chip->setWriteCycleMicroseconds(20000);
  ASSERT_TRUE(f.wire.write({0xA0, 0x00, 0x01}));
  const std::uint64_t stop = f.sim.accessCount();
  ASSERT_GT(f.wire.poll(0xA0, 2000), 0);
  EXPECT_GE(f.sim.accessCount() - stop, 20000u);
  EXPECT_LT(f.sim.accessCount() - stop, 20100u);  // answered by the first poll after the end
  EXPECT_EQ(f.chip->memory()[0], 0x01);
}

TEST(ChipProtocol, NeverEndingWriteCycleRefusesEveryPollUntilPowerLoss) {
  SimFixture f(8);
  f.chip->setNeverEndsWriteCycle(true);
  ASSERT_TRUE(f.wire.write({0xA0, 0x00, 0x00, 0xAB}));
  EXPECT_EQ(f.wire.poll(0xA0, 500), -1);  // about 17 ms of polling
  EXPECT_TRUE(f.chip->busy());
  EXPECT_EQ(f.chip->memory()[0], 0xFF);
  f.wire.powerDown();
  f.wire.powerUp();
  EXPECT_FALSE(f.chip->busy());
  EXPECT_EQ(f.wire.poll(0xA0, 1), 1);
  EXPECT_EQ(f.chip->memory()[0], 0xFF);
}

}  // namespace
}  // namespace zorbix::simtest
