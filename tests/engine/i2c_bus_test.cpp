// The bus master on its own, against a scripted port: exact register values,
// access counts and wire bytes. Behaviour against a chip model is in
// i2c_bus_chip_test.cpp.
#include "engine/i2c_bus.h"

#include <gtest/gtest.h>

#include "engine/chips.h"
#include "engine/lines.h"
#include "scripted_port.h"

namespace zorbix {
namespace {

using test::Access;
using test::DecodeMaster;
using test::Installed;
using test::ScriptedPort;

constexpr std::uint16_t kBase = AdresseLPT1;

TEST(LineOperations, EachIsOneReadAndOneWriteOfTheDataRegister) {
  struct Case {
    void (*op)(std::uint16_t);
    std::uint8_t before, after;
  };
  const Case cases[] = {{SclHaut, 0xF4, 0xF5}, {SclBas, 0xF5, 0xF4}, {SdaBas, 0xF5, 0xF7},
                        {SdaLibre, 0xF7, 0xF5}, {WpLibre, 0xF1, 0xF5}, {WpMasse, 0xF5, 0xF1},
                        {SclHaut, 0x06, 0x07}, {SdaBas, 0x00, 0x02}};
  for (const Case& c : cases) {
    ScriptedPort port(kBase, c.before);
    Installed in(port);
    c.op(kBase);
    ASSERT_EQ(port.log.size(), 2u);
    EXPECT_FALSE(port.log[0].write);
    EXPECT_EQ(port.log[0].address, kBase);
    EXPECT_TRUE(port.log[1].write);
    EXPECT_EQ(port.log[1].address, kBase);
    EXPECT_EQ(port.log[1].value, c.after);
  }
}

TEST(LineOperations, SdaIsStatusBitSixOfTheStatusRegister) {
  for (std::uint16_t base : AdressesPorts) {
    const std::pair<std::uint8_t, int> cases[] = {{0x40, 1}, {0xFF, 1}, {0xBF, 0}, {0x00, 0}};
    for (auto [status, level] : cases) {
      ScriptedPort port(base);
      port.status = [s = status](int) { return s; };
      Installed in(port);
      EXPECT_EQ(LireSda(base), level);
      ASSERT_EQ(port.log.size(), 1u);
      EXPECT_EQ(port.log[0].address, base + 1);
      EXPECT_FALSE(port.log[0].write);
    }
  }
}

TEST(Supply, PowerUpIs2000PlainWritesAndPowerDownOne) {
  ScriptedPort port(kBase, 0x00);
  Installed in(port);
  MiseSousTension(kBase);
  ASSERT_EQ(port.log.size(), 2000u);
  for (const Access& a : port.log) {
    EXPECT_TRUE(a.write);
    EXPECT_EQ(a.address, kBase);
    EXPECT_EQ(a.value, 0xF5);
  }
  EXPECT_EQ(port.data(), 0xF5);
  port.log.clear();
  MiseHorsTension(kBase);
  ASSERT_EQ(port.log.size(), 1u);
  EXPECT_EQ(port.log[0].value, 0x06);
  EXPECT_EQ(port.data(), 0x06);
}

TEST(Conditions, ExactDataRegisterSequences) {
  ScriptedPort port(kBase, 0xF4);  // powered, SCL low, SDA released
  Installed in(port);
  ConditionStart(kBase);
  EXPECT_EQ(port.writes(), (std::vector<std::uint8_t>{0xF4, 0xF5, 0xF7, 0xF6, 0xF4}));
  port.log.clear();
  ConditionStop(kBase);
  EXPECT_EQ(port.writes(), (std::vector<std::uint8_t>{0xF6, 0xF7, 0xF5}));
  port.log.clear();
  ImpulsionHorloge(kBase);
  EXPECT_EQ(port.writes(), (std::vector<std::uint8_t>{0xF4, 0xF5, 0xF5, 0xF5, 0xF4}));
  EXPECT_EQ(port.log.size(), 10u);
}

TEST(Acknowledge, ReadOnTheNinthClockWithSdaReleased) {
  for (auto [status, acked] : {std::pair{0x00, true}, {0x40, false}, {0xBF, true}, {0xFF, false}}) {
    ScriptedPort port(kBase, 0xF7);
    port.status = [s = status](int) { return static_cast<std::uint8_t>(s); };
    Installed in(port);
    EXPECT_EQ(LireAcquittement(kBase), acked);
    // SclBas, SdaLibre, SclHaut, SclHaut, then the read, then SclBas.
    ASSERT_EQ(port.log.size(), 11u);
    EXPECT_EQ(port.log[8].address, kBase + 1);
    EXPECT_EQ(port.log[7].value, 0xF5);  // SCL high, SDA released when sampled
    EXPECT_EQ(port.data(), 0xF4);
  }
}

TEST(SendByte, SixtyTwoLineOperationsAndOneStatusRead) {
  for (int value : {0xA0, 0x00, 0xFF, 0x5A}) {
    ScriptedPort port(kBase, 0xF4);
    Installed in(port);
    const bool acked = EnvoyerOctet(kBase, static_cast<std::uint8_t>(value));
    EXPECT_TRUE(acked);
    EXPECT_EQ(port.log.size(), 62u * 2 + 1);
    EXPECT_EQ(port.statusReads(), 1);
    const auto wire = DecodeMaster(port.writes(), 0xF4);
    ASSERT_EQ(wire.bytes.size(), 1u);
    EXPECT_EQ(wire.bytes[0], value);
    EXPECT_EQ(wire.starts + wire.stops, 0);
  }
}

TEST(SendByte, A0DrivesSdaBitByBitAndNeedsStatusBit6Low) {
  ScriptedPort port(kBase, 0xF4);
  port.status = [](int) { return std::uint8_t{0x40}; };
  Installed in(port);
  EXPECT_FALSE(EnvoyerOctet(kBase, 0xA0));
  // Each bit: SCL low (1 op), the SDA setting, the pulse (5 ops), release.
  // The SDA setting of bit k is the write number 2 + 7k (0-based).
  const auto w = port.writes();
  const bool low[8] = {false, true, false, true, true, true, true, true};
  for (int k = 0; k < 8; ++k) EXPECT_EQ((w[1 + 7 * k] & 0x02) != 0, low[k]) << "bit " << 7 - k;
}

TEST(ReceiveByte, AssemblesMostSignificantBitFirstAndAcknowledgesOnlyOnFlag1) {
  for (int flag : {1, 0, 2, -1}) {
    ScriptedPort port(kBase, 0xF4);
    const std::uint8_t expected = 0xB4;  // 1011 0100
    port.status = [&](int n) { return static_cast<std::uint8_t>((expected >> (7 - n)) & 1 ? 0x40 : 0x00); };
    Installed in(port);
    EXPECT_EQ(RecevoirOctet(kBase, static_cast<Acquittement>(flag)), expected);
    EXPECT_EQ(port.statusReads(), 8);
    // The ninth clock: SDA held low during it only for flag 1.
    const auto w = port.writes();
    const std::uint8_t ninthHigh = w[w.size() - 3];
    EXPECT_EQ(ninthHigh & 0x01, 1);
    EXPECT_EQ((ninthHigh & 0x02) != 0, flag == 1) << "flag " << flag;
    EXPECT_EQ(port.data() & 0x03, 0x00);  // ends with SCL low and SDA released
  }
}

TEST(Polling, EndsAtTheFirstAcknowledgedPollOrAfter2500) {
  constexpr std::size_t kPoll = 70 * 2 + 1;
  for (int ackAt : {1, 2, 2500, 2501, 0}) {
    ScriptedPort port(kBase, 0xF5);
    port.status = [&](int n) { return static_cast<std::uint8_t>(n + 1 == ackAt ? 0x00 : 0x40); };
    Installed in(port);
    const bool ok = AttendreFinEcriture(kBase);
    const int polls = ackAt >= 1 && ackAt <= 2500 ? ackAt : 2500;
    EXPECT_EQ(ok, ackAt >= 1 && ackAt <= 2500) << ackAt;
    EXPECT_EQ(port.statusReads(), polls);
    EXPECT_EQ(port.log.size(), kPoll * polls);
    if (ackAt == 1) {
      const auto wire = DecodeMaster(port.writes(), 0xF5);
      EXPECT_EQ(wire.bytes, std::vector<std::uint8_t>{0xA0});
      EXPECT_EQ(wire.starts, 1);
      EXPECT_EQ(wire.stops, 1);
    }
  }
}

// Acknowledge script for one transaction: the n-th status read acknowledges
// unless it is `refused` (1-based; 0 = all acknowledged).
void AckAllBut(ScriptedPort& port, int refused) {
  port.status = [refused](int n) { return static_cast<std::uint8_t>(n + 1 == refused ? 0x40 : 0x00); };
}

TEST(ByteWrite, WireBytesPin7AndPolling) {
  struct Case {
    int chipType, address;
    std::vector<std::uint8_t> wire;
  };
  const Case cases[] = {{6, 0x7FF, {0xAE, 0xFF, 0x3C}}, {0, 0x10, {0xA0, 0x10, 0x3C}},
                        {4, 0x1FF, {0xA2, 0xFF, 0x3C}}, {8, 0x1234, {0xA0, 0x12, 0x34, 0x3C}},
                        {11, 0xFFFF, {0xA0, 0xFF, 0xFF, 0x3C}}};
  for (const Case& c : cases) {
    ScriptedPort port(kBase, 0xF5);
    Installed in(port);
    const CibleI2C cible{kBase, c.chipType, SpecMemoire(c.chipType).Taille};
    EXPECT_EQ(ProgrammerOctet(cible, c.address, 0x3C), WriteResult::EcritureReussie);
    const auto w = port.writes();
    // Pin 7 is set before the start: the first write is the pin-7 one.
    EXPECT_EQ((w[0] & BitPin7) != 0, c.chipType == TypePCF8582) << c.chipType;
    const auto wire = DecodeMaster(w, 0xF5);
    std::vector<std::uint8_t> expected = c.wire;
    expected.push_back(0xA0);  // the one poll, acknowledged at once
    EXPECT_EQ(wire.bytes, expected);
    EXPECT_EQ(wire.starts, 2);
    EXPECT_EQ(wire.stops, 2);
    // Pin 7 keeps its level to the end.
    EXPECT_EQ((port.data() & BitPin7) != 0, c.chipType == TypePCF8582);
  }
}

TEST(ByteWrite, AddressOutsideTheChipTouchesNothing) {
  ScriptedPort port(kBase, 0xF5);
  Installed in(port);
  const CibleI2C c{kBase, 6, 2048};
  EXPECT_EQ(ProgrammerOctet(c, 0x800, 1), WriteResult::AdresseHorsMemoire);
  EXPECT_EQ(ProgrammerOctet(c, -1, 1), WriteResult::AdresseHorsMemoire);
  const std::uint8_t page[4] = {};
  EXPECT_EQ(ProgrammerPage(c, 2048, page, 4), WriteResult::AdresseHorsMemoire);
  EXPECT_TRUE(port.log.empty());
}

TEST(ByteWrite, FirstRefusedByteDecidesTheCodeAndSkipsPolling) {
  struct Case {
    int chipType, refused, code;
    std::size_t bytesOnWire;
  };
  const Case cases[] = {{6, 1, 1, 1}, {6, 2, 2, 2}, {6, 3, 4, 3}, {8, 1, 1, 1},
                        {8, 2, 2, 2}, {8, 3, 3, 3}, {8, 4, 4, 4}, {8, 5, 5, 4}};
  for (const Case& c : cases) {
    ScriptedPort port(kBase, 0xF5);
    if (c.code == static_cast<int>(WriteResult::FinEcritureNonVue))
      port.status = [](int n) { return static_cast<std::uint8_t>(n < 4 ? 0x00 : 0x40); };
    else
      AckAllBut(port, c.refused);
    Installed in(port);
    const CibleI2C cible{kBase, c.chipType, SpecMemoire(c.chipType).Taille};
    EXPECT_EQ(static_cast<int>(ProgrammerOctet(cible, 0x123, 0x77)), c.code);
    const auto wire = DecodeMaster(port.writes(), 0xF5);
    const std::size_t polls = c.code == static_cast<int>(WriteResult::FinEcritureNonVue) ? 2500 : 0;
    EXPECT_EQ(wire.bytes.size(), c.bytesOnWire + polls) << c.chipType << "/" << c.refused;
    EXPECT_EQ(wire.stops, 1 + static_cast<int>(polls));
  }
}

TEST(PageWrite, OneStartAllBytesOneStop) {
  ScriptedPort port(kBase, 0xF5);
  Installed in(port);
  std::uint8_t page[64];
  for (int i = 0; i < 64; ++i) page[i] = static_cast<std::uint8_t>(i * 3);
  EXPECT_EQ(ProgrammerPage({kBase, 10, 32768}, 0x0040, page, 64), WriteResult::EcritureReussie);
  const auto wire = DecodeMaster(port.writes(), 0xF5);
  ASSERT_EQ(wire.bytes.size(), 3u + 64 + 1);
  EXPECT_EQ(wire.bytes[0], 0xA0);
  EXPECT_EQ(wire.bytes[1], 0x00);
  EXPECT_EQ(wire.bytes[2], 0x40);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(wire.bytes[3 + i], page[i]);
  EXPECT_EQ(wire.starts, 2);  // the transaction and its one poll
  EXPECT_EQ(wire.stops, 2);
}

TEST(PageWrite, StopsAtTheFirstRefusedDataByte) {
  ScriptedPort port(kBase, 0xF5);
  AckAllBut(port, 2 + 5);  // select, address, then the 5th data byte
  Installed in(port);
  std::uint8_t page[16] = {};
  EXPECT_EQ(ProgrammerPage({kBase, 6, 2048}, 0x10, page, 16), WriteResult::DonneeNonAcquittee);
  const auto wire = DecodeMaster(port.writes(), 0xF5);
  EXPECT_EQ(wire.bytes.size(), 2u + 5);
  EXPECT_EQ(wire.stops, 1);
}

}  // namespace
}  // namespace zorbix
