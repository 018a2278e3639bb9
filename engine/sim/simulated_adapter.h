// The passive adapter on one parallel port, with its 8-pin socket.
//
// Each write of the data register sets the lines: SCL follows D0; SDA is the
// wired-AND of the transistor (D1 = 1 pulls it low), the chip's own output
// and the 4.7 kOhm pull-up, which pulls high only while the chip supply is on
// (D4..D7 all 1); pin 7 is high unless D2 = 0 grounds it through the diode,
// and only while powered. The status register shows SDA on bit 6 (the
// Acknowledge input); its other bits are a constant of the port. The chip in
// the socket sees its pins through a PinDecoder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bus_transcript.h"
#include "eeprom_model.h"
#include "pin_decoder.h"

namespace zorbix {

class TimingMonitor;
class VcdWriter;

enum class StuckLine : std::uint8_t { None, Low, High };

class SimulatedAdapter {
 public:
  // `clock` is the backend's port access counter, the simulated time.
  SimulatedAdapter(std::uint16_t base, const std::uint64_t* clock);
  ~SimulatedAdapter();
  SimulatedAdapter(const SimulatedAdapter&) = delete;
  SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

  std::uint16_t base() const { return base_; }

  // The socket. insertChip replaces whatever was in it (nullptr leaves it
  // empty) and returns the chip now inserted.
  EepromModel* insertChip(std::unique_ptr<EepromModel> chip);
  std::unique_ptr<EepromModel> takeChip();
  EepromModel* chip() const { return chip_.get(); }
  // The chip that removeChipAfter took out of the socket, kept for tests.
  EepromModel* removedChip() const { return removed_.get(); }

  // Register accesses at simulated time `now`, as the backend forwards them.
  void writeData(std::uint8_t value, std::uint64_t now);
  std::uint8_t readData(std::uint64_t now);
  std::uint8_t readStatus(std::uint64_t now);

  // Line levels as they are now.
  bool scl() const { return scl_; }
  bool sda() const { return sda_; }
  bool wp() const { return wp_; }
  bool powered() const { return powered_; }
  bool chipPullsSdaLow() const { return pins_.pullsSdaLow(); }

  // Fault switches; each takes effect at once.
  void removeChipAfter(std::uint64_t accesses);  // counted from now, all ports
  void setStuckSda(StuckLine stuck);
  void setStuckScl(StuckLine stuck);
  // No adapter on the port: the status register reads 0xFF, the data
  // register still reads back, no chip sees anything.
  void setNothingAttached(bool on);
  // The data register reads `stuckValue` on the bits of `stuckMask` instead
  // of what was written (0xFF, 0xFF: always 0xFF). The lines still follow
  // what was written.
  void setDataReadback(std::uint8_t stuckMask, std::uint8_t stuckValue);
  // Status bits other than bit 6. Default 0x3F: Error, Selected and Paper
  // Error open (read 1 through the port's pull-ups), Busy open (reads 0,
  // the port inverts it), bits 0..2 unused and read 1.
  void setStatusOtherBits(std::uint8_t bits) { statusOther_ = bits & ~0x40; }

  // Decoded bus events since the last clear; on unless switched off (a
  // long benchmark may not want the memory it takes).
  const BusTranscript& transcript() const { return transcript_; }
  void clearTranscript() { transcript_.clear(); }
  void setTranscribing(bool on) { transcribing_ = on; }

  // The file the virtual chip's contents come from and go back to.
  void setBackingFile(const std::string& path) { backingFile_ = path; }
  const std::string& backingFile() const { return backingFile_; }
  // A remark for the start-up report (for example a file of the wrong size).
  void setNote(const std::string& note) { note_ = note; }
  const std::string& note() const { return note_; }

  // Trace output: four wires scl, sda, wp, vcc from `firstWire` on.
  void attachTrace(VcdWriter* vcd, int firstWire);
  // Every change of the lines also goes to `monitor` (nullptr: none).
  void attachTimingMonitor(TimingMonitor* monitor) { monitor_ = monitor; }

  static constexpr std::uint8_t DefaultStatusOtherBits = 0x3F;

 private:
  void checkRemoval(std::uint64_t now) {
    if (now >= removeAt_) removeChipNow();
  }
  void removeChipNow();
  void refresh(std::uint64_t now);
  bool wireSda(bool chipLow) const;
  void observe(bool chipLow, std::uint64_t now);

  const std::uint16_t base_;
  const std::uint64_t* clock_;
  std::unique_ptr<EepromModel> chip_;
  PinDecoder pins_;  // the pins of chip_
  std::unique_ptr<EepromModel> removed_;

  std::uint8_t data_ = 0;
  std::uint8_t applied_ = 0;  // the data value the lines were last set from
  std::uint8_t statusOther_ = DefaultStatusOtherBits;
  std::uint8_t readbackMask_ = 0;
  std::uint8_t readbackValue_ = 0;

  bool scl_ = false;
  bool sda_ = false;
  bool wp_ = false;
  bool powered_ = false;
  bool masterLow_ = false;

  StuckLine stuckSda_ = StuckLine::None;
  StuckLine stuckScl_ = StuckLine::None;
  bool nothingAttached_ = false;
  std::uint64_t removeAt_ = UINT64_MAX;

  BusTranscript transcript_;
  bool transcribing_ = true;

  VcdWriter* vcd_ = nullptr;
  TimingMonitor* monitor_ = nullptr;
  int firstWire_ = 0;
  bool traced_[4] = {};
  bool tracedOnce_ = false;

  std::string backingFile_;
  std::string note_;
};

}  // namespace zorbix
