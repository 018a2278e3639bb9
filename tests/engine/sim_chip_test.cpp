// The EEPROM models against their data sheets, driven byte by byte as every
// adapter's simulation drives them: no pins, the chip's time set by hand.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/eeprom_model.h"
#include "sim_fixture.h"

namespace zorbix {
namespace {

// Real page buffer sizes, from the data sheets.
constexpr int kPage[NombreTypesMemoire] = {8, 1, 8, 8, 16, 16, 16, 32, 32, 64, 64, 128};
constexpr std::uint64_t kCycle = EepromModel::DefaultWriteCycleMicroseconds;

std::uint8_t Pattern(int a) { return static_cast<std::uint8_t>(a * 37 + (a >> 8) + 1); }

std::vector<std::uint8_t> Header(int chipType, int a) { return simtest::SimFixture::Header(chipType, a); }

std::vector<std::uint8_t> Plus(std::vector<std::uint8_t> bytes, std::initializer_list<std::uint8_t> more) {
  bytes.insert(bytes.end(), more);
  return bytes;
}

// A master that speaks to the chip in bytes; `now` is the chip's time.
class ByteMaster {
 public:
  explicit ByteMaster(int chipType) : chip(EepromModel::create(chipType)) { chip->setClock(&now); }
  ByteMaster(const ByteMaster&) = delete;
  ByteMaster& operator=(const ByteMaster&) = delete;

  // One write transaction; false at the first byte refused (nothing more is sent).
  bool write(const std::vector<std::uint8_t>& bytes) {
    chip->start();
    bool ok = true;
    for (std::uint8_t b : bytes)
      if (ok) ok = chip->writeByte(b);
    chip->stop();
    return ok;
  }
  // Sends `prefix` (select, address), then a repeated START and `select`,
  // and reads `count` bytes, the last one without acknowledge.
  std::vector<std::uint8_t> read(const std::vector<std::uint8_t>& prefix, std::uint8_t select, int count) {
    std::vector<std::uint8_t> out;
    chip->start();
    for (std::uint8_t b : prefix) chip->writeByte(b);
    chip->start();
    if (chip->writeByte(select)) {
      for (int i = 0; i < count; ++i) {
        out.push_back(chip->readByte());
        chip->masterAck(i + 1 < count);
      }
    }
    chip->stop();
    return out;
  }
  // Lets the write cycle end, then checks that the chip answers again.
  bool settle() {
    now += chip->busy() ? kCycle : 0;
    return write({0xA0});
  }

  std::uint64_t now = 1000;
  std::unique_ptr<EepromModel> chip;
};

class EveryChipByteLevel : public ::testing::TestWithParam<int> {};

// What every adapter's simulation relies on: the model is the catalogue's
// type, it decodes its select and block bits, wraps a page write inside its
// own page buffer, refuses polls for exactly its write cycle, and wraps a
// sequential read at its capacity.
TEST_P(EveryChipByteLevel, PageWrapCapacityWrapBlockBitsAndPolls) {
  const int type = GetParam(), page = kPage[type];
  const ChipSpec& fiche = SpecMemoire(type);
  const int size = fiche.Taille;
  ByteMaster m(type);
  EXPECT_EQ(m.chip->chipType(), type);
  EXPECT_STREQ(m.chip->name(), fiche.NomCourt);
  EXPECT_EQ(m.chip->pageSize(), page);
  EXPECT_EQ(m.chip->memory(), std::vector<std::uint8_t>(static_cast<std::size_t>(size), 0xFF));

  // Select bits 3..1 with the pins at 000: the 24C00 decodes none, the block
  // types take their low bits as address bits, the rest must match the pins.
  for (int bits = 0; bits < 8; ++bits) {
    const bool expected = size == 16 || (bits >> fiche.BitsBlocSelection) == 0;
    const auto select = static_cast<std::uint8_t>(0xA0 | (bits << 1));
    EXPECT_EQ(m.write({select}), expected) << "bits " << bits;
    EXPECT_EQ(m.write({static_cast<std::uint8_t>(select | 1)}), expected) << "read, bits " << bits;
  }
  EXPECT_EQ(m.chip->writeCyclesStarted(), 0);

  // page + 1 bytes from the middle of the last page (block bits set on the
  // block types): the last one wraps over the first.
  const int base = size - page, start = base + page / 2;
  std::vector<std::uint8_t> bytes = Header(type, start);
  for (int i = 0; i < page + 1; ++i) bytes.push_back(static_cast<std::uint8_t>(0x40 + i));
  ASSERT_TRUE(m.write(bytes));
  const std::uint64_t stop = m.now;
  EXPECT_TRUE(m.chip->busy());
  EXPECT_EQ(m.chip->memory()[static_cast<std::size_t>(start)], 0xFF);
  m.now = stop + kCycle - 1;
  EXPECT_FALSE(m.write({0xA0}));  // the last refused poll
  m.now = stop + kCycle;
  EXPECT_TRUE(m.write({0xA0}));
  std::vector<std::uint8_t> expected(static_cast<std::size_t>(size), 0xFF);
  for (int i = 0; i < page + 1; ++i)
    expected[static_cast<std::size_t>(base + (start - base + i) % page)] = static_cast<std::uint8_t>(0x40 + i);
  EXPECT_EQ(m.chip->memory(), expected);
  EXPECT_EQ(m.chip->writeCyclesStarted(), 1);

  // A random read three bytes before the end runs over the whole chip, and
  // the counter goes on from where it stopped.
  for (int a = 0; a < size; ++a) m.chip->memory()[static_cast<std::size_t>(a)] = Pattern(a);
  const std::vector<std::uint8_t> got = m.read(Header(type, size - 3), 0xA1, size + 3);
  ASSERT_EQ(got.size(), static_cast<std::size_t>(size + 3));
  for (int i = 0; i < size + 3; ++i) ASSERT_EQ(got[static_cast<std::size_t>(i)], Pattern((size - 3 + i) % size)) << i;
  m.chip->start();
  ASSERT_TRUE(m.chip->writeByte(0xA1));
  EXPECT_EQ(m.chip->readByte(), Pattern(0));
  m.chip->masterAck(false);
  EXPECT_EQ(m.chip->readByte(), 0xFF);  // after the master's no acknowledge, nothing
  m.chip->stop();
}

INSTANTIATE_TEST_SUITE_P(AllTypes, EveryChipByteLevel, ::testing::Range(0, NombreTypesMemoire),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string("T") + SpecMemoire(info.param).NomCourt;
                         });

TEST(ChipByteLevel, WriteProtectStopsTheWriteCycleOnlyWherePin7IsAWriteProtect) {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    // The PCF8582's pin 7 is its programming-time control and the 24C00's
    // is not connected.
    const bool protects = type != TypePCF8582 && SpecMemoire(type).Taille != 16;
    ByteMaster m(type);
    m.chip->setWriteProtect(true);
    EXPECT_TRUE(m.write(Plus(Header(type, 0), {0x5A}))) << type;  // acknowledged all the same
    EXPECT_EQ(m.chip->busy(), !protects) << type;
    EXPECT_TRUE(m.settle());
    EXPECT_EQ(m.chip->memory()[0], protects ? 0xFF : 0x5A) << type;
    EXPECT_EQ(m.chip->writeCyclesStarted(), protects ? 0 : 1) << type;
  }
}

TEST(ChipByteLevel, AWriteHappensOnlyAtAStopAfterItsData) {
  ByteMaster m(6);
  // A repeated START after the data: nothing written, the chip free at once.
  m.chip->start();
  for (std::uint8_t b : {0xA0, 0x10, 0x99}) ASSERT_TRUE(m.chip->writeByte(b));
  m.chip->start();
  m.chip->stop();
  EXPECT_FALSE(m.chip->busy());
  // A STOP that cut the next byte short: nothing either.
  m.chip->start();
  for (std::uint8_t b : {0xA0, 0x10, 0x99}) ASSERT_TRUE(m.chip->writeByte(b));
  m.chip->stopInsideByte();
  EXPECT_FALSE(m.chip->busy());
  EXPECT_EQ(m.chip->memory()[0x10], 0xFF);
  // An address alone sets the counter and writes nothing.
  m.chip->memory()[0x20] = 0xC3;
  EXPECT_TRUE(m.write({0xA0, 0x20}));
  EXPECT_FALSE(m.chip->busy());
  EXPECT_EQ(m.read({}, 0xA1, 1), std::vector<std::uint8_t>{0xC3});
  EXPECT_EQ(m.chip->writeCyclesStarted(), 0);
  // No START: no transaction, nothing acknowledged.
  EXPECT_FALSE(m.chip->writeByte(0xA0));
  EXPECT_EQ(m.chip->readByte(), 0xFF);
}

TEST(ChipByteLevel, AddressDecoding) {
  ByteMaster c16(6);  // other device codes than 1010 are not this chip's
  for (std::uint8_t code : {0x00, 0x50, 0xB0, 0xE0, 0x20, 0xF0}) EXPECT_FALSE(c16.write({code})) << int(code);
  // Address bits above the capacity are not decoded: 24C00 keeps 4 bits of
  // its address byte, 24C01 7, 24C32 12 of its two.
  const struct {
    int type;
    std::vector<std::uint8_t> header;
    int address;
  } rows[] = {{1, {0xA0, 0xF3}, 3}, {2, {0xA0, 0x85}, 5}, {7, {0xA0, 0xF0, 0x10}, 0x010}};
  for (const auto& r : rows) {
    ByteMaster m(r.type);
    ASSERT_TRUE(m.write(Plus(r.header, {0x11})));
    ASSERT_TRUE(m.settle());
    EXPECT_EQ(m.chip->memory()[static_cast<std::size_t>(r.address)], 0x11) << r.type;
  }
  // 24C00: a page of one byte, each byte written over the last.
  ByteMaster c00(1);
  ASSERT_TRUE(c00.write({0xA0, 0x04, 0x01, 0x02, 0x03}));
  ASSERT_TRUE(c00.settle());
  std::vector<std::uint8_t> expected(16, 0xFF);
  expected[4] = 0x03;
  EXPECT_EQ(c00.chip->memory(), expected);
}

TEST(ChipByteLevel, WriteCycleLengthNeverEndingCycleAndPowerLoss) {
  // A slower chip refuses polls for its own cycle.
  ByteMaster slow(6);
  slow.chip->setWriteCycleMicroseconds(20000);
  ASSERT_TRUE(slow.write({0xA0, 0x00, 0x01}));
  const std::uint64_t stop = slow.now;
  slow.now = stop + 19999;
  EXPECT_FALSE(slow.write({0xA0}));
  slow.now = stop + 20000;
  EXPECT_TRUE(slow.write({0xA0}));
  EXPECT_EQ(slow.chip->memory()[0], 0x01);

  // Power lost during the cycle: the write is lost, the chip comes back idle.
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    ByteMaster m(type);
    ASSERT_TRUE(m.write(Plus(Header(type, 5), {0x00})));
    m.chip->powerLost();
    m.now += 10 * kCycle;
    EXPECT_FALSE(m.chip->busy()) << type;
    EXPECT_EQ(m.chip->memory()[5], 0xFF) << type;
    EXPECT_EQ(m.chip->writeCyclesStarted(), 1) << type;
    EXPECT_TRUE(m.write({0xA0})) << type;
  }

  // A cycle that never ends refuses every poll, until power is lost.
  ByteMaster stuck(8);
  stuck.chip->setNeverEndsWriteCycle(true);
  ASSERT_TRUE(stuck.write({0xA0, 0x00, 0x00, 0xAB}));
  stuck.now += 1000 * kCycle;
  EXPECT_FALSE(stuck.write({0xA0}));
  EXPECT_TRUE(stuck.chip->busy());
  stuck.chip->powerLost();
  EXPECT_FALSE(stuck.chip->busy());
  EXPECT_TRUE(stuck.write({0xA0}));
  EXPECT_EQ(stuck.chip->memory()[0], 0xFF);
}

}  // namespace
}  // namespace zorbix
