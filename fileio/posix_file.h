// The few POSIX file operations the formats share: a descriptor that closes
// itself, and reads and writes that go on after short transfers and signals.
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

 private:
  int fd_;
};

// Opens an existing file for reading.
int OuvrirEnLecture(const char* nom);

// Reads until `capacite` bytes or the end of the file; false on a read error.
bool LireJusqua(int fd, void* donnees, std::size_t capacite, std::size_t& lus);

// Writes all `taille` bytes; false as soon as the system refuses one.
bool EcrireTout(int fd, const void* donnees, std::size_t taille);

}  // namespace zorbix
