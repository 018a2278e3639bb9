#include "timing_monitor.h"

#include <algorithm>
#include <limits>

namespace zorbix {

//                                         t_HIGH t_LOW t_SU;STA t_HD;STA t_SU;STO t_BUF
const I2cMode StandardMode{"100 kHz", {{4000, 4700, 4700, 4000, 4000, 4700}}};
const I2cMode FastMode{"400 kHz", {{600, 1300, 600, 600, 600, 1300}}};

const char* I2cIntervalName(I2cInterval interval) {
  static const char* const names[I2cIntervalCount] = {"t_HIGH", "t_LOW", "t_SU;STA", "t_HD;STA", "t_SU;STO", "t_BUF"};
  return names[static_cast<int>(interval)];
}

void TimingMonitor::setOperation(const std::string& operation) {
  auto it = shortest_.find(operation);
  if (it == shortest_.end()) {
    Shortest none;
    none.fill(NotSeen);
    it = shortest_.emplace(operation, none).first;
  }
  current_ = &it->second;
}

void TimingMonitor::record(I2cInterval interval, std::uint64_t from, std::uint64_t now) {
  if (!current_ || from == NotSeen) return;
  std::uint64_t& shortest = (*current_)[static_cast<int>(interval)];
  shortest = std::min(shortest, now - from);
}

void TimingMonitor::sample(bool scl, bool sda, bool powered, std::uint64_t now) {
  if (!powered) {
    known_ = false;
    return;
  }
  if (!known_) {
    // Power-up: the lines take their levels now; nothing earlier counts.
    known_ = true;
    scl_ = scl;
    sda_ = sda;
    sclRise_ = scl ? now : NotSeen;
    sdaRise_ = sda ? now : NotSeen;
    sclFall_ = start_ = stop_ = NotSeen;
    startInThisHigh_ = false;
    return;
  }
  if (scl != scl_) {
    if (scl) {
      record(I2cInterval::SclLow, sclFall_, now);
      sclRise_ = now;
    } else {
      record(I2cInterval::SclHigh, sclRise_, now);
      if (startInThisHigh_) record(I2cInterval::StartHold, start_, now);
      startInThisHigh_ = false;
      sclFall_ = now;
    }
    scl_ = scl;
  }
  if (sda != sda_) {
    if (scl_ && !sda) {  // start
      // Set-up runs from the later of the two rises (NotSeen if either is).
      record(I2cInterval::StartSetup, std::max(sclRise_, sdaRise_), now);
      record(I2cInterval::BusFree, stop_, now);
      start_ = now;
      startInThisHigh_ = true;
    } else if (scl_ && sda) {  // stop
      record(I2cInterval::StopSetup, sclRise_, now);
      stop_ = now;
    }
    if (sda) sdaRise_ = now;
    sda_ = sda;
  }
}

double TimingMonitor::ShortestAccessNs(const Shortest& shortest, const I2cMode& mode, I2cInterval* limiting) {
  double worst = 0;
  for (int i = 0; i < I2cIntervalCount; ++i) {
    if (shortest[i] == NotSeen) continue;
    const double ns = shortest[i] == 0 ? std::numeric_limits<double>::infinity()
                                       : mode.minimumNs[i] / static_cast<double>(shortest[i]);
    if (ns > worst) {
      worst = ns;
      if (limiting) *limiting = static_cast<I2cInterval>(i);
    }
  }
  return worst;
}

}  // namespace zorbix
