// What the whole run shares, owned by the main window's module. Handlers read
// and write it directly; the pure layers get what they need as arguments.
#pragma once

#include <QString>
#include <cstdint>

#include "editor/buffer.h"
#include "editor/code_pages.h"
#include "editor/random_generator.h"
#include "engine/chips.h"
#include "engine/port.h"

namespace zorbix {

// The file dialogs' filter entries: 1 and 2 binary, 3 and 4 Intel HEX.
constexpr int FiltreBinaire = 1;
constexpr int FiltreHexa = 3;

struct EtatProgramme {
  zorbix::Buffer Buffer{};
  int ChipType = TypeMemoireParDefaut;
  int ChipSize = TailleMemoireParDefaut;
  std::uint16_t PortBase = AdresseLPT1;
  bool WriteMode = true;  // page writing
  bool VerifierProgrammation = false;  // compare after programming the whole chip

  // The selected byte (the grid's current cell).
  int SelectedColumn = 0;
  int SelectedRow = 0;
  int SelectedAddress = 0;
  bool HexSide = true;

  JeuCaracteres CharsetMode = JeuCaracteres::Ansi;
  GenerateurAleatoire Aleatoire;

  QString NomFichier = QStringLiteral("*.bin");
  QString TexteTitre = QStringLiteral("Programmateur de mémoires I2C");
  QString TexteFichier = QStringLiteral("Fichier");
  bool OuvrirAuDemarrage = false;
  bool SauverReglages = true;
  bool LangueAuLancement = false;
  // Filter index (1..4) of the open and the save dialog.
  int FiltreOuverture = FiltreBinaire;
  int FiltreSauvegarde = FiltreBinaire;
  int OrigineX = 5;
  int OrigineY = 5;
};

}  // namespace zorbix
