#include "autodetection.h"

#include "i2c_bus.h"
#include "lines.h"
#include "port_claim.h"

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

namespace {

bool TesterPort(std::uint16_t base, std::vector<std::string>* refus) {
  PortPris prise(base);
  const bool porte = prise.Pris() && PorteLeProgrammateur(base);
  if (!prise.Rendre() && refus) refus->push_back(prise.Raison());
  return porte;
}

}  // namespace

int DetecterProgrammateur(const PortsSupplementaires& supplementaires, std::vector<std::string>* refus) {
  int trouve = -1;
  for (int i = 0; i < 3; ++i)
    if (TesterPort(AdressesPorts[i], refus)) trouve = i;
  for (std::size_t i = 0; i < supplementaires.size(); ++i)
    if (TesterPort(supplementaires[i].base, refus)) trouve = 3 + static_cast<int>(i);
  return trouve;
}

}  // namespace zorbix
