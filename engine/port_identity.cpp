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

// "1-2", "3-1.4": a USB bus number, '-', port numbers joined by '.'.
bool CheminUsb(const std::string& chemin) {
  const std::size_t tiret = chemin.find('-');
  if (tiret == 0 || tiret == std::string::npos || tiret + 1 == chemin.size()) return false;
  char avant = '-';
  for (std::size_t i = 0; i < chemin.size(); ++i) {
    const char c = chemin[i];
    const bool chiffre = std::isdigit(static_cast<unsigned char>(c)) != 0;
    if (!chiffre && (i == tiret ? c != '-' : c != '.')) return false;
    if (!chiffre && !std::isdigit(static_cast<unsigned char>(avant))) return false;
    avant = c;
  }
  return std::isdigit(static_cast<unsigned char>(avant)) != 0;
}

// The path in "USB 1-2" or "CH341A (USB 1-2)", any case; empty for other texts.
std::string CheminDansTexte(const std::string& texte) {
  std::string reste = texte;
  const std::string prefixe = "CH341A (";
  const bool long_ = reste.size() > prefixe.size() && MemeNom(reste.substr(0, prefixe.size()), prefixe);
  if (long_) {
    if (reste.back() != ')') return {};
    reste = reste.substr(prefixe.size(), reste.size() - prefixe.size() - 1);
  }
  if (reste.size() < 5 || !MemeNom(reste.substr(0, 4), "USB ")) return {};
  reste = reste.substr(4);
  return CheminUsb(reste) ? reste : std::string();
}

// N of "i2c-N", -1 for other texts.
int NumeroBusI2c(const std::string& texte) {
  if (texte.size() < 5 || texte.size() > 8 || !MemeNom(texte.substr(0, 4), "i2c-")) return -1;
  for (std::size_t i = 4; i < texte.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(texte[i]))) return -1;
  return std::stoi(texte.substr(4));
}

std::string NomsDuGenre(const std::vector<IdentitePort>& autres, GenrePort genre) {
  std::string noms;
  for (const IdentitePort& port : autres)
    if (port.Genre == genre) noms += (noms.empty() ? "" : ", ") + TextePort(port, FormePort::Nom);
  return noms.empty() ? "aucun" : noms;
}

std::optional<IdentitePort> LireAdaptateur(const std::string& texte, const std::vector<IdentitePort>& autres,
                                           std::string& erreur) {
  if (MemeNom(texte, "ch341a")) {
    for (const IdentitePort& port : autres)
      if (port.Genre == GenrePort::Ch341a) return port;
    erreur = "aucun programmateur CH341A n'est branché";
    return std::nullopt;
  }
  const std::string chemin = CheminDansTexte(texte);
  if (!chemin.empty()) {
    for (const IdentitePort& port : autres)
      if (port.Genre == GenrePort::Ch341a && port.Nom == chemin) return port;
    return IdentitePort{GenrePort::Ch341a, chemin, 0, "", false};
  }
  const int numero = NumeroBusI2c(texte);
  if (numero < 0) return std::nullopt;
  for (const IdentitePort& port : autres)
    if (port.Genre == GenrePort::I2c && port.Adresse == numero) return port;
  erreur = "bus I2C absent : « " + texte + " » (bus présents : " + NomsDuGenre(autres, GenrePort::I2c) + ")";
  return std::nullopt;
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
  return LireIdentitePort(texte, supplementaires, {}, erreur);
}

std::optional<IdentitePort> LireIdentitePort(const std::string& texte, const PortsSupplementaires& supplementaires,
                                             const std::vector<IdentitePort>& autres, std::string& erreur) {
  erreur.clear();
  if (std::optional<IdentitePort> adaptateur = LireAdaptateur(texte, autres, erreur)) return adaptateur;
  if (!erreur.empty()) return std::nullopt;
  if (CommenceParOx(texte)) {
    if (const std::optional<std::uint16_t> adresse = AdresseHexa(texte))
      return IdentiteDuPort(*adresse, supplementaires);
    erreur = "adresse de port invalide : « " + texte + " »";
    return std::nullopt;
  }
  for (const IdentitePort& port : PortsParalleles(supplementaires))
    if (MemeNom(texte, port.Nom)) return port;
  erreur = "port inconnu : « " + texte + " » (" + NomsConnus(supplementaires) +
           ", une adresse comme 0x378, ch341a, USB 1-2 ou i2c-1)";
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

std::string ValeurReglageAdaptateur(const IdentitePort& port) {
  return port.Genre == GenrePort::Parallele ? std::string() : TextePort(port, FormePort::Nom);
}

std::string TexteAdressePort(std::uint16_t adresse) { return Hexa("0x%03X", adresse); }

std::string TextePort(const IdentitePort& port, FormePort forme) {
  if (port.Genre == GenrePort::Ch341a) return "CH341A (USB " + port.Nom + ")";
  if (port.Genre == GenrePort::I2c) {
    if (forme == FormePort::Nom || port.Libelle.empty()) return port.Nom;
    std::string libelle = port.Libelle;
    // A menu takes '&' as its accelerator's mark.
    for (std::size_t i = 0; forme == FormePort::Menu && (i = libelle.find('&', i)) != std::string::npos; i += 2)
      libelle.insert(i, 1, '&');
    return port.Nom + " (" + libelle + ")";
  }
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
