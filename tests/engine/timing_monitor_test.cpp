// The timing monitor on the real bus operations: the shortest intervals it
// finds are the ones the line operations give by hand (each line operation
// is a read then a write; a line moves at the write), and the time per
// access they allow follows from the data sheet minimums.
#include "engine/sim/timing_monitor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/i2c_bus.h"
#include "engine/lines.h"
#include "sim_fixture.h"

namespace zorbix::simtest {
namespace {

using Shortest = TimingMonitor::Shortest;
constexpr std::uint64_t N = TimingMonitor::NotSeen;

TEST(TimingMonitor, MeasuresEachOperationOnTheWires) {
  SimFixture f(6);
  TimingMonitor monitor;
  f.adapter.attachTimingMonitor(&monitor);
  MiseSousTension(AdresseLPT1);
  monitor.setOperation("start");
  ConditionStart(AdresseLPT1);
  monitor.setOperation("send");
  EnvoyerOctet(AdresseLPT1, 0xA0);
  EnvoyerOctet(AdresseLPT1, 0x00);
  monitor.setOperation("start");
  ConditionStart(AdresseLPT1);  // repeated start
  monitor.setOperation("send");
  EnvoyerOctet(AdresseLPT1, 0xA1);
  monitor.setOperation("receive");
  RecevoirOctet(AdresseLPT1, Acquittement::Avec);
  RecevoirOctet(AdresseLPT1, Acquittement::Sans);
  monitor.setOperation("stop");
  ConditionStop(AdresseLPT1);
  monitor.setOperation("start");
  ConditionStart(AdresseLPT1);
  MiseHorsTension(AdresseLPT1);
  ConditionStop(AdresseLPT1);  // unpowered: no timing
  const std::map<std::string, Shortest>& m = monitor.shortest();

  //                                 t_HIGH t_LOW SU;STA HD;STA SU;STO t_BUF
  // Repeated start after an acknowledge: SclBas, SdaLibre, SclHaut (low
  // four), SdaBas (set-up two), SclBas (hold two, high four). The last start
  // follows the stop's SdaLibre by SdaLibre, SclHaut (no change) and SdaBas.
  EXPECT_EQ(m.at("start"), (Shortest{4, 4, 2, 2, N, 6}));
  // A bit: SclBas, SdaLibre, the next level, SclBas, SclHaut (low eight),
  // then SclHaut three times and SclBas (high six); the ninth clock's high
  // half is two SclHaut, LireSda, SclBas (five).
  EXPECT_EQ(m.at("send"), (Shortest{5, 8, N, N, N, N}));
  // SclHaut, LireSda, SclBas (high three), then the next SclHaut (low two).
  EXPECT_EQ(m.at("receive"), (Shortest{3, 2, N, N, N, N}));
  // The ninth clock's SclBas, SdaLibre, SdaBas, SclHaut (low six), SdaLibre.
  EXPECT_EQ(m.at("stop"), (Shortest{N, 6, N, N, 2, N}));

  I2cInterval limite{};
  EXPECT_DOUBLE_EQ(TimingMonitor::ShortestAccessNs(m.at("receive"), StandardMode, &limite), 4700.0 / 2);
  EXPECT_EQ(limite, I2cInterval::SclLow);
  EXPECT_DOUBLE_EQ(TimingMonitor::ShortestAccessNs(m.at("start"), FastMode, &limite), 1300.0 / 4);
  EXPECT_STREQ(I2cIntervalName(limite), "t_LOW");
  EXPECT_DOUBLE_EQ(TimingMonitor::ShortestAccessNs(m.at("start"), StandardMode, &limite), 4700.0 / 2);
  EXPECT_STREQ(I2cIntervalName(limite), "t_SU;STA");
  EXPECT_EQ(TimingMonitor::ShortestAccessNs(Shortest{N, N, N, N, N, N}, FastMode), 0.0);
  EXPECT_TRUE(std::isinf(TimingMonitor::ShortestAccessNs(Shortest{N, N, N, N, 0, N}, FastMode)));
}

}  // namespace
}  // namespace zorbix::simtest
