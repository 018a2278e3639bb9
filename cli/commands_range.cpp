#include "cli/commands_range.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands_identify.h"
#include "cli/image_file.h"
#include "cli/stop_signals.h"
#include "cli/transfer_context.h"
#include "engine/transfer_messages.h"
#include "engine/use_cases.h"

namespace zorbix {
namespace {

using Octets = std::vector<std::uint8_t>;

// The part of the chip a command acts on. Without --debut and --longueur it
// is the whole chip, and the window's whole-chip operations serve it.
struct Zone {
  const Transfert& T;
  Partie P;

  int Longueur() const { return P.Octets.Longueur; }
  std::string Nom() const {
    return P.Entiere ? std::string("la mémoire")
                     : "la plage " + Hexa4(P.Octets.Debut) + " à " + Hexa4(P.Octets.Debut + Longueur() - 1);
  }
  std::ostream& Resultats() const { return T.Sorties.Resultats; }
  std::ostream& Erreurs() const { return T.Sorties.Erreurs; }
};

// comparer --liste: "0064 00 A5", every differing address, for a machine.
void EcrireListe(std::ostream& sortie, const Zone& z, const std::uint8_t* puce, const std::uint8_t* fichier) {
  for (int i = 0; i < z.Longueur(); ++i) {
    if (puce[i] == fichier[i]) continue;
    char ligne[16];
    std::snprintf(ligne, sizeof ligne, "%04X %02X %02X\n", static_cast<unsigned>(z.P.Octets.Debut + i), puce[i],
                  fichier[i]);
    sortie << ligne;
  }
}

// A programming's failure on stderr, and the first differences when its
// verification found some (`attendu` is what the part should hold): the
// exit code. SortieSucces when it went as asked.
int RapporterEchec(const Zone& z, const IssueProgrammation& issue, const std::uint8_t* attendu) {
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, z.T, z.Longueur());
  if (issue.Reussie) return SortieSucces;
  EcrireLigne(z.Erreurs(), issue.Message);
  const IssueComparaison& v = issue.Verification;
  if (issue.Verifiee && v.Resultat.Acquittee && v.Resultat.Differences > 0)
    EcrireDifferences(z.Erreurs(), z.P.Octets.Debut, v.Zone.get(), attendu, z.Longueur());
  return SortieEchecMemoire;
}

// The file as the zone's bytes, its first byte at the zone's first address,
// padded with $FF; false, with the reason said, when it cannot be had or is
// longer than the zone (nothing touches the chip then).
bool ChargerZone(const OptionsCli& options, const Zone& z, Octets& octets) {
  ImageChargee image = ChargerImage(options.Fichier, EstFormatHexa(options), z.T.Memoire.ChipSize);
  if (!image.Acceptee) {
    EcrireLigne(z.Erreurs(), image.Message);
    return false;
  }
  const auto longueur = static_cast<std::size_t>(z.Longueur());
  if (image.Etendue > longueur) {
    EcrireLigne(z.Erreurs(), "Fichier trop grand : " + std::to_string(image.Etendue) + " octets pour " + z.Nom() +
                                 " de " + std::to_string(longueur) + " octets ; rien n'est écrit dans la mémoire.");
    return false;
  }
  if (image.Etendue < longueur)
    EcrireLigne(z.Resultats(), "Fichier de " + std::to_string(image.Etendue) + " octets pour " + z.Nom() + " de " +
                                   std::to_string(longueur) + " octets : les adresses " +
                                   Hexa4(z.P.Octets.Debut + static_cast<int>(image.Etendue)) + " à " +
                                   Hexa4(z.P.Octets.Debut + z.Longueur() - 1) + " valent $FF.");
  octets.assign(image.Octets.begin(), image.Octets.begin() + z.Longueur());
  return true;
}

// A stop asked for during a read, one bus transaction, acts at its end: the
// file is neither written nor judged, as for the whole chip.
bool Interrompue(const Zone& z, const char* suite) {
  if (!ArretDemande()) return false;
  EcrireLigne(z.Erreurs(), "Interrompu par un signal : " + z.Nom() + " a été lue en entier, mais " + suite +
                               " La mémoire est hors tension.");
  return true;
}

int Lire(const OptionsCli& options, const Zone& z) {
  // As for the whole chip: the output path is judged before the chip is read.
  const std::string refus = RefusDestination(options.Fichier);
  if (!refus.empty()) {
    EcrireLigne(z.Erreurs(), refus);
    return SortieUsage;
  }
  Octets octets(static_cast<std::size_t>(z.Longueur()));
  Affichage affichage(z.T, "Lecture", z.Longueur());
  const Issue issue = LireLaPartie(*z.T.Adaptateur, z.T.Memoire, z.P, octets.data(), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, z.T, z.Longueur());
  if (!issue.Reussie) {
    EcrireLigne(z.Erreurs(), issue.Message);
    return SortieEchecMemoire;
  }
  if (Interrompue(z, "le fichier n'a pas été écrit.")) return SortieInterrompue;
  const bool sortieStandard = options.Fichier == NomFluxStandard;
  if (sortieStandard) z.Resultats().flush();
  const std::string echec = SauverImage(options.Fichier, EstFormatHexa(options), octets.data(), z.Longueur());
  if (!echec.empty()) {
    EcrireLigne(z.Erreurs(), echec);
    return SortieUsage;
  }
  const int fin = z.P.Octets.Debut + z.Longueur() - 1;
  EcrireLigne(sortieStandard ? z.Erreurs() : z.Resultats(),
              std::to_string(z.Longueur()) + " octets lus de " + Hexa4(z.P.Octets.Debut) + " à " + Hexa4(fin) +
                  (sortieStandard ? ", envoyés sur la sortie standard" : " dans " + options.Fichier));
  return SortieSucces;
}

int Programmer(const OptionsCli& options, const Zone& z) {
  Octets image;
  if (!ChargerZone(options, z, image)) return SortieUsage;
  if (const int garde = GarderEcriture(options, z.T); garde != SortieSucces) return garde;
  Affichage affichage(z.T, "Programmation", z.Longueur());
  const IssueProgrammation issue =
      ProgrammerLaPartieEtVerifier(*z.T.Adaptateur, z.T.Memoire, z.P, image.data(), options.WriteMode,
                                   options.Verification, AllouerSansException, affichage.PourProgrammation());
  affichage.Fermer();
  if (const int code = RapporterEchec(z, issue, image.data()); code != SortieSucces) return code;
  EcrireLigne(z.Resultats(), issue.Message);
  if (issue.Verifiee) EcrireLigne(z.Resultats(), "Vérification : la mémoire contient le fichier.");
  if (issue.Verifiee && !options.Verification) EcrireLigne(z.Resultats(), TexteVerificationImposee);
  return SortieSucces;
}

int Comparer(const OptionsCli& options, const Zone& z) {
  Octets image;
  if (!ChargerZone(options, z, image)) return SortieUsage;
  Affichage affichage(z.T, "Comparaison", z.Longueur());
  const IssueComparaison issue =
      ComparerLaPartieEtJuger(*z.T.Adaptateur, z.T.Memoire, z.P, image.data(),
                              AllouerSansException(static_cast<std::size_t>(z.Longueur())), affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, z.T, z.Longueur());
  if (!issue.Resultat.Acquittee) {
    EcrireLigne(z.Erreurs(), issue.Message);
    return SortieEchecMemoire;
  }
  if (Interrompue(z, "pas comparée au fichier.")) return SortieInterrompue;
  if (options.Liste) {
    EcrireListe(z.Resultats(), z, issue.Zone.get(), image.data());
  } else {
    EcrireLigne(z.Resultats(), issue.Message);
    EcrireDifferences(z.Resultats(), z.P.Octets.Debut, issue.Zone.get(), image.data(), z.Longueur());
  }
  return issue.Reussie ? SortieSucces : SortieDifferences;
}

int Effacer(const OptionsCli& options, const Zone& z) {
  if (const int garde = GarderEcriture(options, z.T); garde != SortieSucces) return garde;
  const auto valeur = static_cast<std::uint8_t>(options.Valeur);
  Affichage affichage(z.T, "Effacement", z.Longueur());
  const IssueProgrammation issue =
      EffacerEtVerifier(*z.T.Adaptateur, z.T.Memoire, z.P, valeur, options.WriteMode, options.Verification,
                        AllouerSansException, affichage.PourProgrammation());
  affichage.Fermer();
  if (const int code = RapporterEchec(z, issue, Octets(static_cast<std::size_t>(z.Longueur()), valeur).data());
      code != SortieSucces)
    return code;
  EcrireLigne(z.Resultats(), "Effacement terminé : " + z.Nom() + " (" + std::to_string(z.Longueur()) +
                                 " octets) a reçu " + Hexa2(valeur) + ".");
  if (issue.Verifiee) EcrireLigne(z.Resultats(), "Vérification : chaque octet vaut " + Hexa2(valeur) + ".");
  if (issue.Verifiee && !options.Verification) EcrireLigne(z.Resultats(), TexteVerificationImposee);
  return SortieSucces;
}

int Vierge(const Zone& z) {
  Affichage affichage(z.T, "Lecture", z.Longueur());
  const IssueVierge issue =
      VerifierVierge(*z.T.Adaptateur, z.T.Memoire, z.P, AllouerSansException(static_cast<std::size_t>(z.Longueur())),
                     affichage.PourLecture());
  affichage.Fermer();
  if (issue.Fin != Deroulement::Termine) return CodeDeroulement(issue, z.T, z.Longueur());
  if (!issue.Lue) {
    EcrireLigne(z.Erreurs(), issue.Message);
    return SortieEchecMemoire;
  }
  if (Interrompue(z, "pas jugée.")) return SortieInterrompue;
  if (issue.Reussie) {
    EcrireLigne(z.Resultats(),
                "Vierge : " + z.Nom() + " (" + std::to_string(z.Longueur()) + " octets) ne contient que $FF.");
    return SortieSucces;
  }
  EcrireLigne(z.Resultats(), "Pas vierge : " + std::to_string(issue.NonVierges) +
                                 " octet(s) différent(s) de $FF sur " + std::to_string(z.Longueur()) + " :");
  for (int i = 0, montres = 0; i < z.Longueur() && montres < AdressesMontrees; ++i) {
    if (issue.Zone[i] == 0xFF) continue;
    z.Resultats() << Hexa4(z.P.Octets.Debut + i) << " : " << Hexa2(issue.Zone[i]) << '\n';
    ++montres;
  }
  return SortieDifferences;
}

}  // namespace

bool CommandeSurPlage(const OptionsCli& options) {
  switch (options.Commande) {
    case CommandeCli::Effacer:
    case CommandeCli::Vierge: return true;
    case CommandeCli::Comparer: return options.Liste || PlageDonnee(options);
    case CommandeCli::Lire:
    case CommandeCli::Programmer: return PlageDonnee(options);
    default: return false;
  }
}

int ExecuterSurPlage(const OptionsCli& options, const Transfert& t) {
  const PlageCli plage = PlageDemandee(options);
  const Zone z{t, {!PlageDonnee(options), {plage.Debut, plage.Longueur}}};
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, z);
    case CommandeCli::Programmer: return Programmer(options, z);
    case CommandeCli::Comparer: return Comparer(options, z);
    case CommandeCli::Effacer: return Effacer(options, z);
    case CommandeCli::Vierge: return Vierge(z);
    default: return SortieUsage;
  }
}

}  // namespace zorbix
