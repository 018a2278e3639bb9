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
// A port held by another program is not tested: its reason follows the
// result, which may then have missed the adapter.
void TForm1::AutodetectionClick() {
  const BilanDetection bilan = DetecterAdaptateur(autresPorts_);
  const QString refus = bilan.Raison.empty() ? QString() : QLatin1Char('\n') + QString::fromStdString(bilan.Raison);
  if (!bilan.Trouve) {
    dialogues_.Message(this, AvecRaisonPort(QString::fromUtf8(TexteProgrammateurAbsent)) + refus,
                       QStringLiteral("Autodétection du Port // :"));
  } else {
    // The transfers use the port from now on; its menu item is checked
    // once the box is closed.
    if (bilan.Trouve->Genre == GenrePort::Parallele) Etat.PortBase = bilan.Trouve->Adresse;
    dialogues_.Message(this, QString::fromStdString(TexteProgrammateurDetecte(*bilan.Trouve)) + refus,
                       QStringLiteral("Adresse du port actif :"));
    ChoisirPort(*bilan.Trouve);
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
