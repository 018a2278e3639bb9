// A string grid in the manner of Delphi's TStringGrid, reduced to what the
// Buffer's display needs: one fixed row and one fixed column that never
// scroll, per-column widths, rows 17 pixels high, grid lines between all
// cells, one current cell (no range selection, no in-place editing, no
// resizing or moving of rows and columns) and vertical scrolling by rows.
//
// The character columns (19..34, grid_layout.h) hold a byte as a
// one-character text and are drawn through the current code page
// (setOem); every other cell is drawn as its text.
//
// The grid paints itself: there is no widget or item per cell. Assistive
// technologies see it as a table of cells (grid_accessible.h).
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>

#include <functional>
#include <vector>

#include "grid_cells.h"

namespace zorbix {

class StringGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Raised before the current cell moves, by the user (click, arrows, Page
  // Up/Down, Home/End, Ctrl+Home/End) or by the program (setCurrentCell, a
  // row count that drops the current row). Returns whether (col, row) may
  // become current; a refusal leaves the current cell where it is, and the
  // grid does not look for another cell instead.
  using SelectCellHandler = std::function<bool(int col, int row)>;
  // A character key pressed in the grid: Enter 13, Escape 27, Backspace 8,
  // Space 32, any other printable character as its Unicode code. Keys held
  // with Ctrl or Alt are not character keys: they go on to the window.
  using KeyPressHandler = std::function<void(int key)>;
  using DblClickHandler = std::function<void()>;

  static constexpr int RowHeight = 17;
  static constexpr int DefaultColWidth = 20;
  static constexpr int GridLineWidth = 1;

  explicit StringGrid(QWidget* parent = nullptr);

  // At least one row besides the fixed one. A count that drops the current
  // cell's row moves the current cell to the new last one through the
  // selection hook; it moves there even if the hook refuses, since the old
  // cell no longer exists.
  int colCount() const { return cells_.colCount(); }
  int rowCount() const { return cells_.rowCount(); }
  void setRowCount(int count);

  void setColWidth(int col, int width);

  // Cell texts; a cell outside the grid reads empty and ignores writes.
  const QString& cell(int col, int row) const { return cells_.at(col, row); }
  void setCell(int col, int row, const QString& text);

  // The current cell (never a fixed one; (1, 1) until moved).
  int col() const { return col_; }
  int row() const { return row_; }
  // Asks the hook, even for the cell that is already current, and on
  // acceptance moves the current cell and scrolls it into view. A fixed
  // cell or one outside the grid is refused without asking. Returns whether
  // the cell is now current.
  bool setCurrentCell(int col, int row);

  // The first scrollable row on screen, and how many scrollable rows fit
  // whole under the fixed row.
  int topRow() const;
  void setTopRow(int row);
  int visibleRowCount() const;

  // Where a cell is drawn, in viewport coordinates, grid lines excluded; an
  // empty rectangle for a row scrolled out of view.
  QRect cellRect(int col, int row) const;

  // Background of the normal (not fixed, not current) cells; the palette's
  // base colour at first.
  QColor normalColor() const { return normalColor_; }
  void setNormalColor(const QColor& color);

  // Draws the character columns in code page 850 (true) or Windows-1252
  // (false, the default). Cell texts do not change.
  bool isOem() const { return oem_; }
  void setOem(bool oem);

  void setOnSelectCell(SelectCellHandler handler) { onSelectCell_ = std::move(handler); }
  void setOnKeyPress(KeyPressHandler handler) { onKeyPress_ = std::move(handler); }
  void setOnDblClick(DblClickHandler handler) { onDblClick_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  static constexpr int Pitch = RowHeight + GridLineWidth;

  // Moves the current cell to (col, row) if the hook accepts, or anyway when
  // `forcer`; scrolls it into view. Returns the hook's answer.
  bool Deplacer(int col, int row, bool forcer);
  bool CibleClavier(int key, Qt::KeyboardModifiers mods, int& col, int& row) const;
  void RendreVisible(int row);
  void MettreAJourDefilement();
  void PlanifierAffichage(int row);
  int LigneAffichee(int y) const;
  int ColonneAffichee(int x) const;
  int Gauche(int col) const { return lefts_[col]; }
  int LargeurTotale() const;
  int DerniereLigneAffichee() const;

  void PeindreFonds(QPainter& p, int derniere) const;
  void PeindreLignes(QPainter& p, int derniere) const;
  void PeindreTextes(QPainter& p, int derniere) const;
  void PeindreTexteCellule(QPainter& p, int col, int row) const;

  GridCells cells_;
  std::vector<int> widths_;
  std::vector<int> lefts_;  // left edge of each column, grid lines included
  int col_ = 1;
  int row_ = 1;
  QColor normalColor_;
  bool oem_ = false;
  bool affichagePlanifie_ = false;
  SelectCellHandler onSelectCell_;
  KeyPressHandler onKeyPress_;
  DblClickHandler onDblClick_;
};

}  // namespace zorbix
