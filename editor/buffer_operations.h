// The ten fill and transform commands of the Buffer, behind one call so that
// the window's handler only maps its controls to an operation code.
#pragma once

#include "buffer.h"
#include "random_generator.h"

namespace zorbix {

enum class OperationBuffer {
  ToutA00,           // every byte 0x00
  ToutAFF,           // every byte 0xFF
  Espaces,           // every byte 0x20
  Aleatoire,         // one generator draw per byte, in address order
  Incremente,        // byte i = i mod 256
  Decremente,        // byte i = 255 - i mod 256
  OctetSelectionne,  // every byte = the selected byte
  Complemente,       // every byte XOR 0xFF
  InversionBits,     // bit k moves to bit 7 - k
  RemplirLigne,      // the selected byte's 16-byte row = the selected byte
};

// Applies `operation` to the active region, the first `chipSize` bytes of
// `buffer`; bytes beyond it are never touched. The two operations that use
// the selected byte change nothing unless 0 <= selectedAddress < chipSize,
// and the line fill stays inside both its row and the active region.
// `generateur` is drawn from by the random fill only.
void AppliquerOperation(OperationBuffer operation, Buffer& buffer, int chipSize,
                        int selectedAddress, GenerateurAleatoire& generateur);

}  // namespace zorbix
