// A serial I2C EEPROM as its data sheet describes it, seen from its pins.
//
// The model is clocked with the levels of SCL, SDA, pin 7 and the supply each
// time one of them may have changed, and answers whether it pulls SDA low.
// It knows nothing of the program's bus master: it decodes START and STOP,
// samples bits on the rising edge of SCL, changes its own output only while
// SCL is low, acknowledges on the ninth clock, and runs the internal write
// cycle in simulated time.
//
// What differs between the families (how the device-select byte is matched,
// how many address bytes follow, whether pin 7 protects the array) lives in
// the subclasses of chip_models.h; EepromModel::create builds the right one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace zorbix {

class EepromModel {
 public:
  // The model of catalogue type `chipType` (0..11, engine/chips.h), erased
  // (all 0xFF); nullptr for any other index.
  static std::unique_ptr<EepromModel> create(int chipType);

  virtual ~EepromModel() = default;
  EepromModel(const EepromModel&) = delete;
  EepromModel& operator=(const EepromModel&) = delete;

  int chipType() const { return chipType_; }
  const char* name() const;  // the catalogue's short name, "24C16"
  int size() const { return static_cast<int>(memory_.size()); }
  int pageSize() const { return pageSize_; }

  // The array. A write cycle that has ended by now is in it.
  std::vector<std::uint8_t>& memory();

  // One update of the pins at simulated time `now` (microseconds). SDA is
  // the level on the wire, the chip's own pull-down included.
  void clock(bool scl, bool sda, bool wp, bool powered, std::uint64_t now);
  bool pullsSdaLow() const { return driveLow_; }

  // The supply or the socket went away at `now`: the bus state is lost, and
  // so is a write cycle that had not ended by then.
  void powerLost(std::uint64_t now);

  // Where `now` comes from for the queries below when no pin moves: the
  // adapter points it at its port access counter.
  void setClock(const std::uint64_t* now) { clock_ = now; }

  // True while the internal write cycle runs (the chip ignores its
  // device-select byte then).
  bool busy() const;
  int writeCyclesStarted() const { return writeCyclesStarted_; }

  // Fault switches.
  void setNeverEndsWriteCycle(bool on) { neverEnds_ = on; }
  void setWriteCycleMicroseconds(std::uint32_t us) { writeCycleUs_ = us; }

  static constexpr std::uint32_t DefaultWriteCycleMicroseconds = 5000;

 protected:
  EepromModel(int chipType, int size, int pageSize);

  // Bits 3..1 of a device-select byte whose high nibble is 1010: does this
  // chip answer to them? The adapter ties A2, A1, A0 to ground.
  virtual bool answersTo(int selectBits) const = 0;
  // The address bits above the address byte carried by those bits (24C04,
  // 24C08, 24C16), already shifted to their place; 0 for the others.
  virtual int blockAddress(int /*selectBits*/) const { return 0; }
  virtual int addressBytes() const { return 1; }
  // Whether pin 7 high inhibits writing.
  virtual bool hasWriteProtect() const { return true; }

 private:
  enum class Phase : std::uint8_t {
    Idle,         // waiting for a START (or ignoring the bus until one)
    Select,       // receiving the device-select byte
    AddressHigh,  // receiving the high address byte (two-byte types)
    AddressLow,   // receiving the (only or low) address byte
    WriteData,    // receiving data bytes into the page buffer
    ReadData,     // sending bytes from the address counter
  };

  void onStart();
  void onStop();
  void onRisingEdge(bool sda);
  void onFallingEdge();
  void endOfAcknowledge();
  void receivedByte(std::uint8_t byte);
  void acceptSelect(std::uint8_t byte);
  void latchData(std::uint8_t byte);
  void loadNextReadByte();
  void startWriteCycle(bool wp);
  void finishWriteCycleIfDue(std::uint64_t now);
  void dropPageBuffer();
  void resetBus();
  std::uint64_t now() const { return clock_ ? *clock_ : lastNow_; }

  const int chipType_;
  const int pageSize_;
  std::vector<std::uint8_t> memory_;

  // Pins as last seen.
  bool scl_ = false;
  bool sda_ = false;
  bool wp_ = false;
  bool powered_ = false;
  bool driveLow_ = false;

  // Bus state.
  Phase phase_ = Phase::Idle;
  int bitCount_ = 0;       // bits of the current byte sampled so far
  std::uint8_t shift_ = 0;
  bool inAck_ = false;     // between the 8th and the 9th falling edge
  bool acking_ = false;    // this chip drives the ack of the current byte
  bool masterAcked_ = true;
  Phase nextPhase_ = Phase::Idle;  // where the byte being acknowledged leads
  std::uint8_t outByte_ = 0;
  int counter_ = 0;        // internal address counter
  int pendingAddress_ = 0;

  // Page buffer: bytes latched since the address, by offset in the page.
  std::vector<std::uint8_t> pageData_;
  std::vector<bool> pageDirty_;
  int pageBase_ = 0;
  int latched_ = 0;

  // Internal write cycle.
  bool writing_ = false;
  std::uint64_t writeEnds_ = 0;
  std::uint32_t writeCycleUs_ = DefaultWriteCycleMicroseconds;
  bool neverEnds_ = false;
  int writeCyclesStarted_ = 0;

  const std::uint64_t* clock_ = nullptr;
  std::uint64_t lastNow_ = 0;
};

}  // namespace zorbix
