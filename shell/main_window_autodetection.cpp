// The search for the adapter's port and the opening of the port test window.
#include <QAction>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "engine/autodetection.h"
#include "engine/transfer_messages.h"
#include "porttest/port_test_window.h"
#include "main_window.h"

namespace zorbix {

// The engine tests each port by its address, so PortBase itself never moves
// during the test: it keeps the user's choice unless a port is found.
void TForm1::AutodetectionClick() {
  const int trouve = DetecterProgrammateur(autresPorts_);
  if (trouve < 0) {
    dialogues_.Message(this, QString::fromUtf8(TexteProgrammateurAbsent),
                       QStringLiteral("Autodétection du Port // :"));
  } else {
    Etat.PortBase = trouve < 3 ? AdressesPorts[trouve] : autresPorts_[trouve - 3].base;
    dialogues_.Message(this, QString::fromStdString(TexteProgrammateurDetecte(trouve, autresPorts_)),
                       QStringLiteral("Adresse du port actif :"));
    QAction* const items[3] = {OptionLPT1, OptionLPT2, OptionLPT3};
    (trouve < 3 ? items[trouve] : OptionsAutresPorts[trouve - 3])->setChecked(true);
  }
  StringGrid1->setFocus();
}

void TForm1::TestduportparalleleClick() {
  if (fenetreTestPort_) fenetreTestPort_->exec();
}

void TForm1::SetFenetreTestPort(TForm5* fenetre) { fenetreTestPort_ = fenetre; }

}  // namespace zorbix
