// The loop-back search for the adapter over the three ports, against the
// simulated adapters.
#include "engine/autodetection.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/port.h"
#include "engine/sim/simulated_backend.h"
#include "scripted_port.h"

namespace zorbix {
namespace {

struct Port {
  std::uint16_t base;
  bool adaptateur;  // false: a port with nothing attached (status reads 0xFF)
  bool puce;        // a 24C16 in the socket
};

int Detecter(const std::vector<Port>& ports, SimulatedBackend& sim) {
  for (const Port& p : ports) {
    SimulatedAdapter& a = sim.addAdapter(p.base);
    a.setNothingAttached(!p.adaptateur);
    if (p.puce) a.insertChip(EepromModel::create(6));
  }
  test::Installed installe(sim);
  return DetecterProgrammateur();
}

TEST(Autodetection, TheLastPortThatLoopsBackWins) {
  struct Cas {
    std::vector<Port> ports;
    int attendu;
  };
  const Cas cas[] = {
      {{{AdresseLPT2, true, true}}, 1},
      {{{AdresseLPT1, true, true}, {AdresseLPT3, true, false}}, 2},
      {{{AdresseLPT1, true, false}, {AdresseLPT2, true, true}}, 1},
      {{{AdresseLPT1, false, false}, {AdresseLPT2, false, true}}, -1},
      {{}, -1},
      {{{AdresseLPT2, true, false}}, 1},  // the loop-back needs no chip
  };
  for (const Cas& c : cas) {
    SimulatedBackend sim;
    EXPECT_EQ(Detecter(c.ports, sim), c.attendu) << "case " << (&c - cas);
    test::Installed installe(sim);
    for (const Port& p : c.ports) EXPECT_EQ(LirePort(p.base), 0x06);
  }
}

// Each port in turn: powered (2000 writes), a stop, SDA released and read,
// SDA pulled low and read, a stop, powered down; nothing else anywhere.
TEST(Autodetection, TestsEachPortInOrderWithTheLoopBackSequence) {
  SimulatedBackend sim;
  sim.setRecording(true);
  Detecter({}, sim);
  ASSERT_EQ(sim.record().size(), 3u * 2019u);
  for (int i = 0; i < 3; ++i) {
    const std::uint16_t base = AdressesPorts[i];
    const PortAccess* r = &sim.record()[static_cast<std::size_t>(i) * 2019];
    std::vector<std::uint16_t> lectures;
    for (int j = 0; j < 2019; ++j) {
      if (j < 2000) {
        EXPECT_TRUE(r[j].write && r[j].value == 0xF5);
      }
      if (!r[j].write && r[j].address != base) lectures.push_back(r[j].address);
      EXPECT_TRUE(r[j].address == base || (!r[j].write && r[j].address == base + 1));
    }
    EXPECT_EQ(lectures, (std::vector<std::uint16_t>{static_cast<std::uint16_t>(base + 1),
                                                    static_cast<std::uint16_t>(base + 1)}));
    EXPECT_EQ(r[2018].value, 0x06);
  }
}

}  // namespace
}  // namespace zorbix
