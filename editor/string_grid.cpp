// The grid's state, geometry and scrolling; painting and input handling are
// in string_grid_paint.cpp and string_grid_input.cpp.
#include "string_grid.h"

#include <QScrollBar>

#include <algorithm>

#include "grid_accessible.h"
#include "grid_layout.h"

namespace zorbix {

StringGrid::StringGrid(QWidget* parent)
    : QAbstractScrollArea(parent), cells_(NombreColonnesGrille, 2) {
  InstallerAccessibiliteGrille();
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setTracking(true);  // rows follow the thumb while it is dragged
  normalColor_ = palette().color(QPalette::Base);
  widths_.assign(static_cast<std::size_t>(colCount()), DefaultColWidth);
  setColWidth(0, DefaultColWidth);  // computes the column edges
  MettreAJourDefilement();
}

void StringGrid::setRowCount(int count) {
  count = std::max(count, 2);
  if (count == rowCount()) return;
  cells_.Redimensionner(colCount(), count);
  MettreAJourDefilement();
  SignalerNouvellesLignes(*this);
  if (row_ >= count) Deplacer(col_, count - 1, true);
  viewport()->update();
}

void StringGrid::setColWidth(int col, int width) {
  if (col < 0 || col >= colCount()) return;
  widths_[col] = std::max(width, 0);
  lefts_.resize(widths_.size());
  int x = 0;
  for (std::size_t c = 0; c < widths_.size(); ++c) {
    lefts_[c] = x;
    x += widths_[c] + GridLineWidth;
  }
  viewport()->update();
}

void StringGrid::setCell(int col, int row, const QString& text) {
  cells_.set(col, row, text);
  PlanifierAffichage(row);
  if (col == col_ && row == row_) SignalerTexteCellule(*this, col, row);
}

// Bulk fills write a hundred thousand cells: one update request is enough
// until the next paint, however many visible cells change.
void StringGrid::PlanifierAffichage(int row) {
  if (affichagePlanifie_ || !viewport()->isVisible()) return;
  if (row != 0 && (row < topRow() || row > DerniereLigneAffichee())) return;
  affichagePlanifie_ = true;
  viewport()->update();
}

bool StringGrid::setCurrentCell(int col, int row) {
  if (col < 1 || col >= colCount() || row < 1 || row >= rowCount()) return false;
  return Deplacer(col, row, false);
}

bool StringGrid::Deplacer(int col, int row, bool forcer) {
  const bool accepte = !onSelectCell_ || onSelectCell_(col, row);
  if (!accepte && !forcer) return false;
  col_ = col;
  row_ = row;
  RendreVisible(row);
  viewport()->update();
  SignalerCelluleCourante(*this);
  return accepte;
}

int StringGrid::topRow() const { return verticalScrollBar()->value() + 1; }

void StringGrid::setTopRow(int row) { verticalScrollBar()->setValue(row - 1); }

int StringGrid::visibleRowCount() const {
  return std::max(1, (viewport()->height() - Pitch) / Pitch);
}

void StringGrid::RendreVisible(int row) {
  const int visibles = visibleRowCount();
  if (row < topRow())
    setTopRow(row);
  else if (row >= topRow() + visibles)
    setTopRow(row - visibles + 1);
}

void StringGrid::MettreAJourDefilement() {
  const int visibles = visibleRowCount();
  QScrollBar* barre = verticalScrollBar();
  barre->setPageStep(visibles);
  barre->setRange(0, std::max(0, rowCount() - 1 - visibles));
}

// Screen row 0 is the fixed row; the others show topRow() onwards.
int StringGrid::LigneAffichee(int y) const {
  if (y < 0) return -1;
  const int rang = y / Pitch;
  const int row = rang == 0 ? 0 : topRow() + rang - 1;
  return row < rowCount() ? row : -1;
}

int StringGrid::ColonneAffichee(int x) const {
  if (x < 0 || x >= LargeurTotale()) return -1;
  const auto suivante = std::upper_bound(lefts_.begin(), lefts_.end(), x);
  return static_cast<int>(suivante - lefts_.begin()) - 1;
}

int StringGrid::LargeurTotale() const {
  return lefts_.back() + widths_.back() + GridLineWidth;
}

// The last row with at least one pixel on screen.
int StringGrid::DerniereLigneAffichee() const {
  const int rangs = (viewport()->height() + Pitch - 1) / Pitch;
  return std::min(rowCount() - 1, topRow() + rangs - 2);
}

QRect StringGrid::cellRect(int col, int row) const {
  if (col < 0 || col >= colCount() || row < 0 || row >= rowCount()) return {};
  if (row != 0 && (row < topRow() || row > DerniereLigneAffichee())) return {};
  const int rang = row == 0 ? 0 : row - topRow() + 1;
  return QRect(Gauche(col), rang * Pitch, widths_[col], RowHeight);
}

void StringGrid::setNormalColor(const QColor& color) {
  normalColor_ = color;
  viewport()->update();
}

void StringGrid::setOem(bool oem) {
  if (oem == oem_) return;
  oem_ = oem;
  viewport()->update();
}

// A screen reader follows the cell, not the grid: the focus goes on to it.
void StringGrid::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  SignalerFocusGrille(*this);
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  MettreAJourDefilement();
}

// The rows are drawn from topRow(), which is the scroll bar's value: a
// repaint is all that scrolling needs (no pixels are moved, so the fixed
// row and column stay put).
void StringGrid::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace zorbix
