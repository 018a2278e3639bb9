// The search for the adapter's port and the opening of the port test window.
#include <QAction>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "engine/autodetection.h"
#include "engine/transfer_messages.h"
#include "engine/porttest/port_test_window.h"
#include "main_window.h"

namespace zorbix {

// The engine tests each port by its address, so PortBase itself never moves
// during the test: it keeps the user's choice unless a port is found.
// A port held by another program is not tested: its reason follows the
// result, which may then have missed the adapter.
void TForm1::AutodetectionClick() {
  std::vector<std::string> refus;
  const int trouve = DetecterProgrammateur(autresPorts_, &refus);
  QString raisons;
  for (const std::string& raison : refus) raisons += QLatin1Char('\n') + QString::fromStdString(raison);
  if (trouve < 0) {
    dialogues_.Message(this, QString::fromUtf8(TexteProgrammateurAbsent) + raisons,
                       QStringLiteral("Autodétection du Port // :"));
  } else {
    Etat.PortBase = trouve < 3 ? AdressesPorts[trouve] : autresPorts_[trouve - 3].base;
    dialogues_.Message(this, QString::fromStdString(TexteProgrammateurDetecte(trouve, autresPorts_)) + raisons,
                       QStringLiteral("Adresse du port actif :"));
    QAction* const items[3] = {OptionLPT1, OptionLPT2, OptionLPT3};
    (trouve < 3 ? items[trouve] : OptionsAutresPorts[trouve - 3])->setChecked(true);
  }
  StringGrid1->setFocus();
}

void TForm1::TestduportparalleleClick() {
  if (fenetreTestPort_) fenetreTestPort_->exec();
}

// The port test window takes the port it shows; one held by another program
// is said in a box over it.
void TForm1::SetFenetreTestPort(TForm5* fenetre) {
  fenetreTestPort_ = fenetre;
  if (fenetre)
    fenetre->DefinirRefus([this, fenetre](const std::string& raison) {
      dialogues_.Message(fenetre, QString::fromStdString(raison), fenetre->windowTitle());
    });
}

}  // namespace zorbix
