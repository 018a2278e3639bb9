// What assistive technologies (a screen reader through AT-SPI) see of a
// StringGrid: a table whose rows are the grid's scrollable rows and whose
// columns are its scrollable columns, with the fixed row and column as their
// header cells ("Adr:", "0".."F"; the row addresses), each cell named by
// the text the grid shows for it and a byte's cells described by the byte's
// address ("$0023"). The current cell is the one cell that is
// selected, and focused while the grid has the keyboard focus.
//
// The grid paints itself, so its cells exist for Qt only as the accessible
// objects made here, on demand: a screen reader asks for the few cells it
// reads, and a refresh of the whole grid creates none.
#pragma once

namespace zorbix {

class StringGrid;

// Makes Qt give every StringGrid the table interface; done once per run.
void InstallerAccessibiliteGrille();

// Events for the assistive technologies, sent only while one listens (the
// cell objects, though, always follow the row count).
// The current cell has moved.
void SignalerCelluleCourante(StringGrid& grid);
// The grid has taken the keyboard focus: the current cell gets it.
void SignalerFocusGrille(StringGrid& grid);
// The text of the cell (col, row) has changed (the grid sends it for the
// current cell only: a bulk refresh must stay cheap).
void SignalerTexteCellule(StringGrid& grid, int col, int row);
// The row count has changed: the cells made so far are dropped.
void SignalerNouvellesLignes(StringGrid& grid);

}  // namespace zorbix
