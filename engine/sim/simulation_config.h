// The simulated ports of a run, from the value of ZORBIX_SIMULATION:
//
//   entry[;entry...]        entry = port ':' chip [ '=' file ]
//   port = LPT1 | LPT2 | LPT3 | 0x<hex address> ; chip = a short name of the
//   catalogue ("24C16", any case) or "empty" for an empty socket.
//
// Example: "LPT1:24C16" or "LPT2:24C64=/home/me/chip.bin;LPT3:empty".
// An address other than the three (for example 0xDC00, where a PCI card
// might sit) is an extra port, as SimulatedBackend::extraPorts names it.
// A file holds the virtual chip's contents: read now for the start-up report
// (a missing file gives an erased chip), then read again and written back by
// each operation (SimulatedBackend::prendre / rendre). A file name cannot
// contain ';'.
#pragma once

#include <memory>
#include <string>

#include "simulated_backend.h"

namespace zorbix {

// The backend for `value`, or nullptr with a French message in `erreur`
// (the caller prints it and stops).
std::unique_ptr<SimulatedBackend> CreerSimulation(const std::string& value, std::string& erreur);

}  // namespace zorbix
