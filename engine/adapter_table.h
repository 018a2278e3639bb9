// The kinds of adapter the program knows, one row each: its name, the
// adapters of that kind this run found, how to open one, and what the
// start-up report says of one that nothing serves. The parallel port is the
// only kind today; a USB programmer or a kernel I2C bus adds a row.
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

struct GenreAdaptateur {
  GenrePort Genre;
  const char* Nom;
  // This kind's adapters, in the order of the menu and of the autodetection.
  std::vector<IdentitePort> (*Lister)(const PortsSupplementaires& supplementaires);
  // The adapter named `port`; it is taken for each of its operations only.
  std::unique_ptr<Adapter> (*Ouvrir)(const IdentitePort& port);
  // The report's line for `port` when nothing real serves it, else none.
  std::optional<std::string> (*Rapporter)(const IdentitePort& port, const PortsDemarrage& demarrage);
};

const std::vector<GenreAdaptateur>& GenresAdaptateurs();
// The row of `genre`.
const GenreAdaptateur& GenreDe(GenrePort genre);

// GenreDe(port.Genre).Ouvrir(port).
std::unique_ptr<Adapter> OuvrirAdaptateur(const IdentitePort& port);

}  // namespace zorbix
