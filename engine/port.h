// The two primitives that touch the parallel port, and the seam behind them.
//
// LirePort and EcrirePort are the only functions in the program that reach the
// hardware. They forward to one installed PortBackend, chosen once at start-up
// (real port through ppdev or direct I/O, an absent port, or the simulator).
#pragma once

#include <cstdint>
#include <string>

namespace zorbix {

// Data register addresses of the three ports; the status register is at +1
// and the control register (+2) is never read or written.
constexpr std::uint16_t AdresseLPT1 = 0x378;
constexpr std::uint16_t AdresseLPT2 = 0x278;
constexpr std::uint16_t AdresseLPT3 = 0x3BC;
constexpr std::uint16_t AdressesPorts[3] = {AdresseLPT1, AdresseLPT2, AdresseLPT3};

// One byte-wide read or write on an I/O address. Implementations must be
// cheap: the bus is clocked by calling them millions of times.
class PortBackend {
 public:
  virtual ~PortBackend() = default;
  virtual std::uint8_t read(std::uint16_t address) = 0;
  virtual void write(std::uint16_t address, std::uint8_t value) = 0;

  // An operation takes the port at `base` before its first access and gives
  // it back after its last, so that nothing is held between operations (the
  // ppdev claim, a virtual chip's file lock). prendre never waits without
  // bound: false, with the French reason in `raison`, when the port cannot be
  // had (held by another program, ...); the operation then accesses nothing.
  // rendre is called once for every prendre that succeeded; false, with the
  // reason, when what the operation did cannot be kept (a virtual chip that
  // cannot be written back). A port with nothing to take accepts both.
  virtual bool prendre(std::uint16_t base, std::string& raison) {
    (void)base, (void)raison;
    return true;
  }
  virtual bool rendre(std::uint16_t base, std::string& raison) {
    (void)base, (void)raison;
    return true;
  }
};

// An address with no port behind it: reads give 0xFF, writes are lost. It
// serves every address until a backend is installed.
class AbsentBackend final : public PortBackend {
 public:
  std::uint8_t read(std::uint16_t) override { return 0xFF; }
  void write(std::uint16_t, std::uint8_t) override {}
};

namespace detail {
extern PortBackend* g_backend;
}

// Installs `backend` (not owned; must outlive its use) and returns the one it
// replaces. nullptr installs the absent port.
PortBackend* InstallerBackend(PortBackend* backend);
PortBackend& BackendInstalle();

inline std::uint8_t LirePort(std::uint16_t address) {
  return detail::g_backend->read(address);
}

inline void EcrirePort(std::uint16_t address, std::uint8_t value) {
  detail::g_backend->write(address, value);
}

}  // namespace zorbix
