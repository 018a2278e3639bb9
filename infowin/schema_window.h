// TForm2: the adapter's wiring diagram, which the user can copy to the
// clipboard to print it or keep it.
#pragma once

#include <QImage>

#include "info_window.h"

class QLabel;

namespace zorbix {

class Dialogues;

class TForm2 final : public FenetreInformation {
 public:
  explicit TForm2(Dialogues& dialogues);

  QLabel* Image1;
  QPushButton* BoutonCopierPP;
  QPushButton* BoutonRetour;  // its handler, BoutonRetourProg, is the main window's

  void BoutonCopierPPClick();

 private:
  Dialogues& dialogues_;
  QImage schema_;
};

}  // namespace zorbix
