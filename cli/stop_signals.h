// The command line's stop request: SIGINT, SIGTERM and SIGHUP ask the
// running command to stop at the end of the current page (or byte)
// transaction rather than end the process in the middle of one.
#pragma once

#include <atomic>

namespace zorbix {

// Raised by the signal handlers; read between transactions.
extern std::atomic<bool> ArretSignale;

// True once a stop was asked for.
bool ArretDemande();

}  // namespace zorbix
