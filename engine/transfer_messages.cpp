#include "engine/transfer_messages.h"

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

std::string TexteProgrammateurDetecte(const IdentitePort& port) {
  return "Le programmateur a été détecté sur " + TextePort(port, FormePort::Detection) + "...";
}

}  // namespace zorbix
