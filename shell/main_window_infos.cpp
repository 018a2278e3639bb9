// The information windows seen from the main window: the wiring diagram, the
// help text and the about box. While one of them is open the main window is
// hidden, so that the user sees one window at a time; the window to be seen
// is always shown before the other is hidden.
#include <QAction>
#include <QPushButton>
#include <QToolButton>

#include "infowin/about_window.h"
#include "infowin/help_window.h"
#include "infowin/schema_window.h"
#include "main_window.h"

namespace zorbix {

void TForm1::ConnecterInformations() {
  connect(SchemaElectrique, &QAction::triggered, this, [this] { VoirSchema(SchemaElectrique); });
  connect(Aide, &QAction::triggered, this, [this] { AideClick(Aide); });
  connect(APropos, &QAction::triggered, this, [this] { AProposClick(APropos); });
  connect(BoutonSchema, &QToolButton::clicked, this, [this] { VoirSchema(BoutonSchema); });
  connect(BoutonInfos, &QToolButton::clicked, this, [this] { AideClick(BoutonInfos); });
  connect(BoutonVersion, &QToolButton::clicked, this, [this] { AProposClick(BoutonVersion); });
}

// The windows are created after the main window, so their return buttons
// are connected when they are handed over.
void TForm1::SetFenetresInformations(TForm2* schema, TForm3* aPropos, TForm4* aide) {
  Form2 = schema;
  Form3 = aPropos;
  Form4 = aide;
  connect(Form2->BoutonRetour, &QPushButton::clicked, this,
          [this] { BoutonRetourProg(Form2->BoutonRetour); });
  connect(Form3->BoutonRetour2, &QPushButton::clicked, this,
          [this] { BoutonRetour2Click(Form3->BoutonRetour2); });
  connect(Form4->BoutonRetour3, &QPushButton::clicked, this,
          [this] { BoutonRetour3Click(Form4->BoutonRetour3); });
}

void TForm1::VoirSchema([[maybe_unused]] QObject* Sender) { Montrer(Form2); }
void TForm1::AideClick([[maybe_unused]] QObject* Sender) { Montrer(Form4); }
void TForm1::AProposClick([[maybe_unused]] QObject* Sender) { Montrer(Form3); }

void TForm1::BoutonRetourProg([[maybe_unused]] QObject* Sender) { Revenir(Form2); }
void TForm1::BoutonRetour3Click([[maybe_unused]] QObject* Sender) { Revenir(Form4); }
void TForm1::BoutonRetour2Click([[maybe_unused]] QObject* Sender) { Revenir(Form3); }

// Modeless: the handler returns at once, and the window's return button
// alone brings the main window back.
void TForm1::Montrer(QWidget* fenetre) {
  if (!fenetre) return;  // none handed over: a main window made without them
  fenetre->show();
  fenetre->activateWindow();
  hide();
}

// Shown again where it was; its show handling gives the focus to the grid.
void TForm1::Revenir(QWidget* fenetre) {
  show();
  activateWindow();
  fenetre->hide();
}

}  // namespace zorbix
