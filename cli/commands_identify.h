// identifier, and the guard that programmer and effacer put before writing.
#pragma once

#include "cli/options.h"
#include "cli/transfer_context.h"

namespace zorbix {

// Prints the acknowledged selects, every type with why it is excluded, the
// candidates and the verdict. 0 when some type fits, 1 when no chip answers
// or none of the types answers so; the adapter's own outcomes as for any
// operation (SortiePortOccupe when another program holds it).
int Identifier(const Transfert& t);

// Before a write of the type --puce: identifies the chip and refuses
// (SortieUsage, nothing written) when it is surely or probably smaller.
// An uncertain identification lets the write go on, with a note saying so.
// --forcer skips the identification: the bus then sees the write alone.
int GarderEcriture(const OptionsCli& options, const Transfert& t);

}  // namespace zorbix
