#include "cli/commands.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli/image_file.h"
#include "cli/progress_line.h"
#include "engine/autodetection.h"
#include "engine/chips.h"
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

struct Transfert {
  CibleI2C Cible;
  const SortiesCli& Sorties;

  Progression Suivre(LigneProgression& ligne) const {
    return [&ligne](int position) { ligne.Position(position); };
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
  bool lu;
  {
    LigneProgression ligne = t.Ligne("Lecture");
    lu = LireMemoire(t.Cible, octets.data(), t.Suivre(ligne));
  }
  if (!lu) {
    Ecrire(t.Sorties.Erreurs, TexteLectureImpossible);
    return SortieEchecMemoire;
  }
  const bool sortieStandard = options.Fichier == NomFluxStandard;
  if (sortieStandard) t.Sorties.Resultats.flush();
  const std::string echec = SauverImage(options.Fichier, EstFormatHexa(options), octets.data(), t.Cible.ChipSize);
  if (!echec.empty()) {
    Ecrire(t.Sorties.Erreurs, echec);
    return SortieUsage;
  }
  if (sortieStandard)
    Ecrire(t.Sorties.Erreurs, std::to_string(t.Cible.ChipSize) + " octets lus, envoyés sur la sortie standard");
  else
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
    resultat = ProgrammerMemoireEntiere(t.Cible, image.Octets.data(), options.WriteMode, t.Suivre(ligne));
    if (resultat == WriteResult::EcritureReussie) ligne.Position(t.Cible.ChipSize);
  }
  if (resultat != WriteResult::EcritureReussie) {
    Ecrire(t.Sorties.Erreurs, MessageProgrammation(resultat));
    return SortieEchecMemoire;
  }
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

int Detecter(const PortsSupplementaires& supplementaires, const SortiesCli& sorties) {
  const int trouve = DetecterProgrammateur(supplementaires);
  if (trouve < 0) {
    Ecrire(sorties.Erreurs, TexteProgrammateurAbsent);
    return SortieEchecMemoire;
  }
  Ecrire(sorties.Resultats, TexteProgrammateurDetecte(trouve, supplementaires));
  return SortieSucces;
}

}  // namespace

int ExecuterCommande(const OptionsCli& options, std::uint16_t portBase, const PortsSupplementaires& supplementaires,
                     const SortiesCli& sorties) {
  const Transfert t{{portBase, options.ChipType, options.ChipType >= 0 ? SpecMemoire(options.ChipType).Taille : 0},
                    sorties};
  switch (options.Commande) {
    case CommandeCli::Lire: return Lire(options, t);
    case CommandeCli::Programmer: return Programmer(options, t);
    case CommandeCli::Comparer: return ComparerFichier(options, t);
    case CommandeCli::Detecter: return Detecter(supplementaires, sorties);
    default: return SortieUsage;
  }
}

}  // namespace zorbix
