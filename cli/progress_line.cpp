#include "cli/progress_line.h"

namespace zorbix {
namespace {

std::string Duree(double secondes) {
  const long s = static_cast<long>(secondes + 0.5);
  char texte[32];
  std::snprintf(texte, sizeof texte, "%ld:%02ld", s / 60, s % 60);
  return texte;
}

}  // namespace

LigneProgression::LigneProgression(std::FILE* sortie, bool active, std::string operation, int total)
    : sortie_(sortie), active_(active), operation_(std::move(operation)), total_(total) {}

LigneProgression::~LigneProgression() {
  if (ecrite_) std::fputc('\n', sortie_);
}

void LigneProgression::Position(int position) {
  if (!active_ || total_ <= 0) return;
  const double ecoule = std::chrono::duration<double>(std::chrono::steady_clock::now() - debut_).count();
  const std::string restant = position > 0 ? Duree(ecoule * (total_ - position) / position) : "?";
  // The trailing blanks wipe what a longer previous line left.
  std::fprintf(sortie_, "\r%s : %3d %%  %d / %d octets  écoulé %s  restant %s   ", operation_.c_str(),
               static_cast<int>(100LL * position / total_), position, total_, Duree(ecoule).c_str(),
               restant.c_str());
  std::fflush(sortie_);
  ecrite_ = true;
}

}  // namespace zorbix
