// Finding the port that carries the adapter, with no chip needed: the
// adapter loops data bit D1, through the transistor that pulls SDA low, back
// to the Acknowledge input.
#pragma once

#include <cstdint>

namespace zorbix {

// The loop-back test on one port: powers it, releases SDA and reads it,
// pulls SDA low and reads it, then unpowers it (data register 0x06, also on
// a port that does not exist). True when SDA read high then low.
bool PorteLeProgrammateur(std::uint16_t portBase);

// Tests LPT1, LPT2 and LPT3, all three and in that order, and returns the
// index in AdressesPorts of the last one that carries the adapter (LPT3 wins
// over LPT2, which wins over LPT1), or -1 if none does.
int DetecterProgrammateur();

}  // namespace zorbix
