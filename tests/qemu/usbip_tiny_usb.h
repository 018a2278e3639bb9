// An emulated i2c-tiny-usb on the USB/IP connection of usbip_server.h: a
// low-speed 0403:c631 with endpoint 0 alone, whose vendor requests to its
// interface (the ones the kernel's i2c-tiny-usb driver sends) run I2C
// messages on the byte-level chip model, as the board's firmware runs them
// on its wires. The kernel then offers an I2C bus with plain I2C messages.
//
// Time: the bits at the bit delay the driver sets at probe (a START or a
// STOP counts one bit, a byte nine) and one millisecond for every control
// request (a low-speed frame), on top of the real time that passes between
// requests, so that a host that waits finds a write cycle over as with a
// real chip. The chip's write cycle runs in that time.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/sim/eeprom_model.h"
#include "usbip_server.h"

namespace zorbix {

class TinyUsbI2c final : public AppareilUsbip {
 public:
  ~TinyUsbI2c() override { inserer(nullptr); }

  // Another chip (nullptr: none, where nothing acknowledges) on the bus,
  // under the server's lock. Not owned; it keeps the device's time while
  // it is there.
  void inserer(EepromModel* puce);

  VitesseUsb vitesse() const override { return VitesseUsb::Basse; }
  std::vector<std::uint8_t> descripteurAppareil() const override;
  std::vector<std::uint8_t> descripteurConfiguration() const override;
  void rattraper(std::uint64_t us) override {
    us_ += us - reel_;
    reel_ = us;
  }
  int controle(const std::uint8_t* setup, const std::uint8_t* donnees, std::vector<std::uint8_t>& reponse) override;

  // The bit delay the driver set (0 until it has), and the I2C messages run.
  int delaiBitUs() const { return delaiBitUs_; }
  long messages() const { return messages_; }

 private:
  int message(int requete, std::uint16_t drapeaux, std::uint16_t adresse, const std::uint8_t* donnees,
              std::uint16_t longueur, std::vector<std::uint8_t>& reponse);
  void bits(int nombre) { us_ += static_cast<std::uint64_t>(nombre) * static_cast<std::uint64_t>(delaiBitUs_); }

  EepromModel* puce_ = nullptr;
  std::uint64_t us_ = 0;
  std::uint64_t reel_ = 0;  // the real time of the last request
  int delaiBitUs_ = 0;
  std::uint8_t etat_ = 0;  // what "get status" answers: the last address's acknowledge
  long messages_ = 0;
};

}  // namespace zorbix
