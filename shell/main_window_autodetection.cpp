// The search for the adapter's port and the opening of the port test window.
#include <QAction>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "engine/adapter_table.h"
#include "engine/parallel_adapter.h"
#include "engine/transfer_messages.h"
#include "main_window.h"
#include "porttest/port_test_window.h"

namespace zorbix {

// The engine tests each port by its address, so PortBase itself never moves
// during the test: it keeps the user's choice unless a port is found.
void TForm1::AutodetectionClick() {
  const BilanDetection bilan = DetecterAdaptateur(autresPorts_);
  if (bilan.Fin != Deroulement::Termine) {
    dialogues_.Message(this, QString::fromStdString(bilan.Raison), QStringLiteral("Autodétection du Port // :"));
  } else if (!bilan.Trouve) {
    dialogues_.Message(this, AvecRaisonPort(QString::fromUtf8(TexteProgrammateurAbsent)),
                       QStringLiteral("Autodétection du Port // :"));
  } else {
    // The transfers use the port from now on; its menu item is checked
    // once the box is closed.
    if (bilan.Trouve->Genre == GenrePort::Parallele) Etat.PortBase = bilan.Trouve->Adresse;
    dialogues_.Message(this, QString::fromStdString(TexteProgrammateurDetecte(*bilan.Trouve)),
                       QStringLiteral("Adresse du port actif :"));
    ChoisirPort(*bilan.Trouve);
  }
  StringGrid1->setFocus();
}

void TForm1::TestduportparalleleClick() {
  if (fenetreTestPort_) fenetreTestPort_->exec();
}

void TForm1::SetFenetreTestPort(TForm5* fenetre) { fenetreTestPort_ = fenetre; }

}  // namespace zorbix
