// Why a file could not be read or written, in words a user reads: the
// system's error numbers (errno) and two reasons of our own, in French.
#pragma once

#include <string>

namespace zorbix {

// Our own reasons, negative so that no errno value (all positive) is taken.
constexpr int ErreurPasFichierOrdinaire = -1;  // a FIFO, a device, a socket
constexpr int ErreurLienCasse = -2;            // a symbolic link to nothing

// The reason in lower case, without a final stop: "permission refusée",
// "c'est un dossier", "pas un fichier ordinaire", "fichier ou dossier
// introuvable"... Unknown numbers give "erreur système N".
std::string TexteErreurFichier(int erreur);

// True when nothing bears the name at all (the texts for a missing file
// apply); false when something is there but could not be used.
bool NomIntrouvable(int erreur);

// "Le fichier NOM existe mais ne peut pas être ouvert : RAISON."
std::string PhraseFichierInaccessible(const std::string& nom, int erreur);

}  // namespace zorbix
