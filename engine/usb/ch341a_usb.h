// The CH341A programmers plugged in, through libusb-1.0: the list with each
// one's USB bus and port path, the start-up report line of each, and the
// transport of one operation (interface 0 claimed when it starts, released
// when it ends, so that nothing holds the device between operations).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/usb/ch341a_adapter.h"
#include "engine/usb/ch341a_transport.h"

struct libusb_context;
struct libusb_device_handle;

namespace zorbix {

struct Ch341aBranche {
  std::string chemin;  // bus and port path as the kernel names it: "1-2", "3-1.4"
  std::string noeud;   // "/dev/bus/usb/001/004"
  bool accessible;     // this user may open it
  std::string raison;  // why not, in French, when it may not

  // "CH341A (USB 1-2)"
  std::string nom() const { return "CH341A (USB " + chemin + ")"; }
};

// Every 1a86:5512 device now on the USB buses, each opened once to learn
// whether it is accessible. Empty, with a French reason in `erreur`, when
// libusb cannot start.
std::vector<Ch341aBranche> ListerCh341a(std::string& erreur);

// "CH341A (USB 1-2) : /dev/bus/usb/001/004 (libusb)", or the same saying it
// is there but not accessible, and why.
std::string LigneRapportCh341a(const Ch341aBranche& ch341a);

// The device at `chemin` taken for one operation: its interface claimed
// until the operation gives it back, the steady clock for the write cycles.
OuvreurCh341a OuvreurUsb(const std::string& chemin);

class TransportUsb final : public TransportCh341a {
 public:
  // The device at `chemin`, a kernel driver detached from its interface 0 if
  // one holds it, the interface claimed. nullptr with a French reason.
  static std::unique_ptr<TransportUsb> Ouvrir(const std::string& chemin, std::string& erreur);
  ~TransportUsb() override;
  TransportUsb(const TransportUsb&) = delete;
  TransportUsb& operator=(const TransportUsb&) = delete;

  bool envoyer(const std::uint8_t* octets, std::size_t taille) override;
  bool recevoir(std::uint8_t* octets, std::size_t taille) override;

  static constexpr unsigned DelaiTransfertMs = 1000;

 private:
  TransportUsb(libusb_context* contexte, libusb_device_handle* poignee)
      : contexte_(contexte), poignee_(poignee) {}

  libusb_context* contexte_;
  libusb_device_handle* poignee_;
};

}  // namespace zorbix
