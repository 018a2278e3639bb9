// SIGINT, SIGTERM and SIGHUP for the command line: the first one only asks
// for the operation to stop, which it does at the end of the current bus
// transaction (see engine/interruption.h), so that the chip is powered down
// and what was written is kept; a second one ends the program at once, as
// the signal's default action does.
#pragma once

namespace zorbix {

// Takes the three signals for the rest of the run.
void InstallerSignauxArret();

// True once one of them has arrived.
bool ArretDemande();

}  // namespace zorbix
