// The /dev/i2c-N adapter's whole-chip transfers for every chip type, through
// the simulated bus (the very ioctls the kernel gets), on both paths: plain
// I2C messages and SMBus transactions only.
//
// I2c/<transfer>/<type>/<kHz>/<smbus> runs once and reports:
//   ioctls         the calls into the bus, polls included;
//   scrut          acknowledge polls, all write cycles together;
//   modele_ms      the modelled time: the bus bits at the chosen clock, 20 us
//                  per ioctl (its trip through the kernel), the chip's write
//                  cycles (5 ms) running meanwhile and ended by polling;
//   eeprog_ms      programming and verification as a tool that writes one
//                  byte at a time and sleeps 5 ms after each would take: per
//                  byte, one ioctl with the address and the byte, then the
//                  sleep; plus the same read-back.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "engine/chips.h"
#include "engine/i2c/i2c_chip.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_i2c_bus.h"

namespace zorbix {
namespace {

constexpr double SommeilEeprogMs = 5;
constexpr double CoutIoctlMs = 0.020;

struct Banc {
  Banc(int type, long kHz, bool smbus)
      : puce(EepromModel::create(type)),
        bus("/dev/i2c-1", Parametres(kHz, smbus), puce.get()),
        dev("/dev/i2c-1", bus.Appels()),
        memoire(dev, {type, SpecMemoire(type).Taille, 0}, [this] { return bus.Microsecondes(); }) {}
  static ParametresBusSimule Parametres(long kHz, bool smbus) {
    ParametresBusSimule p;
    p.kHz = static_cast<int>(kHz);
    p.smbusSeulement = smbus;
    return p;
  }
  double Ms() const { return static_cast<double>(bus.Microsecondes()) / 1000.0; }

  std::unique_ptr<EepromModel> puce;
  BusI2cSimule bus;
  BusI2cDev dev;
  MemoireSurBus memoire;
};

std::vector<std::uint8_t> Image(int n) {
  std::mt19937 g(5);
  std::vector<std::uint8_t> image(static_cast<std::size_t>(n));
  for (auto& b : image) b = static_cast<std::uint8_t>(g());
  return image;
}

void Compter(benchmark::State& state, const Banc& b) {
  state.counters["ioctls"] = static_cast<double>(b.bus.Ioctls());
  state.counters["scrut"] = static_cast<double>(b.memoire.Scrutations());
  state.counters["modele_ms"] = b.Ms();
}

void Lecture(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Banc b(type, state.range(1), state.range(2) != 0);
    std::vector<std::uint8_t> lu(static_cast<std::size_t>(SpecMemoire(type).Taille));
    if (b.memoire.Lire(lu.data(), {}).code != WriteResult::EcritureReussie) state.SkipWithError("lecture refusée");
    state.PauseTiming();
    Compter(state, b);
    state.ResumeTiming();
  }
}

void ProgrammationVerification(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0)), n = SpecMemoire(type).Taille;
  const long kHz = state.range(1);
  const std::vector<std::uint8_t> image = Image(n);
  for (auto _ : state) {
    Banc b(type, kHz, state.range(2) != 0);
    const ResultatBus r = b.memoire.Programmer(image.data(), {});
    const double programmationMs = b.Ms();
    std::vector<std::uint8_t> lu(static_cast<std::size_t>(n));
    const ResultatBus l = b.memoire.Lire(lu.data(), {});
    if (r.code != WriteResult::EcritureReussie || l.code != WriteResult::EcritureReussie || lu != image)
      state.SkipWithError("échec");
    state.PauseTiming();
    Compter(state, b);
    // One byte write: a start, the select, the address bytes, the byte, a stop.
    const double bitsOctet = 9.0 * (2 + OctetsAdresse(type)) + 2;
    const double eeprogMs = n * (SommeilEeprogMs + CoutIoctlMs + bitsOctet / static_cast<double>(kHz));
    state.counters["eeprog_ms"] = eeprogMs + (b.Ms() - programmationMs);
    state.ResumeTiming();
  }
}

void TousLesTypes(benchmark::internal::Benchmark* b) {
  for (int type = 0; type < NombreTypesMemoire; ++type)
    for (long kHz : {100L, 400L})
      for (long smbus : {0L, 1L}) b->Args({type, kHz, smbus});
  b->ArgNames({"type", "kHz", "smbus"})->Iterations(1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(Lecture)->Apply(TousLesTypes);
BENCHMARK(ProgrammationVerification)->Apply(TousLesTypes);

}  // namespace
}  // namespace zorbix

BENCHMARK_MAIN();
