#include "cli/commands_range.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands_identify.h"
#include "cli/image_file.h"
#include "cli/progress_line.h"
#include "engine/chips.h"
#include "engine/range_transfers.h"
#include "engine/transfer_messages.h"
#include "engine/transfers.h"

namespace zorbix {
namespace {

constexpr int AdressesMontrees = 16;
using Octets = std::vector<std::uint8_t>;

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

// The part of the chip a command acts on. Without --debut and --longueur it
// is the whole chip, and the window's whole-chip transfers serve it.
struct Zone {
  CibleI2C Cible;
  Plage Octets;
  bool Entiere;
  const SortiesCli& Sorties;

  std::string Nom() const {
    return Entiere ? std::string("la mémoire")
                   : "la plage " + Hexa4(Octets.Debut) + " à " + Hexa4(Octets.Debut + Octets.Longueur - 1);
  }
  LigneProgression Ligne(const char* operation) const {
    return LigneProgression(stderr, Sorties.Progression, operation, Octets.Longueur);
  }

  bool Lire(std::uint8_t* dest, const char* operation) const {
    LigneProgression ligne = Ligne(operation);
    const Progression suivre = [&ligne](int position) { ligne.Position(position); };
    return Entiere ? LireMemoire(Cible, dest, suivre) : LirePlage(Cible, Octets, dest, suivre);
  }
  WriteResult Ecrire(const std::uint8_t* image, bool writeMode, const char* operation) const {
    LigneProgression ligne = Ligne(operation);
    const Progression suivre = [&ligne](int position) { ligne.Position(position); };
    const WriteResult r = Entiere ? ProgrammerMemoireEntiere(Cible, image, writeMode, suivre)
                                  : ProgrammerPlage(Cible, Octets, image, writeMode, suivre);
    if (r == WriteResult::EcritureReussie) ligne.Position(Octets.Longueur);
    return r;
  }
  // The chip's bytes in `zone`; false when the chip did not answer.
  bool Comparer(const std::uint8_t* image, std::uint8_t* zone, int& differences, const char* operation) const {
    LigneProgression ligne = Ligne(operation);
    const Progression suivre = [&ligne](int position) { ligne.Position(position); };
    const ResultatComparaison r = Entiere ? ComparerMemoire(Cible, image, zone, suivre)
                                          : ComparerPlage(Cible, Octets, image, zone, suivre);
    differences = r.Differences;
    return r.Acquittee;
  }
};

// "$0012 : puce $A5, fichier $00" for the first differing addresses.
void EcrireDifferences(std::ostream& sortie, const Zone& z, const std::uint8_t* puce, const std::uint8_t* fichier) {
  for (int i = 0, montrees = 0; i < z.Octets.Longueur && montrees < AdressesMontrees; ++i) {
    if (puce[i] == fichier[i]) continue;
    sortie << Hexa4(z.Octets.Debut + i) << " : puce " << Hexa2(puce[i]) << ", fichier " << Hexa2(fichier[i]) << '\n';
    ++montrees;
  }
}

// comparer --liste: "0064 00 A5", every differing address, for a machine.
void EcrireListe(std::ostream& sortie, const Zone& z, const std::uint8_t* puce, const std::uint8_t* fichier) {
  for (int i = 0; i < z.Octets.Longueur; ++i) {
    if (puce[i] == fichier[i]) continue;
    char ligne[16];
    std::snprintf(ligne, sizeof ligne, "%04X %02X %02X\n", static_cast<unsigned>(z.Octets.Debut + i), puce[i],
                  fichier[i]);
    sortie << ligne;
  }
}

// Reads the zone back and compares it with `image`, as after a programming
// run: SortieSucces, or SortieEchecMemoire with the differences on stderr.
int Verifier(const Zone& z, const std::uint8_t* image) {
  Octets lu(static_cast<std::size_t>(z.Octets.Longueur));
  int differences = 0;
  if (!z.Comparer(image, lu.data(), differences, "Vérification")) {
    EcrireLigne(z.Sorties.Erreurs, std::string(DebutVerificationEchouee) + TexteComparaisonSansAcquittement);
    return SortieEchecMemoire;
  }
  if (differences == 0) return SortieSucces;
  EcrireLigne(z.Sorties.Erreurs, DebutVerificationEchouee + TexteDifferences(differences, z.Octets.Longueur));
  EcrireDifferences(z.Sorties.Erreurs, z, lu.data(), image);
  return SortieEchecMemoire;
}

// Writes then, unless --sans-verification, reads back: the exit code, the
// failures said on stderr.
int EcrireEtVerifier(const OptionsCli& options, const Zone& z, const std::uint8_t* image, const char* operation) {
  const WriteResult resultat = z.Ecrire(image, options.WriteMode, operation);
  if (resultat != WriteResult::EcritureReussie) {
    EcrireLigne(z.Sorties.Erreurs, MessageProgrammation(resultat));
    return SortieEchecMemoire;
  }
  return options.Verification ? Verifier(z, image) : SortieSucces;
}

// The file as the zone's bytes, its first byte at the zone's first address,
// padded with $FF; false, with the reason said, when it cannot be had or is
// longer than the zone (nothing touches the chip then).
bool ChargerZone(const OptionsCli& options, const Zone& z, Octets& octets) {
  ImageChargee image = ChargerImage(options.Fichier, EstFormatHexa(options), z.Cible.ChipSize);
  if (!image.Acceptee) {
    EcrireLigne(z.Sorties.Erreurs, image.Message);
    return false;
  }
  const auto longueur = static_cast<std::size_t>(z.Octets.Longueur);
  if (image.Etendue > longueur) {
    EcrireLigne(z.Sorties.Erreurs, "Fichier trop grand : " + std::to_string(image.Etendue) + " octets pour " +
                                       z.Nom() + " de " + std::to_string(longueur) +
                                       " octets ; rien n'est écrit dans la mémoire.");
    return false;
  }
  if (image.Etendue < longueur)
    EcrireLigne(z.Sorties.Resultats, "Fichier de " + std::to_string(image.Etendue) + " octets pour " + z.Nom() +
                                         " de " + std::to_string(longueur) + " octets : les adresses " +
                                         Hexa4(z.Octets.Debut + static_cast<int>(image.Etendue)) + " à " +
                                         Hexa4(z.Octets.Debut + z.Octets.Longueur - 1) + " valent $FF.");
  octets.assign(image.Octets.begin(), image.Octets.begin() + z.Octets.Longueur);
  return true;
}

int Lire(const OptionsCli& options, const Zone& z) {
  // As for the whole chip: the output path is judged before the chip is read.
  const std::string refus = RefusDestination(options.Fichier);
  if (!refus.empty()) {
    EcrireLigne(z.Sorties.Erreurs, refus);
    return SortieUsage;
  }
  Octets octets(static_cast<std::size_t>(z.Octets.Longueur));
  if (!z.Lire(octets.data(), "Lecture")) {
    EcrireLigne(z.Sorties.Erreurs, TexteLectureImpossible);
    return SortieEchecMemoire;
  }
  const bool sortieStandard = options.Fichier == NomFluxStandard;
  if (sortieStandard) z.Sorties.Resultats.flush();
  const std::string echec = SauverImage(options.Fichier, EstFormatHexa(options), octets.data(), z.Octets.Longueur);
  if (!echec.empty()) {
    EcrireLigne(z.Sorties.Erreurs, echec);
    return SortieUsage;
  }
  EcrireLigne(sortieStandard ? z.Sorties.Erreurs : z.Sorties.Resultats,
              std::to_string(z.Octets.Longueur) + " octets lus de " + Hexa4(z.Octets.Debut) + " à " +
                  Hexa4(z.Octets.Debut + z.Octets.Longueur - 1) +
                  (sortieStandard ? ", envoyés sur la sortie standard" : " dans " + options.Fichier));
  return SortieSucces;
}

int Programmer(const OptionsCli& options, const Zone& z) {
  Octets image;
  if (!ChargerZone(options, z, image)) return SortieUsage;
  if (const int garde = GarderEcriture(options, z.Cible.PortBase, z.Sorties); garde != SortieSucces) return garde;
  const int code = EcrireEtVerifier(options, z, image.data(), "Programmation");
  if (code != SortieSucces) return code;
  EcrireLigne(z.Sorties.Resultats, MessageProgrammation(WriteResult::EcritureReussie));
  if (options.Verification) EcrireLigne(z.Sorties.Resultats, "Vérification : la mémoire contient le fichier.");
  return SortieSucces;
}

int Comparer(const OptionsCli& options, const Zone& z) {
  Octets image;
  if (!ChargerZone(options, z, image)) return SortieUsage;
  Octets puce(static_cast<std::size_t>(z.Octets.Longueur));
  int differences = 0;
  if (!z.Comparer(image.data(), puce.data(), differences, "Comparaison")) {
    EcrireLigne(z.Sorties.Erreurs, TexteComparaisonSansAcquittement);
    return SortieEchecMemoire;
  }
  if (options.Liste) {
    EcrireListe(z.Sorties.Resultats, z, puce.data(), image.data());
  } else if (differences == 0) {
    EcrireLigne(z.Sorties.Resultats, TexteAucuneDifferenceFichier);
  } else {
    EcrireLigne(z.Sorties.Resultats, TexteDifferences(differences, z.Octets.Longueur));
    EcrireDifferences(z.Sorties.Resultats, z, puce.data(), image.data());
  }
  return differences == 0 ? SortieSucces : SortieDifferences;
}

int Effacer(const OptionsCli& options, const Zone& z) {
  if (const int garde = GarderEcriture(options, z.Cible.PortBase, z.Sorties); garde != SortieSucces) return garde;
  const Octets image(static_cast<std::size_t>(z.Octets.Longueur), static_cast<std::uint8_t>(options.Valeur));
  const int code = EcrireEtVerifier(options, z, image.data(), "Effacement");
  if (code != SortieSucces) return code;
  EcrireLigne(z.Sorties.Resultats, "Effacement terminé : " + z.Nom() + " (" + std::to_string(z.Octets.Longueur) +
                                       " octets) a reçu " + Hexa2(options.Valeur) + ".");
  if (options.Verification)
    EcrireLigne(z.Sorties.Resultats, "Vérification : chaque octet vaut " + Hexa2(options.Valeur) + ".");
  return SortieSucces;
}

int Vierge(const Zone& z) {
  Octets octets(static_cast<std::size_t>(z.Octets.Longueur));
  if (!z.Lire(octets.data(), "Lecture")) {
    EcrireLigne(z.Sorties.Erreurs, TexteLectureImpossible);
    return SortieEchecMemoire;
  }
  int ecrits = 0;
  for (const std::uint8_t o : octets) ecrits += o != 0xFF;
  if (ecrits == 0) {
    EcrireLigne(z.Sorties.Resultats, "Vierge : " + z.Nom() + " (" + std::to_string(z.Octets.Longueur) +
                                         " octets) ne contient que $FF.");
    return SortieSucces;
  }
  EcrireLigne(z.Sorties.Resultats, "Pas vierge : " + std::to_string(ecrits) + " octet(s) différent(s) de $FF sur " +
                                       std::to_string(z.Octets.Longueur) + " :");
  for (int i = 0, montres = 0; i < z.Octets.Longueur && montres < AdressesMontrees; ++i) {
    if (octets[static_cast<std::size_t>(i)] == 0xFF) continue;
    z.Sorties.Resultats << Hexa4(z.Octets.Debut + i) << " : " << Hexa2(octets[static_cast<std::size_t>(i)]) << '\n';
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

int ExecuterSurPlage(const OptionsCli& options, std::uint16_t portBase, const SortiesCli& sorties) {
  const int taille = SpecMemoire(options.ChipType).Taille;
  const PlageCli plage = PlageDemandee(options);
  const Zone z{{portBase, options.ChipType, taille}, {plage.Debut, plage.Longueur}, !PlageDonnee(options), sorties};
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
