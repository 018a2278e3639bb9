// Reading, programming and comparing the chip: the user-facing steps (status
// box, progress bar, message box, focus) around the use cases of
// engine/use_cases.h on the selected port's adapter. None returns to the
// event loop before its message box: everything the user sees meanwhile is
// painted by explicit repaints.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "engine/adapter_table.h"
#include "engine/transfer_messages.h"
#include "engine/use_cases.h"
#include "main_window.h"

namespace zorbix {
namespace {

Puce PuceChoisie(const EtatProgramme& etat) { return {etat.ChipType, etat.ChipSize}; }

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
  connect(OptionVerification, &QAction::triggered, this, [this] { OptionVerificationClick(); });
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

// Where the transfers show their positions; the verification starts again
// from 0 under its own status.
Suivi TForm1::SuiviTransfert() {
  return {[this](int p) { MontrerPosition(p); },
          [this] {
            ProgressBar->setValue(0);
            StatutOccupe(QString::fromUtf8(TexteVerificationEnCours));
          }};
}

void TForm1::LectureMemoire() {
  BoutonLire->repaint();
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  const std::unique_ptr<Adapter> adaptateur = AdaptateurConfirme(false);
  if (!adaptateur) return FinTransfert();
  StatutOccupe(QStringLiteral("Lecture de la mémoire..."));
  const Issue issue = LireLaMemoire(*adaptateur, PuceChoisie(Etat), Etat.Buffer.data(), SuiviTransfert());
  if (issue.Reussie)
    AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  else
    dialogues_.Message(this, AvecRaisonPort(QString::fromStdString(issue.Message)),
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
  const std::unique_ptr<Adapter> adaptateur = AdaptateurConfirme(true);
  if (!adaptateur) return FinTransfert();
  StatutOccupe(QStringLiteral("Programmation en cours"));

  // On a failure the bar stays where the programming stopped.
  const IssueProgrammation issue =
      unOctet ? ProgrammerOctetEtJuger(*adaptateur, PuceChoisie(Etat), Etat.Buffer.data(), Etat.SelectedAddress,
                                       SuiviTransfert())
              : ProgrammerEtVerifier(*adaptateur, PuceChoisie(Etat), Etat.Buffer.data(), Etat.WriteMode,
                                     Etat.VerifierProgrammation, AllouerZoneComparaison, SuiviTransfert());
  QString message = QString::fromStdString(issue.Message);
  if (issue.Verifiee && !adaptateur->VoitChaqueAcquittement())
    message += QStringLiteral("\n\n") + QString::fromUtf8(TexteVerificationImposee);
  StatutOccupe(QStringLiteral("Programmation terminée"));
  dialogues_.Message(this, issue.Reussie ? message : AvecRaisonPort(message),
                     unOctet ? QStringLiteral("Programmation d'un octet :")
                             : QStringLiteral("Programmation de la mémoire :"));
  FinTransfert();
}

void TForm1::OptionVerificationClick() { Etat.VerifierProgrammation = OptionVerification->isChecked(); }

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
  const std::unique_ptr<Adapter> adaptateur = AdaptateurConfirme(false);
  if (!adaptateur) return FinTransfert();
  StatutOccupe(QStringLiteral("Comparaison en cours..."));
  IssueComparaison issue =
      ComparerEtJuger(*adaptateur, PuceChoisie(Etat), Etat.Buffer.data(), std::move(zone), SuiviTransfert());
  issue.Zone.reset();
  StatutOccupe(QStringLiteral("Comparaison terminée"));
  const QString texte = QString::fromStdString(issue.Message);
  const bool puceVue = issue.Fin == Deroulement::Termine && issue.Resultat.Acquittee;
  dialogues_.Message(this, puceVue ? texte : AvecRaisonPort(texte), QStringLiteral("Comparaison Buffer / Mémoire :"));
  FinTransfert();
}

}  // namespace zorbix
