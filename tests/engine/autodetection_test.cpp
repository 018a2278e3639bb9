// The loop-back test of the autodetection, port by port. Which port wins is
// checked through the handler (tests/shell/main_window_transfers_test.cpp).
#include "engine/autodetection.h"

#include <gtest/gtest.h>

#include "engine/port.h"
#include "engine/sim/simulated_backend.h"
#include "scripted_port.h"

namespace zorbix {
namespace {

// Each port in turn, whether it exists or not: powered (2000 writes), a
// stop, SDA released and read, SDA pulled low and read, a stop, powered down.
TEST(Autodetection, TestsEachPortInOrderWithTheLoopBackSequence) {
  SimulatedBackend sim;
  sim.addAdapter(AdresseLPT2);
  sim.setRecording(true);
  test::Installed installe(sim);
  EXPECT_EQ(DetecterProgrammateur(), 1);
  constexpr int ParPort = 2000 + 6 + 2 + 1 + 2 + 1 + 6 + 1;
  ASSERT_EQ(sim.record().size(), 3u * ParPort);
  for (int i = 0; i < 3; ++i) {
    const std::uint16_t base = AdressesPorts[i];
    const PortAccess* r = &sim.record()[i * ParPort];
    std::vector<int> lecturesStatut;
    for (int j = 0; j < ParPort; ++j) {
      ASSERT_TRUE(r[j].address == base || (!r[j].write && r[j].address == base + 1));
      if (j < 2000) {
        ASSERT_TRUE(r[j].write && r[j].value == 0xF5);
      }
      if (r[j].address == base + 1) lecturesStatut.push_back(j);
    }
    EXPECT_EQ(lecturesStatut, (std::vector<int>{2008, 2011}));
    EXPECT_EQ(r[ParPort - 1].value, 0x06);
  }
  EXPECT_EQ(LirePort(AdresseLPT2), 0x06);
}

}  // namespace
}  // namespace zorbix
