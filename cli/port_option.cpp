#include "cli/port_option.h"

#include <cctype>

#include "engine/port.h"

namespace zorbix {
namespace {

// True when `texte` starts with `prefixe`, in any case.
bool CommencePar(const std::string& texte, const std::string& prefixe) {
  if (texte.size() < prefixe.size()) return false;
  for (std::size_t i = 0; i < prefixe.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(texte[i])) != std::tolower(static_cast<unsigned char>(prefixe[i])))
      return false;
  return true;
}

// "0x" and one to four hexadecimal digits; the status register at base + 1
// must still be an I/O address, and 0 is no port.
std::optional<std::uint16_t> AdresseHexa(const std::string& texte) {
  const std::string chiffres = texte.substr(2);
  if (chiffres.empty() || chiffres.size() > 4) return std::nullopt;
  for (char c : chiffres)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  const unsigned long valeur = std::stoul(chiffres, nullptr, 16);
  if (valeur == 0 || valeur > 0xFFFE) return std::nullopt;
  return static_cast<std::uint16_t>(valeur);
}

// "LPT1, LPT2, LPT3, parport0": every name --port knows on this machine.
std::string NomsConnus(const PortsSupplementaires& supplementaires) {
  std::string noms = "LPT1, LPT2, LPT3";
  for (const PortSupplementaire& port : supplementaires) noms += ", " + port.nom;
  return noms;
}

}  // namespace

std::optional<std::uint16_t> AdressePortDemande(const std::string& texte, const PortsSupplementaires& supplementaires,
                                                std::string& erreur) {
  if (texte.size() == 4 && CommencePar(texte, "lpt") && texte[3] >= '1' && texte[3] <= '3')
    return AdressesPorts[texte[3] - '1'];
  if (CommencePar(texte, "0x")) {
    if (std::optional<std::uint16_t> adresse = AdresseHexa(texte)) return adresse;
    erreur = "adresse de port invalide : « " + texte + " »";
    return std::nullopt;
  }
  for (const PortSupplementaire& port : supplementaires)
    if (texte.size() == port.nom.size() && CommencePar(texte, port.nom)) return port.base;
  erreur = "port inconnu : « " + texte + " » (" + NomsConnus(supplementaires) + " ou une adresse comme 0x378)";
  return std::nullopt;
}

}  // namespace zorbix
