#include "engine/sim/chip_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace zorbix {

bool VerrouPuceFichier::Prendre(const std::string& chemin, std::chrono::milliseconds delai, std::string& erreur) {
  Rendre();
  fd_ = ::open((chemin + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) fd_ = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
  // A missing chip file in a folder where nothing can be created: nothing
  // to lock, and nothing will be written there either.
  if (fd_ < 0) return true;
  const auto limite = std::chrono::steady_clock::now() + delai;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= limite) {
      erreur = "la mémoire virtuelle " + chemin + " est utilisée par un autre programme";
      Rendre();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void VerrouPuceFichier::Rendre() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace zorbix
