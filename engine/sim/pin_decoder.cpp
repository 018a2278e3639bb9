#include "pin_decoder.h"

namespace zorbix {

void PinDecoder::clock(bool scl, bool sda, bool wp, bool powered) {
  if (!chip_) return;
  if (!powered) {
    if (powered_) {
      chip_->powerLost();
      powered_ = false;
      resetBus();
    }
    scl_ = scl;
    sda_ = sda;
    return;
  }
  chip_->setWriteProtect(wp);
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

void PinDecoder::onStart() {
  chip_->start();
  mode_ = Mode::Receiving;
  firstByte_ = true;
  bitCount_ = 0;
  shift_ = 0;
  inAck_ = false;
  driveLow_ = false;
}

void PinDecoder::onStop() {
  // The STOP itself is preceded by one rising edge of SCL, which the shift
  // register took as the first bit of a byte that never came: at most one
  // such bit is the normal end of a byte.
  if (!inAck_ && bitCount_ <= 1)
    chip_->stop();
  else
    chip_->stopInsideByte();
  mode_ = Mode::Idle;
  inAck_ = false;
  driveLow_ = false;
}

void PinDecoder::onRisingEdge(bool sda) {
  if (mode_ == Mode::Idle) return;
  if (inAck_) {
    if (mode_ == Mode::Sending) masterAcked_ = !sda;
    return;
  }
  ++bitCount_;
  if (mode_ == Mode::Sending) return;  // the master samples our bit
  shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
  if (bitCount_ < 8) return;
  chipAcked_ = chip_->writeByte(shift_);
  sendsNext_ = chipAcked_ && firstByte_ && (shift_ & 1);
  firstByte_ = false;
}

void PinDecoder::onFallingEdge() {
  if (mode_ == Mode::Idle) return;
  if (inAck_) {
    endOfAcknowledge();
    return;
  }
  if (bitCount_ == 8) {
    // Ninth clock: the receiver drives the acknowledge.
    inAck_ = true;
    driveLow_ = mode_ == Mode::Receiving && chipAcked_;
    return;
  }
  if (mode_ == Mode::Sending) driveLow_ = !((outByte_ >> (7 - bitCount_)) & 1);
}

void PinDecoder::endOfAcknowledge() {
  inAck_ = false;
  driveLow_ = false;
  bitCount_ = 0;
  shift_ = 0;
  if (mode_ == Mode::Sending) {
    chip_->masterAck(masterAcked_);
    if (!masterAcked_) {
      mode_ = Mode::Idle;  // no acknowledge: the master wants no more
      return;
    }
  } else {
    if (!chipAcked_) {
      mode_ = Mode::Idle;  // not for us, or refused: wait for a START
      return;
    }
    if (!sendsNext_) return;
    mode_ = Mode::Sending;
    masterAcked_ = true;
  }
  outByte_ = chip_->readByte();
  driveLow_ = !(outByte_ & 0x80);
}

void PinDecoder::resetBus() {
  mode_ = Mode::Idle;
  bitCount_ = 0;
  shift_ = 0;
  inAck_ = false;
  chipAcked_ = false;
  driveLow_ = false;
}

}  // namespace zorbix
