// An emulated CH341A on the far end of a USB/IP connection: the kernel's
// vhci-hcd sends it the URBs of the real USB core (and so of usbfs and
// libusb) as CMD_SUBMIT and CMD_UNLINK requests over a stream socket, and
// it answers them with the descriptors of a 1a86:5512, control requests of
// enumeration, and bulk transfers on endpoint 2 served by the simulated
// device's packet protocol. A bulk IN request waits until there are answer
// bytes for it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "engine/sim/ch341a_device.h"

namespace zorbix {

class ReponseurUsbip {
 public:
  explicit ReponseurUsbip(Ch341aDevice& device) : device_(device) {}
  ~ReponseurUsbip();

  // Attaches the device to port `port` of vhci_hcd.0 at full speed and
  // starts answering on a thread. False with the reason in `erreur`.
  bool attacher(int port, std::string& erreur);
  // The connection is cut (as if the cable were pulled) once `sorties`
  // bulk OUT transfers have been answered.
  void couperApres(long sorties) { coupureA_ = sorties; }
  // Detaches through sysfs and waits for the thread.
  void detacher();

  // The device, held against the answering thread.
  std::unique_lock<std::mutex> verrou() { return std::unique_lock<std::mutex>(mutex_); }
  long sortiesBulk() const { return sortiesBulk_; }

 private:
  struct EntreeEnAttente {
    std::uint32_t seqnum;
    std::uint32_t longueur;
  };
  void servir();
  bool traiter(const std::uint8_t* entete);
  bool controle(std::uint32_t seqnum, const std::uint8_t* setup);
  bool repondre(std::uint32_t seqnum, std::int32_t statut, const std::uint8_t* donnees, std::uint32_t longueur);
  bool servirEntrees();

  Ch341aDevice& device_;
  std::mutex mutex_;
  std::thread fil_;
  int socket_ = -1;
  int port_ = -1;
  long sortiesBulk_ = 0;
  long coupureA_ = -1;
  std::deque<EntreeEnAttente> entrees_;
  const std::chrono::steady_clock::time_point debut_ = std::chrono::steady_clock::now();
};

}  // namespace zorbix
