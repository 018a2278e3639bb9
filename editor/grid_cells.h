// The texts of a string grid's cells, row after row.
//
// Cells hold QStrings, which are implicitly shared: assigning one of a few
// pre-built texts to many cells allocates nothing, which is what keeps the
// refresh of a 64 KiB Buffer (135,168 cells) fast.
#pragma once

#include <QString>

#include <vector>

namespace zorbix {

class GridCells {
 public:
  GridCells(int colCount, int rowCount) { Redimensionner(colCount, rowCount); }

  int colCount() const { return cols_; }
  int rowCount() const { return rows_; }

  bool contains(int col, int row) const {
    return col >= 0 && col < cols_ && row >= 0 && row < rows_;
  }

  // The text of a cell; an empty text outside the grid.
  const QString& at(int col, int row) const;

  // Sets a cell's text; a cell outside the grid is ignored.
  void set(int col, int row, const QString& text);

  // Keeps the texts of the cells that remain; new cells are empty.
  void Redimensionner(int colCount, int rowCount);

 private:
  int cols_ = 0;
  int rows_ = 0;
  std::vector<QString> cells_;
};

}  // namespace zorbix
