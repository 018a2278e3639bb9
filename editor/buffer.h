// The Buffer: the in-memory image of the chip, one for the whole run.
//
// Byte n is the byte at chip address n. Only the first ChipSize bytes (the
// active region) are shown and acted on by the grid and the fills; the rest
// keeps its values while a smaller chip is chosen.
#pragma once

#include <array>
#include <cstdint>

namespace zorbix {

constexpr int TailleBuffer = 65536;  // the largest chip, the 24C512

using Buffer = std::array<std::uint8_t, TailleBuffer>;

// The active region's size clamped to what the Buffer holds, so that no loop
// over "ChipSize bytes" can run past its end whatever size it is given.
constexpr int TailleActive(int chipSize) {
  return chipSize < 0 ? 0 : (chipSize > TailleBuffer ? TailleBuffer : chipSize);
}

}  // namespace zorbix
