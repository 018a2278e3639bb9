#include "grid_cells.h"

#include <algorithm>
#include <utility>

namespace zorbix {

const QString& GridCells::at(int col, int row) const {
  static const QString vide;
  return contains(col, row) ? cells_[static_cast<std::size_t>(row) * cols_ + col] : vide;
}

void GridCells::set(int col, int row, const QString& text) {
  if (contains(col, row)) cells_[static_cast<std::size_t>(row) * cols_ + col] = text;
}

void GridCells::Redimensionner(int colCount, int rowCount) {
  colCount = std::max(colCount, 0);
  rowCount = std::max(rowCount, 0);
  if (colCount == cols_) {
    // Row after row: adding or removing rows only grows or cuts the tail.
    cells_.resize(static_cast<std::size_t>(colCount) * rowCount);
  } else {
    std::vector<QString> nouvelles(static_cast<std::size_t>(colCount) * rowCount);
    const int cols = std::min(cols_, colCount);
    const int rows = std::min(rows_, rowCount);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        nouvelles[static_cast<std::size_t>(r) * colCount + c] =
            std::move(cells_[static_cast<std::size_t>(r) * cols_ + c]);
    cells_ = std::move(nouvelles);
  }
  cols_ = colCount;
  rows_ = rowCount;
}

}  // namespace zorbix
