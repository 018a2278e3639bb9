// How fast a port access may be before the bit-banged bus breaks the I2C
// timing: a write transaction, its acknowledge polling and a read, run on
// the simulator with the timing monitor, one benchmark per operation. Its
// counters are the shortest time per access (ns) at which the operation
// still meets standard mode (100 kHz) and fast mode (400 kHz); the label
// names the interval that sets each. The access sequences are the program's
// own: nothing here changes them.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/i2c_bus.h"
#include "engine/lines.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"
#include "engine/sim/timing_monitor.h"

namespace zorbix {
namespace {

constexpr std::uint16_t kBase = AdresseLPT1;

// A page write of four bytes with its polls, then a random read of four
// bytes, on a 24C16: every operation of the transfers, with the bytes
// (0x00, 0xFF, 0x55, 0xAA) that give both levels on every bit boundary.
TimingMonitor Mesurer() {
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(kBase);
  adaptateur.insertChip(EepromModel::create(6));
  adaptateur.setTranscribing(false);
  TimingMonitor monitor;
  adaptateur.attachTimingMonitor(&monitor);
  PortBackend* precedent = InstallerBackend(&sim);
  const auto operation = [&monitor](const char* nom) { monitor.setOperation(nom); };

  MiseSousTension(kBase);
  WpMasse(kBase);
  operation("start");
  ConditionStart(kBase);
  operation("envoi");
  for (std::uint8_t octet : {0xA0, 0x10, 0x00, 0xFF, 0x55, 0xAA}) EnvoyerOctet(kBase, octet);
  operation("stop");
  ConditionStop(kBase);
  operation("scrutation");
  AttendreFinEcriture(kBase);
  operation("start");
  ConditionStart(kBase);
  operation("envoi");
  EnvoyerOctet(kBase, 0xA0);
  EnvoyerOctet(kBase, 0x10);
  operation("start");
  ConditionStart(kBase);
  operation("envoi");
  EnvoyerOctet(kBase, 0xA1);
  operation("réception");
  for (int i = 0; i < 3; ++i) RecevoirOctet(kBase, Acquittement::Avec);
  RecevoirOctet(kBase, Acquittement::Sans);
  operation("stop");
  ConditionStop(kBase);
  MiseHorsTension(kBase);
  InstallerBackend(precedent);
  return monitor;
}

void BM_TempsParAccesMinimal(benchmark::State& state, const std::string& operation) {
  TimingMonitor monitor;
  for (auto _ : state) {
    monitor = Mesurer();
    benchmark::DoNotOptimize(monitor);
  }
  const TimingMonitor::Shortest& plusCourts = monitor.shortest().at(operation);
  I2cInterval limiteStandard{}, limiteRapide{};
  state.counters["ns_100kHz"] = TimingMonitor::ShortestAccessNs(plusCourts, StandardMode, &limiteStandard);
  state.counters["ns_400kHz"] = TimingMonitor::ShortestAccessNs(plusCourts, FastMode, &limiteRapide);
  std::string label = std::string("100 kHz : ") + I2cIntervalName(limiteStandard) + ", 400 kHz : " +
                      I2cIntervalName(limiteRapide) + " ; accès :";
  for (int i = 0; i < I2cIntervalCount; ++i)
    if (plusCourts[i] != TimingMonitor::NotSeen)
      label += std::string(" ") + I2cIntervalName(static_cast<I2cInterval>(i)) + "=" + std::to_string(plusCourts[i]);
  state.SetLabel(label);
}
BENCHMARK_CAPTURE(BM_TempsParAccesMinimal, envoi, std::string("envoi"));
BENCHMARK_CAPTURE(BM_TempsParAccesMinimal, reception, std::string("réception"));
BENCHMARK_CAPTURE(BM_TempsParAccesMinimal, start, std::string("start"));
BENCHMARK_CAPTURE(BM_TempsParAccesMinimal, stop, std::string("stop"));
BENCHMARK_CAPTURE(BM_TempsParAccesMinimal, scrutation, std::string("scrutation"));

}  // namespace
}  // namespace zorbix

BENCHMARK_MAIN();
