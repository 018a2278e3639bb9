// An operation stopped between two bus transactions at the user's request (a
// signal to the command line). It is thrown from a progress callback, which
// the transfers call between two page or byte writes, so that every guard on
// the way out acts as the stack unwinds: the chip is powered down
// (SousTension), the port is given back and a virtual chip keeps what was
// written before (PortPris).
#pragma once

namespace zorbix {

struct Interruption {
  int Position;  // the bytes done when it stopped, as the progress positions count them
};

}  // namespace zorbix
