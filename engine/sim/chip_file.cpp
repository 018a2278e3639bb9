#include "chip_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "fileio/safe_save.h"

namespace zorbix {
namespace {

std::string Raison(const char* what, const std::string& path) {
  return std::string(what) + " " + path + " : " + std::strerror(errno);
}

// The whole file; false if it cannot be opened or read.
bool LireTout(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  std::uint8_t block[65536];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) errno = EIO;
  return ok;
}

}  // namespace

bool LireFichierPuce(const std::string& path, std::vector<std::uint8_t>& memory,
                     std::string& note, std::string& erreur) {
  note.clear();
  struct stat st {};
  const bool present = ::stat(path.c_str(), &st) == 0;
  if (!present && errno == ENOENT) {
    // The chip is written back there after each operation that changed it:
    // a folder that does not exist would lose everything programmed.
    const std::size_t barre = path.rfind('/');
    const std::string dossier = barre == std::string::npos ? "." : barre == 0 ? "/" : path.substr(0, barre);
    struct stat sd {};
    const bool existe = ::stat(dossier.c_str(), &sd) == 0;
    if (!existe || !S_ISDIR(sd.st_mode)) {
      if (existe) errno = ENOTDIR;
      erreur = Raison("pas de dossier pour enregistrer le fichier", path);
      return false;
    }
    note = "fichier absent, mémoire vierge (0xFF)";
    return true;
  }
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    erreur = Raison("impossible de lire le fichier", path);
    return false;
  }
  // A device or a pipe may never end (/dev/zero, a FIFO nobody writes to)
  // and cannot be replaced by the copy written back.
  if (present && !S_ISREG(st.st_mode)) {
    erreur = "impossible de lire le fichier " + path + " : ce n'est pas un fichier ordinaire";
    return false;
  }
  std::vector<std::uint8_t> bytes;
  if (!LireTout(path, bytes)) {
    erreur = Raison("impossible de lire le fichier", path);
    return false;
  }
  const std::size_t used = bytes.size() < memory.size() ? bytes.size() : memory.size();
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(used), memory.begin());
  if (bytes.size() != memory.size()) {
    note = "le fichier fait " + std::to_string(bytes.size()) + " octets pour une mémoire de " +
           std::to_string(memory.size()) + " : " + std::to_string(used) + " octets chargés";
    if (bytes.size() > memory.size()) note += ", la suite du fichier sera conservée";
  }
  return true;
}

bool EcrireFichierPuce(const std::string& path, const std::vector<std::uint8_t>& memory,
                       std::string& erreur) {
  std::vector<std::uint8_t> contents;
  if (!LireTout(path, contents)) contents.clear();
  if (contents.size() < memory.size()) contents.resize(memory.size());
  std::copy(memory.begin(), memory.end(), contents.begin());

  if (!RemplacerFichier(path, contents.data(), contents.size())) {
    erreur = Raison("impossible de remplacer", path);
    return false;
  }
  return true;
}

namespace {

// The file a link leads to: two links to one chip file share its lock.
std::string CheminReel(const std::string& path) {
  char reel[PATH_MAX];
  return ::realpath(path.c_str(), reel) ? std::string(reel) : path;
}

}  // namespace

bool VerrouPuce::prendre(const std::string& path, std::chrono::milliseconds delai, std::string& erreur) {
  rendre();
  const std::string fichier = CheminReel(path);
  fd_ = ::open((fichier + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) fd_ = ::open(fichier.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return true;
  // flock has no timeout of its own: a non-blocking try every 10 ms.
  const auto echeance = std::chrono::steady_clock::now() + delai;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int cause = errno;
    const bool occupe = cause == EWOULDBLOCK || cause == EINTR;
    if (!occupe || std::chrono::steady_clock::now() >= echeance) {
      errno = cause;
      erreur = occupe ? "la mémoire simulée " + path + " est utilisée par un autre programme"
                      : Raison("impossible de verrouiller", path);
      rendre();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void VerrouPuce::rendre() {
  if (fd_ < 0) return;
  ::close(fd_);  // the lock goes with the last descriptor of the open file
  fd_ = -1;
}

bool PrendreFichierPuce(VerrouPuce& verrou, const std::string& path, std::vector<std::uint8_t>& memory,
                        std::string& erreur) {
  std::fill(memory.begin(), memory.end(), 0xFF);
  std::string note;
  return verrou.prendre(path, DelaiVerrouPuce, erreur) && LireFichierPuce(path, memory, note, erreur);
}

}  // namespace zorbix
