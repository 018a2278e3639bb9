#include "files/text_lines.h"

#include <cerrno>
#include <unistd.h>

namespace zorbix {

bool LecteurLignes::LireLigne(std::string& ligne) {
  ligne.clear();
  numero_ = lignesFinies_ + 1;
  while (ligne.size() < MaxCaracteres) {
    int c = Suivant();
    if (c < 0) break;
    if (c == '\r' && Regarder() == '\n') c = Suivant();
    ligne.push_back(static_cast<char>(c));
    if (c == '\n') {
      ++lignesFinies_;
      break;
    }
  }
  return !ligne.empty();
}

int LecteurLignes::Suivant() {
  const int c = Regarder();
  if (c >= 0) ++debut_;
  return c;
}

int LecteurLignes::Regarder() {
  if (debut_ == fin_donnees_ && !Remplir()) return -1;
  return static_cast<unsigned char>(morceau_[debut_]);
}

bool LecteurLignes::Remplir() {
  if (fin_ || erreur_ != 0) return false;
  ssize_t lus;
  do {
    lus = ::read(fd_, morceau_, sizeof morceau_);
  } while (lus < 0 && errno == EINTR);
  if (lus == 0) fin_ = true;
  if (lus < 0) erreur_ = errno;
  if (lus <= 0) return false;
  debut_ = 0;
  fin_donnees_ = static_cast<std::size_t>(lus);
  return true;
}

}  // namespace zorbix
