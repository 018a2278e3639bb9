#include "dialogs_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QImage>
#include <QMessageBox>

#include "file_dialog.h"

namespace zorbix {
namespace {

// The window manager cuts a title wider than its window ("Comparaison
// B…er / Mémoire :"): the box is made at least as wide as its caption, with
// room for the title bar's icon and buttons.
void ElargirPourLegende(QMessageBox& box) {
  constexpr int PlaceBoutonsTitre = 120;
  const int largeur = box.fontMetrics().horizontalAdvance(box.windowTitle()) + PlaceBoutonsTitre;
  auto* grille = qobject_cast<QGridLayout*>(box.layout());
  if (!grille) return;
  grille->addItem(new QSpacerItem(largeur, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grille->rowCount(), 0,
                  1, grille->columnCount());
}

// A box or dialog closed does not always hand the activation back: after the
// save dialog's own overwrite question (a box over a dialog), the window
// manager activates nothing and the window ignores its shortcuts until
// clicked. The parent's window is made active again, with the focus its
// handler then gives.
void RendreActivation(QWidget* parent) {
  QWidget* fenetre = parent ? parent->window() : nullptr;
  if (fenetre && fenetre->isVisible()) fenetre->activateWindow();
}

}  // namespace

Dialogues::Reponse DialoguesQt::Message(QWidget* parent, const QString& texte,
                                        const QString& legende, Icone icone, Boutons boutons) {
  QMessageBox box(parent);
  box.setWindowTitle(legende);
  box.setText(texte);
  box.setIcon(icone == Icone::Attention     ? QMessageBox::Warning
              : icone == Icone::Information ? QMessageBox::Information
              : icone == Icone::Erreur      ? QMessageBox::Critical
                                            : QMessageBox::NoIcon);
  if (boutons == Boutons::OkAnnuler) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
  } else if (boutons == Boutons::OuiNon) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  ElargirPourLegende(box);
  const int reponse = box.exec();
  RendreActivation(parent);
  return reponse == QMessageBox::Ok || reponse == QMessageBox::Yes ? Reponse::Ok : Reponse::Annuler;
}

void DialoguesQt::Bip() { QApplication::beep(); }

void DialoguesQt::CopierImage(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }

Dialogues::ChoixFichier DialoguesQt::DialogueFichier(QWidget* parent, ModeFichier mode,
                                                     const QString& nom, int filtre) {
  DialogueFichierQt dialogue(parent, mode, nom, filtre);
  const bool confirme = dialogue.exec() == QDialog::Accepted;
  RendreActivation(parent);
  if (!confirme) return ChoixFichier();
  return ChoixFichier{true, dialogue.Nom(), dialogue.Filtre()};
}

}  // namespace zorbix
