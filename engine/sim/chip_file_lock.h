// One program at a time works on a virtual chip's file: an exclusive flock,
// held from the start of an operation to its end, with a bounded wait. The
// lock is on "<file>.lock" beside it, created once and never removed: the
// safe save puts a new chip file in place of the old one, and a program
// waiting on the old one would read stale contents once it got the lock.
// Where that file cannot be created (a read-only folder), the chip file
// itself is locked.
#pragma once

#include <chrono>
#include <string>

namespace zorbix {

class VerrouPuceFichier {
 public:
  VerrouPuceFichier() = default;
  ~VerrouPuceFichier() { Rendre(); }
  VerrouPuceFichier(const VerrouPuceFichier&) = delete;
  VerrouPuceFichier& operator=(const VerrouPuceFichier&) = delete;

  // Locks `chemin`'s lock, waiting `delai` at most for another program to
  // let it go. False with a French reason in `erreur` when it does not.
  bool Prendre(const std::string& chemin, std::chrono::milliseconds delai, std::string& erreur);
  void Rendre();

 private:
  int fd_ = -1;
};

}  // namespace zorbix
