// One parallel port reached through the Linux ppdev driver (/dev/parportN).
//
// This is the normal way to the port: it needs no root, only the right to
// open the device, which the "lp" group gives. Only the data register (read
// and write) and the status register (read) are used; the control register
// is left as the kernel set it.
//
// The device stays open for the whole run, but the port is claimed only for
// one operation at a time (prendre / rendre), so that a printer or another
// program can have it between two operations.
#pragma once

#include <chrono>
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

// How long prendre waits for a port another program holds.
constexpr std::chrono::milliseconds DelaiReservation{2000};

class PpdevBackend final : public PortBackend {
 public:
  ~PpdevBackend() override;  // releases the port if still claimed and closes the device
  PpdevBackend(const PpdevBackend&) = delete;
  PpdevBackend& operator=(const PpdevBackend&) = delete;

  // The data register at the base and the status register at base + 1;
  // any other address reads 0xFF and takes no write, like an absent port.
  std::uint8_t read(std::uint16_t address) override;
  void write(std::uint16_t address, std::uint8_t value) override;

  // PPCLAIM, waiting DelaiReservation at most; a port still held then is
  // refused with a reason that names it and, when the kernel tells, the
  // device holding it. Nested calls only count. rendre: PPRELEASE.
  bool prendre(std::uint16_t base, std::string& raison) override;
  bool rendre(std::uint16_t base, std::string& raison) override;

  const std::string& peripherique() const { return peripherique_; }

 private:
  friend std::unique_ptr<PpdevBackend> OuvrirPpdev(std::uint16_t, const RacinesSysteme&, std::string&,
                                                   const AppelsPpdev&);
  PpdevBackend(int fd, std::uint16_t base, std::string peripherique, std::string actif, AppelsPpdev appels);
  bool reserver(std::string& raison);

  int fd_;  // -1 after a claim that timed out, until the next prendre reopens it
  std::uint16_t base_;
  std::string peripherique_;
  std::string actif_;  // <proc>/sys/dev/parport/parportN/devices/active
  AppelsPpdev appels_;
  int prises_ = 0;
};

// Finds the /dev/parportN at `base` and opens it, checking that the driver
// knows a port behind it; the port is not claimed. On failure returns nullptr
// and puts the reason, in French and naming the device, in `raison` (no
// device at that address, missing node, permission refused, not a port).
std::unique_ptr<PpdevBackend> OuvrirPpdev(std::uint16_t base, const RacinesSysteme& racines,
                                          std::string& raison, const AppelsPpdev& appels = AppelsPpdev());

}  // namespace zorbix
