#include "guest_system.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace zorbix {
namespace {

const std::string RacineParport = "/proc/sys/dev/parport/";
const char* const FichierCapture = "/tmp/stderr_capture.txt";

std::string LireFichier(const std::string& chemin) {
  std::ifstream entree(chemin);
  std::ostringstream texte;
  texte << entree.rdbuf();
  return texte.str();
}

// N from "/dev/parportN"; -1 for any other path.
int NumeroDuChemin(const std::string& chemin) {
  const std::string prefixe = "/dev/parport";
  if (chemin.compare(0, prefixe.size(), prefixe) != 0) return -1;
  return std::stoi(chemin.substr(prefixe.size()));
}

}  // namespace

std::optional<int> ParportSelonLeNoyau(std::uint16_t base) {
  // The emulated PC has at most a few ports: the first numbers suffice.
  for (int n = 0; n < 8; ++n) {
    std::istringstream contenu(LireFichier(RacineParport + "parport" + std::to_string(n) + "/base-addr"));
    long adresse = -1;
    if (contenu >> adresse && adresse == base) return n;
  }
  return std::nullopt;
}

std::string PeripheriqueActif(int parport) {
  std::string texte = LireFichier(RacineParport + "parport" + std::to_string(parport) + "/devices/active");
  while (!texte.empty() && (texte.back() == '\n' || texte.back() == '\0')) texte.pop_back();
  return texte;
}

bool ChoisirDroitEntreesSorties(bool accorde) {
  __user_cap_header_struct entete{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct donnees[2]{};
  if (syscall(SYS_capget, &entete, donnees) != 0) return false;
  const unsigned bit = 1u << (CAP_SYS_RAWIO % 32);
  __u32& effectif = donnees[CAP_SYS_RAWIO / 32].effective;
  effectif = accorde ? (effectif | bit) : (effectif & ~bit);
  return syscall(SYS_capset, &entete, donnees) == 0;
}

CaptureErreurStandard::CaptureErreurStandard() {
  fichier_ = ::open(FichierCapture, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  sauvegarde_ = ::dup(2);
  if (fichier_ >= 0 && sauvegarde_ >= 0) ::dup2(fichier_, 2);
}

CaptureErreurStandard::~CaptureErreurStandard() { terminer(); }

std::string CaptureErreurStandard::terminer() {
  if (sauvegarde_ < 0) return {};
  ::dup2(sauvegarde_, 2);
  ::close(sauvegarde_);
  ::close(fichier_);
  sauvegarde_ = -1;
  return LireFichier(FichierCapture);
}

AppelsPpdev JournalPpdev::appels() {
  AppelsPpdev appels;
  appels.ouvrir = [this](const char* chemin) {
    const int fd = OuvrirPeripherique(chemin);
    if (fd >= 0) suivis_[fd] = PeripheriqueSuivi{NumeroDuChemin(chemin), {}, {}, {}, false, false};
    return fd;
  };
  appels.ioctl = [this](int fd, unsigned long requete, unsigned char* octet) {
    const int resultat = IoctlPeripherique(fd, requete, octet);
    PeripheriqueSuivi& suivi = suivis_[fd];
    if (suivi.ferme) suivi.ioctlApresFermeture = true;
    suivi.requetes.push_back(requete);
    if (requete == PPCLAIM) suivi.actifApresReservation = PeripheriqueActif(suivi.parport);
    if (requete == PPRELEASE) suivi.actifApresLiberation = PeripheriqueActif(suivi.parport);
    return resultat;
  };
  appels.fermer = [this](int fd) {
    suivis_[fd].ferme = true;
    return FermerPeripherique(fd);
  };
  return appels;
}

}  // namespace zorbix
