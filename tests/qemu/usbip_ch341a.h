// An emulated CH341A on the USB/IP connection of usbip_server.h: the
// descriptors of a 1a86:5512 at full speed, and bulk transfers on endpoint 2
// served by the simulated device's packet protocol. A bulk IN request waits
// until there are answer bytes for it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/sim/ch341a_device.h"
#include "usbip_server.h"

namespace zorbix {

class ReponseurUsbip {
 public:
  explicit ReponseurUsbip(Ch341aDevice& device) : appareil_(device), serveur_(appareil_) {}

  // Attaches the device to port `port` of vhci_hcd.0 and starts answering.
  bool attacher(int port, std::string& erreur) { return serveur_.attacher(port, erreur); }
  void couperApres(long sorties) { serveur_.couperApres(sorties); }
  void detacher() { serveur_.detacher(); }
  // The device, held against the answering thread.
  std::unique_lock<std::mutex> verrou() { return serveur_.verrou(); }
  long sortiesBulk() const { return serveur_.sortiesBulk(); }

 private:
  class Appareil final : public AppareilUsbip {
   public:
    explicit Appareil(Ch341aDevice& device) : device_(device) {}
    VitesseUsb vitesse() const override { return VitesseUsb::Pleine; }
    std::vector<std::uint8_t> descripteurAppareil() const override;
    std::vector<std::uint8_t> descripteurConfiguration() const override;
    void rattraper(std::uint64_t us) override { device_.rattraper(us); }
    bool sortie(std::uint32_t ep, const std::uint8_t* donnees, std::uint32_t longueur) override;
    bool entreeBulk(std::uint32_t ep) const override { return ep == 2; }
    std::size_t entree(std::uint32_t ep, std::uint8_t* donnees, std::size_t max) override;

   private:
    Ch341aDevice& device_;
  };

  Appareil appareil_;
  ServeurUsbip serveur_;
};

}  // namespace zorbix
