// Shared set-up of the simulator's tests: one adapter on LPT1 with the chip
// under test, installed as the port backend for the test's duration.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/chips.h"
#include "engine/sim/simulated_backend.h"
#include "sim_wire.h"

namespace zorbix::simtest {

class SimFixture {
 public:
  explicit SimFixture(int chipType) : adapter(sim.addAdapter(AdresseLPT1)), wire(AdresseLPT1) {
    chip = adapter.insertChip(EepromModel::create(chipType));
    previous_ = InstallerBackend(&sim);
    wire.powerUp();
  }
  ~SimFixture() { InstallerBackend(previous_); }

  // Device-select byte (write) and address bytes for memory address `a`, as
  // the data sheets lay them out: A10..A8 in the select byte for the
  // one-address-byte types, two address bytes from the 24C32 on.
  static std::vector<std::uint8_t> Header(int chipType, int a) {
    if (SpecMemoire(chipType).OctetsAdresse == 2)
      return {0xA0, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a)};
    return {static_cast<std::uint8_t>(0xA0 | ((a >> 7) & 0x0E)), static_cast<std::uint8_t>(a)};
  }

  // Waits out the write cycle with polls; the number of polls, or -1.
  int settle() { return wire.poll(0xA0, 1000); }

  SimulatedBackend sim;
  SimulatedAdapter& adapter;
  EepromModel* chip = nullptr;
  Wire wire;

 private:
  PortBackend* previous_ = nullptr;
};

}  // namespace zorbix::simtest
