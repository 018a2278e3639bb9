// Finding the port that carries the adapter, with no chip needed: the
// adapter loops data bit D1, through the transistor that pulls SDA low, back
// to the Acknowledge input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "extra_ports.h"

namespace zorbix {

// The loop-back test on one port: powers it, releases SDA and reads it,
// pulls SDA low and reads it, then unpowers it (data register 0x06, also on
// a port that does not exist). True when SDA read high then low.
bool PorteLeProgrammateur(std::uint16_t portBase);

// Tests LPT1, LPT2 and LPT3, then each of `supplementaires` in its order,
// all of them, and returns the index of the last one that carries the
// adapter (a later one wins over an earlier one), or -1 if none does:
// 0..2 for AdressesPorts, 3 + i for supplementaires[i]. Each port is taken
// for its own test (PortPris); one that cannot be taken is not tested, and
// the reason goes to `refus` when given.
int DetecterProgrammateur(const PortsSupplementaires& supplementaires = {},
                          std::vector<std::string>* refus = nullptr);

}  // namespace zorbix
