#include "bus_transcript.h"

#include <cstdio>

namespace zorbix {

void BusTranscript::sample(bool scl, bool sda, bool masterLow, bool chipLow, std::uint64_t now) {
  if (scl_ && scl && sda != sda_) {
    sda_ = sda;
    condition(!sda, now);
    return;
  }
  const bool rising = !scl_ && scl;
  scl_ = scl;
  sda_ = sda;
  if (!rising || !inTransfer_) return;
  if (bitCount_ < 8) {
    shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
    ++bitCount_;
    return;
  }
  // Ninth clock: whoever holds SDA low acknowledges.
  BusEvent::Ack ack = BusEvent::Ack::None;
  if (!sda) {
    if (masterLow && chipLow)
      ack = BusEvent::Ack::Both;
    else
      ack = masterLow ? BusEvent::Ack::Master : BusEvent::Ack::Chip;
  }
  events_.push_back({BusEvent::Kind::Byte, shift_, 8, ack, now});
  bitCount_ = 0;
  shift_ = 0;
}

void BusTranscript::condition(bool start, std::uint64_t now) {
  // Every START or STOP follows a rising edge of SCL that looks like the
  // first bit of a new byte; only a byte cut further than that is reported.
  if (inTransfer_ && bitCount_ > 1) {
    const auto bits = static_cast<std::uint8_t>(bitCount_ - 1);
    events_.push_back({BusEvent::Kind::PartialByte, static_cast<std::uint8_t>(shift_ >> 1), bits,
                       BusEvent::Ack::None, now});
  }
  if (start)
    events_.push_back({inTransfer_ ? BusEvent::Kind::RepeatedStart : BusEvent::Kind::Start, 0, 0,
                       BusEvent::Ack::None, now});
  else if (inTransfer_)
    events_.push_back({BusEvent::Kind::Stop, 0, 0, BusEvent::Ack::None, now});
  inTransfer_ = start;
  bitCount_ = 0;
  shift_ = 0;
}

void BusTranscript::noteByte(std::uint8_t value, BusEvent::Ack ack, std::uint64_t now) {
  if (inTransfer_) events_.push_back({BusEvent::Kind::Byte, value, 8, ack, now});
}

std::string BusTranscript::text() const {
  std::string out;
  char token[16];
  for (const BusEvent& e : events_) {
    if (!out.empty()) out += ' ';
    switch (e.kind) {
      case BusEvent::Kind::Start: out += "S"; break;
      case BusEvent::Kind::RepeatedStart: out += "Sr"; break;
      case BusEvent::Kind::Stop: out += "P"; break;
      case BusEvent::Kind::Byte: {
        static const char kAck[] = {'-', '+', '*', '!'};
        std::snprintf(token, sizeof token, "%02X%c", e.value, kAck[static_cast<int>(e.ack)]);
        out += token;
        break;
      }
      case BusEvent::Kind::PartialByte:
        out += '?';
        for (int b = e.bits - 1; b >= 0; --b) out += ((e.value >> b) & 1) ? '1' : '0';
        break;
    }
  }
  return out;
}

std::vector<std::uint8_t> BusTranscript::bytes() const {
  std::vector<std::uint8_t> out;
  for (const BusEvent& e : events_)
    if (e.kind == BusEvent::Kind::Byte) out.push_back(e.value);
  return out;
}

}  // namespace zorbix
