// A PortBackend with simulated adapters on chosen port addresses.
//
// Each adapter answers on its data register (base) and status register
// (base + 1); every other address reads 0xFF and ignores writes, like an
// address with no port. Every access, read or write, counts as one
// microsecond of simulated time: that is the clock of the chips' write
// cycles. The per-access path does no allocation unless recording is on.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/extra_ports.h"
#include "chip_file.h"
#include "engine/port.h"
#include "simulated_adapter.h"

namespace zorbix {

class VcdWriter;

struct PortAccess {
  std::uint16_t address;
  std::uint8_t value;
  bool write;
};

class SimulatedBackend final : public PortBackend {
 public:
  SimulatedBackend();
  ~SimulatedBackend() override;  // closes the trace if one is open
  SimulatedBackend(const SimulatedBackend&) = delete;
  SimulatedBackend& operator=(const SimulatedBackend&) = delete;

  // The adapter on `base` (its data register), created with an empty
  // socket if there is none yet.
  SimulatedAdapter& addAdapter(std::uint16_t base);
  SimulatedAdapter* adapter(std::uint16_t base);

  std::uint8_t read(std::uint16_t address) override;
  void write(std::uint16_t address, std::uint8_t value) override;

  // Port accesses so far, which is also the simulated time in microseconds.
  std::uint64_t accessCount() const { return count_; }

  // The record of every access, off by default.
  void setRecording(bool on) { recording_ = on; }
  const std::vector<PortAccess>& record() const { return record_; }
  void clearRecord() { record_.clear(); }

  // Writes SCL, SDA, WP and the supply of every adapter present now to a VCD
  // file from now on. False if the file cannot be created.
  bool enableTrace(const std::string& path);
  // Ends the trace; false if writing it failed.
  bool closeTrace();

  // One line per adapter for the start-up report, for example
  // "LPT1 (0x378) : adaptateur simulé, 24C16, fichier /tmp/chip.bin".
  std::vector<std::string> describe() const;

  // The adapters at addresses other than the three ports, named "sim0",
  // "sim1", ... in the order they were added: the simulated extra ports.
  PortsSupplementaires extraPorts() const;

  // A virtual chip is its file: prendre locks the file of the chip at `base`
  // (waiting DelaiVerrouPuce at most for another program to let it go) and
  // reads it into the chip; rendre writes the chip back through the safe
  // save if the operation changed it, then unlocks. A chip without a file,
  // an empty socket or an address without an adapter has nothing to take.
  // Nested calls only count. Neither is a port access.
  bool prendre(std::uint16_t base, std::string& raison) override;
  bool rendre(std::uint16_t base, std::string& raison) override;

 private:
  // "LPT1".."LPT3", or the extra port's name.
  std::string portName(std::uint16_t base) const;

  std::uint64_t count_ = 0;
  std::vector<std::unique_ptr<SimulatedAdapter>> adapters_;
  bool recording_ = false;
  std::vector<PortAccess> record_;
  std::unique_ptr<VcdWriter> vcd_;

  // A chip file held by the operation in progress.
  struct Prise {
    int nombre = 0;
    VerrouPuce verrou;
    std::vector<std::uint8_t> lu;  // the contents read at prendre
  };
  std::map<std::uint16_t, Prise> prises_;
};

}  // namespace zorbix
