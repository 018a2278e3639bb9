// The backend installed for real hardware: each of the three ports is served
// by its own backend, every other address by the absent port.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../port.h"

namespace zorbix {

class PortMap final : public PortBackend {
 public:
  // `backend` serves the data register `base` and the status register
  // `base + 1` from now on, replacing the one that served them. PortMap owns it.
  void servir(std::uint16_t base, std::unique_ptr<PortBackend> backend);

  std::uint8_t read(std::uint16_t address) override { return backendPour(address).read(address); }
  void write(std::uint16_t address, std::uint8_t value) override {
    backendPour(address).write(address, value);
  }
  // The backend serving `base` takes or gives back its port; the absent port
  // has nothing to take.
  bool prendre(std::uint16_t base, std::string& raison) override { return backendPour(base).prendre(base, raison); }
  bool rendre(std::uint16_t base, std::string& raison) override { return backendPour(base).rendre(base, raison); }

 private:
  struct Port {
    std::uint16_t base;
    std::unique_ptr<PortBackend> backend;
  };

  PortBackend& backendPour(std::uint16_t address);

  std::vector<Port> ports_;
  AbsentBackend absent_;
};

}  // namespace zorbix
