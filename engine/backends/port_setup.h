// What serves the three parallel-port addresses and the extra ports the
// kernel lists (or the simulation names), chosen once at start-up.
//
// The simulator serves them only when ZORBIX_SIMULATION asks for it, so a
// user never takes a virtual chip for a real one. Otherwise each port gets
// the best real backend the machine grants (ppdev, then direct I/O where the
// kernel lists a port, or anywhere when no parport driver is loaded), or the
// absent port; the report says which, and why a better one was not had.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/backends/direct_io_backend.h"
#include "engine/backends/ppdev_backend.h"
#include "engine/adapter_table.h"
#include "engine/extra_ports.h"
#include "engine/port.h"

namespace zorbix {

class SimulatedBackend;

// The real CH341As and I2C buses.
std::unique_ptr<SourceAdaptateurs> SourceDuSysteme();

// Starts the report's line when the bus trace asked for cannot be created.
constexpr const char* DebutTraceImpossible = "Trace du bus impossible : ";

struct ParametresPorts {
  std::optional<std::string> simulation;  // ZORBIX_SIMULATION, when set
  std::optional<std::string> trace;       // ZORBIX_SIM_TRACE, when set
  // Where the real backends come from; tests replace them so that none of
  // them reaches a real port.
  RacinesSysteme racines;
  AppelsPpdev appelsPpdev;
  std::function<std::unique_ptr<PortBackend>(std::uint16_t base, std::string& raison)> ouvrirAccesDirect =
      OuvrirAccesDirect;
  // The CH341As and I2C buses of a run on real hardware (libusb, /sys,
  // /dev/i2c-N); tests give none.
  std::function<std::unique_ptr<SourceAdaptateurs>()> adaptateursReels = SourceDuSysteme;
};

// The installed backend, owned for the whole run, and the report of how it
// was chosen.
class PortsInstalles {
 public:
  ~PortsInstalles();  // terminer() if not done yet, its problems to std::cerr
  PortsInstalles(const PortsInstalles&) = delete;
  PortsInstalles& operator=(const PortsInstalles&) = delete;

  const std::vector<std::string>& rapport() const { return rapport_; }
  bool simulation() const { return simulation_ != nullptr; }
  // The ports beyond LPT1..LPT3, named and by address: the ones the kernel
  // lists (parportN), or the simulated ones (simN). Each is served like the
  // three, by ppdev, direct I/O or the absent port as the report says.
  const PortsSupplementaires& supplementaires() const { return supplementaires_; }
  // Every port with its report line and whether the absent port serves it.
  const PortsDemarrage& ports() const { return ports_; }

  // Puts the absent port back and ends the bus trace (the simulated chips are
  // written back by each operation, not here). Returns what went wrong
  // (French), empty when all is well. Later calls do nothing.
  std::string terminer();

 private:
  friend std::unique_ptr<PortsInstalles> InstallerPorts(const ParametresPorts&, std::string&);
  PortsInstalles(std::unique_ptr<PortBackend> backend, SimulatedBackend* simulation,
                 std::vector<std::string> rapport, PortsSupplementaires supplementaires, PortsDemarrage ports,
                 std::unique_ptr<SourceAdaptateurs> adaptateurs);

  std::unique_ptr<PortBackend> backend_;
  std::unique_ptr<SourceAdaptateurs> adaptateurs_;  // the CH341As and I2C buses, installed for the table
  SimulatedBackend* simulation_;  // backend_ itself when simulating, else nullptr
  std::vector<std::string> rapport_;
  PortsSupplementaires supplementaires_;
  PortsDemarrage ports_;
  bool termine_ = false;
};

// Builds and installs the backend. On a malformed ZORBIX_SIMULATION value,
// installs nothing and returns nullptr with the French reason in `erreur`.
std::unique_ptr<PortsInstalles> InstallerPorts(const ParametresPorts& parametres, std::string& erreur);

void AfficherRapportPorts(const PortsInstalles& ports, std::ostream& sortie);

// The parameters of a real run: the environment values (an empty one counts
// as unset) and the real system.
ParametresPorts ParametresDepuisEnvironnement();

// For main(): installs from the environment and prints the report on
// `sortie`; on a malformed ZORBIX_SIMULATION prints the reason there and
// ends the process with exit code 2.
std::unique_ptr<PortsInstalles> InstallerPortsOuQuitter(std::ostream& sortie);

}  // namespace zorbix
