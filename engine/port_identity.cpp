#include "engine/port_identity.h"

#include <cctype>
#include <cstdio>

namespace zorbix {
namespace {

// Equal in any case.
bool MemeNom(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool CommenceParOx(const std::string& texte) {
  return texte.size() >= 2 && texte[0] == '0' && (texte[1] == 'x' || texte[1] == 'X');
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

// "LPT1, LPT2, LPT3, parport0": every name the parser knows on this machine.
std::string NomsConnus(const PortsSupplementaires& supplementaires) {
  std::string noms;
  for (const IdentitePort& port : PortsParalleles(supplementaires)) noms += (noms.empty() ? "" : ", ") + port.Nom;
  return noms;
}

std::string Hexa(const char* format, unsigned valeur) {
  char texte[16];
  std::snprintf(texte, sizeof texte, format, valeur);
  return texte;
}

}  // namespace

std::vector<IdentitePort> PortsParalleles(const PortsSupplementaires& supplementaires) {
  std::vector<IdentitePort> ports;
  for (int i = 0; i < 3; ++i) ports.push_back({GenrePort::Parallele, "LPT" + std::to_string(i + 1), AdressesPorts[i]});
  for (const PortSupplementaire& p : supplementaires) ports.push_back({GenrePort::Parallele, p.nom, p.base});
  return ports;
}

IdentitePort IdentiteDuPort(std::uint16_t adresse, const PortsSupplementaires& supplementaires) {
  for (const IdentitePort& port : PortsParalleles(supplementaires))
    if (port.Adresse == adresse) return port;
  return {GenrePort::Parallele, "", adresse};
}

std::optional<IdentitePort> LireIdentitePort(const std::string& texte, const PortsSupplementaires& supplementaires,
                                             std::string& erreur) {
  if (CommenceParOx(texte)) {
    if (const std::optional<std::uint16_t> adresse = AdresseHexa(texte))
      return IdentiteDuPort(*adresse, supplementaires);
    erreur = "adresse de port invalide : « " + texte + " »";
    return std::nullopt;
  }
  for (const IdentitePort& port : PortsParalleles(supplementaires))
    if (MemeNom(texte, port.Nom)) return port;
  erreur = "port inconnu : « " + texte + " » (" + NomsConnus(supplementaires) + " ou une adresse comme 0x378)";
  return std::nullopt;
}

IdentitePort IdentiteDepuisReglage(std::int64_t valeur, const PortsSupplementaires& supplementaires) {
  const std::vector<IdentitePort> ports = PortsParalleles(supplementaires);
  // An extra port present now is found again by its address, whatever
  // number the kernel gave it this time.
  for (std::size_t i = 3; i < ports.size(); ++i)
    if (ports[i].Adresse == valeur) return ports[i];
  if (valeur == AdresseLPT2) return ports[1];
  if (valeur == AdresseLPT3) return ports[2];
  return ports[0];
}

std::int64_t ValeurReglage(const IdentitePort& port) { return port.Adresse; }

std::string TexteAdressePort(std::uint16_t adresse) { return Hexa("0x%03X", adresse); }

std::string TextePort(const IdentitePort& port, FormePort forme) {
  const unsigned a = port.Adresse;
  const std::string nom = port.Nom.empty() ? TexteAdressePort(port.Adresse) : port.Nom;
  switch (forme) {
    case FormePort::Nom: return nom;
    case FormePort::Rapport: return port.Nom.empty() ? nom : nom + " (" + TexteAdressePort(port.Adresse) + ")";
    case FormePort::Menu: {
      // The three legacy items take their number as accelerator.
      const bool ancien = nom.size() == 4 && nom.compare(0, 3, "LPT") == 0 && nom[3] >= '1' && nom[3] <= '3';
      return (ancien ? "LPT&" + nom.substr(3) : nom) + Hexa(" (%xh", a) + Hexa(" - %xh)", a + 1);
    }
    case FormePort::Detection: return nom + " (à l'adresse " + Hexa("$%03X", a) + ")";
  }
  return nom;
}

}  // namespace zorbix
