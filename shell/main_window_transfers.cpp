// Reading, programming and comparing the chip: the user-facing steps (status
// box, progress bar, message box, focus) around the transfers of
// engine/transfers.h. None returns to the event loop before its message box:
// everything the user sees meanwhile is painted by explicit repaints.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "main_window.h"

namespace zorbix {
namespace {

const char* const TexteProgrammationReussie = "La programmation s'est correctement déroulée...";
const char* const TexteMemoireAbsente =
    "Programmation impossible ou erronée: \nla mémoire EEPROM est absente, défectueuse ou mal insérée...\n\n"
    "Si le problème surgit en cours de programmation, vérifiez que\nle type de mémoire sélectionné "
    "correspond bien à l'EEPROM\nprésente physiquement...";
const char* const TexteProgrammationInterrompue =
    "Programmation interrompue : \nproblème de communication avec la mémoire EEPROM...";

// The message for a WriteResult. An address outside the chip (6) cannot come
// from the grid's selection; were it to, it is not reported as a success.
QString MessageProgrammation(WriteResult resultat) {
  if (resultat == WriteResult::EcritureReussie) return QString::fromUtf8(TexteProgrammationReussie);
  if (resultat == WriteResult::SelectionNonAcquittee) return QString::fromUtf8(TexteMemoireAbsente);
  return QString::fromUtf8(TexteProgrammationInterrompue);
}

CibleI2C Cible(const EtatProgramme& etat) { return {etat.PortBase, etat.ChipType, etat.ChipSize}; }

}  // namespace

void TForm1::ConnecterTransferts() {
  connect(BoutonLire, &QToolButton::clicked, this, [this] { LectureMemoire(); });
  connect(OptionLire, &QAction::triggered, this, [this] { LectureMemoire(); });
  for (QToolButton* b : {BoutonProgOctet, BoutonProgMem})
    connect(b, &QToolButton::clicked, this, [this, b] { ProgrammerMemoire(b); });
  for (QAction* a : {OptionProgramOctet, OptionProgramMem})
    connect(a, &QAction::triggered, this, [this, a] { ProgrammerMemoire(a); });
  connect(BoutonComparer, &QToolButton::clicked, this, [this] { Comparer(); });
  connect(OptionComparer, &QAction::triggered, this, [this] { Comparer(); });
  connect(Autodetection, &QAction::triggered, this, [this] { AutodetectionClick(); });
  connect(Testduportparallele, &QAction::triggered, this, [this] { TestduportparalleleClick(); });
}

// The bar is the only feedback while the bus runs: each position is painted
// the moment it is set.
void TForm1::MontrerPosition(int position) {
  ProgressBar->setValue(position);
  ProgressBar->repaint();
}

void TForm1::FinTransfert() {
  ProgressBar->setValue(0);
  StatutRepos();
  StaticTextInfo->repaint();
  StringGrid1->setFocus();
}

void TForm1::LectureMemoire() {
  BoutonLire->repaint();
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  StatutOccupe(QStringLiteral("Lecture de la mémoire..."));
  if (LireMemoire(Cible(Etat), Etat.Buffer.data(), [this](int p) { MontrerPosition(p); }))
    AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  else
    dialogues_.Message(this,
                       QStringLiteral("Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n"),
                       QStringLiteral("Attention, erreur de lecture !"));
  FinTransfert();
}

void TForm1::ProgrammerMemoire(QObject* Sender) {
  const bool unOctet = Sender == BoutonProgOctet || Sender == OptionProgramOctet;
  if (!unOctet && Sender != BoutonProgMem && Sender != OptionProgramMem) return;
  BoutonProgOctet->repaint();
  BoutonProgMem->repaint();
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  StatutOccupe(QStringLiteral("Programmation en cours"));

  const WriteResult resultat =
      unOctet ? ProgrammerOctetSeul(Cible(Etat), Etat.Buffer.data(), Etat.SelectedAddress)
              : ProgrammerMemoireEntiere(Cible(Etat), Etat.Buffer.data(), Etat.WriteMode,
                                         [this](int p) { MontrerPosition(p); });
  // On a failure the bar stays where the programming stopped.
  if (resultat == WriteResult::EcritureReussie) MontrerPosition(Etat.ChipSize);
  StatutOccupe(QStringLiteral("Programmation terminée"));
  dialogues_.Message(this, MessageProgrammation(resultat),
                     unOctet ? QStringLiteral("Programmation d'un octet :")
                             : QStringLiteral("Programmation de la mémoire :"));
  FinTransfert();
}

void TForm1::Comparer() {
  BoutonComparer->repaint();
  ZoneTravail zone = AllouerZoneComparaison(static_cast<std::size_t>(Etat.ChipSize));
  if (!zone) {
    dialogues_.Bip();
    StringGrid1->setFocus();
    return;
  }
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  StatutOccupe(QStringLiteral("Comparaison en cours..."));
  const ResultatComparaison r =
      ComparerMemoire(Cible(Etat), Etat.Buffer.data(), zone.get(), [this](int p) { MontrerPosition(p); });
  zone.reset();
  StatutOccupe(QStringLiteral("Comparaison terminée"));
  QString texte;
  if (!r.Acquittee)
    texte = QStringLiteral("Erreur de communication avec la mémoire...");
  else if (r.Differences == 0)
    texte = QStringLiteral("Aucune différence entre le buffer et l'EEPROM...");
  else
    texte = QString::asprintf("%i octet(s) différent(s) sur un total de %i !", r.Differences, Etat.ChipSize);
  dialogues_.Message(this, texte, QStringLiteral("Comparaison Buffer / Mémoire :"));
  FinTransfert();
}

}  // namespace zorbix
