// The bulk part of the Buffer's display: what the main window's refresh
// does between turning the grid teal and turning it back.
#pragma once

#include <functional>

#include "buffer.h"

namespace zorbix {

class StringGrid;

// Progress contract: the callback receives byte indexes of the refresh, in
// increasing order, for a bar whose maximum the caller has set to `count`
// beforehand. With k = 1 if count < 64, else count / 64, it is called with i
// for every byte index i where i mod k = k - 1 (so at most 64 times: 31, 63,
// ... 2047 for 2048 bytes), then once with 0 when the cells are written. The
// refresh never returns to the event loop, so the callback must show the
// position before it returns (QWidget::repaint); it must not touch the grid.
// An empty callback is allowed.
using ProgressionGrille = std::function<void(int position)>;

// Sizes `grid` for the first `count` bytes of `buffer` (a header row and one
// row per 16 bytes; the current cell follows a row count change as
// StringGrid::setRowCount says), then writes the address cells "0000"...,
// the hex cells "00".."FF" and the character cells (the byte as a
// one-character text, empty for 0x00). `count` is clamped to 0..65,536.
void RemplirGrille(StringGrid& grid, const Buffer& buffer, int count,
                   const ProgressionGrille& progression);

// Writes the two cells of the byte at `adresse`, its hex cell and its
// character cell, from `buffer`: the one way a data cell gets its text, so
// the grid cannot drift from the Buffer.
void RedessinerOctet(StringGrid& grid, const Buffer& buffer, int adresse);

}  // namespace zorbix
