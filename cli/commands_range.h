// The commands that act on a range of the chip or on each of its bytes:
// lire, programmer and comparer with --debut or --longueur, comparer
// --liste, effacer and vierge, through the shared use cases on the
// command's adapter. Without a range they run the whole-chip operations, so
// the bus sees what it sees from the window.
#pragma once

#include "cli/options.h"
#include "cli/transfer_context.h"

namespace zorbix {

// Whether the command goes to ExecuterSurPlage rather than the whole-chip
// commands of commands.cpp.
bool CommandeSurPlage(const OptionsCli& options);

// Runs it on the transfer's adapter and chip; the exit code.
int ExecuterSurPlage(const OptionsCli& options, const Transfert& t);

}  // namespace zorbix
