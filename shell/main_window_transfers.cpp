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
#include "engine/port_claim.h"
#include "engine/transfer_messages.h"
#include "main_window.h"

namespace zorbix {
namespace {

CibleI2C Cible(const EtatProgramme& etat) { return {etat.PortBase, etat.ChipType, etat.ChipSize}; }

QString Raison(const PortPris& prise) { return QString::fromStdString(prise.Raison()); }

// Gives the port back before the box shows (the user may leave it open) and
// returns the box's text: a port not given back (a virtual chip that could
// not be written back) is a failure, whose reason replaces a success's text
// and follows a failure's.
QString Rendre(PortPris& prise, const QString& texte, bool reussi) {
  if (prise.Rendre()) return texte;
  return reussi ? Raison(prise) : texte + QLatin1Char('\n') + Raison(prise);
}

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
  const QString legende = QStringLiteral("Attention, erreur de lecture !");
  PortPris prise(Etat.PortBase);
  if (!prise.Pris()) {  // held by another program: nothing is done
    dialogues_.Message(this, Raison(prise), legende);
    return StringGrid1->setFocus();
  }
  BoutonLire->repaint();
  ProgressBar->setMaximum(Etat.ChipSize);
  ProgressBar->setValue(0);
  StatutOccupe(QStringLiteral("Lecture de la mémoire..."));
  const bool lu = LireMemoire(Cible(Etat), Etat.Buffer.data(), [this](int p) { MontrerPosition(p); });
  const QString texte = Rendre(prise, lu ? QString() : QString::fromUtf8(TexteLectureImpossible), lu);
  if (lu) AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  if (!texte.isEmpty()) dialogues_.Message(this, texte, legende);
  FinTransfert();
}

void TForm1::ProgrammerMemoire(QObject* Sender) {
  const bool unOctet = Sender == BoutonProgOctet || Sender == OptionProgramOctet;
  if (!unOctet && Sender != BoutonProgMem && Sender != OptionProgramMem) return;
  const QString legende =
      unOctet ? QStringLiteral("Programmation d'un octet :") : QStringLiteral("Programmation de la mémoire :");
  PortPris prise(Etat.PortBase);
  if (!prise.Pris()) {  // held by another program: nothing is done
    dialogues_.Message(this, Raison(prise), legende);
    return StringGrid1->setFocus();
  }
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
  message = Rendre(prise, message, resultat == WriteResult::EcritureReussie);
  StatutOccupe(QStringLiteral("Programmation terminée"));
  dialogues_.Message(this, message, legende);
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
  const QString legende = QStringLiteral("Comparaison Buffer / Mémoire :");
  BoutonComparer->repaint();
  ZoneTravail zone = AllouerZoneComparaison(static_cast<std::size_t>(Etat.ChipSize));
  if (!zone) {
    dialogues_.Bip();
    StringGrid1->setFocus();
    return;
  }
  PortPris prise(Etat.PortBase);
  if (!prise.Pris()) {  // held by another program: nothing is done
    dialogues_.Message(this, Raison(prise), legende);
    return StringGrid1->setFocus();
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
  dialogues_.Message(this, Rendre(prise, texte, r.Acquittee && r.Differences == 0), legende);
  FinTransfert();
}

}  // namespace zorbix
