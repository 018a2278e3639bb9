// The parallel ports the kernel's parport driver lists under
// <proc>/sys/dev/parport/parportN/base-addr, each one /dev/parportN.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/extra_ports.h"

namespace zorbix {

struct ParportNoyau {
  int numero;          // N of parportN
  std::uint16_t base;  // the first number of base-addr, in decimal
};

// Every parportN whose base-addr starts with a decimal I/O address (below
// 0xFFFF, so that base + 1 exists too), by increasing N. Numbering follows
// the order the kernel found the ports in, so 0x378 may well be parport1.
std::vector<ParportNoyau> ListerParports(const std::string& racineProc);

// True when a parport driver is loaded: <proc>/sys/dev/parport exists, even
// if it lists no port.
bool PiloteParportCharge(const std::string& racineProc);

// Number N of the parport at `base` ("888\t1912\n" for 0x378), the lowest N
// if several are; none when no port is listed there.
std::optional<int> TrouverParport(std::uint16_t base, const std::string& racineProc);

// The ports the kernel lists at an address other than LPT1, LPT2 and LPT3,
// named "parportN", by increasing N; one per address. For a front end that
// wants to offer them before any backend is installed (PortsInstalles::
// supplementaires() gives the same list, or the simulated one, afterwards).
PortsSupplementaires PortsSupplementairesDuNoyau(const std::string& racineProc = "/proc");

}  // namespace zorbix
