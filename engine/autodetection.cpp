#include "autodetection.h"

#include "i2c_bus.h"
#include "lines.h"

namespace zorbix {

bool PorteLeProgrammateur(std::uint16_t p) {
  MiseSousTension(p);  // also feeds the pull-up on SDA
  ConditionStop(p);
  SdaLibre(p);
  const int libre = LireSda(p);
  SdaBas(p);
  const int tire = LireSda(p);
  ConditionStop(p);
  MiseHorsTension(p);
  // A port with nothing attached reads 1 both times; only the transistor
  // makes SDA follow D1, inverted.
  return libre == 1 && tire == 0;
}

int DetecterProgrammateur(const PortsSupplementaires& supplementaires) {
  int trouve = -1;
  for (int i = 0; i < 3; ++i)
    if (PorteLeProgrammateur(AdressesPorts[i])) trouve = i;
  for (std::size_t i = 0; i < supplementaires.size(); ++i)
    if (PorteLeProgrammateur(supplementaires[i].base)) trouve = 3 + static_cast<int>(i);
  return trouve;
}

}  // namespace zorbix
