// Which /dev/parportN sits at a given I/O address, as the kernel's parport
// driver tells it under <proc>/sys/dev/parport/parportN/base-addr.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zorbix {

// Number N of the parport whose base-addr file starts with `base` in decimal
// ("888\t1912\n" for 0x378), the lowest N if several do; none when no file
// matches. Numbering follows the order the kernel found the ports in, so
// 0x378 may well be parport1.
std::optional<int> TrouverParport(std::uint16_t base, const std::string& racineProc);

// The base address the kernel gives for the port named `peripherique`
// ("parport0"), read from the same base-addr file; none when the kernel lists
// no port of that name or gives no address the I/O space can hold.
std::optional<std::uint16_t> AdresseParport(const std::string& peripherique, const std::string& racineProc);

}  // namespace zorbix
