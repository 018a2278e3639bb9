#include "eeprom_model.h"

#include "engine/chips.h"

namespace zorbix {

EepromModel::EepromModel(int chipType, int size, int pageSize)
    : chipType_(chipType),
      pageSize_(pageSize),
      memory_(static_cast<std::size_t>(size), 0xFF),
      pageData_(static_cast<std::size_t>(pageSize), 0xFF),
      pageDirty_(static_cast<std::size_t>(pageSize), false) {}

const char* EepromModel::name() const { return SpecMemoire(chipType_).NomCourt; }

std::vector<std::uint8_t>& EepromModel::memory() {
  finishWriteCycleIfDue(now());
  return memory_;
}

bool EepromModel::busy() const { return writing_ && (neverEnds_ || now() < writeEnds_); }

void EepromModel::clock(bool scl, bool sda, bool wp, bool powered, std::uint64_t now) {
  lastNow_ = now;
  finishWriteCycleIfDue(now);
  if (!powered) {
    if (powered_) powerLost(now);
    scl_ = scl;
    sda_ = sda;
    return;
  }
  wp_ = wp;
  if (!powered_) {
    // Power-on reset: the chip wakes up idle, waiting for a START.
    powered_ = true;
    resetBus();
    scl_ = scl;
    sda_ = sda;
    return;
  }
  if (scl_ && scl) {
    // SDA moving while SCL stays high is a bus condition, never data.
    if (sda != sda_) {
      sda_ = sda;
      if (sda)
        onStop();
      else
        onStart();
    }
    return;
  }
  const bool rising = !scl_ && scl;
  const bool falling = scl_ && !scl;
  scl_ = scl;
  sda_ = sda;
  if (rising)
    onRisingEdge(sda);
  else if (falling)
    onFallingEdge();
}

void EepromModel::powerLost(std::uint64_t now) {
  finishWriteCycleIfDue(now);
  writing_ = false;  // a cycle still running is lost with the supply
  powered_ = false;
  resetBus();
}

void EepromModel::onStart() {
  // A write becomes a write only at its STOP: after a (repeated) START the
  // latched bytes are never written, but the address counter stays set
  // (random read).
  phase_ = Phase::Select;
  bitCount_ = 0;
  shift_ = 0;
  inAck_ = false;
  driveLow_ = false;
}

void EepromModel::onStop() {
  // The STOP itself is preceded by one rising edge of SCL, which the shift
  // register took as the first bit of a byte that never came: at most one
  // such bit is the normal end of a byte. A STOP further into a byte aborts.
  if (phase_ == Phase::WriteData && latched_ > 0 && !inAck_ && bitCount_ <= 1)
    startWriteCycle(wp_);
  phase_ = Phase::Idle;
  inAck_ = false;
  driveLow_ = false;
}

void EepromModel::onRisingEdge(bool sda) {
  if (phase_ == Phase::Idle) return;
  if (inAck_) {
    if (phase_ == Phase::ReadData) masterAcked_ = !sda;
    return;
  }
  ++bitCount_;
  if (phase_ == Phase::ReadData) return;  // the master samples our bit
  shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
  if (bitCount_ == 8) receivedByte(shift_);
}

void EepromModel::onFallingEdge() {
  if (phase_ == Phase::Idle) return;
  if (inAck_) {
    endOfAcknowledge();
    return;
  }
  if (bitCount_ == 8) {
    // Ninth clock: the receiver drives the acknowledge.
    inAck_ = true;
    driveLow_ = phase_ != Phase::ReadData && acking_;
    return;
  }
  if (phase_ == Phase::ReadData) driveLow_ = !((outByte_ >> (7 - bitCount_)) & 1);
}

void EepromModel::endOfAcknowledge() {
  inAck_ = false;
  driveLow_ = false;
  bitCount_ = 0;
  shift_ = 0;
  if (phase_ == Phase::ReadData) {
    if (!masterAcked_) {
      phase_ = Phase::Idle;  // no acknowledge: the master wants no more
      return;
    }
  } else {
    if (!acking_) {
      phase_ = Phase::Idle;  // not for us, or refused: wait for a START
      return;
    }
    phase_ = nextPhase_;
    if (phase_ != Phase::ReadData) return;
  }
  loadNextReadByte();
  driveLow_ = !(outByte_ & 0x80);
}

void EepromModel::receivedByte(std::uint8_t byte) {
  switch (phase_) {
    case Phase::Select:
      acceptSelect(byte);
      return;
    case Phase::AddressHigh:
      pendingAddress_ = byte << 8;
      nextPhase_ = Phase::AddressLow;
      break;
    case Phase::AddressLow:
      // Address bits above the capacity are not decoded. A new write starts
      // with an empty page buffer.
      counter_ = (pendingAddress_ | byte) & (size() - 1);
      dropPageBuffer();
      pageBase_ = counter_ & ~(pageSize_ - 1);
      nextPhase_ = Phase::WriteData;
      break;
    case Phase::WriteData:
      latchData(byte);
      nextPhase_ = Phase::WriteData;
      break;
    case Phase::Idle:
    case Phase::ReadData:
      return;
  }
  acking_ = true;
}

void EepromModel::acceptSelect(std::uint8_t byte) {
  const int bits = (byte >> 1) & 7;
  acking_ = (byte >> 4) == 0xA && answersTo(bits) && !writing_;
  if (!acking_) return;
  if (byte & 1) {
    // Current address read: the block bits of a read select are not
    // decoded; the address comes from the counter.
    nextPhase_ = Phase::ReadData;
    masterAcked_ = true;
  } else {
    pendingAddress_ = blockAddress(bits);
    nextPhase_ = addressBytes() == 2 ? Phase::AddressHigh : Phase::AddressLow;
  }
}

void EepromModel::latchData(std::uint8_t byte) {
  // Bytes beyond the page wrap to its start and overwrite what came first.
  const int offset = counter_ & (pageSize_ - 1);
  pageData_[static_cast<std::size_t>(offset)] = byte;
  pageDirty_[static_cast<std::size_t>(offset)] = true;
  ++latched_;
  counter_ = pageBase_ | ((offset + 1) & (pageSize_ - 1));
}

void EepromModel::loadNextReadByte() {
  outByte_ = memory_[static_cast<std::size_t>(counter_)];
  counter_ = (counter_ + 1) & (size() - 1);  // wraps at the chip's own capacity
}

void EepromModel::startWriteCycle(bool wp) {
  if (hasWriteProtect() && wp) return;  // acknowledged, but the array is protected
  writing_ = true;
  writeEnds_ = lastNow_ + writeCycleUs_;
  ++writeCyclesStarted_;
}

void EepromModel::finishWriteCycleIfDue(std::uint64_t now) {
  if (!writing_ || neverEnds_ || now < writeEnds_) return;
  for (int i = 0; i < pageSize_; ++i)
    if (pageDirty_[static_cast<std::size_t>(i)])
      memory_[static_cast<std::size_t>(pageBase_ + i)] = pageData_[static_cast<std::size_t>(i)];
  writing_ = false;
  dropPageBuffer();
}

void EepromModel::dropPageBuffer() {
  pageDirty_.assign(pageDirty_.size(), false);
  latched_ = 0;
}

void EepromModel::resetBus() {
  phase_ = Phase::Idle;
  bitCount_ = 0;
  shift_ = 0;
  inAck_ = false;
  acking_ = false;
  driveLow_ = false;
}

}  // namespace zorbix
