// identifier, and the guard that programmer and effacer put before writing.
#pragma once

#include <cstdint>

#include "cli/commands.h"
#include "cli/options.h"

namespace zorbix {

// Prints the acknowledged selects, every type with why it is excluded, the
// candidates and the verdict. 0 when some type fits, 1 when no chip answers
// or none of the types answers so.
int Identifier(std::uint16_t portBase, const SortiesCli& sorties);

// Before a write of the type --puce: identifies the chip and refuses
// (SortieUsage, nothing written) when it is surely or probably smaller.
// An uncertain identification lets the write go on, with a note saying so.
// --forcer skips the identification: the bus then sees the write alone.
int GarderEcriture(const OptionsCli& options, std::uint16_t portBase, const SortiesCli& sorties);

}  // namespace zorbix
