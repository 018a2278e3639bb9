// The commands that act on a range of the chip or on each of its bytes:
// lire, programmer and comparer with --debut or --longueur, comparer
// --liste, effacer and vierge. Without a range they run the window's
// whole-chip transfers, so the bus sees what it sees from the window.
#pragma once

#include <cstdint>

#include "cli/commands.h"
#include "cli/options.h"

namespace zorbix {

// Whether the command goes to ExecuterSurPlage rather than the whole-chip
// commands of commands.cpp.
bool CommandeSurPlage(const OptionsCli& options);

// Runs it on the port whose data register is `portBase`; the exit code.
int ExecuterSurPlage(const OptionsCli& options, std::uint16_t portBase, const SortiesCli& sorties);

}  // namespace zorbix
