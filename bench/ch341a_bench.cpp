// The CH341A's whole-chip transfers for every chip type, through the
// simulated device: a read, and programming by pages followed by its
// verification (the read-back compare every CH341A programming run gets).
//
// Ch341a/<transfer>/<type>/<kHz> runs once and reports:
//   out, in        USB transfers, OUT streams and IN answers;
//   scrut_cycle    acknowledge polls per write cycle;
//   modele_ms      the modelled time: the bus bits at the chosen speed, one
//                  millisecond per OUT stream (a USB round trip), the
//                  chip's write cycles running meanwhile;
//   bus_cycles_ms  the time the bus and the chip alone need: the same bus
//                  bits plus 5 ms per write cycle, no USB at all;
//   rapport        modele_ms / bus_cycles_ms (the aim: below 2 for the
//                  24C512 programmed and verified at 400 kHz);
//   fixe_ms        programming and verification as tools that wait a fixed
//                  10 ms after each 16-byte chunk would take: one round trip
//                  and 10 ms per chunk, plus the same bus bits and read.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "engine/chips.h"
#include "engine/sim/ch341a_device.h"
#include "engine/sim/ch341a_transport_sim.h"
#include "engine/sim/eeprom_model.h"
#include "engine/usb/ch341a_chip.h"

namespace zorbix {
namespace {

constexpr double CycleEcritureMs = EepromModel::DefaultWriteCycleMicroseconds / 1000.0;
constexpr int OctetsParMorceauFixe = 16;
constexpr double AttenteFixeMs = 10;

VitesseBus VitesseDe(long kHz) { return kHz >= 400 ? VitesseBus::K400 : VitesseBus::K100; }

struct Banc {
  Banc(int type, long kHz)
      : modele(EepromModel::create(type)),
        device(modele.get()),
        usb(device),
        puce(usb, type, SpecMemoire(type).Taille, {VitesseDe(kHz), 0}, usb.horloge()) {}

  std::unique_ptr<EepromModel> modele;
  Ch341aDevice device;
  TransportSimule usb;
  PuceCh341a puce;
};

std::vector<std::uint8_t> Image(int n) {
  std::mt19937 g(5);
  std::vector<std::uint8_t> image(static_cast<std::size_t>(n));
  for (auto& b : image) b = static_cast<std::uint8_t>(g());
  return image;
}

void Compter(benchmark::State& state, const Banc& b, double busCyclesMs, double fixeMs) {
  const double modeleMs = static_cast<double>(b.device.maintenantUs()) / 1000.0;
  state.counters["out"] = static_cast<double>(b.device.transfertsSortie());
  state.counters["in"] = static_cast<double>(b.device.transfertsEntree());
  state.counters["modele_ms"] = modeleMs;
  state.counters["bus_cycles_ms"] = busCyclesMs;
  state.counters["rapport"] = modeleMs / busCyclesMs;
  if (fixeMs > 0) state.counters["fixe_ms"] = fixeMs;
  if (b.puce.cyclesEcriture() > 0)
    state.counters["scrut_cycle"] = static_cast<double>(b.puce.scrutations()) / b.puce.cyclesEcriture();
}

void Lecture(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Banc b(type, state.range(1));
    std::vector<std::uint8_t> lu(static_cast<std::size_t>(SpecMemoire(type).Taille));
    if (b.puce.lireMemoire(lu.data(), nullptr) != EtatLecture::Lue) state.SkipWithError("lecture refusée");
    state.PauseTiming();
    Compter(state, b, static_cast<double>(b.device.tempsBusUs()) / 1000.0, 0);
    state.ResumeTiming();
  }
}

void ProgrammationVerification(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0)), n = SpecMemoire(type).Taille;
  const std::vector<std::uint8_t> image = Image(n);
  for (auto _ : state) {
    Banc b(type, state.range(1));
    const ResultatEcritureCh341a r = b.puce.programmerMemoireEntiere(image.data(), true, nullptr);
    const double busProgrammationMs = static_cast<double>(b.device.tempsBusUs()) / 1000.0;
    std::vector<std::uint8_t> zone(static_cast<std::size_t>(n));
    const ResultatComparaisonCh341a c = b.puce.comparerMemoire(image.data(), zone.data(), nullptr);
    if (r.Code != WriteResult::EcritureReussie || c.Comparaison.Differences != 0) state.SkipWithError("échec");
    state.PauseTiming();
    const double busMs = static_cast<double>(b.device.tempsBusUs()) / 1000.0;
    const double busCyclesMs = busMs + CycleEcritureMs * static_cast<double>(b.puce.cyclesEcriture());
    const double morceaux = (n + OctetsParMorceauFixe - 1) / OctetsParMorceauFixe;
    // The same verification: its bus bits, its address stream and one stream per 32 bytes.
    const double verificationMs = busMs - busProgrammationMs + 1 + (n + ch341a::MaxLecture - 1) / ch341a::MaxLecture;
    Compter(state, b, busCyclesMs, morceaux * (1 + AttenteFixeMs) + busProgrammationMs + verificationMs);
    state.ResumeTiming();
  }
}

void TousLesTypes(benchmark::internal::Benchmark* b) {
  for (int type = 0; type < NombreTypesMemoire; ++type)
    for (long kHz : {100L, 400L}) b->Args({type, kHz});
  b->ArgNames({"type", "kHz"})->Iterations(1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(Lecture)->Apply(TousLesTypes);
BENCHMARK(ProgrammationVerification)->Apply(TousLesTypes);

}  // namespace
}  // namespace zorbix

BENCHMARK_MAIN();
