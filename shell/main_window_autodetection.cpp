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
void TForm1::AutodetectionClick() {
  const int trouve = DetecterProgrammateur(autresPorts_);
  if (trouve < 0) {
    dialogues_.Message(this, QString::fromUtf8(TexteProgrammateurAbsent),
                       QStringLiteral("Autodétection du Port // :"));
  } else if (trouve < 3) {
    Etat.PortBase = AdressesPorts[trouve];
    dialogues_.Message(this, QString::fromStdString(TexteProgrammateurDetecte(trouve)),
                       QStringLiteral("Adresse du port actif :"));
    QAction* const items[3] = {OptionLPT1, OptionLPT2, OptionLPT3};
    items[trouve]->setChecked(true);
  } else {
    const PortSupplementaire& port = autresPorts_[trouve - 3];
    Etat.PortBase = port.base;
    dialogues_.Message(this,
                       QString::asprintf("Le programmateur a été détecté sur %s (à l'adresse $%03X)...",
                                         port.nom.c_str(), static_cast<unsigned>(port.base)),
                       QStringLiteral("Adresse du port actif :"));
    OptionsAutresPorts[trouve - 3]->setChecked(true);
  }
  StringGrid1->setFocus();
}

void TForm1::TestduportparalleleClick() {
  if (fenetreTestPort_) fenetreTestPort_->exec();
}

void TForm1::SetFenetreTestPort(TForm5* fenetre) { fenetreTestPort_ = fenetre; }

}  // namespace zorbix
