// A serial I2C EEPROM as its data sheet describes it, seen from the bus one
// byte at a time.
//
// Whatever drives it (the pin decoder of the parallel adapter, or an adapter
// that runs I2C transactions itself) tells it of each bus event: a START, a
// byte from the master, which the chip acknowledges or not, a byte the chip
// sends, which the master acknowledges or not, a STOP. The chip knows nothing
// of the program's bus master: it matches its device-select byte, takes one
// or two address bytes, keeps its internal address counter, latches written
// bytes in its page buffer and, at the STOP, writes them in an internal
// write cycle that lasts in simulated time.
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

  // Simulated time in microseconds: the chip reads it from `now`, a counter
  // that its driver advances (the parallel adapter's port access count).
  // nullptr stops the chip's time where it is, as for a chip out of its
  // socket. A new chip's time stands at 0.
  void setClock(const std::uint64_t* now);

  // The bus. A START (or a repeated one) begins a transaction; the first
  // byte after it is the device-select byte.
  void start();
  // A byte from the master; true if the chip acknowledges it.
  bool writeByte(std::uint8_t byte);
  // The next byte the chip sends after an acknowledged read select (0xFF,
  // nothing driven, at any other time). The master then acknowledges it to
  // have the next one, or not to end the read.
  std::uint8_t readByte();
  void masterAck(bool acknowledged);
  // A STOP after a whole byte: the bytes latched since the address are
  // written in a write cycle that starts now.
  void stop();
  // A STOP that cut a byte or its acknowledge short (only a master that
  // drives the lines itself can do that): nothing is written.
  void stopInsideByte();
  // The level of pin 7 (write protect on the 24Cxx), seen at the STOP.
  void setWriteProtect(bool high) { wp_ = high; }

  // The supply or the socket went away: the transaction is lost, and so is
  // a write cycle that had not ended by now. The chip comes back idle.
  void powerLost();

  // True while the internal write cycle runs (the chip ignores its
  // device-select byte then).
  bool busy() const;
  int writeCyclesStarted() const { return writeCyclesStarted_; }

  // Fault switches.
  void setNeverEndsWriteCycle(bool on) { neverEnds_ = on; }
  void setWriteCycleMicroseconds(std::uint32_t us) { writeCycleUs_ = us; }

  static constexpr std::uint32_t DefaultWriteCycleMicroseconds = 5000;

 protected:
  explicit EepromModel(int chipType);

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
    Select,       // expecting the device-select byte
    AddressHigh,  // expecting the high address byte (two-byte types)
    AddressLow,   // expecting the (only or low) address byte
    WriteData,    // latching data bytes into the page buffer
    ReadData,     // sending bytes from the address counter
  };

  bool acceptSelect(std::uint8_t byte);
  void latchData(std::uint8_t byte);
  void startWriteCycle();
  void finishWriteCycleIfDue();
  void dropPageBuffer();
  std::uint64_t now() const { return *clock_; }

  const int chipType_;
  const int pageSize_;
  std::vector<std::uint8_t> memory_;

  Phase phase_ = Phase::Idle;
  bool wp_ = false;
  int counter_ = 0;  // internal address counter
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

  std::uint64_t stoppedTime_ = 0;  // the time while no driver's clock is set
  const std::uint64_t* clock_ = &stoppedTime_;
};

}  // namespace zorbix
