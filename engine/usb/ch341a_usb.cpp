#include "engine/usb/ch341a_usb.h"

#include <libusb.h>

#include <algorithm>
#include <cstdio>

#include "engine/usb/ch341a_protocol.h"

namespace zorbix {
namespace {

constexpr int Interface = 0;

// A fresh libusb context for each listing and each operation: USB devices
// come and go, and a context lists those present when it starts.
libusb_context* NouveauContexte(std::string& erreur) {
  libusb_context* contexte = nullptr;
  const int code = libusb_init(&contexte);
  if (code == 0) return contexte;
  erreur = std::string("libusb ne démarre pas (") + libusb_error_name(code) + ")";
  return nullptr;
}

bool EstCh341a(libusb_device* device) {
  libusb_device_descriptor descripteur{};
  return libusb_get_device_descriptor(device, &descripteur) == 0 && descripteur.idVendor == ch341a::Vendeur &&
         descripteur.idProduct == ch341a::Produit;
}

std::string Chemin(libusb_device* device) {
  std::uint8_t ports[8];
  const int n = libusb_get_port_numbers(device, ports, sizeof ports);
  std::string chemin = std::to_string(libusb_get_bus_number(device));
  for (int i = 0; i < n; ++i) chemin += (i == 0 ? "-" : ".") + std::to_string(ports[i]);
  return chemin;
}

std::string Noeud(libusb_device* device) {
  char noeud[32];
  std::snprintf(noeud, sizeof noeud, "/dev/bus/usb/%03u/%03u", libusb_get_bus_number(device),
                libusb_get_device_address(device));
  return noeud;
}

std::string RaisonOuverture(int code) {
  if (code == LIBUSB_ERROR_ACCESS)
    return "droits insuffisants : la règle udev 60-zorbix32-ch341a.rules donne l'appareil à l'utilisateur "
           "connecté";
  if (code == LIBUSB_ERROR_BUSY) return "occupé par un autre programme ou un pilote du noyau";
  if (code == LIBUSB_ERROR_NO_DEVICE) return "débranché";
  return std::string("ouverture impossible (") + libusb_error_name(code) + ")";
}

}  // namespace

std::vector<Ch341aBranche> ListerCh341a(std::string& erreur) {
  std::vector<Ch341aBranche> liste;
  libusb_context* contexte = NouveauContexte(erreur);
  if (!contexte) return liste;
  libusb_device** devices = nullptr;
  const ssize_t n = libusb_get_device_list(contexte, &devices);
  for (ssize_t i = 0; i < n; ++i) {
    if (!EstCh341a(devices[i])) continue;
    libusb_device_handle* poignee = nullptr;
    const int code = libusb_open(devices[i], &poignee);
    if (poignee) libusb_close(poignee);
    liste.push_back({Chemin(devices[i]), Noeud(devices[i]), code == 0, code == 0 ? "" : RaisonOuverture(code)});
  }
  if (n >= 0) libusb_free_device_list(devices, 1);
  libusb_exit(contexte);
  return liste;
}

std::string LigneRapportCh341a(const Ch341aBranche& ch341a) {
  if (ch341a.accessible) return ch341a.nom() + " : " + ch341a.noeud + " (libusb)";
  return ch341a.nom() + " : " + ch341a.noeud + " présent mais inaccessible (" + ch341a.raison + ")";
}

std::unique_ptr<TransportUsb> TransportUsb::Ouvrir(const std::string& chemin, std::string& erreur) {
  libusb_context* contexte = NouveauContexte(erreur);
  if (!contexte) return nullptr;
  libusb_device** devices = nullptr;
  const ssize_t n = libusb_get_device_list(contexte, &devices);
  libusb_device_handle* poignee = nullptr;
  int code = LIBUSB_ERROR_NO_DEVICE;
  for (ssize_t i = 0; i < n && !poignee; ++i)
    if (EstCh341a(devices[i]) && Chemin(devices[i]) == chemin) code = libusb_open(devices[i], &poignee);
  if (n >= 0) libusb_free_device_list(devices, 1);
  if (poignee) {
    // Some kernels bind a serial driver to this interface: it goes while we
    // hold the interface and comes back when we release it.
    libusb_set_auto_detach_kernel_driver(poignee, 1);
    code = libusb_claim_interface(poignee, Interface);
    if (code == 0) return std::unique_ptr<TransportUsb>(new TransportUsb(contexte, poignee));
    libusb_close(poignee);
  }
  erreur = "CH341A (USB " + chemin + ") : " + RaisonOuverture(code);
  libusb_exit(contexte);
  return nullptr;
}

namespace {

class PriseUsb final : public PriseCh341a {
 public:
  explicit PriseUsb(std::unique_ptr<TransportUsb> transport) : transport_(std::move(transport)) {}
  TransportCh341a& Transport() override { return *transport_; }
  HorlogeMs Horloge() override { return HorlogeReelle(); }
  bool Rendre(std::string&) override {
    transport_.reset();
    return true;
  }

 private:
  std::unique_ptr<TransportUsb> transport_;
};

}  // namespace

OuvreurCh341a OuvreurUsb(const std::string& chemin) {
  return [chemin](std::string& raison) -> std::unique_ptr<PriseCh341a> {
    std::unique_ptr<TransportUsb> transport = TransportUsb::Ouvrir(chemin, raison);
    if (!transport) return nullptr;
    return std::make_unique<PriseUsb>(std::move(transport));
  };
}

TransportUsb::~TransportUsb() {
  libusb_release_interface(poignee_, Interface);
  libusb_close(poignee_);
  libusb_exit(contexte_);
}

bool TransportUsb::envoyer(const std::uint8_t* octets, std::size_t taille) {
  int transferes = 0;
  const int code = libusb_bulk_transfer(poignee_, ch341a::PointSortie, const_cast<std::uint8_t*>(octets),
                                        static_cast<int>(taille), &transferes, DelaiTransfertMs);
  return code == 0 && transferes == static_cast<int>(taille);
}

bool TransportUsb::recevoir(std::uint8_t* octets, std::size_t taille) {
  for (std::size_t recus = 0; recus < taille;) {
    int n = 0;
    const std::size_t demande = std::min(taille - recus, ch341a::TaillePaquet);
    const int code = libusb_bulk_transfer(poignee_, ch341a::PointEntree, octets + recus, static_cast<int>(demande),
                                          &n, DelaiTransfertMs);
    if (code != 0 || n <= 0) return false;
    recus += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace zorbix
