#include "parport_lookup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/port.h"

namespace zorbix {
namespace {

namespace fs = std::filesystem;

// N for a directory named "parportN"; the tree also holds "default".
std::optional<int> NumeroDossier(const std::string& nom) {
  const std::string prefixe = "parport";
  if (nom.size() <= prefixe.size() || nom.compare(0, prefixe.size(), prefixe) != 0) return std::nullopt;
  const std::string chiffres = nom.substr(prefixe.size());
  if (chiffres.size() > 6 || !std::all_of(chiffres.begin(), chiffres.end(),
                                                   [](unsigned char c) { return std::isdigit(c) != 0; })) return std::nullopt;
  return std::stoi(chiffres);
}

std::vector<int> NumerosParports(const fs::path& dossier) {
  std::vector<int> numeros;
  std::error_code erreur;
  for (fs::directory_iterator it(dossier, erreur), fin; !erreur && it != fin; it.increment(erreur))
    if (std::optional<int> n = NumeroDossier(it->path().filename().string())) numeros.push_back(*n);
  std::sort(numeros.begin(), numeros.end());
  return numeros;
}

// The first number of the file, in decimal: the base address; the second
// one, when the port has one, is its ECP extension, of no use here.
std::optional<long> PremierNombre(const fs::path& fichier) {
  std::ifstream entree(fichier);
  long valeur = 0;
  if (!(entree >> std::dec >> valeur)) return std::nullopt;
  const int suivant = entree.peek();
  if (suivant != std::char_traits<char>::eof() && !std::isspace(suivant)) return std::nullopt;
  return valeur;
}

}  // namespace

std::vector<ParportNoyau> ListerParports(const std::string& racineProc) {
  const fs::path dossier = fs::path(racineProc) / "sys" / "dev" / "parport";
  std::vector<ParportNoyau> ports;
  for (int n : NumerosParports(dossier)) {
    const std::optional<long> base = PremierNombre(dossier / ("parport" + std::to_string(n)) / "base-addr");
    // Some ports (not PC-style) show a memory address or none: not ours to reach.
    if (base && *base > 0 && *base < 0xFFFF) ports.push_back({n, static_cast<std::uint16_t>(*base)});
  }
  return ports;
}

bool PiloteParportCharge(const std::string& racineProc) {
  std::error_code erreur;
  return fs::is_directory(fs::path(racineProc) / "sys" / "dev" / "parport", erreur);
}

std::optional<int> TrouverParport(std::uint16_t base, const std::string& racineProc) {
  for (const ParportNoyau& port : ListerParports(racineProc))
    if (port.base == base) return port.numero;
  return std::nullopt;
}

PortsSupplementaires PortsSupplementairesDuNoyau(const std::string& racineProc) {
  PortsSupplementaires ports;
  for (const ParportNoyau& port : ListerParports(racineProc)) {
    const bool ancien = std::find(std::begin(AdressesPorts), std::end(AdressesPorts), port.base) !=
                        std::end(AdressesPorts);
    if (!ancien && !PortSupplementaireA(ports, port.base))
      ports.push_back({"parport" + std::to_string(port.numero), port.base});
  }
  return ports;
}

}  // namespace zorbix
