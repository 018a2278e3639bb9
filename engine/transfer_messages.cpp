#include "engine/transfer_messages.h"

#include <cstdio>

#include "engine/i2c_bus.h"
#include "engine/port.h"

namespace zorbix {

const char* MessageProgrammation(WriteResult resultat) {
  if (resultat == WriteResult::EcritureReussie) return "La programmation s'est correctement déroulée...";
  if (resultat == WriteResult::SelectionNonAcquittee)
    return "Programmation impossible ou erronée: \nla mémoire EEPROM est absente, défectueuse ou mal insérée...\n\n"
           "Si le problème surgit en cours de programmation, vérifiez que\nle type de mémoire sélectionné "
           "correspond bien à l'EEPROM\nprésente physiquement...";
  return "Programmation interrompue : \nproblème de communication avec la mémoire EEPROM...";
}

std::string TexteDifferences(int differences, int chipSize) {
  return std::to_string(differences) + " octet(s) différent(s) sur un total de " + std::to_string(chipSize) +
         " !";
}

std::string TexteProgrammateurDetecte(int index, const PortsSupplementaires& supplementaires) {
  const bool ancien = index < 3;
  const std::string nom = ancien ? "LPT" + std::to_string(index + 1) : supplementaires[index - 3].nom;
  char adresse[8];
  std::snprintf(adresse, sizeof adresse, "$%03X",
                static_cast<unsigned>(ancien ? AdressesPorts[index] : supplementaires[index - 3].base));
  return "Le programmateur a été détecté sur " + nom + " (à l'adresse " + adresse + ")...";
}

}  // namespace zorbix
