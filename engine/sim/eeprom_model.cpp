#include "eeprom_model.h"

#include "engine/chips.h"

namespace zorbix {

EepromModel::EepromModel(int chipType)
    : chipType_(chipType),
      pageSize_(SpecMemoire(chipType).TamponPage),
      memory_(static_cast<std::size_t>(SpecMemoire(chipType).Taille), 0xFF),
      pageData_(static_cast<std::size_t>(pageSize_), 0xFF),
      pageDirty_(static_cast<std::size_t>(pageSize_), false) {}

const char* EepromModel::name() const { return SpecMemoire(chipType_).NomCourt; }

std::vector<std::uint8_t>& EepromModel::memory() {
  finishWriteCycleIfDue();
  return memory_;
}

void EepromModel::setClock(const std::uint64_t* now) {
  stoppedTime_ = *clock_;
  clock_ = now ? now : &stoppedTime_;
}

bool EepromModel::busy() const { return writing_ && (neverEnds_ || now() < writeEnds_); }

void EepromModel::start() {
  // A write becomes a write only at its STOP: after a repeated START the
  // latched bytes are never written, but the address counter stays set
  // (random read).
  phase_ = Phase::Select;
}

bool EepromModel::writeByte(std::uint8_t byte) {
  switch (phase_) {
    case Phase::Select:
      return acceptSelect(byte);
    case Phase::AddressHigh:
      pendingAddress_ = byte << 8;
      phase_ = Phase::AddressLow;
      return true;
    case Phase::AddressLow:
      // Address bits above the capacity are not decoded. A new write starts
      // with an empty page buffer.
      counter_ = (pendingAddress_ | byte) & (size() - 1);
      dropPageBuffer();
      pageBase_ = counter_ & ~(pageSize_ - 1);
      phase_ = Phase::WriteData;
      return true;
    case Phase::WriteData:
      latchData(byte);
      return true;
    case Phase::Idle:
    case Phase::ReadData:
      break;
  }
  return false;
}

bool EepromModel::acceptSelect(std::uint8_t byte) {
  finishWriteCycleIfDue();
  const int bits = (byte >> 1) & 7;
  if ((byte >> 4) != 0xA || !answersTo(bits) || writing_) {
    phase_ = Phase::Idle;  // not for us, or busy: wait for the next START
    return false;
  }
  if (byte & 1) {
    // Current address read: the block bits of a read select are not
    // decoded; the address comes from the counter.
    phase_ = Phase::ReadData;
  } else {
    pendingAddress_ = blockAddress(bits);
    phase_ = addressBytes() == 2 ? Phase::AddressHigh : Phase::AddressLow;
  }
  return true;
}

void EepromModel::latchData(std::uint8_t byte) {
  // Bytes beyond the page wrap to its start and overwrite what came first.
  const int offset = counter_ & (pageSize_ - 1);
  pageData_[static_cast<std::size_t>(offset)] = byte;
  pageDirty_[static_cast<std::size_t>(offset)] = true;
  ++latched_;
  counter_ = pageBase_ | ((offset + 1) & (pageSize_ - 1));
}

std::uint8_t EepromModel::readByte() {
  if (phase_ != Phase::ReadData) return 0xFF;
  const std::uint8_t byte = memory_[static_cast<std::size_t>(counter_)];
  counter_ = (counter_ + 1) & (size() - 1);  // wraps at the chip's own capacity
  return byte;
}

void EepromModel::masterAck(bool acknowledged) {
  if (phase_ == Phase::ReadData && !acknowledged) phase_ = Phase::Idle;  // the master wants no more
}

void EepromModel::stop() {
  if (phase_ == Phase::WriteData && latched_ > 0) startWriteCycle();
  phase_ = Phase::Idle;
}

void EepromModel::stopInsideByte() { phase_ = Phase::Idle; }

void EepromModel::powerLost() {
  finishWriteCycleIfDue();
  writing_ = false;  // a cycle still running is lost with the supply
  phase_ = Phase::Idle;
}

void EepromModel::startWriteCycle() {
  if (hasWriteProtect() && wp_) return;  // acknowledged, but the array is protected
  writing_ = true;
  writeEnds_ = now() + writeCycleUs_;
  ++writeCyclesStarted_;
}

void EepromModel::finishWriteCycleIfDue() {
  if (!writing_ || neverEnds_ || now() < writeEnds_) return;
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

}  // namespace zorbix
