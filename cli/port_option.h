// The port named by --port, as the address of its data register.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/extra_ports.h"

namespace zorbix {

// "LPT1", "LPT2", "LPT3", an address in hexadecimal ("0x378", "0xDC00") or
// the name of one of the extra ports the installed ports list ("parport0" from
// the kernel, "sim0" when simulating), all in any case. None, with a one-line
// French reason in `erreur`, for anything else.
std::optional<std::uint16_t> AdressePortDemande(const std::string& texte, const PortsSupplementaires& supplementaires,
                                                std::string& erreur);

}  // namespace zorbix
