// The window's texts as the command line says them. The window speaks of its
// Buffer and keeps its own typography; the command line has a file and a
// chip, and writes French as it is printed ("contrôle", a space before a
// colon).
#pragma once

#include <iosfwd>
#include <string>

namespace zorbix {

constexpr const char* TexteAucuneDifferenceFichier = "Aucune différence entre le fichier et la mémoire.";

// `texte` with each of the window's wordings replaced by the command line's.
std::string TexteLigneDeCommande(std::string texte);

// An address or a byte as the command line writes them: "$0123", "$AB".
std::string Hexa4(int valeur);
std::string Hexa2(int valeur);

// Writes `texte` in its command-line wording as one line: the window's texts
// end some lines with a newline of their own, which goes.
void EcrireLigne(std::ostream& sortie, std::string texte);

}  // namespace zorbix
