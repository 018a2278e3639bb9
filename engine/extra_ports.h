// Parallel ports beyond LPT1, LPT2 and LPT3: a PCI or PCI Express card gets
// whatever I/O address the firmware gave it (0xDC00, 0xD000, ...), and the
// kernel's parport driver names it /dev/parportN. Such a port is offered
// after the three, by its name and address.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbix {

struct PortSupplementaire {
  std::string nom;     // "parport0": the kernel's device; "sim0" for a simulated one
  std::uint16_t base;  // data register; the status register is at base + 1
};

using PortsSupplementaires = std::vector<PortSupplementaire>;

// The extra port whose data register is `base`, or nullptr.
inline const PortSupplementaire* PortSupplementaireA(const PortsSupplementaires& ports, std::uint16_t base) {
  for (const PortSupplementaire& p : ports)
    if (p.base == base) return &p;
  return nullptr;
}

}  // namespace zorbix
