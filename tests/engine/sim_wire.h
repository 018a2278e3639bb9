// A deliberately plain bus driver for the simulator's own tests: whole
// register writes (no read-modify-write), one port access per line change.
// It is written from the I2C timing rules, not from the program's master, so
// the simulator is checked against the protocol and not against our code.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/port.h"

namespace zorbix::simtest {

class Wire {
 public:
  explicit Wire(std::uint16_t base, bool wpHigh = false) : base_(base), wp_(wpHigh) {}

  void powerUp() {
    powered_ = true;
    set(true, true);
  }
  void powerDown() {
    powered_ = false;
    set(false, false);
  }
  void setWp(bool high) {
    wp_ = high;
    apply();
  }

  void start() {
    set(scl_, true);
    set(true, true);
    set(true, false);
    set(false, false);
  }
  void stop() {
    set(false, false);
    set(true, false);
    set(true, true);
  }
  // Sends MSB first; true if SDA was low on the ninth clock.
  bool send(std::uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) clockBit((byte >> bit) & 1);
    set(false, true);
    set(true, true);
    const bool ack = !sda();
    set(false, true);
    return ack;
  }
  std::uint8_t receive(bool ack) {
    std::uint8_t value = 0;
    set(false, true);
    for (int bit = 7; bit >= 0; --bit) {
      set(true, true);
      value = static_cast<std::uint8_t>(value | (sda() << bit));
      set(false, true);
    }
    clockBit(!ack);
    set(false, true);
    return value;
  }
  // A full write transaction; false at the first byte not acknowledged.
  bool write(const std::vector<std::uint8_t>& bytes) {
    start();
    bool ok = true;
    for (std::uint8_t b : bytes)
      if (ok) ok = send(b);
    stop();
    return ok;
  }
  // Sends `prefix` (select, address) then a repeated start, `select` and
  // reads `count` bytes, the last one without acknowledge.
  std::vector<std::uint8_t> read(const std::vector<std::uint8_t>& prefix, std::uint8_t select,
                                 int count) {
    std::vector<std::uint8_t> out;
    start();
    for (std::uint8_t b : prefix) send(b);
    if (!prefix.empty()) start();
    send(select);
    for (int i = 0; i < count; ++i) out.push_back(receive(i + 1 < count));
    stop();
    return out;
  }
  // Polls with `select` until acknowledged; the number of polls, or -1.
  int poll(std::uint8_t select, int maxPolls) {
    for (int i = 1; i <= maxPolls; ++i)
      if (write({select})) return i;
    return -1;
  }
  bool sda() const { return (LirePort(static_cast<std::uint16_t>(base_ + 1)) >> 6) & 1; }

  // Drives SCL and SDA (released or pulled low) with one register write.
  void set(bool scl, bool sdaReleased) {
    scl_ = scl;
    sdaReleased_ = sdaReleased;
    apply();
  }

 private:
  void clockBit(bool one) {
    set(false, one);
    set(true, one);
    set(false, one);
  }
  void apply() {
    std::uint8_t v = powered_ ? 0xF0 : 0x00;
    if (scl_) v |= 0x01;
    if (!sdaReleased_) v |= 0x02;
    if (wp_) v |= 0x04;
    EcrirePort(base_, v);
  }

  std::uint16_t base_;
  bool wp_;
  bool powered_ = true;
  bool scl_ = false;
  bool sdaReleased_ = true;
};

}  // namespace zorbix::simtest
