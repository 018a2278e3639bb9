// How the start-up report and the backends name a port to the user.
#pragma once

#include <cstdint>
#include <string>

#include "engine/extra_ports.h"

namespace zorbix {

// "0x378", "0x3BC": hexadecimal in upper case, as everywhere the user reads it.
std::string TexteAdresse(std::uint16_t address);

// "LPT1 (0x378)"; an address that is none of the three ports gets its
// hexadecimal form alone.
std::string DesignationPort(std::uint16_t base);
// "parport0 (0xDC00)".
std::string DesignationPort(const PortSupplementaire& port);

}  // namespace zorbix
