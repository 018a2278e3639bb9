#include "cli/transfer_context.h"

#include <cstdio>
#include <ostream>

#include "cli/cli_texts.h"
#include "cli/stop_signals.h"

namespace zorbix {
namespace {

// "Interrompu par un signal : les 1024 premiers octets sur 2048 sont
// programmés, le reste non. La mémoire est hors tension."
std::string TexteInterruption(int position, int taille) {
  return "Interrompu par un signal : les " + std::to_string(position) + " premiers octets sur " +
         std::to_string(taille) + " sont programmés, le reste non. La mémoire est hors tension.";
}

}  // namespace

Affichage::Affichage(const Transfert& t, const char* operation, int total) : t_(t), total_(total) {
  Ouvrir(operation);
}

Suivi Affichage::PourLecture() {
  return {[this](int p) { ligne_->Position(p); }, nullptr};
}

Suivi Affichage::PourProgrammation() {
  return {[this](int p) {
            if (programmation_ && p < total_ && ArretDemande()) throw Interruption{p};
            ligne_->Position(p);
          },
          [this] {
            programmation_ = false;
            Ouvrir("Vérification");
          }};
}

void Affichage::Ouvrir(const char* operation) {
  ligne_.reset();
  ligne_.emplace(stderr, t_.Sorties.Progression, operation, total_);
}

int CodeDeroulement(const Issue& issue, const Transfert& t, int total) {
  switch (issue.Fin) {
    case Deroulement::Termine: return SortieSucces;
    case Deroulement::Occupe: EcrireLigne(t.Sorties.Erreurs, issue.Message); return SortiePortOccupe;
    case Deroulement::NonConserve: EcrireLigne(t.Sorties.Erreurs, issue.Message); return SortieEchecMemoire;
    case Deroulement::Interrompu:
      EcrireLigne(t.Sorties.Erreurs, TexteInterruption(issue.Position, total));
      return SortieInterrompue;
  }
  return SortieEchecMemoire;
}

void EcrireDifferences(std::ostream& sortie, int debut, const std::uint8_t* puce, const std::uint8_t* fichier,
                       int longueur) {
  for (int i = 0, montrees = 0; i < longueur && montrees < AdressesMontrees; ++i) {
    if (puce[i] == fichier[i]) continue;
    sortie << Hexa4(debut + i) << " : puce " << Hexa2(puce[i]) << ", fichier " << Hexa2(fichier[i]) << '\n';
    ++montrees;
  }
}

}  // namespace zorbix
