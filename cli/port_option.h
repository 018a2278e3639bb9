// The port named by --port, as the address of its data register.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zorbix {

// "LPT1", "LPT2", "LPT3" (any case), an address in hexadecimal ("0x378",
// "0xDC00") or a port the kernel lists by its device name ("parport0", looked
// up under <racineProc>/sys/dev/parport). None, with a one-line French reason
// in `erreur`, for anything else.
std::optional<std::uint16_t> AdressePortDemande(const std::string& texte, const std::string& racineProc,
                                                std::string& erreur);

}  // namespace zorbix
