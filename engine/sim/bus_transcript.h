// A decoder of the bus as the adapter's lines carried it: START, repeated
// START, bytes with who acknowledged them, STOP. It is fed the levels the
// adapter computed (SDA after the wired-AND), never what the master meant to
// send, so a test can assert the bytes that were really on the wire.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbix {

struct BusEvent {
  enum class Kind : std::uint8_t { Start, RepeatedStart, Stop, Byte, PartialByte };
  // Who held SDA low on the ninth clock of a byte.
  enum class Ack : std::uint8_t { None, Chip, Master, Both };

  Kind kind;
  std::uint8_t value;   // Byte: the byte; PartialByte: the bits seen, right-aligned
  std::uint8_t bits;    // PartialByte: how many bits came before the START or STOP
  Ack ack;              // Byte only
  std::uint64_t time;   // simulated microseconds
};

class BusTranscript {
 public:
  // One sample of the lines: SCL, SDA on the wire, and which side pulls SDA
  // low (the master through the transistor, the chip through its output).
  void sample(bool scl, bool sda, bool masterLow, bool chipLow, std::uint64_t now);
  // The same events from a master that runs whole bytes itself (the
  // simulated CH341A): nothing to decode, and no byte can be cut short.
  void noteStart(std::uint64_t now) { condition(true, now); }
  void noteStop(std::uint64_t now) { condition(false, now); }
  void noteByte(std::uint8_t value, BusEvent::Ack ack, std::uint64_t now);

  const std::vector<BusEvent>& events() const { return events_; }
  void clear() { events_.clear(); }

  // The events as text, one token each, separated by spaces:
  //   S  start, Sr  repeated start, P  stop,
  //   A0+ byte acknowledged by the chip, 12* by the master, 34- by nobody,
  //   56! by both, ?101 the bits of a byte cut short by a START or STOP.
  std::string text() const;
  // The values of the bytes alone, in order.
  std::vector<std::uint8_t> bytes() const;

 private:
  void condition(bool start, std::uint64_t now);

  std::vector<BusEvent> events_;
  bool scl_ = true;
  bool sda_ = true;
  bool inTransfer_ = false;  // between a START and a STOP
  int bitCount_ = 0;
  std::uint8_t shift_ = 0;
};

}  // namespace zorbix
