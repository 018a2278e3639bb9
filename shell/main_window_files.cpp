// The file commands: loading the Buffer from a raw binary or an Intel HEX
// file, saving it in either format, and the caption that names the file.
// The formats themselves live in files/; here is what the user sees.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QToolButton>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "fileio/file_errors.h"
#include "files/binary_file.h"
#include "files/intel_hex.h"
#include "main_window.h"

namespace zorbix {
namespace {

static_assert(CapaciteChargement == TailleBuffer, "a load may fill the whole Buffer, no more");

const QString LegendeOuverture = QStringLiteral("Ouverture du fichier :");

// Entries 3 and 4 of the file dialogs are Intel HEX, 1 and 2 raw binary.
bool EstFiltreHexa(int filtre) { return filtre == FiltreHexa || filtre == FiltreHexa + 1; }

// The name as the system's file functions take it.
std::string NomSysteme(const QString& nom) { return QFile::encodeName(nom).toStdString(); }

// The chip's ChipSize bytes from address 0, in the format of the entry;
// 0, or why the file could not be written (file_errors.h).
int Enregistrer(const EtatProgramme& etat, int filtre) {
  const std::string nom = NomSysteme(etat.NomFichier);
  const auto taille = static_cast<std::size_t>(TailleActive(etat.ChipSize));
  int erreur = 0;
  if (EstFiltreHexa(filtre))
    EcrireFichierHexa(taille, OctetsParEnregistrement, nom, etat.Buffer.data(), &erreur);
  else
    SauverFichierBinaire(nom, etat.Buffer.data(), taille, &erreur);
  return erreur;
}

}  // namespace

void TForm1::ConnecterFichiers() {
  connect(BoutonOuvrir, &QToolButton::clicked, this, [this] { OuvrirFichier(BoutonOuvrir); });
  connect(OptionOuvrirFichier, &QAction::triggered, this, [this] { OuvrirFichier(OptionOuvrirFichier); });
  connect(BoutonSauver, &QToolButton::clicked, this, [this] { SauverFichier(BoutonSauver); });
  connect(OptionSauverFichier, &QAction::triggered, this, [this] { SauverFichier(OptionSauverFichier); });
}

// Sender is not used: the button, the menu item and the start-up open do the
// same.
void TForm1::OuvrirFichier(QObject*) {
  BoutonOuvrir->repaint();
  StatutOccupe(QStringLiteral("Ouvrir un fichier"));
  const Dialogues::ChoixFichier choix = dialogues_.DialogueFichier(
      this, Dialogues::ModeFichier::Ouverture, Etat.NomFichier, Etat.FiltreOuverture);
  if (choix.Confirme) {
    // The name and the entry are kept whatever the load gives.
    Etat.NomFichier = choix.Nom;
    Etat.FiltreOuverture = Etat.FiltreSauvegarde = choix.Filtre;
    if (EstFiltreHexa(choix.Filtre))
      ChargerHexa();
    else
      ChargerBinaire();
  }
  StatutRepos();
  StringGrid1->setFocus();
}

// Records read before a faulty line stay in the Buffer and are shown; the
// caption names the file whatever the outcome.
void TForm1::ChargerHexa() {
  const ResultatLectureHexa r =
      LireFichierHexa(NomSysteme(Etat.NomFichier), Etat.Buffer.data(), CapaciteChargement);
  MettreAJourTitre();
  if (r.OctetsValides > 0) AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  if (r.Code == CodeHexa::Succes)
    dialogues_.Message(this, QStringLiteral("L'analyse du fichier s'est terminée avec succés !"),
                       LegendeOuverture);
  else
    dialogues_.Message(this, QString::fromUtf8(r.Message.c_str()), QStringLiteral("Attention..."),
                       Dialogues::Icone::Attention);
}

// Up to the whole Buffer is loaded whatever the chip: bytes beyond it show
// when a larger chip is chosen. A file that is there but cannot be read says
// why, rather than claim to be empty.
void TForm1::ChargerBinaire() {
  const std::string nom = NomSysteme(Etat.NomFichier);
  int erreur = 0;
  const std::size_t n = ChargerFichierBinaire(nom, Etat.Buffer.data(), CapaciteChargement, &erreur);
  if (n == 0) {
    const std::string texte =
        erreur != 0 && !NomIntrouvable(erreur) ? PhraseFichierInaccessible(nom, erreur) : MessageFichierVide;
    dialogues_.Message(this, QString::fromUtf8(texte.c_str()), QStringLiteral("Erreur d'ouverture..."));
    return;
  }
  MettreAJourTitre();
  AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  const std::string rapport = RapportChargement(n, static_cast<std::size_t>(Etat.ChipSize));
  dialogues_.Message(this, QString::fromUtf8(rapport.c_str()), LegendeOuverture);
}

// Sender is not used, as for OuvrirFichier. The file that was there is
// replaced only once the new one is complete: a failed save leaves it whole.
void TForm1::SauverFichier(QObject*) {
  BoutonSauver->repaint();
  StatutOccupe(QStringLiteral("Enregistrer le buffer"));
  const Dialogues::ChoixFichier choix = dialogues_.DialogueFichier(
      this, Dialogues::ModeFichier::Enregistrement, Etat.NomFichier, Etat.FiltreSauvegarde);
  if (choix.Confirme) {
    Etat.NomFichier = choix.Nom;
    Etat.FiltreSauvegarde = Etat.FiltreOuverture = choix.Filtre;
    const int erreur = Enregistrer(Etat, choix.Filtre);
    if (erreur == 0)
      MettreAJourTitre();
    else
      dialogues_.Message(this,
                         QStringLiteral("L'enregistrement n'a pas pu être effectué : %1.")
                             .arg(QString::fromUtf8(TexteErreurFichier(erreur).c_str())),
                         QStringLiteral("Erreur d'enregistrement..."));
  }
  StatutRepos();
  StringGrid1->setFocus();
}

// The file part is what follows the platform's last path separator; a name
// without one, or ending with one, is shown whole.
void TForm1::MettreAJourTitre() {
  const QString& nom = Etat.NomFichier;
  const int separateur = nom.lastIndexOf(QDir::separator());
  const QString partie = separateur >= 0 && separateur < nom.size() - 1 ? nom.mid(separateur + 1) : nom;
  setWindowTitle(QStringLiteral(" %1  \\  %2 \"%3\"").arg(Etat.TexteTitre, Etat.TexteFichier, partie));
}

}  // namespace zorbix
