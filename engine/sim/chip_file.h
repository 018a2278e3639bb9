// The file that keeps a virtual chip's contents from one run to the next,
// raw bytes from address 0, like a chip that keeps its data unpowered.
#pragma once

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

}  // namespace zorbix
