// The file that keeps a virtual chip's contents from one run to the next,
// raw bytes from address 0, like a chip that keeps its data unpowered.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbix {

// Fills `memory` from `path`. A missing file leaves the memory as it is (an
// erased chip) and says so in `note`; a file of another size gives what fits
// and says so in `note`. False with a French reason in `erreur` if the file
// exists but cannot be read or is not a plain file (a device, a pipe).
bool LireFichierPuce(const std::string& path, std::vector<std::uint8_t>& memory,
                     std::string& note, std::string& erreur);

// Writes `memory` to `path` through the safe save (RemplacerFichier), so a
// failure leaves the old file whole. Bytes of a
// longer old file beyond the memory's size are kept. False with a French
// reason in `erreur`.
bool EcrireFichierPuce(const std::string& path, const std::vector<std::uint8_t>& memory,
                       std::string& erreur);

// One program at a time works on a chip file: an exclusive flock held from
// the start of an operation to its end. The lock is not on the chip file
// itself: the safe save puts a new file in its place, and a program waiting
// on the old one would then read the old contents once it got the lock.
// Each program locks "<file>.lock" beside it instead, a file that is created
// once and never removed (removing it would let two programs lock two
// different files of that name). Where that file cannot be created (a
// read-only folder, where nothing can replace the chip file either), the
// chip file itself is locked; a missing chip file there has nothing to lock.
class VerrouPuce {
 public:
  VerrouPuce() = default;
  ~VerrouPuce() { rendre(); }
  VerrouPuce(const VerrouPuce&) = delete;
  VerrouPuce& operator=(const VerrouPuce&) = delete;

  // Locks `path`'s lock, waiting `delai` at most for another program to let
  // it go. False with a French reason in `erreur` when it does not.
  bool prendre(const std::string& path, std::chrono::milliseconds delai, std::string& erreur);
  void rendre();

 private:
  int fd_ = -1;
};

// How long an operation waits for another program's operation on the same
// virtual chip.
constexpr std::chrono::milliseconds DelaiVerrouPuce{2000};

// The start of one operation on a virtual chip: its file locked through
// `verrou` (DelaiVerrouPuce at most) and read into `memory`. A missing file,
// or the part of the chip a short file does not reach, is erased, as at
// start-up. False with a French reason in `erreur`.
bool PrendreFichierPuce(VerrouPuce& verrou, const std::string& path, std::vector<std::uint8_t>& memory,
                        std::string& erreur);

}  // namespace zorbix
