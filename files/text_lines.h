// Line-by-line reading of a text file the way the HEX reader has always seen
// it: through a line buffer of 80 characters with its terminator, on a system
// whose text mode turns CR LF into LF.
#pragma once

#include <cstddef>
#include <string>

namespace zorbix {

class LecteurLignes {
 public:
  // Characters per line read, the line end included; what is left of a
  // longer line comes back as the next line.
  static constexpr std::size_t MaxCaracteres = 79;

  explicit LecteurLignes(int fd) : fd_(fd) {}

  // The next line into `ligne`, with its LF if it fits (CR LF is read as LF,
  // a lone CR or LF is kept as it is). Returns false at the end of the file
  // or on a read error, which Erreur() then tells apart.
  bool LireLigne(std::string& ligne);
  // The system's error of a failed read (errno), 0 if none failed.
  int Erreur() const { return erreur_; }
  // The number, from 1, of the file's line that the last line read belongs
  // to: the pieces of a line too long for one read share its number.
  std::size_t Numero() const { return numero_; }

 private:
  int Suivant();   // next byte, or -1 at the end or on an error
  int Regarder();  // the same byte without consuming it
  bool Remplir();

  int fd_;
  int erreur_ = 0;
  bool fin_ = false;
  std::size_t numero_ = 0;
  std::size_t lignesFinies_ = 0;
  std::size_t debut_ = 0;
  std::size_t fin_donnees_ = 0;
  char morceau_[16384];
};

}  // namespace zorbix
