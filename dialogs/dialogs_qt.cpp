#include "dialogs_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMessageBox>

#include "file_dialog.h"

namespace zorbix {

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
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  return box.exec() == QMessageBox::Ok ? Reponse::Ok : Reponse::Annuler;
}

void DialoguesQt::Bip() { QApplication::beep(); }

void DialoguesQt::CopierImage(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }

Dialogues::ChoixFichier DialoguesQt::DialogueFichier(QWidget* parent, ModeFichier mode,
                                                     const QString& nom, int filtre) {
  DialogueFichierQt dialogue(parent, mode, nom, filtre);
  if (dialogue.exec() != QDialog::Accepted) return ChoixFichier();
  return ChoixFichier{true, dialogue.Nom(), dialogue.Filtre()};
}

}  // namespace zorbix
