#include "ppdev_backend.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

#include "interrupting_timer.h"
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
  return chemin + " : réservation du port refusée (" + std::strerror(erreur) + ")";
}

// "ppdev0", "lp0": what the kernel names as the device holding the port;
// empty when it says none or cannot be read.
std::string Detenteur(const std::string& fichierActif) {
  std::ifstream fichier(fichierActif);
  std::string nom;
  if (!std::getline(fichier, nom)) return {};
  while (!nom.empty() && (nom.back() == '\0' || nom.back() == ' ')) nom.pop_back();
  return nom == "none" ? std::string() : nom;
}

}  // namespace

PpdevBackend::PpdevBackend(int fd, std::uint16_t base, std::string peripherique, std::string actif,
                           AppelsPpdev appels)
    : fd_(fd),
      base_(base),
      peripherique_(std::move(peripherique)),
      actif_(std::move(actif)),
      appels_(std::move(appels)) {}

PpdevBackend::~PpdevBackend() {
  if (prises_ > 0) appels_.ioctl(fd_, PPRELEASE, nullptr);
  if (fd_ >= 0) appels_.fermer(fd_);
}

bool PpdevBackend::prendre(std::uint16_t base, std::string& raison) {
  if (base != base_) return true;
  if (prises_ > 0 || reserver(raison)) {
    ++prises_;
    return true;
  }
  return false;
}

bool PpdevBackend::rendre(std::uint16_t base, std::string& raison) {
  if (base != base_ || prises_ == 0 || --prises_ > 0) return true;
  if (appels_.ioctl(fd_, PPRELEASE, nullptr) == 0) return true;
  raison = peripherique_ + " : libération du port refusée (" + std::strerror(errno) + ")";
  return false;
}

// The driver keeps an interrupted PPCLAIM queued and hands the port to it
// when the holder lets go, with no way to release it but closing the device:
// after EINTR the device is closed at once (which withdraws the claim) and
// opened again before the next try.
bool PpdevBackend::reserver(std::string& raison) {
  const auto echeance = std::chrono::steady_clock::now() + DelaiReservation;
  // Read before waiting too: ppdev serialises its ioctls, so the holder's
  // own, held back by our claim, may release the port the moment it ends.
  const std::string detenteurAvant = Detenteur(actif_);
  for (;;) {
    if (fd_ < 0 && (fd_ = appels_.ouvrir(peripherique_.c_str())) < 0) {
      raison = RaisonOuverture(peripherique_, errno);
      return false;
    }
    if (AppelInterrompuA(echeance, [this] { return appels_.ioctl(fd_, PPCLAIM, nullptr); }) == 0) return true;
    const int erreur = errno;
    if (erreur != EINTR) {
      raison = RaisonReservation(peripherique_, erreur);
      return false;
    }
    appels_.fermer(fd_);
    fd_ = -1;
    // Another signal (the user's Ctrl+C) may end the wait early: try again.
    if (std::chrono::steady_clock::now() < echeance) continue;
    std::string detenteur = Detenteur(actif_);
    if (detenteur.empty()) detenteur = detenteurAvant;
    raison = peripherique_ + " (" + TexteAdressePort(base_) + ") occupé par un autre programme" +
             (detenteur.empty() ? "" : " (« " + detenteur + " » selon le noyau)") +
             " : réessayez quand il aura libéré le port";
    return false;
  }
}

// Unclaimed, the driver refuses every access (and after a claim that timed
// out the device is not even open): the absent port's answers, no ioctl.
std::uint8_t PpdevBackend::read(std::uint16_t address) {
  unsigned long requete;
  if (prises_ == 0)
    return 0xFF;
  else if (address == base_)
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
  if (address != base_ || prises_ == 0) return;  // the status register takes no write
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
  // A node that opens but has no port behind it (or is no ppdev device at
  // all) must not pass for a port; this asks the driver without claiming.
  unsigned int modes = 0;
  if (appels.ioctl(fd, PPGETMODES, reinterpret_cast<unsigned char*>(&modes)) != 0) {
    const int erreur = errno;
    raison = erreur == ENXIO || erreur == ENODEV ? RaisonOuverture(chemin, erreur)
                                                 : chemin + " : pas un port ppdev (" + std::strerror(erreur) + ")";
    appels.fermer(fd);
    return nullptr;
  }
  const std::string actif = racines.proc + "/sys/dev/parport/parport" + std::to_string(*numero) + "/devices/active";
  return std::unique_ptr<PpdevBackend>(new PpdevBackend(fd, base, chemin, actif, appels));
}

}  // namespace zorbix
