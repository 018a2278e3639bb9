#include "engine/backends/port_setup.h"

#include <cstdlib>
#include <iostream>
#include <utility>

#include "engine/backends/parport_lookup.h"
#include "engine/backends/port_map.h"
#include "engine/backends/real_adapters.h"
#include "engine/sim/simulated_message_adapters.h"
#include "engine/sim/simulated_backend.h"
#include "engine/sim/simulation_config.h"

namespace zorbix {
namespace {

const char* const LigneSimulationPossible =
    "Aucun port parallèle réel : ZORBIX_SIMULATION (par exemple ZORBIX_SIMULATION=LPT1:24C16) "
    "fait fonctionner le programme avec un adaptateur simulé.";

struct ChoixPort {
  std::unique_ptr<PortBackend> backend;  // nullptr: the absent port
  std::string ligne;
};

// ppdev first: it needs no privilege and shares the port with the kernel's
// drivers; direct I/O only for a process that already holds the permission,
// and only where the kernel lists a port or no parport driver is loaded at
// all: where the driver looked and found nothing, some other device may
// answer, and the supply alone is 2000 writes.
ChoixPort ChoisirPourPort(const IdentitePort& port, const ParametresPorts& parametres) {
  const std::uint16_t base = port.Adresse;
  const std::string nom = TextePort(port, FormePort::Rapport) + " : ";
  std::string raisonPpdev;
  if (std::unique_ptr<PpdevBackend> ppdev = OuvrirPpdev(base, parametres.racines, raisonPpdev,
                                                        parametres.appelsPpdev)) {
    std::string ligne = nom + ppdev->peripherique() + " (ppdev)";
    return {std::move(ppdev), std::move(ligne)};
  }
  const std::string& proc = parametres.racines.proc;
  if (PiloteParportCharge(proc) && !TrouverParport(base, proc))
    return {nullptr, nom + "aucun port (" + raisonPpdev +
                         " ; pas d'accès direct : le pilote parport du noyau ne voit aucun port à cette adresse)"};
  std::string raisonDirect;
  if (std::unique_ptr<PortBackend> direct = parametres.ouvrirAccesDirect(base, raisonDirect))
    return {std::move(direct), nom + "accès direct aux ports d'E/S (ppdev : " + raisonPpdev + ")"};
  return {nullptr, nom + "aucun port (" + raisonPpdev + " ; " + raisonDirect + ")"};
}

// The report's lines of the CH341As and I2C buses found; true when one of
// them can serve as an adapter (a PC's SMBus and display buses do not).
bool RapporterAdaptateurs(SourceAdaptateurs* source, std::vector<std::string>& rapport) {
  if (!source) return false;
  bool utilisable = false;
  for (GenrePort genre : {GenrePort::Ch341a, GenrePort::I2c})
    for (const AdaptateurTrouve& trouve : source->Lister(genre)) {
      rapport.push_back(trouve.Ligne);
      utilisable = utilisable || (trouve.Accessible && !trouve.Port.Gardee);
    }
  return utilisable;
}

std::unique_ptr<PortMap> PreparerPortsReels(const ParametresPorts& parametres,
                                             const PortsSupplementaires& supplementaires,
                                             std::vector<std::string>& rapport, PortsDemarrage& ports,
                                             SourceAdaptateurs* adaptateurs) {
  auto carte = std::make_unique<PortMap>();
  bool unPortReel = false;
  for (const IdentitePort& port : PortsParalleles(supplementaires)) {
    ChoixPort choix = ChoisirPourPort(port, parametres);
    rapport.push_back(choix.ligne);
    ports.push_back({port, std::move(choix.ligne), !choix.backend});
    unPortReel = unPortReel || choix.backend;
    carte->servir(port.Adresse, std::move(choix.backend));
  }
  const bool unAdaptateur = RapporterAdaptateurs(adaptateurs, rapport);
  if (!unPortReel && !unAdaptateur) rapport.push_back(LigneSimulationPossible);
  if (parametres.trace)
    rapport.push_back("ZORBIX_SIM_TRACE ignoré : la trace du bus ne concerne que l'adaptateur simulé.");
  return carte;
}

std::unique_ptr<SimulatedBackend> PreparerSimulation(const ParametresPorts& parametres,
                                                      std::vector<std::string>& rapport, PortsDemarrage& ports,
                                                      std::unique_ptr<SourceSimulee>& messages, std::string& erreur) {
  std::vector<AdaptateurMessagesSimule> descriptions;
  std::unique_ptr<SimulatedBackend> simulation = CreerSimulation(*parametres.simulation, erreur, &descriptions);
  if (!simulation) return nullptr;
  messages = std::make_unique<SourceSimulee>();
  for (const AdaptateurMessagesSimule& description : descriptions)
    if (!messages->Ajouter(description, erreur)) {
      erreur = "ZORBIX_SIMULATION : " + erreur;
      return nullptr;
    }
  rapport.push_back("Simulation (ZORBIX_SIMULATION) : aucun port réel n'est utilisé.");
  for (std::string& ligne : simulation->describe()) rapport.push_back(std::move(ligne));
  for (std::string& ligne : messages->Decrire()) rapport.push_back(std::move(ligne));
  for (const IdentitePort& port : PortsParalleles(simulation->extraPorts())) {
    if (simulation->adapter(port.Adresse)) {
      ports.push_back({port, "", false});
      continue;
    }
    rapport.push_back(TextePort(port, FormePort::Rapport) + " : aucun port (simulation)");
    ports.push_back({port, rapport.back(), true});
  }
  if (parametres.trace) {
    if (simulation->enableTrace(*parametres.trace))
      rapport.push_back("Trace du bus : " + *parametres.trace);
    else
      rapport.push_back(DebutTraceImpossible + *parametres.trace + " ne peut pas être créé.");
  }
  return simulation;
}

std::optional<std::string> Environnement(const char* nom) {
  const char* valeur = std::getenv(nom);
  if (!valeur || !*valeur) return std::nullopt;
  return std::string(valeur);
}

}  // namespace

std::unique_ptr<SourceAdaptateurs> SourceDuSysteme() { return std::make_unique<SourceReelle>(); }

PortsInstalles::PortsInstalles(std::unique_ptr<PortBackend> backend, SimulatedBackend* simulation,
                               std::vector<std::string> rapport, PortsSupplementaires supplementaires,
                               PortsDemarrage ports, std::unique_ptr<SourceAdaptateurs> adaptateurs)
    : backend_(std::move(backend)),
      adaptateurs_(std::move(adaptateurs)),
      simulation_(simulation),
      rapport_(std::move(rapport)),
      supplementaires_(std::move(supplementaires)),
      ports_(std::move(ports)) {
  InstallerBackend(backend_.get());
  InstallerSourceAdaptateurs(adaptateurs_.get());
}

PortsInstalles::~PortsInstalles() {
  const std::string problemes = terminer();
  if (!problemes.empty()) std::cerr << problemes << std::endl;
}

std::string PortsInstalles::terminer() {
  if (termine_) return {};
  termine_ = true;
  // Only our own backend is taken away: something installed later stays.
  if (&BackendInstalle() == backend_.get()) InstallerBackend(nullptr);
  if (SourceAdaptateursInstallee() == adaptateurs_.get()) InstallerSourceAdaptateurs(nullptr);
  if (simulation_ && !simulation_->closeTrace()) return "Trace du bus incomplète : l'écriture du fichier a échoué.";
  return {};
}

std::unique_ptr<PortsInstalles> InstallerPorts(const ParametresPorts& parametres, std::string& erreur) {
  std::vector<std::string> rapport;
  PortsDemarrage ports;
  if (parametres.simulation) {
    std::unique_ptr<SourceSimulee> messages;
    std::unique_ptr<SimulatedBackend> simulation = PreparerSimulation(parametres, rapport, ports, messages, erreur);
    if (!simulation) return nullptr;
    SimulatedBackend* vue = simulation.get();
    return std::unique_ptr<PortsInstalles>(new PortsInstalles(std::move(simulation), vue, std::move(rapport),
                                                              vue->extraPorts(), std::move(ports),
                                                              std::move(messages)));
  }
  PortsSupplementaires supplementaires = PortsSupplementairesDuNoyau(parametres.racines.proc);
  std::unique_ptr<SourceAdaptateurs> adaptateurs =
      parametres.adaptateursReels ? parametres.adaptateursReels() : nullptr;
  std::unique_ptr<PortMap> carte =
      PreparerPortsReels(parametres, supplementaires, rapport, ports, adaptateurs.get());
  return std::unique_ptr<PortsInstalles>(new PortsInstalles(std::move(carte), nullptr, std::move(rapport),
                                                            std::move(supplementaires), std::move(ports),
                                                            std::move(adaptateurs)));
}

void AfficherRapportPorts(const PortsInstalles& ports, std::ostream& sortie) {
  for (const std::string& ligne : ports.rapport()) sortie << ligne << '\n';
  sortie.flush();
}

ParametresPorts ParametresDepuisEnvironnement() {
  ParametresPorts parametres;
  parametres.simulation = Environnement("ZORBIX_SIMULATION");
  parametres.trace = Environnement("ZORBIX_SIM_TRACE");
  return parametres;
}

std::unique_ptr<PortsInstalles> InstallerPortsOuQuitter(std::ostream& sortie) {
  std::string erreur;
  std::unique_ptr<PortsInstalles> ports = InstallerPorts(ParametresDepuisEnvironnement(), erreur);
  if (!ports) {
    sortie << erreur << std::endl;
    std::exit(2);
  }
  AfficherRapportPorts(*ports, sortie);
  return ports;
}

}  // namespace zorbix
