// Choice of chip, port and write mode.
#include <QComboBox>

#include "editor/string_grid.h"
#include "main_window.h"

namespace zorbix {

void TForm1::ChoixMemoire(QObject* Sender) {
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    if (Sender == OptionsMemoire[t]) {
      const QSignalBlocker silence(ComboBox);  // setting it from code raises no change
      ComboBox->setCurrentIndex(t);
    }
  }
  const int index = ComboBox->currentIndex();
  if (index >= 0 && index < NombreTypesMemoire) {
    Etat.ChipType = index;
    Etat.ChipSize = SpecMemoire(index).Taille;
    OptionsMemoire[index]->setChecked(true);
  }
  AppliquerModesEcriture();
  AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  if (Sender != ComboBox) StringGrid1->setFocus();
}

// Byte-by-byte is greyed for the types written in pages only; the stored
// WriteMode is left alone so the user's choice comes back with a smaller chip.
void TForm1::AppliquerModesEcriture() {
  if (!OctetParOctetPropose(Etat.ChipType)) {
    OptionModePageNon->setEnabled(false);
    OptionModePageOui->setChecked(true);
  } else {
    OptionModePageNon->setEnabled(true);
    (Etat.WriteMode ? OptionModePageOui : OptionModePageNon)->setChecked(true);
  }
}

void TForm1::OptionModePageClick(QObject* Sender) {
  Etat.WriteMode = Sender == OptionModePageOui;
  (Etat.WriteMode ? OptionModePageOui : OptionModePageNon)->setChecked(true);
}

void TForm1::LPTactif(QObject* Sender) {
  const std::vector<QAction*> items = ItemsPorts();
  const std::vector<IdentitePort> ports = PortsParalleles(autresPorts_);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (Sender == items[i]) ChoisirPort(ports[i]);
  StringGrid1->setFocus();
}

}  // namespace zorbix
