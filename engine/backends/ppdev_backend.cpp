#include "ppdev_backend.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "parport_lookup.h"
#include "engine/port_identity.h"

namespace zorbix {

int OuvrirPeripherique(const char* chemin) { return ::open(chemin, O_RDWR | O_CLOEXEC); }

int IoctlPeripherique(int fd, unsigned long requete, unsigned char* octet) {
  return ::ioctl(fd, requete, octet);
}

int FermerPeripherique(int fd) { return ::close(fd); }

namespace {

std::string RaisonOuverture(const std::string& chemin, int erreur) {
  switch (erreur) {
    case ENOENT:
      return chemin + " absent (module ppdev non chargé ?)";
    case EACCES:
    case EPERM:
      return "permission refusée sur " + chemin + " : ajoutez l'utilisateur au groupe lp";
    case EBUSY:
      return chemin + " occupé par un autre programme";
    case ENXIO:
    case ENODEV:
      return chemin + " : aucun port derrière ce périphérique";
    default:
      return chemin + " : ouverture impossible (" + std::strerror(erreur) + ")";
  }
}

std::string RaisonReservation(const std::string& chemin, int erreur) {
  if (erreur == EBUSY) return chemin + " occupé par un autre programme";
  return chemin + " : réservation du port refusée (" + std::strerror(erreur) + ")";
}

}  // namespace

PpdevBackend::PpdevBackend(int fd, std::uint16_t base, std::string peripherique, AppelsPpdev appels)
    : fd_(fd), base_(base), peripherique_(std::move(peripherique)), appels_(std::move(appels)) {}

PpdevBackend::~PpdevBackend() {
  appels_.ioctl(fd_, PPRELEASE, nullptr);
  appels_.fermer(fd_);
}

std::uint8_t PpdevBackend::read(std::uint16_t address) {
  unsigned long requete;
  if (address == base_)
    requete = PPRDATA;
  else if (address == base_ + 1)
    requete = PPRSTATUS;
  else
    return 0xFF;
  unsigned char octet = 0xFF;
  // A read the driver refuses yields what an absent port would.
  if (appels_.ioctl(fd_, requete, &octet) != 0) return 0xFF;
  return octet;
}

void PpdevBackend::write(std::uint16_t address, std::uint8_t value) {
  if (address != base_) return;  // the status register takes no write
  unsigned char octet = value;
  appels_.ioctl(fd_, PPWDATA, &octet);
}

std::unique_ptr<PpdevBackend> OuvrirPpdev(std::uint16_t base, const RacinesSysteme& racines,
                                          std::string& raison, const AppelsPpdev& appels) {
  const std::optional<int> numero = TrouverParport(base, racines.proc);
  if (!numero) {
    raison = "aucun /dev/parport à l'adresse " + TexteAdressePort(base);
    return nullptr;
  }
  const std::string chemin = racines.dev + "/parport" + std::to_string(*numero);
  const int fd = appels.ouvrir(chemin.c_str());
  if (fd < 0) {
    raison = RaisonOuverture(chemin, errno);
    return nullptr;
  }
  // The driver refuses every other ioctl until the port is claimed.
  if (appels.ioctl(fd, PPCLAIM, nullptr) != 0) {
    raison = RaisonReservation(chemin, errno);
    appels.fermer(fd);
    return nullptr;
  }
  return std::unique_ptr<PpdevBackend>(new PpdevBackend(fd, base, chemin, appels));
}

}  // namespace zorbix
