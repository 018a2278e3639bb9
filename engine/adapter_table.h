// The kinds of adapter the program knows, one row each: its name, the
// adapters of that kind this run found, how to open one, and what the
// start-up report says of one that nothing serves. The parallel port's row
// is served here; the CH341A's and the I2C buses' rows ask the source of
// adapters installed at start-up (the real system, or the simulation), as
// the parallel ports ask the installed port backend.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/adapter.h"
#include "engine/extra_ports.h"
#include "engine/port_identity.h"

namespace zorbix {

// What start-up learnt of one port: its line of the start-up report, and
// whether the absent port serves it (no port at that address, or no access
// to it: the `lp` group).
struct PortDemarrage {
  IdentitePort Port;
  std::string Ligne;
  bool Absent = false;
};
using PortsDemarrage = std::vector<PortDemarrage>;

// The user's settings an adapter applies to every operation.
struct OptionsAdaptateur {
  // The levels the socket gives the chip's pins A2 A1 A0 (bits 2..0), in
  // every device-select byte (on the 24C04/08/16, only the pins that are
  // not block bits). The message adapters only: the parallel adapter's
  // socket grounds them.
  int Broches = 0;
  // The CH341A's bus clock: 100, 400 or 750 kHz.
  int VitesseKHz = 100;
  // The user allowed every operation on a PC's SMBus or a display bus
  // (engine/i2c/i2c_safety.h); otherwise they are refused with the reason,
  // followed by `CommentAutoriser`, the front end's own way to allow it.
  bool EcritureBusSystemeAutorisee = false;
  std::string CommentAutoriser;
};
constexpr int VitessesKHz[3] = {100, 400, 750};

// A CH341A or an I2C bus as the source finds it now.
struct AdaptateurTrouve {
  IdentitePort Port;
  std::string Ligne;       // its line of the start-up report
  bool Accessible = true;  // false: it is there, but this user may not open it (Ligne says why)
  std::string Capacites;   // what it can do, in French: "I2C complet", "SMBus seulement", ...
};

// Where the CH341As and the I2C buses come from.
class SourceAdaptateurs {
 public:
  virtual ~SourceAdaptateurs() = default;
  // The adapters of `genre` (Ch341a or I2c) present now, in menu order.
  virtual std::vector<AdaptateurTrouve> Lister(GenrePort genre) = 0;
  // The adapter named `port`, taken for each of its operations only.
  virtual std::unique_ptr<Adapter> Ouvrir(const IdentitePort& port, const OptionsAdaptateur& options) = 0;
};
// The source of this run (not owned); nullptr: no CH341A and no I2C bus.
void InstallerSourceAdaptateurs(SourceAdaptateurs* source);
SourceAdaptateurs* SourceAdaptateursInstallee();

struct GenreAdaptateur {
  GenrePort Genre;
  // This kind's adapters, in the order of the menu and of the autodetection.
  std::vector<IdentitePort> (*Lister)(const PortsSupplementaires& supplementaires);
  // The adapter named `port`; it is taken for each of its operations only.
  std::unique_ptr<Adapter> (*Ouvrir)(const IdentitePort& port, const OptionsAdaptateur& options);
  // The report's line for `port` when nothing real serves it, else none.
  std::optional<std::string> (*Rapporter)(const IdentitePort& port, const PortsDemarrage& demarrage);
};

// The row of `genre`.
const GenreAdaptateur& GenreDe(GenrePort genre);

// GenreDe(port.Genre).Ouvrir(port, options).
std::unique_ptr<Adapter> OuvrirAdaptateur(const IdentitePort& port, const OptionsAdaptateur& options = {});

// The CH341As and the I2C buses found now, in menu order (CH341As first).
std::vector<IdentitePort> AutresAdaptateurs();

struct BilanDetection;
// The autodetection: the parallel ports (DetecterAdaptateurParallele), then,
// when none carries the adapter, the first CH341A this user may open. An I2C
// bus is never touched: only the user's choice does that.
BilanDetection DetecterAdaptateur(const PortsSupplementaires& supplementaires);

}  // namespace zorbix
