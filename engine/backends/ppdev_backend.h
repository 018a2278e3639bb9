// One parallel port reached through the Linux ppdev driver (/dev/parportN).
//
// This is the normal way to the port: it needs no root, only the right to
// open the device, which the "lp" group gives. Only the data register (read
// and write) and the status register (read) are used; the control register
// is left as the kernel set it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "../port.h"

namespace zorbix {

// Where the kernel's parport tree and the device nodes live. Tests point them
// at a fake tree in a temporary directory.
struct RacinesSysteme {
  std::string proc = "/proc";
  std::string dev = "/dev";
};

// The real system calls, behind the names the backend uses.
int OuvrirPeripherique(const char* chemin);  // open(O_RDWR | O_CLOEXEC)
int IoctlPeripherique(int fd, unsigned long requete, unsigned char* octet);
int FermerPeripherique(int fd);

// The three calls the backend makes, so a test can watch every ioctl it sends.
// Each returns what the system call does and leaves its reason in errno.
struct AppelsPpdev {
  std::function<int(const char* chemin)> ouvrir = OuvrirPeripherique;
  std::function<int(int fd, unsigned long requete, unsigned char* octet)> ioctl = IoctlPeripherique;
  std::function<int(int fd)> fermer = FermerPeripherique;
};

class PpdevBackend final : public PortBackend {
 public:
  ~PpdevBackend() override;  // releases the port and closes the device
  PpdevBackend(const PpdevBackend&) = delete;
  PpdevBackend& operator=(const PpdevBackend&) = delete;

  // The data register at the base and the status register at base + 1;
  // any other address reads 0xFF and takes no write, like an absent port.
  std::uint8_t read(std::uint16_t address) override;
  void write(std::uint16_t address, std::uint8_t value) override;

  const std::string& peripherique() const { return peripherique_; }

 private:
  friend std::unique_ptr<PpdevBackend> OuvrirPpdev(std::uint16_t, const RacinesSysteme&, std::string&,
                                                   const AppelsPpdev&);
  PpdevBackend(int fd, std::uint16_t base, std::string peripherique, AppelsPpdev appels);

  int fd_;
  std::uint16_t base_;
  std::string peripherique_;
  AppelsPpdev appels_;
};

// Finds the /dev/parportN at `base`, opens it and claims the port before any
// other access. On failure returns nullptr and puts the reason, in French and
// naming the device, in `raison` (no device at that address, missing node,
// permission refused, port busy, claim refused).
std::unique_ptr<PpdevBackend> OuvrirPpdev(std::uint16_t base, const RacinesSysteme& racines,
                                          std::string& raison, const AppelsPpdev& appels = AppelsPpdev());

}  // namespace zorbix
