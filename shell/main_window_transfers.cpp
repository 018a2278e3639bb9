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
#include "engine/transfer_messages.h"
#include "main_window.h"

namespace zorbix {
namespace {

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

void TForm1::LectureMemoire() {
  BoutonLire->repaint();
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  StatutOccupe(QStringLiteral("Lecture de la mémoire..."));
  if (LireMemoire(Cible(Etat), Etat.Buffer.data(), [this](int p) { MontrerPosition(p); }))
    AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  else
    dialogues_.Message(this, QString::fromUtf8(TexteLectureImpossible),
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
  QString message = QString::fromUtf8(MessageProgrammation(resultat));
  if (resultat == WriteResult::EcritureReussie && !unOctet && Etat.VerifierProgrammation)
    message = Verification(message);
  StatutOccupe(QStringLiteral("Programmation terminée"));
  dialogues_.Message(this, message,
                     unOctet ? QStringLiteral("Programmation d'un octet :")
                             : QStringLiteral("Programmation de la mémoire :"));
  FinTransfert();
}

// The read-back compare after a whole-chip programming that succeeded: it
// catches what the write acknowledges cannot, such as a smaller chip than
// the selected type, whose upper half wraps onto its lower half. Returns
// `reussite` when the chip holds the Buffer, else the failure's text.
QString TForm1::Verification(const QString& reussite) {
  ZoneTravail zone = AllouerZoneComparaison(static_cast<std::size_t>(Etat.ChipSize));
  const QString echec = QString::fromUtf8(DebutVerificationEchouee);
  if (!zone) return echec + QString::fromUtf8(TexteZoneTravailIndisponible);
  ProgressBar->setValue(0);
  StatutOccupe(QString::fromUtf8(TexteVerificationEnCours));
  const ResultatComparaison r =
      ComparerMemoire(Cible(Etat), Etat.Buffer.data(), zone.get(), [this](int p) { MontrerPosition(p); });
  if (!r.Acquittee) return echec + QString::fromUtf8(TexteComparaisonSansAcquittement);
  if (r.Differences > 0) return echec + QString::fromStdString(TexteDifferences(r.Differences, Etat.ChipSize));
  return reussite;
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
  StatutOccupe(QStringLiteral("Comparaison en cours..."));
  const ResultatComparaison r =
      ComparerMemoire(Cible(Etat), Etat.Buffer.data(), zone.get(), [this](int p) { MontrerPosition(p); });
  zone.reset();
  StatutOccupe(QStringLiteral("Comparaison terminée"));
  QString texte;
  if (!r.Acquittee)
    texte = QString::fromUtf8(TexteComparaisonSansAcquittement);
  else if (r.Differences == 0)
    texte = QString::fromUtf8(TexteAucuneDifference);
  else
    texte = QString::fromStdString(TexteDifferences(r.Differences, Etat.ChipSize));
  dialogues_.Message(this, texte, QStringLiteral("Comparaison Buffer / Mémoire :"));
  FinTransfert();
}

}  // namespace zorbix
