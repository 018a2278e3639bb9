// TForm3: the about box, white on teal: the title, two of the chips the
// program serves, the version, the terms of use and the contact.
#pragma once

#include "info_window.h"

class QLabel;
class QLineEdit;

namespace zorbix {

class TForm3 final : public FenetreInformation {
 public:
  TForm3();

  QLabel *LabelTitre, *Image1, *Image2, *LabelVersion, *LabelGratuit, *LabelConditions;
  QLineEdit* EditContact;
  QPushButton* BoutonRetour2;  // its handler, BoutonRetour2Click, is the main window's
};

}  // namespace zorbix
