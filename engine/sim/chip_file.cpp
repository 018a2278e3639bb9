#include "chip_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

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
    // The chip is written back there at exit: a folder that does not exist
    // would lose everything programmed during the run.
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
  // and cannot be replaced by the copy written back at exit.
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

}  // namespace zorbix
