#include "port_names.h"

#include <cstdio>

#include "../port.h"

namespace zorbix {

std::string TexteAdresse(std::uint16_t address) {
  char texte[8];
  std::snprintf(texte, sizeof texte, "0x%03X", static_cast<unsigned>(address));
  return texte;
}

std::string DesignationPort(std::uint16_t base) {
  for (int i = 0; i < 3; ++i)
    if (AdressesPorts[i] == base) return "LPT" + std::to_string(i + 1) + " (" + TexteAdresse(base) + ")";
  return TexteAdresse(base);
}

std::string DesignationPort(const PortSupplementaire& port) {
  return port.nom + " (" + TexteAdresse(port.base) + ")";
}

}  // namespace zorbix
