// The file of a command as a chip image: loading the image to program or
// compare, saving a chip that was read. The formats are those of files/;
// here are the checks a script needs before anything touches the chip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbix {

// Size of the image: the window's whole Buffer.
constexpr std::size_t TailleImage = 65536;

// The file name that stands for standard input (programmer, comparer) or
// standard output (lire). A file really named so is reached as ./-.
constexpr const char* NomFluxStandard = "-";

struct ImageChargee {
  bool Acceptee = false;
  std::string Message;           // why it was refused, or the one-line note on a short file
  std::size_t Etendue = 0;       // one past the file's last byte (a HEX file's highest address)
  std::vector<std::uint8_t> Octets = std::vector<std::uint8_t>(TailleImage, 0xFF);
};

// Loads `nom` (standard input for "-") for a chip of `chipSize` bytes into an
// image whose bytes the file does not give stay 0xFF, as in the window's
// Buffer. Refused: a file that cannot be read, with the system's reason,
// or is not a regular file, or holds no byte; a HEX file with a faulty line
// (the message, its code, the line's number and the line); a file reaching
// beyond the chip (both sizes named). An accepted file shorter than the chip
// gets a note saying which addresses will be 0xFF.
ImageChargee ChargerImage(const std::string& nom, bool hexa, int chipSize);

// Empty when `nom` may take the image of a chip (standard output for "-",
// a regular file or a link to one that this process may write, a new name in
// an existing folder); otherwise why not, to be said before the chip is read.
std::string RefusDestination(const std::string& nom);

// Saves the chip's `chipSize` bytes through the safe save (a failed save
// leaves any file of that name as it was), or writes them to standard output
// for "-". Empty on success, otherwise the reason.
std::string SauverImage(const std::string& nom, bool hexa, const std::uint8_t* octets, int chipSize);

}  // namespace zorbix
