// The French texts that report the outcome of a transfer or of the search for
// the adapter, shared by the window's message boxes and the command line, so
// both say the same thing.
#pragma once

#include <cstdint>
#include <string>

#include "engine/i2c_bus.h"
#include "engine/port_identity.h"

namespace zorbix {

constexpr const char* TexteLectureImpossible =
    "Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n";
constexpr const char* TexteComparaisonSansAcquittement = "Erreur de communication avec la mémoire...";
constexpr const char* TexteAucuneDifference = "Aucune différence entre le buffer et l'EEPROM...";

// The message for a WriteResult of a programming run. An address outside the
// chip (6) is a failure like the others: it is never reported as a success.
const char* MessageProgrammation(WriteResult resultat);

// "3 octet(s) différent(s) sur un total de 2048 !"
std::string TexteDifferences(int differences, int chipSize);

// A programming run that succeeded, then failed its read-back compare.
constexpr const char* TexteVerificationEnCours = "Vérification en cours";
constexpr const char* DebutVerificationEchouee = "La vérification a échoué : ";
// Said after a programming that was verified because the adapter does not
// see every byte's acknowledge (the CH341A), even where no verification was
// asked for.
constexpr const char* TexteVerificationImposee =
    "Ce programmateur ne voit pas l'acquittement de chaque octet : la mémoire a été relue pour vérifier "
    "l'écriture.";
constexpr const char* TexteZoneTravailIndisponible = "mémoire de travail insuffisante.";

constexpr const char* TexteProgrammateurAbsent = "Erreur : le programmateur n'est pas connecté...";

// "Le programmateur a été détecté sur LPT2 (à l'adresse $278)..." or
// "... sur parport0 (à l'adresse $DC00)...".
std::string TexteProgrammateurDetecte(const IdentitePort& port);

}  // namespace zorbix
