// Keyboard and mouse: every move of the current cell aims at one cell and
// asks the selection hook; the grid never looks for another cell when the
// hook refuses.
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "string_grid.h"

namespace zorbix {
namespace {

// The Delphi KeyPress code of a key, or -1 for a key that is not a
// character key for the grid.
int CodeCaractere(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return -1;
  switch (event.key()) {
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    default: break;
  }
  const QString texte = event.text();
  if (texte.isEmpty() || texte.at(0).unicode() < 32 || texte.at(0).isSurrogate()) return -1;
  return texte.at(0).unicode();
}

}  // namespace

// The cell a navigation key aims at, as Delphi's grid computes it: arrows
// one cell, Page Up/Down one screen of rows, Home column 1, End the last
// column, with Ctrl also the first or last row. Shift changes nothing (there
// is no range selection). Targets are kept inside the grid's normal cells.
bool StringGrid::CibleClavier(int key, Qt::KeyboardModifiers mods, int& col, int& row) const {
  const bool ctrl = mods & Qt::ControlModifier;
  if (mods & (Qt::AltModifier | Qt::MetaModifier)) return false;
  col = col_;
  row = row_;
  switch (key) {
    case Qt::Key_Up: if (ctrl) return false; --row; break;
    case Qt::Key_Down: if (ctrl) return false; ++row; break;
    case Qt::Key_Left: if (ctrl) return false; --col; break;
    case Qt::Key_Right: if (ctrl) return false; ++col; break;
    case Qt::Key_PageUp: if (ctrl) return false; row -= visibleRowCount(); break;
    case Qt::Key_PageDown: if (ctrl) return false; row += visibleRowCount(); break;
    case Qt::Key_Home: col = 1; if (ctrl) row = 1; break;
    case Qt::Key_End: col = colCount() - 1; if (ctrl) row = rowCount() - 1; break;
    default: return false;
  }
  col = std::clamp(col, 1, colCount() - 1);
  row = std::clamp(row, 1, rowCount() - 1);
  return true;
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  int col = 0;
  int row = 0;
  if (CibleClavier(event->key(), event->modifiers(), col, row)) {
    const int haut = topRow();
    const int ecart = row - row_;
    const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
    if ((col != col_ || row != row_) && Deplacer(col, row, false) && page) {
      // A page key scrolls the rows by as much as it moves the current cell.
      setTopRow(haut + ecart);
      RendreVisible(row_);
    }
    return;
  }
  const int code = CodeCaractere(*event);
  if (code < 0) {
    event->ignore();  // Tab, shortcuts and the rest go on to the window
    return;
  }
  if (onKeyPress_) onKeyPress_(code);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  const int col = ColonneAffichee(pos.x());
  const int row = LigneAffichee(pos.y());
  // A click on a fixed cell, or beside the cells, selects nothing.
  if (col < 1 || row < 1) return;
  Deplacer(col, row, false);
}

// The second click of a double-click selects like the first (the platform
// may deliver it as a double-click event only), then raises the hook, which
// thus sees the clicked cell current.
void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  mousePressEvent(event);
  if (onDblClick_) onDblClick_();
}

}  // namespace zorbix
