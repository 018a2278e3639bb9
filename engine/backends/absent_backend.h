// An address with no port behind it: reads give 0xFF, writes are lost.
#pragma once

#include "../port.h"

namespace zorbix {

class AbsentBackend final : public PortBackend {
 public:
  std::uint8_t read(std::uint16_t) override { return 0xFF; }
  void write(std::uint16_t, std::uint8_t) override {}
};

}  // namespace zorbix
