// The pins of the chip in the parallel adapter's socket: turns the levels of
// SCL, SDA, pin 7 and the supply into the bus events of an EepromModel, and
// says when the chip pulls SDA low.
//
// It decodes what the chip's I2C interface decodes: START and STOP (SDA
// moving while SCL is high), bits sampled on the rising edge of SCL, the
// acknowledge on the ninth clock, and the direction given by the last bit of
// the first byte after a START. The chip's own output changes only while SCL
// is low: the next bit of a byte it sends, or its acknowledge, after the
// falling edge.
#pragma once

#include <cstdint>

#include "eeprom_model.h"

namespace zorbix {

class PinDecoder {
 public:
  // Decodes for `chip` (nullptr: an empty socket, nothing is decoded), which
  // is unpowered until the first update with the supply on.
  explicit PinDecoder(EepromModel* chip = nullptr) : chip_(chip) {}

  // One update of the pins. SDA is the level on the wire, the chip's own
  // pull-down included.
  void clock(bool scl, bool sda, bool wp, bool powered);
  bool pullsSdaLow() const { return driveLow_; }

 private:
  enum class Mode : std::uint8_t {
    Idle,       // no transaction for this chip: waiting for a START
    Receiving,  // bytes from the master
    Sending,    // bytes from the chip
  };

  void onStart();
  void onStop();
  void onRisingEdge(bool sda);
  void onFallingEdge();
  void endOfAcknowledge();
  void resetBus();

  EepromModel* chip_;

  // Pins as last seen.
  bool scl_ = false;
  bool sda_ = false;
  bool powered_ = false;
  bool driveLow_ = false;

  Mode mode_ = Mode::Idle;
  int bitCount_ = 0;  // bits of the current byte clocked so far
  std::uint8_t shift_ = 0;
  bool inAck_ = false;         // between the 8th and the 9th falling edge
  bool firstByte_ = false;     // the byte being received follows a START
  bool chipAcked_ = false;     // the chip acknowledges the byte just received
  bool sendsNext_ = false;     // that byte was an acknowledged read select
  bool masterAcked_ = true;    // the master's acknowledge of the byte sent
  std::uint8_t outByte_ = 0;   // the byte being sent
};

}  // namespace zorbix
