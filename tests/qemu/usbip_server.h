// The far end of a USB/IP connection, for the devices the QEMU tests emulate:
// the kernel's vhci-hcd sends it the URBs of the real USB core (and so of
// usbfs, libusb and the kernel's own USB drivers) as CMD_SUBMIT and
// CMD_UNLINK requests over a stream socket, and it answers them. It answers
// the standard requests of enumeration from the device's descriptors itself
// and hands the rest to the device: its own control requests, and its bulk
// endpoints, where an IN request waits until the device has bytes for it.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zorbix {

// USB/IP's speed codes, as the kernel's enum usb_device_speed numbers them.
enum class VitesseUsb : int { Basse = 1, Pleine = 2 };

// What one emulated device answers. The responder calls it from its thread,
// under its lock, after bringing the device's time up to real time.
class AppareilUsbip {
 public:
  virtual ~AppareilUsbip() = default;
  virtual VitesseUsb vitesse() const = 0;
  virtual std::vector<std::uint8_t> descripteurAppareil() const = 0;
  virtual std::vector<std::uint8_t> descripteurConfiguration() const = 0;

  // Before every request: the real time since the connection began, in
  // microseconds (a device that answers a real host lives in real time too).
  virtual void rattraper(std::uint64_t /*us*/) {}
  // A control request that is not one of enumeration's: `setup` its eight
  // bytes, `donnees` an OUT request's data stage. Returns 0 with an IN
  // request's answer in `reponse`, or an errno as a negative status
  // (-EPIPE: a stall).
  virtual int controle(const std::uint8_t* /*setup*/, const std::uint8_t* /*donnees*/,
                       std::vector<std::uint8_t>& /*reponse*/) {
    return -EPIPE;
  }
  // A bulk OUT transfer on endpoint `ep`: true when the device takes it.
  virtual bool sortie(std::uint32_t /*ep*/, const std::uint8_t* /*donnees*/, std::uint32_t /*longueur*/) {
    return false;
  }
  // Whether endpoint `ep` (without its direction bit) is a bulk IN endpoint.
  virtual bool entreeBulk(std::uint32_t /*ep*/) const { return false; }
  // At most `max` bytes for a bulk IN request on `ep`; 0 holds the request
  // until there are some.
  virtual std::size_t entree(std::uint32_t /*ep*/, std::uint8_t* /*donnees*/, std::size_t /*max*/) { return 0; }
};

class ServeurUsbip {
 public:
  explicit ServeurUsbip(AppareilUsbip& appareil) : appareil_(appareil) {}
  ~ServeurUsbip();

  // Attaches the device to port `port` of vhci_hcd.0 at its speed and
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
  long controles() const { return controles_; }

 private:
  struct EntreeEnAttente {
    std::uint32_t seqnum;
    std::uint32_t ep;
    std::uint32_t longueur;
  };
  void servir();
  bool traiter(const std::uint8_t* entete);
  bool desannuler(std::uint32_t seqnum, std::uint32_t cible);
  bool controle(std::uint32_t seqnum, const std::uint8_t* setup, const std::uint8_t* donnees);
  bool bulk(std::uint32_t seqnum, std::uint32_t ep, bool sortante, const std::uint8_t* donnees, std::uint32_t longueur);
  bool repondre(std::uint32_t seqnum, std::int32_t statut, const std::uint8_t* donnees, std::uint32_t longueur);
  bool servirEntrees();

  AppareilUsbip& appareil_;
  std::mutex mutex_;
  std::thread fil_;
  int socket_ = -1;
  int port_ = -1;
  long sortiesBulk_ = 0;
  long controles_ = 0;
  long coupureA_ = -1;
  std::deque<EntreeEnAttente> entrees_;
  const std::chrono::steady_clock::time_point debut_ = std::chrono::steady_clock::now();
};

}  // namespace zorbix
