#include "fileio/posix_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace zorbix {

bool Descripteur::Fermer() {
  if (fd_ < 0) return true;
  const int resultat = ::close(fd_);
  fd_ = -1;
  return resultat == 0;
}

int OuvrirEnLecture(const char* nom) { return ::open(nom, O_RDONLY | O_CLOEXEC); }

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
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return false;  // a regular file that takes nothing will not take more
    }
    p += n;
    taille -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace zorbix
