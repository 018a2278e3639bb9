// The grid side of the Buffer's display on a 24C512: the bulk refresh of
// 135,168 cells followed by one repaint, and scrolling the 4,097 rows by
// pages with a repaint each. Runs on Qt's offscreen platform.
#include <QApplication>
#include <QFont>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

#include "editor/buffer.h"
#include "editor/grid_layout.h"
#include "editor/grid_refresh.h"
#include "editor/random_generator.h"
#include "editor/string_grid.h"

namespace zorbix {
namespace {

// The grid as the main window sets it up, shown, with random content.
struct GrilleAffichee {
  StringGrid grid;
  std::unique_ptr<Buffer> buffer = std::make_unique<Buffer>();

  GrilleAffichee() {
    grid.resize(601, 310);
    QFont police("Courier New");
    police.setPixelSize(13);
    police.setBold(true);
    grid.setFont(police);
    grid.setColWidth(0, 36);
    grid.setColWidth(1, 12);
    grid.setColWidth(18, 12);
    for (int c = PremiereColonneCaracteres; c <= DerniereColonneCaracteres; ++c) grid.setColWidth(c, 10);
    GenerateurAleatoire g;
    g.Initialiser(1);
    for (auto& octet : *buffer) octet = static_cast<std::uint8_t>(g.Suivant());
    grid.show();
    QApplication::processEvents();
  }
};

void BM_RafraichissementGrille24C512(benchmark::State& state) {
  GrilleAffichee g;
  int positions = 0;
  for (auto _ : state) {
    RemplirGrille(g.grid, *g.buffer, TailleBuffer, [&positions](int) { ++positions; });
    g.grid.repaint();
  }
  benchmark::DoNotOptimize(positions);
  state.counters["cellules"] = 2 * TailleBuffer + TailleBuffer / OctetsParLigne;
}
BENCHMARK(BM_RafraichissementGrille24C512)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One page down per iteration, wrapping to the top at the end.
void BM_DefilementParPage24C512(benchmark::State& state) {
  GrilleAffichee g;
  RemplirGrille(g.grid, *g.buffer, TailleBuffer, nullptr);
  QScrollBar* barre = g.grid.verticalScrollBar();
  for (auto _ : state) {
    const int suivante = barre->value() + barre->pageStep();
    barre->setValue(suivante > barre->maximum() ? 0 : suivante);
    g.grid.repaint();
  }
}
BENCHMARK(BM_DefilementParPage24C512)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorbix

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
