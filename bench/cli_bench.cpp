// zorbix32-cli as a script runs it, against what the window does for the same
// transfer of a 24C512 on the simulated adapter.
//
// Fenetre/<transfer>    the engine function the window's handler calls,
//                       in this process: the bus work alone.
// Processus/<transfer>  zorbix32-cli started and waited for as a whole
//                       process (ZORBIX_SIMULATION with a chip file): start,
//                       simulator set-up, file, bus, chip file written back.
// Processus/Version     `zorbix32-cli --version`: a process with no bus work.
// Fenetre/Plage4K       a 4 KiB range in the middle of the 24C512 (32 pages
//                       at $7800) programmed alone through the parallel
//                       adapter, beside the whole chip.
// Identification/<type> the probing of `identifier` through the parallel
//                       adapter on each type, random and erased contents:
//                       its port accesses, beside a whole-chip read of that
//                       type.
// The processes program with --forcer: the bus then carries the window's
// transfer alone, without the identification that guards it.
// cpu_ms                processor time (user + system) per run: of this
//                       process for Fenetre, of the child for Processus. On
//                       a loaded machine it is the steadier figure.
// acces                 port accesses (= simulated bus time in us); for a
//                       process, the end time of its bus trace
//                       (ZORBIX_SIM_TRACE), taken in one extra run outside
//                       the timing. The run is marked as an error when the
//                       process and the window's function differ.
// The process's own cost beyond the bus is Processus minus Fenetre.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/adapter_table.h"
#include "engine/chips.h"
#include "engine/identification.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"
#include "engine/transfers.h"
#include "engine/use_cases.h"

extern char** environ;

namespace zorbix {
namespace {

namespace fs = std::filesystem;

constexpr int Type24C512 = 11;
constexpr int Taille = 65536;

std::vector<std::uint8_t> Image() {
  std::vector<std::uint8_t> image(Taille);
  std::mt19937 g(512);
  for (auto& b : image) b = static_cast<std::uint8_t>(g());
  return image;
}

const fs::path& Dossier() {
  static const fs::path dossier = [] {
    std::string modele = (fs::temp_directory_path() / "zorbix-cli-bench-XXXXXX").string();
    return fs::path(mkdtemp(modele.data()));
  }();
  return dossier;
}

double g_cpuEnfantMs = 0;  // processor time of the runs so far

double Ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Runs zorbix32-cli with `arguments` and the given extra environment, its
// output thrown away; returns its exit code and adds its processor time to
// g_cpuEnfantMs.
int Lancer(const std::vector<std::string>& arguments, const std::vector<std::string>& environnement) {
  std::vector<std::string> env(environnement);
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<char*> argv{const_cast<char*>(ZORBIX_CLI)}, envp;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  const int erreur = posix_spawn(&pid, ZORBIX_CLI, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (erreur != 0) return -1;
  int statut = 0;
  rusage usage{};
  wait4(pid, &statut, 0, &usage);
  g_cpuEnfantMs += Ms(usage.ru_utime) + Ms(usage.ru_stime);
  return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

// The end time of a bus trace: its last "#<time>" line.
long FinDeTrace(const fs::path& vcd) {
  std::ifstream f(vcd);
  std::string ligne;
  long fin = -1;
  while (std::getline(f, ligne))
    if (!ligne.empty() && ligne[0] == '#') fin = std::stol(ligne.substr(1));
  return fin;
}

struct Commande {
  const char* nom;
  std::vector<std::string> arguments;
};

std::vector<Commande> Commandes() {
  const std::string fichier = (Dossier() / "image.bin").string();
  const std::string copie = (Dossier() / "copie.bin").string();
  return {{"Lecture", {"lire", "--puce", "24C512", copie}},
          {"Programmation", {"programmer", "--puce", "24C512", "--forcer", "--sans-verification", fichier}},
          {"ProgrammationVerifiee", {"programmer", "--puce", "24C512", "--forcer", fichier}}};
}

std::string Simulation() { return "ZORBIX_SIMULATION=LPT1:24C512=" + (Dossier() / "puce.bin").string(); }

void Processus(benchmark::State& state, const Commande& c, long accesFenetre) {
  const std::vector<std::uint8_t> image = Image();
  std::ofstream(Dossier() / "image.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), Taille);
  const fs::path trace = Dossier() / "bus.vcd";
  if (Lancer(c.arguments, {Simulation(), "ZORBIX_SIM_TRACE=" + trace.string()}) != 0)
    return state.SkipWithError("zorbix32-cli a échoué");
  const long acces = FinDeTrace(trace);
  fs::remove(trace);
  g_cpuEnfantMs = 0;
  for (auto _ : state)
    if (Lancer(c.arguments, {Simulation()}) != 0) return state.SkipWithError("zorbix32-cli a échoué");
  state.counters["acces"] = static_cast<double>(acces);
  state.counters["cpu_ms"] = g_cpuEnfantMs / static_cast<double>(state.iterations());
  if (accesFenetre >= 0 && acces != accesFenetre) state.SkipWithError("pas les accès de la fenêtre");
}

// The window's transfer: the same engine function on the same simulated chip.
long Fenetre(benchmark::State& state, bool lecture) {
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(AdresseLPT1);
  EepromModel* puce = adaptateur.insertChip(EepromModel::create(Type24C512));
  PortBackend* avant = InstallerBackend(&sim);
  std::vector<std::uint8_t> image = Image();
  const CibleI2C cible{AdresseLPT1, Type24C512, Taille};
  std::uint64_t acces = 0;
  const std::clock_t debutCpu = std::clock();
  for (auto _ : state) {
    const std::uint64_t debut = sim.accessCount();
    const bool reussi =
        lecture ? LireMemoire(cible, image.data(), nullptr)
                : ProgrammerMemoireEntiere(cible, image.data(), true, nullptr) == WriteResult::EcritureReussie;
    acces = sim.accessCount() - debut;
    if (!reussi) state.SkipWithError("transfert manqué");
  }
  state.counters["cpu_ms"] =
      1e3 * static_cast<double>(std::clock() - debutCpu) / CLOCKS_PER_SEC / static_cast<double>(state.iterations());
  benchmark::DoNotOptimize(puce);
  InstallerBackend(avant);
  state.counters["acces"] = static_cast<double>(acces);
  return static_cast<long>(acces);
}

long g_accesLecture = -1, g_accesProgrammation = -1;

void BM_FenetreLecture(benchmark::State& state) { g_accesLecture = Fenetre(state, true); }
void BM_FenetreProgrammation(benchmark::State& state) { g_accesProgrammation = Fenetre(state, false); }
void BM_ProcessusLecture(benchmark::State& state) { Processus(state, Commandes()[0], g_accesLecture); }
void BM_ProcessusProgrammation(benchmark::State& state) {
  Processus(state, Commandes()[1], g_accesProgrammation);
}
void BM_ProcessusProgrammationVerifiee(benchmark::State& state) {
  Processus(state, Commandes()[2], g_accesProgrammation + g_accesLecture);
}
void BM_ProcessusVersion(benchmark::State& state) {
  g_cpuEnfantMs = 0;
  for (auto _ : state)
    if (Lancer({"--version"}, {}) != 0) return state.SkipWithError("zorbix32-cli a échoué");
  state.counters["cpu_ms"] = g_cpuEnfantMs / static_cast<double>(state.iterations());
}

// The parallel adapter on LPT1, as the command line opens it.
std::unique_ptr<Adapter> AdaptateurLPT1() { return OuvrirAdaptateur(PortsParalleles({}).front()); }

// 32 pages of 128 bytes at $7800 programmed by the command line's use case
// (unverified), and the whole chip, on one simulated 24C512.
void BM_Plage4K(benchmark::State& state) {
  SimulatedBackend sim;
  sim.addAdapter(AdresseLPT1).insertChip(EepromModel::create(Type24C512));
  PortBackend* avant = InstallerBackend(&sim);
  const std::vector<std::uint8_t> image = Image();
  const CibleI2C cible{AdresseLPT1, Type24C512, Taille};
  const std::unique_ptr<Adapter> adaptateur = AdaptateurLPT1();
  const Partie partie{false, {0x7800, 4096}};
  std::uint64_t plage = 0;
  for (auto _ : state) {
    const std::uint64_t debut = sim.accessCount();
    if (!ProgrammerLaPartieEtVerifier(*adaptateur, {Type24C512, Taille}, partie, image.data(), true, false,
                                      AllouerSansException, {})
             .Reussie)
      state.SkipWithError("plage manquée");
    plage = sim.accessCount() - debut;
  }
  const std::uint64_t debut = sim.accessCount();
  ProgrammerMemoireEntiere(cible, image.data(), true, nullptr);
  state.counters["acces"] = static_cast<double>(plage);
  state.counters["acces_puce_entiere"] = static_cast<double>(sim.accessCount() - debut);
  InstallerBackend(avant);
}

// identifier on a chip of `type`, random (range(1) = 0) or erased contents.
void BM_Identification(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  SimulatedBackend sim;
  EepromModel* puce = sim.addAdapter(AdresseLPT1).insertChip(EepromModel::create(type));
  if (state.range(1) == 0) {
    std::mt19937 g(static_cast<unsigned>(type));
    for (auto& b : puce->memory()) b = static_cast<std::uint8_t>(g());
  }
  PortBackend* avant = InstallerBackend(&sim);
  const std::unique_ptr<Adapter> adaptateur = AdaptateurLPT1();
  Identification id;
  std::uint64_t acces = 0;
  for (auto _ : state) {
    const std::uint64_t debut = sim.accessCount();
    if (IdentifierMemoire(*adaptateur, id).Fin != Deroulement::Termine) state.SkipWithError("port non pris");
    benchmark::DoNotOptimize(id);
    acces = sim.accessCount() - debut;
  }
  std::vector<std::uint8_t> lu(static_cast<std::size_t>(puce->size()));
  const std::uint64_t debut = sim.accessCount();
  LireMemoire({AdresseLPT1, type, puce->size()}, lu.data(), nullptr);
  state.counters["acces"] = static_cast<double>(acces);
  state.counters["acces_lecture"] = static_cast<double>(sim.accessCount() - debut);
  state.SetLabel(std::string(SpecMemoire(type).NomCourt) + (state.range(1) ? " effacée" : " aléatoire"));
  InstallerBackend(avant);
}

BENCHMARK(BM_Plage4K)->Name("Fenetre/Plage4K/24C512")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Identification)
    ->Name("Identification")
    ->ArgsProduct({benchmark::CreateDenseRange(0, NombreTypesMemoire - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FenetreLecture)->Name("Fenetre/Lecture/24C512")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FenetreProgrammation)
    ->Name("Fenetre/Programmation/24C512")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ProcessusLecture)->Name("Processus/Lecture/24C512")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ProcessusProgrammation)
    ->Name("Processus/Programmation/24C512")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ProcessusProgrammationVerifiee)
    ->Name("Processus/ProgrammationVerifiee/24C512")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ProcessusVersion)->Name("Processus/Version")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zorbix

BENCHMARK_MAIN();
