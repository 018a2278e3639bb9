#include "info_window.h"

#include <QFont>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace zorbix {

FenetreInformation::FenetreInformation(const char* nom, const QString& titre, int largeur, int hauteur) {
  setObjectName(QString::fromLatin1(nom));
  setWindowTitle(titre);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(largeur, hauteur);
  // Sizes in pixels: the layout stays as drawn whatever the screen's text size.
  QFont police(QStringLiteral("MS Sans Serif"));
  police.setPixelSize(13);
  setFont(police);
}

void FenetreInformation::DefinirRetour(QPushButton* retour, QWidget* focus) {
  retour_ = retour;
  focus_ = focus;
}

// Escape, and QDialog's handling of a close request, come here.
void FenetreInformation::reject() {
  if (retour_) retour_->click();
}

void FenetreInformation::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (e->spontaneous()) return;  // shown again by the window system: leave it be
  if (const QScreen* ecran = screen()) {
    QRect cadre = frameGeometry();
    cadre.moveCenter(ecran->availableGeometry().center());
    move(cadre.topLeft());
  }
  if (focus_) focus_->setFocus();
}

}  // namespace zorbix
