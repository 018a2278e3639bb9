#include "port_map.h"

#include <utility>

namespace zorbix {

void PortMap::servir(std::uint16_t base, std::unique_ptr<PortBackend> backend) {
  for (Port& port : ports_) {
    if (port.base == base) {
      port.backend = std::move(backend);
      return;
    }
  }
  ports_.push_back({base, std::move(backend)});
}

PortBackend& PortMap::backendPour(std::uint16_t address) {
  for (Port& port : ports_)
    if ((address == port.base || address == port.base + 1) && port.backend) return *port.backend;
  return absent_;
}

}  // namespace zorbix
