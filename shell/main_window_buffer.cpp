// The fill commands, the grid refresh and the choice of character set.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QToolButton>

#include "editor/buffer_operations.h"
#include "editor/grid_refresh.h"
#include "editor/string_grid.h"
#include "entry_box.h"
#include "main_window.h"

namespace zorbix {

void TForm1::ModifierBuffer(QObject* Sender) {
  const std::pair<QObject*, OperationBuffer> commandes[] = {
      {BoutonsBuffer[0], OperationBuffer::ToutAFF},
      {BoutonsBuffer[1], OperationBuffer::ToutA00},
      {BoutonsBuffer[2], OperationBuffer::Espaces},
      {BoutonsBuffer[3], OperationBuffer::Aleatoire},
      {BoutonsBuffer[4], OperationBuffer::Incremente},
      {BoutonsBuffer[5], OperationBuffer::Decremente},
      {BoutonsBuffer[6], OperationBuffer::OctetSelectionne},
      {BoutonsBuffer[7], OperationBuffer::Complemente},
      {OptionBuffer00, OperationBuffer::ToutA00},
      {OptionBufferFF, OperationBuffer::ToutAFF},
      {OptionBufferEspaces, OperationBuffer::Espaces},
      {OptionBufferRandom, OperationBuffer::Aleatoire},
      {OptionBufferIncremente, OperationBuffer::Incremente},
      {OptionBufferDecremente, OperationBuffer::Decremente},
      {OptionBufferOctet, OperationBuffer::OctetSelectionne},
      {OptionBufferComplemente, OperationBuffer::Complemente},
      {OptionBufferInvBits, OperationBuffer::InversionBits},
      {RemplirLaLigne, OperationBuffer::RemplirLigne},
  };
  for (const auto& [controle, operation] : commandes) {
    if (Sender == controle) {
      AppliquerOperation(operation, Etat.Buffer, Etat.ChipSize, Etat.SelectedAddress, Etat.Aleatoire);
      break;
    }
  }
  AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  StringGrid1->setFocus();
}

void TForm1::AfficherBuffer(const Buffer& donnees, int nombre) {
  StringGrid1->setNormalColor(QColor(0, 128, 128));
  StringGrid1->repaint();
  StatutOccupe(QStringLiteral("Mise à jour du buffer"));

  // RemplirGrille sizes the grid from `nombre`; a row count that drops the
  // current row moves the current cell, and with it the selection.
  ProgressBar->setMaximum(nombre);
  ProgressBar->setValue(0);
  RemplirGrille(*StringGrid1, donnees, nombre, [this](int position) {
    ProgressBar->setValue(position);
    ProgressBar->repaint();
  });
  ProgressBar->setValue(0);

  RelireOctetSelectionne();

  StringGrid1->setNormalColor(palette().color(QPalette::Base));
  StatutRepos();
}

void TForm1::CommandeBoutonRadioDosWin(QObject* Sender) {
  const bool oem = Sender == BoutonRadioDos || Sender == OptionCaracDos;
  if (!oem && Sender != BoutonRadioWin && Sender != OptionCaracWin) return;
  StringGrid1->setOem(oem);
  Edit2->SetOem(oem);
  QFont police = StringGrid1->font();
  police.setBold(!oem);
  StringGrid1->setFont(police);
  (oem ? OptionCaracDos : OptionCaracWin)->setChecked(true);
  // Checking a radio button from here emits no click, so nothing re-enters.
  BoutonRadioDos->setChecked(oem);
  BoutonRadioWin->setChecked(!oem);
  Etat.CharsetMode = oem ? JeuCaracteres::Oem : JeuCaracteres::Ansi;
}

}  // namespace zorbix
