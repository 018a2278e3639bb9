// The I2C timing that the bit-banged bus produces, measured on the simulated
// wires.
//
// The master has no delays: every interval on the wire is a whole number of
// port accesses (the line operations are the clock). The
// monitor keeps, for each operation the caller names, the shortest interval
// of each kind it saw, in accesses. Dividing a data sheet minimum by it gives
// the shortest time per access at which that operation still meets the mode:
// a port faster than that (a PCI Express card through direct I/O, say) would
// break the bus timing. An interval counts for the operation in which it ends.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace zorbix {

enum class I2cInterval : int {
  SclHigh,     // t_HIGH: SCL high
  SclLow,      // t_LOW: SCL low
  StartSetup,  // t_SU;STA: both lines high before SDA falls for a (repeated) start
  StartHold,   // t_HD;STA: from the start's SDA fall to SCL's fall
  StopSetup,   // t_SU;STO: from SCL's rise to the stop's SDA rise
  BusFree,     // t_BUF: from a stop to the next start
};
constexpr int I2cIntervalCount = 6;
const char* I2cIntervalName(I2cInterval interval);  // "t_HIGH", ...

// The minimums of the I2C specification and the 24Cxx / PCF8582 data sheets.
struct I2cMode {
  const char* name;
  std::array<double, I2cIntervalCount> minimumNs;
};
extern const I2cMode StandardMode;  // 100 kHz
extern const I2cMode FastMode;      // 400 kHz

class TimingMonitor {
 public:
  static constexpr std::uint64_t NotSeen = UINT64_MAX;
  using Shortest = std::array<std::uint64_t, I2cIntervalCount>;  // in accesses

  // Intervals that end from now on count for `operation`.
  void setOperation(const std::string& operation);

  // The wire levels after the access at simulated time `now` (accesses).
  // An unpowered bus has no timing: the measure starts again at power-up.
  void sample(bool scl, bool sda, bool powered, std::uint64_t now);

  const std::map<std::string, Shortest>& shortest() const { return shortest_; }

  // The shortest time per access, in ns, at which intervals as short as
  // `shortest` still meet `mode`, and the interval that sets it; 0 when no
  // interval was seen, infinity when one lasted no access at all.
  static double ShortestAccessNs(const Shortest& shortest, const I2cMode& mode, I2cInterval* limiting = nullptr);

 private:
  void record(I2cInterval interval, std::uint64_t from, std::uint64_t now);

  std::map<std::string, Shortest> shortest_;
  Shortest* current_ = nullptr;
  bool known_ = false;
  bool scl_ = false;
  bool sda_ = false;
  bool startInThisHigh_ = false;
  std::uint64_t sclRise_ = NotSeen;
  std::uint64_t sclFall_ = NotSeen;
  std::uint64_t sdaRise_ = NotSeen;
  std::uint64_t start_ = NotSeen;
  std::uint64_t stop_ = NotSeen;
};

}  // namespace zorbix
