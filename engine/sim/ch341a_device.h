// The simulated CH341A: its USB packet protocol (engine/usb/ch341a_protocol.h)
// in front of a chip seen byte by byte. It takes OUT transfers, runs their
// command streams on the chip, and holds the answers for the IN transfers.
//
// Simulated time: the bus bits at the speed the stream chose (a START or a
// STOP counts one bit, a byte nine), plus one millisecond for every OUT
// transfer, the USB round trip of a stream and its answers; a command that
// waits adds its wait. The chip's write cycle runs in that time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/usb/ch341a_protocol.h"

namespace zorbix {

// A chip on the bus, one bus event at a time, at simulated time `us`
// (microseconds). The device is the bus master.
class PuceOctets {
 public:
  virtual ~PuceOctets() = default;
  virtual void start(std::uint64_t us) = 0;  // also the repeated START
  virtual void stop(std::uint64_t us) = 0;
  // Eight bits out and the ninth clock: true when the chip acknowledged.
  virtual bool writeByte(std::uint8_t octet, std::uint64_t us) = 0;
  // Eight bits in, then the master's acknowledge of them.
  virtual std::uint8_t readByte(std::uint64_t us) = 0;
  virtual void masterAck(bool acquitte, std::uint64_t us) = 0;
};

class Ch341aDevice {
 public:
  explicit Ch341aDevice(PuceOctets& puce) : puce_(puce) {}

  // One OUT transfer. A stream not starting with 0xAA is ignored, and a
  // command the device does not know ends its stream. False when the device
  // is unplugged or the transfer is longer than the endpoint's 32 bytes.
  bool sortie(const std::uint8_t* octets, std::size_t taille);
  // One IN transfer of at most `max` bytes: the answers waiting, 0 when
  // there are none (a real device would leave the request pending).
  std::size_t entree(std::uint8_t* octets, std::size_t max);
  std::size_t reponsesEnAttente() const { return reponses_.size(); }

  std::uint64_t maintenantUs() const { return ns_ / 1000; }
  // Brings the simulated time up to `us` if it is behind: a device that
  // answers a real host lives in real time too, so that a host held up for a
  // while finds the write cycle over as a real chip would have it.
  void rattraper(std::uint64_t us) {
    if (ns_ < us * 1000) ns_ = us * 1000;
  }
  VitesseBus vitesse() const { return vitesse_; }
  long transfertsSortie() const { return sorties_; }
  long transfertsEntree() const { return entrees_; }
  // Bytes that went over the bus either way, and the time of the bus bits
  // alone, for the benchmarks.
  long octetsBus() const { return octetsBus_; }
  std::uint64_t tempsBusUs() const { return busNs_ / 1000; }

  // Fault switch: the device is unplugged once `sorties` more OUT transfers
  // have been taken; every transfer fails after that.
  void debrancherApres(long sorties) { debranchementA_ = sorties_ + sorties; }
  bool branche() const { return sorties_ < debranchementA_; }

  static constexpr std::uint64_t AllerRetourNs = 1000000;

 private:
  void executer(const std::uint8_t* octets, std::size_t taille);
  void envoyer(const std::uint8_t* octets, std::size_t& i, std::size_t taille, int nombre);
  void lire(int nombre, bool acquitter);
  std::uint64_t us() const { return ns_ / 1000; }
  void bits(int nombre);

  PuceOctets& puce_;
  VitesseBus vitesse_ = VitesseParDefaut;
  std::deque<std::uint8_t> reponses_;
  std::uint64_t ns_ = 0;
  std::uint64_t busNs_ = 0;
  long sorties_ = 0;
  long entrees_ = 0;
  long octetsBus_ = 0;
  long debranchementA_ = 0x7FFFFFFFL;
};

}  // namespace zorbix
