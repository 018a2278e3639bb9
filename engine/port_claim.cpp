#include "port_claim.h"

#include "port.h"

namespace zorbix {

PortPris::PortPris(std::uint16_t base) : base_(base), raison_(), pris_(BackendInstalle().prendre(base, raison_)) {}

PortPris::~PortPris() {
  if (pris_) Rendre();
}

bool PortPris::Rendre() {
  if (!pris_) return raison_.empty();
  pris_ = false;
  return BackendInstalle().rendre(base_, raison_);
}

}  // namespace zorbix
