// One parallel port reached with the processor's in/out instructions, for a
// process that already holds the I/O permission (x86 Linux only).
//
// The program never asks for that permission: it only tries ioperm, which
// succeeds when the process was started with it (CAP_SYS_RAWIO).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "../port.h"

namespace zorbix {

// Asks for the data and status registers of the port at `base` (base and
// base + 1, never the control register) and returns the backend that serves
// them; on refusal, or on a processor other than x86 (which has no port
// instructions and never asks), returns nullptr with the French reason in
// `raison`.
//
// The permission belongs to the calling thread and the threads it starts
// afterwards: open and use the backend on the same thread.
std::unique_ptr<PortBackend> OuvrirAccesDirect(std::uint16_t base, std::string& raison);

}  // namespace zorbix
