#include "i2c_buses.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace zorbix {
namespace {

std::string PremiereLigne(const std::string& chemin) {
  std::ifstream f(chemin);
  std::string ligne;
  std::getline(f, ligne);
  return ligne;
}

std::string Minuscules(std::string texte) {
  for (char& c : texte) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return texte;
}

// The names the display drivers give their buses: i915 ("i915 gmbus dpb",
// "DPDDC-A", "AUX A/DDI A/PHY A"), amdgpu ("AMDGPU DM i2c hw bus 0"),
// nouveau ("nvkm-0000:01:00.0-bus-0005"), radeon ("Radeon i2c bit bus 0x90").
bool NomDAffichage(const std::string& nom) {
  const std::string n = Minuscules(nom);
  for (const char* marque : {"i915", "gmbus", "dpddc", "aux ", "amdgpu", "nvkm", "nouveau", "radeon"})
    if (n.find(marque) != std::string::npos) return true;
  return false;
}

// The PCI class of the device the bus hangs from, through the bus's
// directory under <sys>/bus/i2c/devices: its parent is the controller.
std::string ClassePciParent(const std::string& racineSys, int numero) {
  const std::string lien = racineSys + "/bus/i2c/devices/i2c-" + std::to_string(numero);
  char reel[PATH_MAX];
  if (!realpath(lien.c_str(), reel)) return {};
  std::string parent(reel);
  parent = parent.substr(0, parent.rfind('/'));
  return PremiereLigne(parent + "/class");
}

}  // namespace

GenreBusI2c GenreDuBus(const std::string& nom, const std::string& classePci) {
  const std::string classe = Minuscules(classePci);
  if (classe.rfind("0x0c05", 0) == 0 || nom.rfind("SMBus", 0) == 0) return GenreBusI2c::SmbusPC;
  if (classe.rfind("0x03", 0) == 0 || NomDAffichage(nom)) return GenreBusI2c::Affichage;
  return GenreBusI2c::Ordinaire;
}

std::vector<BusI2cListe> ListerBusI2c(const std::string& racineSys) {
  std::vector<BusI2cListe> bus;
  DIR* dossier = opendir((racineSys + "/class/i2c-dev").c_str());
  if (!dossier) return bus;
  while (const dirent* entree = readdir(dossier)) {
    int numero = -1;
    char reste = 0;
    if (std::sscanf(entree->d_name, "i2c-%d%c", &numero, &reste) != 1 || numero < 0) continue;
    const std::string nom = PremiereLigne(racineSys + "/class/i2c-dev/" + entree->d_name + "/name");
    bus.push_back({numero, nom, GenreDuBus(nom, ClassePciParent(racineSys, numero))});
  }
  closedir(dossier);
  std::sort(bus.begin(), bus.end(), [](const BusI2cListe& a, const BusI2cListe& b) { return a.numero < b.numero; });
  return bus;
}

std::string PiloteSurAdresse(int numero, std::uint16_t adresse, const std::string& racineSys) {
  char appareil[32];
  std::snprintf(appareil, sizeof appareil, "%d-%04x", numero, adresse);
  const std::string lien = racineSys + "/bus/i2c/devices/" + appareil + "/driver";
  char cible[PATH_MAX];
  const ssize_t n = readlink(lien.c_str(), cible, sizeof cible - 1);
  if (n <= 0) return {};
  const std::string chemin(cible, static_cast<std::size_t>(n));
  return chemin.substr(chemin.rfind('/') + 1);
}

std::string NomBusI2c(const BusI2cListe& bus) {
  return "i2c-" + std::to_string(bus.numero) + " (" + bus.nom + ")";
}

}  // namespace zorbix
