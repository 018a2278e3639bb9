#include "i2c_safety.h"

#include <cstdio>

namespace zorbix {
namespace {

bool AdresseSpd(std::uint16_t adresse) { return adresse >= 0x50 && adresse <= 0x57; }

std::string Hexa(std::uint16_t adresse) {
  char texte[8];
  std::snprintf(texte, sizeof texte, "0x%02X", adresse);
  return texte;
}

}  // namespace

bool OperationPermise(GenreBusI2c genre, OperationI2c operation, std::uint16_t adresse, bool ecritureAutorisee) {
  if (genre == GenreBusI2c::Ordinaire || ecritureAutorisee) return true;
  return operation == OperationI2c::Lecture && !AdresseSpd(adresse);
}

std::string RaisonRefus(const BusI2cListe& bus, std::uint16_t adresse) {
  const std::string nom = NomBusI2c(bus);
  if (bus.genre == GenreBusI2c::Affichage)
    return "Le bus " + nom + " est un bus d'affichage d'une carte graphique (écrans, EDID) : écrire à l'adresse " +
           Hexa(adresse) + " peut rendre un écran ou la carte inutilisable.";
  return "Le bus " + nom + " est le SMBus de ce PC : les EEPROM des barrettes de mémoire (SPD) y répondent aux " +
         "adresses 0x50 à 0x57, et une écriture à l'adresse " + Hexa(adresse) +
         " peut empêcher le PC de redémarrer.";
}

std::string RaisonPiloteNoyau(int numero, std::uint16_t adresse, const std::string& pilote) {
  char appareil[32];
  std::snprintf(appareil, sizeof appareil, "%d-%04x", numero, adresse);
  return "L'adresse " + Hexa(adresse) + " du bus i2c-" + std::to_string(numero) + " est tenue par le pilote " +
         pilote + " du noyau. Pour la libérer : echo " + appareil + " > /sys/bus/i2c/drivers/" + pilote +
         "/unbind (en root).";
}

}  // namespace zorbix
