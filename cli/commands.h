// The commands of zorbix32-cli, once the command line is understood and the
// ports are installed: each returns the process's exit code.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/options.h"
#include "engine/extra_ports.h"
#include "engine/port_identity.h"

namespace zorbix {

enum CodeSortie : int {
  SortieSucces = 0,
  SortieEchecMemoire = 1,   // the chip or the transfer failed, verification included
  SortieUsage = 2,          // the command line or the file is at fault
  SortieDifferences = 3,    // the compare found differences
  SortiePortOccupe = 4,     // the adapter is held by another program: nothing was done
  SortieInterrompue = 5,    // stopped by a signal between two transactions
};

struct SortiesCli {
  std::ostream& Resultats;  // standard output: what was done
  std::ostream& Erreurs;    // standard error: what went wrong
  bool Progression;         // draw the progress line on standard error
};

// Every command but `ports` on `port` (detecter tests LPT1..LPT3 then
// `supplementaires` itself, as the window's autodetection does). A programming
// or an erase stops between two transactions once ArretDemande(); a read or a
// compare, one transaction, stops at its end.
int ExecuterCommande(const OptionsCli& options, const IdentitePort& port, const PortsSupplementaires& supplementaires,
                     const SortiesCli& sorties);

// What `ports` adds to the start-up report: each CH341A and I2C bus found,
// the --port value that selects it, what it can do, and whether its
// operations are guarded.
void AfficherAdaptateurs(std::ostream& sortie);

// The options that only some adapters take, checked against the one
// `port` names: false with the reason in `erreur`.
bool OptionsAdmisesPar(const OptionsCli& options, const IdentitePort& port, std::string& erreur);

}  // namespace zorbix
