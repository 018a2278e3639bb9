// The few POSIX file operations the formats share: a descriptor that closes
// itself, the opening of a user's file that never waits on what is not a
// regular file, and reads and writes that go on after short transfers and
// signals.
#pragma once

#include <cstddef>

namespace zorbix {

class Descripteur {
 public:
  explicit Descripteur(int fd = -1) : fd_(fd) {}
  ~Descripteur() { Fermer(); }
  Descripteur(const Descripteur&) = delete;
  Descripteur& operator=(const Descripteur&) = delete;

  bool Ouvert() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Closes now and tells whether the system reported no error.
  bool Fermer();
  // Gives the descriptor up without closing it.
  void Liberer() { fd_ = -1; }

 private:
  int fd_;
};

// Opens `nom` for reading if it is a regular file or a symbolic link to one.
// Anything else (a folder, a FIFO, a device, a socket, a dangling link) is
// refused before it is opened, and the open itself never waits, so a FIFO
// put in its place at the last moment cannot block the caller either.
// Returns the descriptor, or -1 with the reason in `erreur` (an errno value
// or one of file_errors.h).
int OuvrirFichierOrdinaire(const char* nom, int& erreur);

// 0 when `nom` is a regular file or a link to one, else the reason as above
// (the system's error when there is nothing readable under the name).
int VerifierFichierOrdinaire(const char* nom);

// Reads until `capacite` bytes or the end of the file; false on a read
// error, with errno telling why.
bool LireJusqua(int fd, void* donnees, std::size_t capacite, std::size_t& lus);

// Writes all `taille` bytes; false as soon as the system refuses one, with
// errno telling why (ENOSPC when a write takes nothing).
bool EcrireTout(int fd, const void* donnees, std::size_t taille);

}  // namespace zorbix
