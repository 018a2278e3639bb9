#include "cli/cli_texts.h"

#include <cstdio>
#include <ostream>

namespace zorbix {
namespace {

struct Remplacement {
  const char* Fenetre;
  const char* LigneDeCommande;
};

constexpr Remplacement Remplacements[] = {
    {"Aucune différence entre le buffer et l'EEPROM...", TexteAucuneDifferenceFichier},
    {"dépasse la capacité du Buffer", "dépasse la capacité de la mémoire"},
    {"somme de controle", "somme de contrôle"},
    {"erronée: ", "erronée : "},
};

}  // namespace

std::string TexteLigneDeCommande(std::string texte) {
  for (const Remplacement& r : Remplacements) {
    const std::string fenetre = r.Fenetre;
    for (std::size_t a = texte.find(fenetre); a != std::string::npos; a = texte.find(fenetre, a + 1))
      texte.replace(a, fenetre.size(), r.LigneDeCommande);
  }
  return texte;
}

void EcrireLigne(std::ostream& sortie, std::string texte) {
  while (!texte.empty() && texte.back() == '\n') texte.pop_back();
  sortie << TexteLigneDeCommande(std::move(texte)) << '\n';
}

std::string Hexa4(int valeur) {
  char texte[8];
  std::snprintf(texte, sizeof texte, "$%04X", static_cast<unsigned>(valeur));
  return texte;
}

std::string Hexa2(int valeur) {
  char texte[4];
  std::snprintf(texte, sizeof texte, "$%02X", static_cast<unsigned>(valeur));
  return texte;
}

}  // namespace zorbix
