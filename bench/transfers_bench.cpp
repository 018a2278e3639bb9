// The whole-chip transfers for every chip type: read, page programming,
// byte-by-byte programming where the type offers it, and compare.
//
// Simule/<transfer>/<type> runs against the simulated chip, once:
//   acces      port accesses of the transfer, which is also the simulated bus
//              time in microseconds;
//   attendu    the count that follows from the bus algorithms (the run is
//              marked as an error when the two differ);
//   scrut      acknowledge polls per write transaction, seen and foreseen;
//   bus_ms     simulated bus time at 1 us per port access;
//   i2c400_ms  what a 400 kHz bus needs for the same transfer: 9 clocks of
//              2.5 us per byte, one clock per START or STOP, and the chip's
//              write cycle after each write transaction.
// Maitre/<transfer>/<type> runs the same transfer on a port that only keeps
// its data register and acknowledges everything: its time per access
// (s_par_acces) is what the master itself costs around each port access, the
// trivial port included, so on real hardware the port alone sets the pace.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "engine/parallel_adapter.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"
#include "engine/transfers.h"

namespace zorbix {
namespace {

constexpr std::uint16_t kBase = AdresseLPT1;

enum class Transfert { Lecture, Pages, Octets, Comparaison };
const char* const NomsTransferts[] = {"Lecture", "Pages", "Octets", "Comparaison"};

// Port accesses of the bus steps (a line operation is one read and one write
// of the data register, an SDA read one status read).
constexpr long Alimentation = 2000 + 1, Pin7 = 2, Start = 10, Stop = 6, Envoi = 125;
constexpr long ReceptionAcquittee = 56, ReceptionFinale = 54, Scrutation = Start + Envoi + Stop;
constexpr double CycleEcritureUs = EepromModel::DefaultWriteCycleMicroseconds;

// After the STOP at access t, poll j starts at t + 1 + 141 j; the chip judges
// its device-select byte on the eighth rising clock edge, 115 accesses into
// the poll, and acknowledges once the write cycle has run its 5000 us.
constexpr long ScrutationsParEcriture() {
  long j = 0;
  while (1 + Scrutation * j + 115 < EepromModel::DefaultWriteCycleMicroseconds) ++j;
  return j + 1;
}

struct Forme {
  long ecritures;  // write transactions (0 for a read or a compare)
  long octetsParEcriture;
};

Forme FormeDe(Transfert t, int type) {
  const int n = SpecMemoire(type).Taille, k = OctetsAdresse(type), p = TaillePage(n);
  if (t == Transfert::Pages) return {n / p, 1 + k + p};
  if (t == Transfert::Octets) return {n, 2 + k};
  return {0, 0};
}

long AccesAttendus(Transfert t, int type, long scrutations) {
  const int n = SpecMemoire(type).Taille, k = OctetsAdresse(type);
  if (t == Transfert::Lecture || t == Transfert::Comparaison)
    return Alimentation + Start + Envoi * (1 + k) + Start + Envoi + ReceptionAcquittee * (n - 1L) +
           ReceptionFinale + Stop;
  const Forme f = FormeDe(t, type);
  return Alimentation + f.ecritures * (Pin7 + Start + Envoi * f.octetsParEcriture + Stop) + Scrutation * scrutations;
}

double MicrosecondesA400kHz(Transfert t, int type) {
  const int n = SpecMemoire(type).Taille, k = OctetsAdresse(type);
  constexpr double Horloge = 2.5;
  if (t == Transfert::Lecture || t == Transfert::Comparaison) return (9.0 * (2 + k + n) + 3) * Horloge;
  const Forme f = FormeDe(t, type);
  return f.ecritures * ((9.0 * f.octetsParEcriture + 2) * Horloge + CycleEcritureUs);
}

// Through the adapter seam, as both front ends run them.
int Executer(Transfert t, int type, std::vector<std::uint8_t>& image, std::uint8_t* zone) {
  AdaptateurParallele adaptateur(IdentiteDuPort(kBase, {}));
  const Puce puce{type, SpecMemoire(type).Taille};
  switch (t) {
    case Transfert::Lecture:
      return adaptateur.Lire(puce, image.data(), nullptr).Acquittee ? 0 : 1;
    case Transfert::Pages:
      return static_cast<int>(adaptateur.ProgrammerTout(puce, image.data(), true, nullptr).Resultat);
    case Transfert::Octets:
      return static_cast<int>(adaptateur.ProgrammerTout(puce, image.data(), false, nullptr).Resultat);
    case Transfert::Comparaison:
      return adaptateur.Comparer(puce, image.data(), zone, nullptr).Resultat.Acquittee ? 0 : 1;
  }
  return 1;
}

// Counts the status reads on the way to the real backend: one per byte sent,
// so the polls of a programming run are what is left after its bytes.
class CompteurStatut final : public PortBackend {
 public:
  explicit CompteurStatut(PortBackend& port) : port_(port) {}
  std::uint8_t read(std::uint16_t a) override {
    if (a == kBase + 1) ++lectures;
    return port_.read(a);
  }
  void write(std::uint16_t a, std::uint8_t v) override { port_.write(a, v); }
  long lectures = 0;

 private:
  PortBackend& port_;
};

// A port that costs next to nothing: the data register reads back, the
// status register reads 0 (SDA low: every byte and every poll acknowledged).
class PortMinimal final : public PortBackend {
 public:
  std::uint8_t read(std::uint16_t a) override {
    ++acces;
    return a == kBase ? donnees_ : 0x00;
  }
  void write(std::uint16_t a, std::uint8_t v) override {
    ++acces;
    if (a == kBase) donnees_ = v;
  }
  long acces = 0;

 private:
  std::uint8_t donnees_ = 0;
};

std::vector<std::uint8_t> Aleatoires(int n) {
  std::mt19937 g(1);
  std::vector<std::uint8_t> o(static_cast<std::size_t>(n));
  for (auto& b : o) b = static_cast<std::uint8_t>(g());
  return o;
}

void Simule(benchmark::State& state, Transfert t, int type) {
  const int n = SpecMemoire(type).Taille;
  SimulatedBackend sim;
  SimulatedAdapter& adaptateur = sim.addAdapter(kBase);
  adaptateur.setTranscribing(false);
  adaptateur.insertChip(EepromModel::create(type))->memory() = Aleatoires(n);
  CompteurStatut compteur(sim);
  PortBackend* precedent = InstallerBackend(&compteur);
  std::vector<std::uint8_t> image = Aleatoires(n);
  ZoneTravail zone = AllouerSansException(static_cast<std::size_t>(n));
  long acces = 0, scrutations = 0;
  for (auto _ : state) {
    const std::uint64_t avant = sim.accessCount();
    compteur.lectures = 0;
    if (Executer(t, type, image, zone.get()) != 0) state.SkipWithError("transfert en échec");
    acces = static_cast<long>(sim.accessCount() - avant);
    const Forme f = FormeDe(t, type);
    scrutations = compteur.lectures - f.ecritures * (f.octetsParEcriture);
    if (t != Transfert::Pages && t != Transfert::Octets) scrutations = 0;
  }
  InstallerBackend(precedent);
  const long attendu = AccesAttendus(t, type, scrutations);
  const Forme f = FormeDe(t, type);
  if (acces != attendu) state.SkipWithError("nombre d'accès différent de l'attendu");
  if (f.ecritures > 0 && scrutations != f.ecritures * ScrutationsParEcriture())
    state.SkipWithError("nombre de scrutations différent de l'attendu");
  state.counters["acces"] = static_cast<double>(acces);
  state.counters["attendu"] = static_cast<double>(attendu);
  state.counters["scrut"] = f.ecritures > 0 ? static_cast<double>(scrutations) / f.ecritures : 0.0;
  state.counters["bus_ms"] = acces / 1000.0;
  state.counters["i2c400_ms"] = MicrosecondesA400kHz(t, type) / 1000.0;
}

void Maitre(benchmark::State& state, Transfert t, int type) {
  const int n = SpecMemoire(type).Taille;
  PortMinimal port;
  PortBackend* precedent = InstallerBackend(&port);
  std::vector<std::uint8_t> image = Aleatoires(n);
  ZoneTravail zone = AllouerSansException(static_cast<std::size_t>(n));
  for (auto _ : state) {
    Executer(t, type, image, zone.get());
    benchmark::DoNotOptimize(image.data());
  }
  InstallerBackend(precedent);
  // Seconds per access, printed with its SI prefix ("2.5n" is 2.5 ns).
  state.counters["s_par_acces"] =
      benchmark::Counter(static_cast<double>(port.acces), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Enregistrer() {
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    for (Transfert t : {Transfert::Lecture, Transfert::Pages, Transfert::Octets, Transfert::Comparaison}) {
      if (t == Transfert::Octets && !OctetParOctetPropose(type)) continue;
      const std::string nom =
          std::string(NomsTransferts[static_cast<int>(t)]) + "/" + SpecMemoire(type).NomCourt;
      benchmark::RegisterBenchmark(("Simule/" + nom).c_str(), Simule, t, type)
          ->Iterations(1)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Maitre/" + nom).c_str(), Maitre, t, type)->Unit(benchmark::kMillisecond);
    }
  }
}

}  // namespace
}  // namespace zorbix

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zorbix::Enregistrer();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
