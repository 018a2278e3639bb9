// zorbix32-cli: reads, programs and compares a serial I2C EEPROM on the
// parallel-port adapter, a CH341A or a kernel I2C bus from the command line,
// with the window's engine.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/standard_output.h"
#include "cli/stop_signals.h"
#include "engine/adapter_table.h"
#include "engine/backends/port_setup.h"
#include "engine/port_identity.h"

namespace {

int ErreurUsage(const std::string& erreur) {
  std::cerr << "zorbix32-cli : " << erreur << "\n\n" << zorbix::TexteUsage();
  return zorbix::SortieUsage;
}

// The whole run; main adds the check that standard output took everything.
int Executer(int argc, char** argv) {
  using namespace zorbix;
  OptionsCli options;
  std::string erreur;
  if (!AnalyserArguments(std::vector<std::string>(argv + 1, argv + argc), options, erreur))
    return ErreurUsage(erreur);
  if (options.Commande == CommandeCli::Aide) return std::cout << TexteUsage(), SortieSucces;
  if (options.Commande == CommandeCli::Version)
    return std::cout << "zorbix32-cli " << ZORBIX_VERSION << '\n', SortieSucces;

  const std::unique_ptr<PortsInstalles> ports = InstallerPorts(ParametresDepuisEnvironnement(), erreur);
  if (!ports) {
    std::cerr << erreur << '\n';
    return SortieUsage;
  }
  // A name is one of the extra ports, CH341As or I2C buses just installed,
  // as `ports` lists them.
  const std::optional<IdentitePort> port =
      LireIdentitePort(options.Port, ports->supplementaires(), AutresAdaptateurs(), erreur);
  if (!port || !OptionsAdmisesPar(options, *port, erreur)) return ErreurUsage(erreur);
  // A trace asked for and not possible: said even when silent, and nothing is done.
  for (const std::string& ligne : ports->rapport())
    if (ligne.rfind(DebutTraceImpossible, 0) == 0) return std::cerr << ligne << '\n', SortieUsage;
  if (options.Commande == CommandeCli::Ports) {
    AfficherRapportPorts(*ports, std::cout);
    AfficherAdaptateurs(std::cout);
  } else {
    // Said first, so that nobody takes a virtual chip for a real one.
    if (!options.Silencieux) AfficherRapportPorts(*ports, std::cerr);
    InstallerSignauxArret();
    const bool terminal = isatty(STDERR_FILENO) == 1 && !options.Silencieux;
    const int code = ExecuterCommande(options, *port, ports->supplementaires(), {std::cout, std::cerr, terminal});
    const std::string problemes = ports->terminer();
    if (problemes.empty()) return code;
    std::cerr << problemes << '\n';
    return code == SortieSucces ? SortieEchecMemoire : code;
  }
  const std::string problemes = ports->terminer();
  if (!problemes.empty()) std::cerr << problemes << '\n';
  return problemes.empty() ? SortieSucces : SortieEchecMemoire;
}

}  // namespace

int main(int argc, char** argv) { return zorbix::TerminerSortieStandard(Executer(argc, argv)); }
