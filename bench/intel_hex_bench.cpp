// Intel HEX write and read of a whole 24C512 (64 KiB), and the same two
// conversions done by srecord's srec_cat for comparison. srec_cat runs as a
// process per conversion, as a user would run it; its counter "ratio" is its
// time divided by ours for the same conversion.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "files/intel_hex.h"

extern char** environ;

namespace {

constexpr std::size_t Taille24C512 = 65536;

// A scratch directory with a 24C512 image as .bin and as our .hex.
struct Fichiers {
  Fichiers() {
    char modele[] = "/tmp/zorbix-hex-bench-XXXXXX";
    repertoire = mkdtemp(modele);
    image.resize(Taille24C512);
    std::uint32_t x = 12345;
    for (auto& o : image) o = static_cast<std::uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
    std::ofstream(Chemin("image.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    zorbix::EcrireFichierHexa(Taille24C512, 16, Chemin("image.hex"), image.data());
  }
  ~Fichiers() {
    for (const char* nom : {"image.bin", "image.hex", "nous.hex", "lui.hex", "lui.bin"})
      std::remove(Chemin(nom).c_str());
    rmdir(repertoire.c_str());
  }
  std::string Chemin(const char* nom) const { return repertoire + "/" + nom; }

  std::string repertoire;
  std::vector<std::uint8_t> image;
};

const Fichiers& LesFichiers() {
  static const Fichiers fichiers;
  return fichiers;
}

void Ecrire() {
  const Fichiers& f = LesFichiers();
  if (!zorbix::EcrireFichierHexa(Taille24C512, 16, f.Chemin("nous.hex"), f.image.data())) std::abort();
}

void Lire() {
  static std::vector<std::uint8_t> buffer(Taille24C512);
  const auto r = zorbix::LireFichierHexa(LesFichiers().Chemin("image.hex"), buffer.data(), buffer.size());
  if (r.Code != zorbix::CodeHexa::Succes) std::abort();
}

// Mean wall time of `operation` in seconds, for the ratio counters.
template <typename Operation>
double TempsMoyen(Operation operation) {
  constexpr int essais = 50;
  const auto debut = std::chrono::steady_clock::now();
  for (int i = 0; i < essais; ++i) operation();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() / essais;
}

bool SrecCat(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "srec_cat");
  std::vector<char*> argv;
  for (auto& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "srec_cat", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int etat = 0;
  return waitpid(pid, &etat, 0) == pid && WIFEXITED(etat) && WEXITSTATUS(etat) == 0;
}

void BM_FormaterHexa24C512(benchmark::State& state) {
  const Fichiers& f = LesFichiers();
  for (auto _ : state) benchmark::DoNotOptimize(zorbix::FormaterHexa(Taille24C512, 16, f.image.data()));
}
BENCHMARK(BM_FormaterHexa24C512)->Unit(benchmark::kMillisecond);

// The whole save: text, temporary file, fsync, rename.
void BM_EcrireFichierHexa24C512(benchmark::State& state) {
  for (auto _ : state) Ecrire();
}
BENCHMARK(BM_EcrireFichierHexa24C512)->Unit(benchmark::kMillisecond);

void BM_LireFichierHexa24C512(benchmark::State& state) {
  for (auto _ : state) Lire();
}
BENCHMARK(BM_LireFichierHexa24C512)->Unit(benchmark::kMillisecond);

// Runs one srec_cat conversion per iteration and sets the ratio to `nous`.
void MesurerSrecCat(benchmark::State& state, const std::vector<std::string>& arguments, double nous) {
  const auto debut = std::chrono::steady_clock::now();
  for (auto _ : state)
    if (!SrecCat(arguments)) {
      state.SkipWithError("srec_cat failed or is not installed");
      return;
    }
  const double lui = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count() /
                     static_cast<double>(state.iterations());
  state.counters["ratio"] = lui / nous;
}

void BM_SrecCatBinVersHexa24C512(benchmark::State& state) {
  const Fichiers& f = LesFichiers();
  MesurerSrecCat(state,
                 {f.Chemin("image.bin"), "-binary", "-o", f.Chemin("lui.hex"), "-intel",
                  "-address-length=2", "-obs=16"},
                 TempsMoyen(Ecrire));
}
BENCHMARK(BM_SrecCatBinVersHexa24C512)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SrecCatHexaVersBin24C512(benchmark::State& state) {
  const Fichiers& f = LesFichiers();
  MesurerSrecCat(state, {f.Chemin("image.hex"), "-intel", "-o", f.Chemin("lui.bin"), "-binary"},
                 TempsMoyen(Lire));
}
BENCHMARK(BM_SrecCatHexaVersBin24C512)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
