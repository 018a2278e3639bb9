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

struct ImageChargee {
  bool Acceptee = false;
  std::string Message;           // why it was refused, or the one-line note on a short file
  std::size_t Etendue = 0;       // one past the file's last byte (a HEX file's highest address)
  std::vector<std::uint8_t> Octets = std::vector<std::uint8_t>(TailleImage, 0xFF);
};

// Loads `nom` for a chip of `chipSize` bytes into an image whose bytes the
// file does not give stay 0xFF, as in the window's Buffer. Refused: a file
// that cannot be read or holds no byte, a HEX file with a faulty line (the
// reader's message and its code), a file reaching beyond the chip (both
// sizes named). An accepted file shorter than the chip gets a note saying
// which addresses will be 0xFF.
ImageChargee ChargerImage(const std::string& nom, bool hexa, int chipSize);

// Saves the chip's `chipSize` bytes through the safe save: a failed save
// leaves any file of that name as it was.
bool SauverImage(const std::string& nom, bool hexa, const std::uint8_t* octets, int chipSize);

}  // namespace zorbix
