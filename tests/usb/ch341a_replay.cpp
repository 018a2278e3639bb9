// Replays CH341A traffic against the simulated device: each line of standard
// input is one OUT packet in hexadecimal ("AA 74 80 A0 75 00", spaces
// optional, '#' starts a comment); each gets one line on standard output
// with the IN answers it produced, in hexadecimal (empty when none), so a
// capture of a real programmer's traffic can be run against the chip model.
//
// Usage: ch341a_replay CHIP [FILE]   CHIP = "24C16"..., or "empty" for an
// empty socket; FILE = the chip's contents (default: erased).
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/ch341a_device.h"
#include "engine/sim/eeprom_model.h"

namespace zorbix {
namespace {

// The bytes of one line; false on a character that is not hexadecimal.
bool LireLigne(const std::string& ligne, std::vector<std::uint8_t>& octets) {
  octets.clear();
  std::string chiffres;
  for (char c : ligne) {
    if (c == '#') break;
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    chiffres += c;
  }
  if (chiffres.size() % 2) return false;
  for (std::size_t i = 0; i < chiffres.size(); i += 2)
    octets.push_back(static_cast<std::uint8_t>(std::stoi(chiffres.substr(i, 2), nullptr, 16)));
  return true;
}

int Rejouer(const std::string& puce, const char* fichier) {
  const int type = TypeDepuisNom(puce.c_str());
  if (type < 0 && puce != "empty") {
    std::cerr << "ch341a_replay : mémoire inconnue : " << puce << "\n";
    return 2;
  }
  std::unique_ptr<EepromModel> modele = EepromModel::create(type);
  if (modele && fichier) {
    std::ifstream entree(fichier, std::ios::binary);
    const std::vector<char> contenu((std::istreambuf_iterator<char>(entree)), std::istreambuf_iterator<char>());
    for (std::size_t i = 0; i < contenu.size() && i < modele->memory().size(); ++i)
      modele->memory()[i] = static_cast<std::uint8_t>(contenu[i]);
  }
  Ch341aDevice device(modele.get());
  std::vector<std::uint8_t> paquet;
  int numero = 0;
  for (std::string ligne; std::getline(std::cin, ligne);) {
    ++numero;
    if (!LireLigne(ligne, paquet)) {
      std::cerr << "ch341a_replay : ligne " << numero << " : hexadécimal attendu\n";
      return 2;
    }
    if (paquet.empty()) continue;
    if (!device.sortie(paquet.data(), paquet.size())) std::cerr << "ligne " << numero << " : paquet refusé\n";
    std::uint8_t reponse[ch341a::TaillePaquet];
    std::string texte;
    while (std::size_t n = device.entree(reponse, sizeof reponse))
      for (std::size_t i = 0; i < n; ++i) {
        char octet[4];
        std::snprintf(octet, sizeof octet, texte.empty() ? "%02X" : " %02X", reponse[i]);
        texte += octet;
      }
    std::cout << texte << "\n";
  }
  std::cerr << "temps simulé : " << device.maintenantUs() << " us\n";
  return 0;
}

}  // namespace
}  // namespace zorbix

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "Usage : ch341a_replay MEMOIRE [FICHIER]   (MEMOIRE : 24C16..., ou empty)\n";
    return 2;
  }
  return zorbix::Rejouer(argv[1], argc == 3 ? argv[2] : nullptr);
}
