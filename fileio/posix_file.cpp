#include "fileio/posix_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/file_errors.h"

namespace zorbix {
namespace {

int RefusSelonType(mode_t mode) {
  if (S_ISDIR(mode)) return EISDIR;
  return S_ISREG(mode) ? 0 : ErreurPasFichierOrdinaire;
}

}  // namespace

bool Descripteur::Fermer() {
  if (fd_ < 0) return true;
  const int resultat = ::close(fd_);
  fd_ = -1;
  return resultat == 0;
}

int VerifierFichierOrdinaire(const char* nom) {
  struct stat etat;
  if (::stat(nom, &etat) == 0) return RefusSelonType(etat.st_mode);
  const int erreur = errno;
  struct stat lien;
  return erreur == ENOENT && ::lstat(nom, &lien) == 0 ? ErreurLienCasse : erreur;
}

int OuvrirFichierOrdinaire(const char* nom, int& erreur) {
  // Looked at first, so that no device is ever opened: opening one may act
  // (a tape rewinds, a terminal becomes ours).
  erreur = VerifierFichierOrdinaire(nom);
  if (erreur != 0) return -1;
  Descripteur fichier(::open(nom, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fichier.Ouvert()) return erreur = errno, -1;
  // The name may have been given to something else since it was looked at:
  // what counts is what was opened.
  struct stat etat;
  if (::fstat(fichier.Fd(), &etat) != 0) return erreur = errno, -1;
  erreur = RefusSelonType(etat.st_mode);
  if (erreur != 0) return -1;
  const int drapeaux = ::fcntl(fichier.Fd(), F_GETFL);
  if (drapeaux < 0 || ::fcntl(fichier.Fd(), F_SETFL, drapeaux & ~O_NONBLOCK) != 0) return erreur = errno, -1;
  const int fd = fichier.Fd();
  fichier.Liberer();
  return fd;
}

bool LireJusqua(int fd, void* donnees, std::size_t capacite, std::size_t& lus) {
  char* p = static_cast<char*>(donnees);
  lus = 0;
  while (lus < capacite) {
    const ssize_t n = ::read(fd, p + lus, capacite - lus);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    lus += static_cast<std::size_t>(n);
  }
  return true;
}

bool EcrireTout(int fd, const void* donnees, std::size_t taille) {
  const char* p = static_cast<const char*>(donnees);
  while (taille > 0) {
    const ssize_t n = ::write(fd, p, taille);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;  // a file that takes nothing will not take more
      return false;
    }
    p += n;
    taille -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace zorbix
