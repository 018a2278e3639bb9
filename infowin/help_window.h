// TForm4: the help text, yellow on navy in a fixed-pitch font, read-only.
// The text stays in place between showings, so the reader finds it where
// they left it.
#pragma once

#include "info_window.h"

class QPlainTextEdit;

namespace zorbix {

class TForm4 final : public FenetreInformation {
 public:
  TForm4();

  QPlainTextEdit* RichEdit1;
  QPushButton* BoutonRetour3;  // its handler, BoutonRetour3Click, is the main window's
};

}  // namespace zorbix
