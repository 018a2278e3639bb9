// What the three information windows share: a fixed client area that is not
// scaled with the screen's text size, centred on the screen each time it
// opens, a title bar with neither window menu nor close box, and one return
// button that Escape presses. A close by other means (a window manager's
// shortcut) presses it too, so the main window never stays hidden.
#pragma once

#include <QDialog>

class QPushButton;

namespace zorbix {

class FenetreInformation : public QDialog {
 public:
  FenetreInformation(const char* nom, const QString& titre, int largeur, int hauteur);

 protected:
  // `retour` leaves the window; `focus` gets the keyboard focus each time
  // the window opens.
  void DefinirRetour(QPushButton* retour, QWidget* focus);

  void reject() override;
  void showEvent(QShowEvent* e) override;

 private:
  QPushButton* retour_ = nullptr;
  QWidget* focus_ = nullptr;
};

// A child control with its name and place in the client area.
template <typename W>
W* Placer(W* w, const char* nom, int x, int y, int largeur, int hauteur) {
  w->setObjectName(QString::fromLatin1(nom));
  w->setGeometry(x, y, largeur, hauteur);
  return w;
}

}  // namespace zorbix
