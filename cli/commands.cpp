#include "cli/commands.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands_identify.h"
#include "cli/commands_range.h"
#include "cli/image_file.h"
#include "cli/progress_line.h"
#include "cli/stop_signals.h"
#include "engine/adapter_table.h"
#include "engine/chips.h"
#include "engine/interruption.h"
#include "engine/parallel_adapter.h"
#include "engine/port_claim.h"
#include "engine/transfer_messages.h"
#include "engine/use_cases.h"

namespace zorbix {
namespace {

constexpr int AdressesDifferentesMontrees = 16;

void Ecrire(std::ostream& sortie, std::string texte) { EcrireLigne(sortie, std::move(texte)); }

// "$0000 : puce $12, fichier $34" for the first differing addresses.
void EcrireDifferences(std::ostream& sortie, const std::uint8_t* puce, const std::uint8_t* fichier, int taille) {
  int montrees = 0;
  for (int a = 0; a < taille && montrees < AdressesDifferentesMontrees; ++a) {
    if (puce[a] == fichier[a]) continue;
    char ligne[48];
    std::snprintf(ligne, sizeof ligne, "$%04X : puce $%02X, fichier $%02X", a, puce[a], fichier[a]);
    sortie << ligne << '\n';
    ++montrees;
  }
}

struct Transfert {
  std::unique_ptr<Adapter> Adaptateur;
  Puce Memoire;
  const SortiesCli& Sorties;
};

// The progress line of the running transfer on standard error, replaced by
// the verification's own when a programming is verified. A programming's
// progress is where a stop request is acted on: before the next page (or
// byte) is written, never once the programming is over.
class Affichage {
 public:
  Affichage(const Transfert& t, const char* operation) : t_(t) { Ouvrir(operation); }
  void Fermer() { ligne_.reset(); }

  Suivi PourLecture() {
    return {[this](int p) { ligne_->Position(p); }, nullptr};
  }
  Suivi PourProgrammation() {
    return {[this](int p) {
              if (programmation_ && p < t_.Memoire.ChipSize && ArretDemande()) throw Interruption{p};
              ligne_->Position(p);
            },
            [this] {
              programmation_ = false;
              Ouvrir("Vérification");
            }};
  }

 private:
  void Ouvrir(const char* operation) {
    ligne_.reset();
    ligne_.emplace(stderr, t_.Sorties.Progression, operation, t_.Memoire.ChipSize);
  }

  const Transfert& t_;
  std::optional<LigneProgression> ligne_;
  bool programmation_ = true;
};

// The exit code of an operation that did not run to its end, after its
// message; SortieSucces when it did.
int CodeDeroulement(const Issue& issue, const Transfert& t) {
  switch (issue.Fin) {
    case Deroulement::Termine: return SortieSucces;
    case Deroulement::Occupe: Ecrire(t.Sorties.Erreurs, issue.Message); return SortiePortOccupe;
    case Deroulement::NonConserve: Ecrire(t.Sorties.Erreurs, issue.Message); return SortieEchecMemoire;
    case Deroulement::Interrompu: throw Interruption{issue.Position};
  }
  return SortieEchecMemoire;
}

// The port is held for the whole command, verification included, and given
// back (a virtual chip written back) before the exit code is known; each
// adapter operation inside takes it again, which only counts.
int SurPortPris(const Transfert& t, const std::function<int()>& commande) {
  PortPris pris(t.Adaptateur->Identite().Adresse);
  if (!pris.Pris()) {
    Ecrire(t.Sorties.Erreurs, pris.Raison());
    return SortiePortOccupe;
  }
  const int code = commande();
  if (pris.Rendre()) return code;
  Ecrire(t.Sorties.Erreurs, pris.Raison());
  return code == SortieSucces ? SortieEchecMemoire : code;
}

// The file's image, or false after saying why it is refused (nothing touches
// the chip).
bool Charger(const OptionsCli& options, const Transfert& t, ImageChargee& image) {
  image = ChargerImage(options.Fichier, EstFormatHexa(options), t.Memoire.ChipSize);
  if (!image.Acceptee) {
    Ecrire(t.Sorties.Erreurs, image.Message);
    return false;
  }
  if (!image.Message.empty()) Ecrire(t.Sorties.Resultats, image.Message);
  return true;
}

// The output path is judged before the chip is read: what is there (a
// device, a FIFO, a folder) is never replaced. "-" sends the image to
// standard output, so the report goes to standard error.
int Lire(const OptionsCli& options, const Transfert& t) {
  const std::string refus = RefusDestination(options.Fichier);
  if (!refus.empty()) {
    Ecrire(t.Sorties.Erreurs, refus);
    return SortieUsage;
  }
  std::vector<std::uint8_t> octets(TailleImage, 0xFF);
  Affichage affichage(t, "Lecture");
  const Issue issue = LireLaMemoire(*t.Adaptateur, t.Memoire, octets.data(), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t);
  if (!issue.Reussie) {
    Ecrire(t.Sorties.Erreurs, issue.Message);
    return SortieEchecMemoire;
  }
  // A stop asked for during the read's one transaction acts at its end.
  if (ArretDemande()) throw Interruption{t.Memoire.ChipSize};
  const bool sortieStandard = options.Fichier == NomFluxStandard;
  if (sortieStandard) t.Sorties.Resultats.flush();
  const std::string echec = SauverImage(options.Fichier, EstFormatHexa(options), octets.data(), t.Memoire.ChipSize);
  if (!echec.empty()) {
    Ecrire(t.Sorties.Erreurs, echec);
    return SortieUsage;
  }
  if (sortieStandard)
    Ecrire(t.Sorties.Erreurs, std::to_string(t.Memoire.ChipSize) + " octets lus, envoyés sur la sortie standard");
  else
    Ecrire(t.Sorties.Resultats, std::to_string(t.Memoire.ChipSize) + " octets lus dans " + options.Fichier);
  return SortieSucces;
}

// A compare's differences: the message on `sortie`, then the first
// differing addresses.
void EcrireComparaison(std::ostream& sortie, const std::string& message, const IssueComparaison& c,
                       const std::uint8_t* image, int taille) {
  Ecrire(sortie, message);
  if (c.Resultat.Acquittee && c.Resultat.Differences > 0 && c.Zone)
    EcrireDifferences(sortie, c.Zone.get(), image, taille);
}

int Programmer(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  if (const int garde = GarderEcriture(options, t.Adaptateur->Identite().Adresse, t.Sorties); garde != SortieSucces)
    return garde;
  Affichage affichage(t, "Programmation");
  const IssueProgrammation issue =
      ProgrammerEtVerifier(*t.Adaptateur, t.Memoire, image.Octets.data(), options.WriteMode, options.Verification,
                           AllouerSansException, affichage.PourProgrammation());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t);
  if (!issue.Reussie) {
    EcrireComparaison(t.Sorties.Erreurs, issue.Message, issue.Verification, image.Octets.data(), t.Memoire.ChipSize);
    return SortieEchecMemoire;
  }
  Ecrire(t.Sorties.Resultats, issue.Message);
  if (issue.Verifiee) Ecrire(t.Sorties.Resultats, "Vérification : la mémoire contient le fichier.");
  return SortieSucces;
}

int ComparerFichier(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  Affichage affichage(t, "Comparaison");
  const IssueComparaison issue =
      ComparerEtJuger(*t.Adaptateur, t.Memoire, image.Octets.data(),
                      AllouerSansException(static_cast<std::size_t>(t.Memoire.ChipSize)), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t);
  if (ArretDemande()) throw Interruption{t.Memoire.ChipSize};
  if (issue.Reussie) {
    Ecrire(t.Sorties.Resultats, issue.Message);
    return SortieSucces;
  }
  if (!issue.Resultat.Acquittee) {
    Ecrire(t.Sorties.Erreurs, issue.Message);
    return SortieEchecMemoire;
  }
  EcrireComparaison(t.Sorties.Resultats, issue.Message, issue, image.Octets.data(), t.Memoire.ChipSize);
  return SortieDifferences;
}

// A port held by another program is not tested; when no adapter was found
// elsewhere, it may be the one: "busy" rather than "absent".
int Detecter(const PortsSupplementaires& supplementaires, const Transfert& t) {
  const BilanDetection bilan = DetecterAdaptateurParallele(supplementaires);
  if (!bilan.Raison.empty()) Ecrire(t.Sorties.Erreurs, bilan.Raison);
  if (!bilan.Trouve) {
    Ecrire(t.Sorties.Erreurs, TexteProgrammateurAbsent);
    return bilan.Fin == Deroulement::Occupe ? SortiePortOccupe : SortieEchecMemoire;
  }
  Ecrire(t.Sorties.Resultats, TexteProgrammateurDetecte(*bilan.Trouve));
  return SortieSucces;
}

// How far an interrupted operation got, the chip now unpowered.
void EcrireInterruption(CommandeCli commande, const Interruption& i, const Transfert& t) {
  const std::string taille = std::to_string(t.Memoire.ChipSize);
  std::string texte = "Interrompu par un signal : ";
  if (commande == CommandeCli::Lire)
    texte += "la mémoire a été lue en entier, mais le fichier n'a pas été écrit.";
  else if (commande == CommandeCli::Comparer)
    texte += "la mémoire a été lue en entier, mais pas comparée au fichier.";
  else if (i.Position < t.Memoire.ChipSize)
    texte += "les " + std::to_string(i.Position) + " premiers octets sur " + taille +
             " sont programmés, le reste non.";
  else
    texte += "les " + taille + " octets sont programmés, mais la vérification n'a pas été conclue.";
  Ecrire(t.Sorties.Erreurs, texte + " La mémoire est hors tension.");
}

int Executer(const OptionsCli& options, const Transfert& t) {
  const std::uint16_t adresse = t.Adaptateur->Identite().Adresse;
  if (CommandeSurPlage(options)) return ExecuterSurPlage(options, adresse, t.Sorties);
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, t);
    case CommandeCli::Programmer: return Programmer(options, t);
    case CommandeCli::Comparer: return ComparerFichier(options, t);
    case CommandeCli::Identifier: return Identifier(adresse, t.Sorties);
    default: return SortieUsage;
  }
}

}  // namespace

int ExecuterCommande(const OptionsCli& options, const IdentitePort& port, const PortsSupplementaires& supplementaires,
                     const SortiesCli& sorties) {
  const Transfert t{OuvrirAdaptateur(port),
                    {options.ChipType, options.ChipType >= 0 ? SpecMemoire(options.ChipType).Taille : 0},
                    sorties};
  if (options.Commande == CommandeCli::Detecter) return Detecter(supplementaires, t);
  return SurPortPris(t, [&]() -> int {
    try {
      return Executer(options, t);
    } catch (const Interruption& i) {
      EcrireInterruption(options.Commande, i, t);
      return SortieInterrompue;
    }
  });
}

}  // namespace zorbix
