#include "simulated_adapter.h"

#include "engine/lines.h"
#include "timing_monitor.h"
#include "vcd_writer.h"

namespace zorbix {
namespace {

// Data register bits that reach the adapter; D3 is not connected.
constexpr std::uint8_t kWiredBits = BitScl | BitSdaBas | BitPin7 | BitsAlimentation;

}  // namespace

SimulatedAdapter::SimulatedAdapter(std::uint16_t base, const std::uint64_t* clock)
    : base_(base), clock_(clock) {}

SimulatedAdapter::~SimulatedAdapter() = default;

EepromModel* SimulatedAdapter::insertChip(std::unique_ptr<EepromModel> chip) {
  if (chip_) chip_->powerLost();
  chip_ = std::move(chip);
  pins_ = PinDecoder(chip_.get());
  if (chip_) chip_->setClock(clock_);
  refresh(*clock_);
  return chip_.get();
}

std::unique_ptr<EepromModel> SimulatedAdapter::takeChip() {
  std::unique_ptr<EepromModel> chip = std::move(chip_);
  pins_ = PinDecoder();
  if (chip) {
    chip->powerLost();
    chip->setClock(nullptr);
  }
  refresh(*clock_);
  return chip;
}

void SimulatedAdapter::writeData(std::uint8_t value, std::uint64_t now) {
  checkRemoval(now);
  data_ = value;
  // Most writes of a bit-banged bus repeat the lines as they are.
  if (((value ^ applied_) & kWiredBits) == 0) return;
  refresh(now);
}

std::uint8_t SimulatedAdapter::readData(std::uint64_t now) {
  checkRemoval(now);
  return static_cast<std::uint8_t>((data_ & ~readbackMask_) | (readbackValue_ & readbackMask_));
}

std::uint8_t SimulatedAdapter::readStatus(std::uint64_t now) {
  checkRemoval(now);
  if (nothingAttached_) return 0xFF;
  return static_cast<std::uint8_t>(statusOther_ | (sda_ ? BitAcknowledge : 0));
}

void SimulatedAdapter::removeChipAfter(std::uint64_t accesses) {
  removeAt_ = *clock_ + accesses;
  checkRemoval(*clock_);
}

void SimulatedAdapter::removeChipNow() {
  const std::uint64_t when = removeAt_;
  removeAt_ = UINT64_MAX;
  if (!chip_) return;
  chip_->powerLost();
  chip_->setClock(nullptr);
  removed_ = std::move(chip_);
  pins_ = PinDecoder();
  refresh(when);
}

void SimulatedAdapter::setStuckSda(StuckLine stuck) {
  stuckSda_ = stuck;
  refresh(*clock_);
}

void SimulatedAdapter::setStuckScl(StuckLine stuck) {
  stuckScl_ = stuck;
  refresh(*clock_);
}

void SimulatedAdapter::setNothingAttached(bool on) {
  nothingAttached_ = on;
  refresh(*clock_);
}

void SimulatedAdapter::setDataReadback(std::uint8_t stuckMask, std::uint8_t stuckValue) {
  readbackMask_ = stuckMask;
  readbackValue_ = stuckValue;
}

bool SimulatedAdapter::wireSda(bool chipLow) const {
  if (stuckSda_ != StuckLine::None) return stuckSda_ == StuckLine::High;
  return powered_ && !masterLow_ && !chipLow;
}

void SimulatedAdapter::refresh(std::uint64_t now) {
  applied_ = data_;
  const bool attached = !nothingAttached_;
  powered_ = attached && (data_ & BitsAlimentation) == BitsAlimentation;
  scl_ = stuckScl_ == StuckLine::None ? attached && (data_ & BitScl) : stuckScl_ == StuckLine::High;
  masterLow_ = attached && (data_ & BitSdaBas);
  wp_ = powered_ && (data_ & BitPin7);

  const bool chipLowBefore = pins_.pullsSdaLow();
  sda_ = wireSda(chipLowBefore);
  pins_.clock(scl_, sda_, wp_, powered_);
  observe(chipLowBefore, now);

  // The chip changes its output only after SCL fell; the wire follows.
  const bool chipLowAfter = pins_.pullsSdaLow();
  if (chipLowAfter != chipLowBefore) {
    sda_ = wireSda(chipLowAfter);
    observe(chipLowAfter, now);
  }
}

void SimulatedAdapter::observe(bool chipLow, std::uint64_t now) {
  if (transcribing_) transcript_.sample(scl_, sda_, masterLow_, chipLow, now);
  if (monitor_) monitor_->sample(scl_, sda_, powered_, now);
  if (!vcd_) return;
  const bool levels[4] = {scl_, sda_, wp_, powered_};
  for (int i = 0; i < 4; ++i) {
    if (tracedOnce_ && traced_[i] == levels[i]) continue;
    traced_[i] = levels[i];
    vcd_->change(firstWire_ + i, levels[i], now);
  }
  tracedOnce_ = true;
}

void SimulatedAdapter::attachTrace(VcdWriter* vcd, int firstWire) {
  vcd_ = vcd;
  firstWire_ = firstWire;
  tracedOnce_ = false;
  if (vcd_) observe(pins_.pullsSdaLow(), *clock_);
}

}  // namespace zorbix
