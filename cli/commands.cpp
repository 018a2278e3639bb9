#include "cli/commands.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/image_file.h"
#include "cli/progress_line.h"
#include "cli/stop_signals.h"
#include "engine/autodetection.h"
#include "engine/chips.h"
#include "engine/interruption.h"
#include "engine/port_claim.h"
#include "engine/transfer_messages.h"
#include "engine/transfers.h"

namespace zorbix {
namespace {

constexpr int AdressesDifferentesMontrees = 16;

// The window's texts end some lines with a newline of their own.
void Ecrire(std::ostream& sortie, std::string texte) {
  while (!texte.empty() && texte.back() == '\n') texte.pop_back();
  sortie << texte << '\n';
}

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

// A stop asked for by a signal ends the operation here, between two bus
// transactions.
void ArreterSiDemande(int position) {
  if (ArretDemande()) throw Interruption{position};
}

struct Transfert {
  CibleI2C Cible;
  const SortiesCli& Sorties;

  // A programming run calls it before each page or byte it writes: between
  // two transactions. A read or a compare calls it in the middle of its one
  // transaction, and the stop waits for its end.
  Progression Suivre(LigneProgression& ligne, bool entreTransactions = false) const {
    return [&ligne, entreTransactions](int position) {
      if (entreTransactions) ArreterSiDemande(position);
      ligne.Position(position);
    };
  }
  LigneProgression Ligne(const char* operation) const {
    return LigneProgression(stderr, Sorties.Progression, operation, Cible.ChipSize);
  }
};

// The file's image, or the exit code of a refusal (nothing touches the chip).
bool Charger(const OptionsCli& options, const Transfert& t, ImageChargee& image) {
  image = ChargerImage(options.Fichier, EstFormatHexa(options), t.Cible.ChipSize);
  if (!image.Acceptee) {
    Ecrire(t.Sorties.Erreurs, image.Message);
    return false;
  }
  if (!image.Message.empty()) Ecrire(t.Sorties.Resultats, image.Message);
  return true;
}

int Lire(const OptionsCli& options, const Transfert& t) {
  std::vector<std::uint8_t> octets(TailleImage, 0xFF);
  bool lu;
  {
    LigneProgression ligne = t.Ligne("Lecture");
    lu = LireMemoire(t.Cible, octets.data(), t.Suivre(ligne));
  }
  if (!lu) {
    Ecrire(t.Sorties.Erreurs, TexteLectureImpossible);
    return SortieEchecMemoire;
  }
  ArreterSiDemande(t.Cible.ChipSize);
  if (!SauverImage(options.Fichier, EstFormatHexa(options), octets.data(), t.Cible.ChipSize)) {
    Ecrire(t.Sorties.Erreurs, "L'enregistrement n'a pas pu être effectué : " + options.Fichier);
    return SortieUsage;
  }
  Ecrire(t.Sorties.Resultats, std::to_string(t.Cible.ChipSize) + " octets lus dans " + options.Fichier);
  return SortieSucces;
}

// Reads the chip back into a scratch area and compares it with `image`, as
// the window's compare does; prints the outcome. `prefixe` starts the lines
// that report a failure.
int Comparer(const std::uint8_t* image, const Transfert& t, const char* operation, const std::string& prefixe,
             int codeDifferences) {
  const ZoneTravail zone = AllouerSansException(static_cast<std::size_t>(t.Cible.ChipSize));
  if (!zone) {
    Ecrire(t.Sorties.Erreurs, prefixe + TexteZoneTravailIndisponible);
    return SortieEchecMemoire;
  }
  ResultatComparaison r;
  {
    LigneProgression ligne = t.Ligne(operation);
    r = ComparerMemoire(t.Cible, image, zone.get(), t.Suivre(ligne));
  }
  if (!r.Acquittee) {
    Ecrire(t.Sorties.Erreurs, prefixe + TexteComparaisonSansAcquittement);
    return SortieEchecMemoire;
  }
  ArreterSiDemande(t.Cible.ChipSize);
  if (r.Differences == 0) return SortieSucces;
  std::ostream& sortie = codeDifferences == SortieDifferences ? t.Sorties.Resultats : t.Sorties.Erreurs;
  Ecrire(sortie, prefixe + TexteDifferences(r.Differences, t.Cible.ChipSize));
  EcrireDifferences(sortie, zone.get(), image, t.Cible.ChipSize);
  return codeDifferences;
}

int Programmer(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  WriteResult resultat;
  {
    LigneProgression ligne = t.Ligne("Programmation");
    resultat = ProgrammerMemoireEntiere(t.Cible, image.Octets.data(), options.WriteMode, t.Suivre(ligne, true));
    if (resultat == WriteResult::EcritureReussie) ligne.Position(t.Cible.ChipSize);
  }
  if (resultat != WriteResult::EcritureReussie) {
    Ecrire(t.Sorties.Erreurs, MessageProgrammation(resultat));
    return SortieEchecMemoire;
  }
  ArreterSiDemande(t.Cible.ChipSize);
  if (options.Verification) {
    const int verification =
        Comparer(image.Octets.data(), t, "Vérification", DebutVerificationEchouee, SortieEchecMemoire);
    if (verification != SortieSucces) return verification;
  }
  Ecrire(t.Sorties.Resultats, MessageProgrammation(WriteResult::EcritureReussie));
  if (options.Verification) Ecrire(t.Sorties.Resultats, "Vérification : la mémoire contient le fichier.");
  return SortieSucces;
}

int ComparerFichier(const OptionsCli& options, const Transfert& t) {
  ImageChargee image;
  if (!Charger(options, t, image)) return SortieUsage;
  const int code = Comparer(image.Octets.data(), t, "Comparaison", "", SortieDifferences);
  if (code == SortieSucces) Ecrire(t.Sorties.Resultats, TexteAucuneDifference);
  return code;
}

// A port held by another program is not tested; when no adapter was found
// elsewhere, it may be the one: "busy" rather than "absent".
int Detecter(const PortsSupplementaires& supplementaires, const SortiesCli& sorties) {
  std::vector<std::string> refus;
  const int trouve = DetecterProgrammateur(supplementaires, &refus);
  for (const std::string& raison : refus) Ecrire(sorties.Erreurs, raison);
  if (trouve < 0) {
    Ecrire(sorties.Erreurs, TexteProgrammateurAbsent);
    return refus.empty() ? SortieEchecMemoire : SortiePortOccupe;
  }
  Ecrire(sorties.Resultats, TexteProgrammateurDetecte(trouve, supplementaires));
  return SortieSucces;
}

// How far an interrupted operation got, the chip now unpowered.
void EcrireInterruption(CommandeCli commande, const Interruption& i, const Transfert& t) {
  const std::string taille = std::to_string(t.Cible.ChipSize);
  std::string texte = "Interrompu par un signal : ";
  if (commande == CommandeCli::Lire)
    texte += "la mémoire a été lue en entier, mais le fichier n'a pas été écrit.";
  else if (commande == CommandeCli::Comparer)
    texte += "la mémoire a été lue en entier, mais pas comparée au fichier.";
  else if (i.Position < t.Cible.ChipSize)
    texte += "les " + std::to_string(i.Position) + " premiers octets sur " + taille +
             " sont programmés, le reste non.";
  else
    texte += "les " + taille + " octets sont programmés, mais la vérification n'a pas été conclue.";
  Ecrire(t.Sorties.Erreurs, texte + " La mémoire est hors tension.");
}

int Executer(const OptionsCli& options, const Transfert& t) {
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, t);
    case CommandeCli::Programmer: return Programmer(options, t);
    case CommandeCli::Comparer: return ComparerFichier(options, t);
    default: return SortieUsage;
  }
}

}  // namespace

int ExecuterCommande(const OptionsCli& options, std::uint16_t portBase, const PortsSupplementaires& supplementaires,
                     const SortiesCli& sorties) {
  if (options.Commande == CommandeCli::Detecter) return Detecter(supplementaires, sorties);
  const Transfert t{{portBase, options.ChipType, options.ChipType >= 0 ? SpecMemoire(options.ChipType).Taille : 0},
                    sorties};
  // Held for the whole command, verification included, and given back (a
  // virtual chip written back) before the exit code is known.
  PortPris prise(portBase);
  if (!prise.Pris()) {
    Ecrire(sorties.Erreurs, prise.Raison());
    return SortiePortOccupe;
  }
  int code;
  try {
    code = Executer(options, t);
  } catch (const Interruption& i) {
    EcrireInterruption(options.Commande, i, t);
    code = SortieInterrompue;
  }
  if (prise.Rendre()) return code;
  Ecrire(sorties.Erreurs, prise.Raison());
  return SortieEchecMemoire;
}

}  // namespace zorbix
