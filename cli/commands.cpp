#include "cli/commands.h"

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
#include "cli/stop_signals.h"
#include "cli/transfer_context.h"
#include "engine/adapter_table.h"
#include "engine/chips.h"
#include "engine/interruption.h"
#include "engine/i2c/i2c_chip.h"
#include "engine/i2c/i2c_safety.h"
#include "engine/parallel_adapter.h"
#include "engine/port_claim.h"
#include "engine/transfer_messages.h"
#include "engine/use_cases.h"

namespace zorbix {
namespace {

void Ecrire(std::ostream& sortie, std::string texte) { EcrireLigne(sortie, std::move(texte)); }

// The port is held for the whole command, verification included, and given
// back (a virtual chip written back) before the exit code is known; each
// adapter operation inside takes it again, which only counts. The other
// adapters are taken by each of their operations.
int SurPortPris(const Transfert& t, const std::function<int()>& commande) {
  if (t.Adaptateur->Identite().Genre != GenrePort::Parallele) return commande();
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
  Affichage affichage(t, "Lecture", t.Memoire.ChipSize);
  const Issue issue = LireLaMemoire(*t.Adaptateur, t.Memoire, octets.data(), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t, t.Memoire.ChipSize);
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
    EcrireDifferences(sortie, 0, c.Zone.get(), image, taille);
}

int Programmer(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  if (const int garde = GarderEcriture(options, t); garde != SortieSucces) return garde;
  Affichage affichage(t, "Programmation", t.Memoire.ChipSize);
  const IssueProgrammation issue =
      ProgrammerEtVerifier(*t.Adaptateur, t.Memoire, image.Octets.data(), options.WriteMode, options.Verification,
                           AllouerSansException, affichage.PourProgrammation());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t, t.Memoire.ChipSize);
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
  Affichage affichage(t, "Comparaison", t.Memoire.ChipSize);
  const IssueComparaison issue =
      ComparerEtJuger(*t.Adaptateur, t.Memoire, image.Octets.data(),
                      AllouerSansException(static_cast<std::size_t>(t.Memoire.ChipSize)), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, t, t.Memoire.ChipSize);
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
  const BilanDetection bilan = DetecterAdaptateur(supplementaires);
  if (!bilan.Raison.empty()) Ecrire(t.Sorties.Erreurs, bilan.Raison);
  if (!bilan.Trouve) {
    Ecrire(t.Sorties.Erreurs, TexteProgrammateurAbsent);
    return bilan.Fin == Deroulement::Occupe ? SortiePortOccupe : SortieEchecMemoire;
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

// A stop asked for during a read or a compare, one bus transaction each,
// acts at its end: the file is neither written nor judged.
void EcrireInterruption(CommandeCli commande, const Transfert& t) {
  Ecrire(t.Sorties.Erreurs, std::string("Interrompu par un signal : la mémoire a été lue en entier, mais ") +
                                (commande == CommandeCli::Lire ? "le fichier n'a pas été écrit."
                                                               : "pas comparée au fichier.") +
                                " La mémoire est hors tension.");
}

int Executer(const OptionsCli& options, const Transfert& t) {
  if (CommandeSurPlage(options)) return ExecuterSurPlage(options, t);
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, t);
    case CommandeCli::Programmer: return Programmer(options, t);
    case CommandeCli::Comparer: return ComparerFichier(options, t);
    case CommandeCli::Identifier: return Identifier(t);
    default: return SortieUsage;
  }
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
  SourceAdaptateurs* source = SourceAdaptateursInstallee();
  if (!source) return;
  std::vector<std::string> lignes;
  for (GenrePort genre : {GenrePort::Ch341a, GenrePort::I2c})
    for (const AdaptateurTrouve& t : source->Lister(genre)) {
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
  if (options.Commande == CommandeCli::Detecter) return Detecter(supplementaires, t);
  if (RefuseParLaGarde(options, port, sorties)) return SortieUsage;
  return SurPortPris(t, [&]() -> int {
    try {
      return Executer(options, t);
    } catch (const Interruption&) {
      EcrireInterruption(options.Commande, t);
      return SortieInterrompue;
    }
  });
}

}  // namespace zorbix
