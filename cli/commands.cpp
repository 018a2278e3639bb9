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
#include "engine/i2c/i2c_chip.h"
#include "engine/i2c/i2c_safety.h"
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

// "Programmation interrompue par un signal : 1024 octet(s) programmé(s) sur 2048."
std::string TexteInterruption(int position, int taille) {
  return "Programmation interrompue par un signal : " + std::to_string(position) + " octet(s) programmé(s) sur " +
         std::to_string(taille) + ".";
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
    case Deroulement::Interrompu:
      Ecrire(t.Sorties.Erreurs, TexteInterruption(issue.Position, t.Memoire.ChipSize));
      return SortieInterrompue;
  }
  return SortieEchecMemoire;
}

// The range commands and the identification drive the parallel bus
// themselves: they take the port for their whole run, as an adapter's
// operation does, and give it back after.
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

// The identification before a write drives the parallel bus itself; on
// another adapter the write goes on as after an uncertain identification,
// and the read-back that follows it catches a smaller chip.
int GarderAvantEcriture(const OptionsCli& options, const Transfert& t) {
  if (t.Adaptateur->Identite().Genre == GenrePort::Parallele)
    return SurPortPris(t, [&] { return GarderEcriture(options, t.Adaptateur->Identite().Adresse, t.Sorties); });
  if (!options.Forcer)
    Ecrire(t.Sorties.Resultats, "Identification non faite sur cet adaptateur : l'écriture continue comme " +
                                    std::string(SpecMemoire(options.ChipType).NomCourt) + ".");
  return SortieSucces;
}

int Programmer(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  if (const int garde = GarderAvantEcriture(options, t); garde != SortieSucces) return garde;
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
  if (issue.Verifiee && !options.Verification)
    Ecrire(t.Sorties.Resultats, TexteVerificationImposee);
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

int Detecter(const PortsSupplementaires& supplementaires, const Transfert& t) {
  const BilanDetection bilan = DetecterAdaptateur(supplementaires);
  Issue issue;
  issue.Fin = bilan.Fin;
  issue.Message = bilan.Raison;
  if (bilan.Fin != Deroulement::Termine) return CodeDeroulement(issue, t);
  if (!bilan.Trouve) {
    Ecrire(t.Sorties.Erreurs, TexteProgrammateurAbsent);
    return SortieEchecMemoire;
  }
  Ecrire(t.Sorties.Resultats, TexteProgrammateurDetecte(*bilan.Trouve));
  return SortieSucces;
}

const char* const CommentAutoriserCli =
    "Pour passer outre, en sachant ce que vous faites : --autoriser-ecriture-bus-systeme.";

OptionsAdaptateur OptionsDe(const OptionsCli& options) {
  OptionsAdaptateur o;
  o.Broches = options.Broches.value_or(0);
  o.VitesseKHz = options.VitesseKHz.value_or(100);
  o.EcritureBusSystemeAutorisee = options.AutoriserBusSysteme;
  o.CommentAutoriser = CommentAutoriserCli;
  return o;
}

// On a PC's SMBus or a display bus every operation on a 24Cxx needs the
// option (engine/i2c/i2c_safety.h): refused here with the reason and the
// way to allow it, before anything is opened.
bool RefuseParLaGarde(const OptionsCli& options, const IdentitePort& port, const SortiesCli& sorties) {
  if (port.Genre != GenrePort::I2c || !port.Gardee || options.AutoriserBusSysteme) return false;
  const GenreBusI2c genre =
      GenreDuBus(port.Libelle, "") == GenreBusI2c::Affichage ? GenreBusI2c::Affichage : GenreBusI2c::SmbusPC;
  const int type = options.ChipType >= 0 ? options.ChipType : TypeMemoireParDefaut;
  const std::uint16_t adresse = AdresseEsclave(type, PlageDemandee(options).Debut, options.Broches.value_or(0));
  Ecrire(sorties.Erreurs, RaisonRefus({port.Adresse, port.Libelle, genre}, adresse) + "\n" + CommentAutoriserCli);
  return true;
}

}  // namespace

bool OptionsAdmisesPar(const OptionsCli& options, const IdentitePort& port, std::string& erreur) {
  if (options.VitesseKHz && port.Genre != GenrePort::Ch341a)
    erreur = "--vitesse ne concerne que le programmateur CH341A";
  else if (options.Broches && port.Genre == GenrePort::Parallele)
    erreur = "--broches ne concerne que le CH341A et les bus I2C : le support de l'adaptateur parallèle met "
             "A2 A1 A0 à la masse";
  else if (options.AutoriserBusSysteme && port.Genre != GenrePort::I2c)
    erreur = std::string(OptionBusSysteme) + " ne concerne que les bus I2C";
  return erreur.empty();
}

void AfficherAdaptateurs(std::ostream& sortie) {
  const SourceAdaptateurs* source = SourceAdaptateursInstallee();
  if (!source) return;
  std::vector<std::string> lignes;
  for (GenrePort genre : {GenrePort::Ch341a, GenrePort::I2c})
    for (const AdaptateurTrouve& t : SourceAdaptateursInstallee()->Lister(genre)) {
      const std::string valeur = genre == GenrePort::Ch341a ? "\"USB " + t.Port.Nom + "\"" : t.Port.Nom;
      std::string ligne = "  --port " + valeur + " : " + TextePort(t.Port, FormePort::Rapport) + ", " + t.Capacites;
      if (genre == GenrePort::I2c)
        ligne += t.Port.Gardee ? ", écriture gardée (" + std::string(OptionBusSysteme) + ")" : ", écriture libre";
      if (!t.Accessible) ligne += ", inaccessible";
      lignes.push_back(ligne);
    }
  if (lignes.empty()) return;
  sortie << "Programmateurs CH341A et bus I2C :\n";
  for (const std::string& ligne : lignes) sortie << ligne << '\n';
}

int ExecuterCommande(const OptionsCli& options, const IdentitePort& port, const PortsSupplementaires& supplementaires,
                     const SortiesCli& sorties) {
  const Transfert t{OuvrirAdaptateur(port, OptionsDe(options)),
                    {options.ChipType, options.ChipType >= 0 ? SpecMemoire(options.ChipType).Taille : 0},
                    sorties};
  const bool parallele = port.Genre == GenrePort::Parallele;
  // The range commands and the identification drive the parallel bus
  // themselves, and are not served on the other adapters yet.
  if ((CommandeSurPlage(options) || options.Commande == CommandeCli::Identifier) && !parallele) {
    Ecrire(sorties.Erreurs, "Les plages (--debut, --longueur), effacer, vierge et identifier ne sont servis que "
                            "sur un port parallèle pour l'instant.");
    return SortieUsage;
  }
  if (options.Commande != CommandeCli::Detecter && RefuseParLaGarde(options, port, sorties)) return SortieUsage;
  if (CommandeSurPlage(options))
    return SurPortPris(t, [&] { return ExecuterSurPlage(options, port.Adresse, sorties); });
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, t);
    case CommandeCli::Programmer: return Programmer(options, t);
    case CommandeCli::Comparer: return ComparerFichier(options, t);
    case CommandeCli::Identifier: return SurPortPris(t, [&] { return Identifier(port.Adresse, sorties); });
    case CommandeCli::Detecter: return Detecter(supplementaires, t);
    default: return SortieUsage;
  }
}

}  // namespace zorbix
