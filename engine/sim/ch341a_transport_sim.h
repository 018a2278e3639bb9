// The chip operations' transport served by the simulated CH341A instead of
// libusb: the same streams, down to the USB transfers.
#pragma once

#include <algorithm>

#include "engine/sim/ch341a_device.h"
#include "engine/usb/ch341a_chip.h"
#include "engine/usb/ch341a_transport.h"

namespace zorbix {

class TransportSimule final : public TransportCh341a {
 public:
  explicit TransportSimule(Ch341aDevice& device) : device_(device) {}

  bool envoyer(const std::uint8_t* octets, std::size_t taille) override { return device_.sortie(octets, taille); }

  bool recevoir(std::uint8_t* octets, std::size_t taille) override {
    for (std::size_t recus = 0; recus < taille;) {
      const std::size_t n = device_.entree(octets + recus, std::min(taille - recus, ch341a::TaillePaquet));
      if (n == 0) return false;
      recus += n;
    }
    return true;
  }

  // The device's simulated time, for the write cycle's deadline.
  HorlogeMs horloge() const {
    const Ch341aDevice* device = &device_;
    return [device] { return device->maintenantUs() / 1000; };
  }

 private:
  Ch341aDevice& device_;
};

}  // namespace zorbix
