// A chip model behind the pin decoder, seen byte by byte, for the simulated
// CH341A: each bus event becomes the SCL and SDA levels a master produces
// for it. The board supplies the chip all the time and grounds its pin 7.
#pragma once

#include "engine/sim/bus_transcript.h"
#include "engine/sim/ch341a_device.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/pin_decoder.h"

namespace zorbix {

class PuceSurBroches final : public PuceOctets {
 public:
  // `puce` may be nullptr: an empty socket, where nothing acknowledges and
  // SDA reads high.
  explicit PuceSurBroches(EepromModel* puce);

  // Every level also goes to `transcript` (nullptr: none), so that tests
  // see the bytes on the wire as for the parallel adapter.
  void transcrire(BusTranscript* transcript) { transcript_ = transcript; }

  void start(std::uint64_t us) override;
  void stop(std::uint64_t us) override;
  bool writeByte(std::uint8_t octet, std::uint64_t us) override;
  std::uint8_t readByte(std::uint64_t us) override;
  void masterAck(bool acquitte, std::uint64_t us) override;

 private:
  // The master sets SCL and releases (true) or pulls (false) SDA.
  void lignes(bool scl, bool sda, std::uint64_t us);
  bool sdaHaute() const { return !broches_.pullsSdaLow(); }

  EepromModel* puce_;
  PinDecoder broches_;
  std::uint64_t maintenant_ = 0;  // the time of the level being set
  BusTranscript* transcript_ = nullptr;
};

}  // namespace zorbix
