// The simulated CH341A: its USB packet protocol (engine/usb/ch341a_protocol.h)
// in front of the byte-level chip model, which it drives as the bus master:
// START, bytes out and their acknowledges, bytes in and the master's
// acknowledge, STOP. It takes OUT transfers, runs their command streams on
// the chip, and holds the answers for the IN transfers. The board supplies
// the chip all the time and grounds its pin 7.
//
// Simulated time: the bus bits at the speed the stream chose (a START or a
// STOP counts one bit, a byte nine), plus one millisecond for every OUT
// transfer, the USB round trip of a stream and its answers; a command that
// waits adds its wait. The chip's write cycle runs in that time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/sim/bus_transcript.h"
#include "engine/sim/eeprom_model.h"
#include "engine/usb/ch341a_protocol.h"

namespace zorbix {

class Ch341aDevice {
 public:
  // `puce` may be nullptr: an empty socket, where nothing acknowledges and
  // reads give 0xFF. Not owned; it keeps the device's time while inserted.
  explicit Ch341aDevice(EepromModel* puce) { inserer(puce); }
  ~Ch341aDevice() { inserer(nullptr); }
  Ch341aDevice(const Ch341aDevice&) = delete;
  Ch341aDevice& operator=(const Ch341aDevice&) = delete;

  // Another chip (or none) in the socket, between two transfers.
  void inserer(EepromModel* puce);
  // Every bus event also goes to `transcript` (nullptr: none), so that tests
  // see the bytes on the wire as for the parallel adapter.
  void transcrire(BusTranscript* transcript) { transcript_ = transcript; }

  // One OUT transfer. A stream not starting with 0xAA is ignored, and a
  // command the device does not know ends its stream. False when the device
  // is unplugged or the transfer is longer than the endpoint's 32 bytes.
  bool sortie(const std::uint8_t* octets, std::size_t taille);
  // One IN transfer of at most `max` bytes: the answers waiting, 0 when
  // there are none (a real device would leave the request pending).
  std::size_t entree(std::uint8_t* octets, std::size_t max);
  std::size_t reponsesEnAttente() const { return reponses_.size(); }

  std::uint64_t maintenantUs() const { return us_; }
  // Brings the simulated time up to `us` if it is behind: a device that
  // answers a real host lives in real time too, so that a host held up for a
  // while finds the write cycle over as a real chip would have it.
  void rattraper(std::uint64_t us) {
    if (ns_ < us * 1000) avancer(us * 1000 - ns_);
  }
  VitesseBus vitesse() const { return vitesse_; }
  long transfertsSortie() const { return sorties_; }
  long transfertsEntree() const { return entrees_; }
  // The time of the bus bits alone, for the benchmarks.
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
  void start();
  void stop();
  bool ecrireOctet(std::uint8_t octet);
  void avancer(std::uint64_t ns);
  void bits(int nombre);

  EepromModel* puce_ = nullptr;
  BusTranscript* transcript_ = nullptr;
  VitesseBus vitesse_ = VitesseParDefaut;
  std::deque<std::uint8_t> reponses_;
  std::uint64_t ns_ = 0;
  std::uint64_t us_ = 0;  // ns_ in whole microseconds: the chip's clock
  std::uint64_t busNs_ = 0;
  long sorties_ = 0;
  long entrees_ = 0;
  long debranchementA_ = 0x7FFFFFFFL;
};

}  // namespace zorbix
