// Simulated port accesses per second through LirePort / EcrirePort, and the
// port accesses of the bus master's byte and page operations per chip type.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/chips.h"
#include "engine/i2c_bus.h"
#include "engine/lines.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"

namespace zorbix {
namespace {

constexpr std::uint16_t kBase = AdresseLPT1;

struct Banc {
  explicit Banc(int chipType) {
    sim.addAdapter(kBase).insertChip(EepromModel::create(chipType));
    precedent = InstallerBackend(&sim);
    MiseSousTension(kBase);
  }
  ~Banc() { InstallerBackend(precedent); }
  SimulatedBackend sim;
  PortBackend* precedent;
};

// Clocks SCL up and down with read-modify-writes, as the line operations do:
// the chip sees every edge.
void BM_AccesPort(benchmark::State& state) {
  Banc banc(6);
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      SclHaut(kBase);
      SclBas(kBase);
    }
    benchmark::DoNotOptimize(LireSda(kBase));
  }
  state.SetItemsProcessed(state.iterations() * 4001);
  state.SetLabel("accès au port");
}
BENCHMARK(BM_AccesPort);

void BM_EnvoyerOctet(benchmark::State& state) {
  Banc banc(6);
  for (auto _ : state) {
    const auto avant = banc.sim.accessCount();
    ConditionStart(kBase);
    benchmark::DoNotOptimize(EnvoyerOctet(kBase, 0xA0));
    ConditionStop(kBase);
    state.counters["acces"] = static_cast<double>(banc.sim.accessCount() - avant - 16);
  }
}
BENCHMARK(BM_EnvoyerOctet);

void BM_RecevoirOctet(benchmark::State& state) {
  Banc banc(6);
  for (auto _ : state) {
    const auto avant = banc.sim.accessCount();
    benchmark::DoNotOptimize(RecevoirOctet(kBase, Acquittement::Sans));
    state.counters["acces"] = static_cast<double>(banc.sim.accessCount() - avant);
  }
}
BENCHMARK(BM_RecevoirOctet);

// One page of the catalogue's size at address 0, write cycle and polling
// included: the accesses are the simulated bus time in microseconds.
void BM_ProgrammerPage(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  const ChipSpec& s = SpecMemoire(type);
  Banc banc(type);
  std::vector<std::uint8_t> page(s.TaillePage, 0x55);
  for (auto _ : state) {
    const auto avant = banc.sim.accessCount();
    const WriteResult code = ProgrammerPage({kBase, type, s.Taille}, 0, page.data(), s.TaillePage);
    if (code != WriteResult::EcritureReussie) state.SkipWithError("page refusée");
    state.counters["acces"] = static_cast<double>(banc.sim.accessCount() - avant);
  }
  state.SetLabel(s.NomCourt);
}
BENCHMARK(BM_ProgrammerPage)->DenseRange(0, NombreTypesMemoire - 1);

}  // namespace
}  // namespace zorbix

BENCHMARK_MAIN();
