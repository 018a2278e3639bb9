// Start-up to the first painted main window, on the offscreen platform: the
// window built (its FormCreate with the first refresh of the grid), shown
// and painted.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_backend.h"
#include "dialogs/dialogs_qt.h"
#include "shell/main_window.h"

namespace zorbix {
namespace {

void BM_DemarrageJusquAuPremierAffichage(benchmark::State& state) {
  SimulatedBackend sim;
  sim.addAdapter(AdresseLPT1).insertChip(EepromModel::create(6));
  PortBackend* precedent = InstallerBackend(&sim);
  DialoguesQt dialogues;
  for (auto _ : state) {
    EtatProgramme etat;
    TForm1 fenetre(etat, dialogues, EnvironnementFenetre{});
    fenetre.show();
    fenetre.repaint();
    QApplication::processEvents();
  }
  InstallerBackend(precedent);
}
BENCHMARK(BM_DemarrageJusquAuPremierAffichage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zorbix

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
