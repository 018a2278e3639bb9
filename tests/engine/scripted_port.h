// A port for testing the master on its own: the data register reads back
// what was written, the status register answers from a script, and every
// access is logged. No chip model: what the master does is all that shows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/port.h"

namespace zorbix::test {

struct Access {
  std::uint16_t address;
  std::uint8_t value;
  bool write;
};

class ScriptedPort final : public PortBackend {
 public:
  explicit ScriptedPort(std::uint16_t base = AdresseLPT1, std::uint8_t data = 0xF5)
      : base_(base), data_(data) {}

  // Status byte for the n-th status read (counted from 0).
  std::function<std::uint8_t(int)> status = [](int) { return std::uint8_t{0x00}; };
  std::vector<Access> log;

  std::uint8_t read(std::uint16_t address) override {
    std::uint8_t v = 0xFF;
    if (address == base_) v = data_;
    if (address == base_ + 1) v = status(statusReads_++);
    log.push_back({address, v, false});
    return v;
  }
  void write(std::uint16_t address, std::uint8_t value) override {
    if (address == base_) data_ = value;
    log.push_back({address, value, true});
  }

  std::uint8_t data() const { return data_; }
  int statusReads() const { return statusReads_; }
  std::vector<std::uint8_t> writes() const {
    std::vector<std::uint8_t> w;
    for (const Access& a : log)
      if (a.write) w.push_back(a.value);
    return w;
  }

 private:
  std::uint16_t base_;
  std::uint8_t data_;
  int statusReads_ = 0;
};

// Installs a backend for the lifetime of a test.
class Installed {
 public:
  explicit Installed(PortBackend& b) : previous_(InstallerBackend(&b)) {}
  ~Installed() { InstallerBackend(previous_); }
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

 private:
  PortBackend* previous_;
};

// What the master put on the wire, decoded from its own data register writes
// (SCL = D0, SDA low while D1 is set): starts, stops and the 8 data bits of
// each byte. The ninth clock of each byte is skipped, so `bytes` holds the
// bytes as the master sent or clocked them.
struct MasterWire {
  int starts = 0;
  int stops = 0;
  std::vector<std::uint8_t> bytes;
};

inline MasterWire DecodeMaster(const std::vector<std::uint8_t>& writes, std::uint8_t initial) {
  MasterWire w;
  bool scl = initial & 0x01, sda = !(initial & 0x02);
  int bits = 0, value = 0;
  for (std::uint8_t v : writes) {
    const bool nscl = v & 0x01, nsda = !(v & 0x02);
    if (scl && nscl && sda && !nsda) {  // start: counting restarts
      ++w.starts;
      bits = value = 0;
    } else if (scl && nscl && !sda && nsda) {
      ++w.stops;
      bits = value = 0;
    } else if (!scl && nscl) {  // rising edge: a bit
      if (bits < 8) value = (value << 1) | (nsda ? 1 : 0);
      if (++bits == 8) w.bytes.push_back(static_cast<std::uint8_t>(value));
      if (bits == 9) bits = value = 0;
    }
    scl = nscl;
    sda = nsda;
  }
  return w;
}

}  // namespace zorbix::test
