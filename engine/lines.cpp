#include "lines.h"

namespace zorbix {

void MiseSousTension(std::uint16_t portBase) {
  for (int i = 0; i < EcrituresMiseSousTension; ++i) EcrirePort(portBase, ValeurSousTension);
}

void MiseHorsTension(std::uint16_t portBase) { EcrirePort(portBase, ValeurHorsTension); }

}  // namespace zorbix
