// What the parallel-port check program needs from the guest's kernel besides
// our own backends: the parport tree as the kernel shows it, the I/O
// capability, the standard error stream, and a watch on the ppdev calls.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/backends/ppdev_backend.h"

namespace zorbix {

// N of the /proc/sys/dev/parport/parportN whose base-addr starts with `base`,
// read here with no help from the backends' own lookup.
std::optional<int> ParportSelonLeNoyau(std::uint16_t base);

// What the kernel names as the device holding parportN ("none" when free),
// from /proc/sys/dev/parport/parportN/devices/active, without the newline.
std::string PeripheriqueActif(int parport);

// Takes CAP_SYS_RAWIO out of the effective set (a user in the lp group has
// no more) or puts it back; it stays in the permitted set in between.
bool ChoisirDroitEntreesSorties(bool accorde);

// Everything written on file descriptor 2 between its construction and
// terminer(), kept in a file under /tmp.
class CaptureErreurStandard {
 public:
  CaptureErreurStandard();
  ~CaptureErreurStandard();
  std::string terminer();

 private:
  int sauvegarde_ = -1;
  int fichier_ = -1;
};

// Each ppdev device the backends opened, as the real system calls saw it.
struct PeripheriqueSuivi {
  int parport = -1;
  std::vector<unsigned long> requetes;  // every ioctl, in order
  std::string actifApresReservation;    // devices/active just after PPCLAIM
  std::string actifApresLiberation;     // devices/active just after PPRELEASE
  bool ferme = false;
  bool ioctlApresFermeture = false;
};

// The real ppdev calls with a record of them, for ParametresPorts.
class JournalPpdev {
 public:
  AppelsPpdev appels();
  const std::map<int, PeripheriqueSuivi>& peripheriques() const { return suivis_; }

 private:
  std::map<int, PeripheriqueSuivi> suivis_;  // by file descriptor
};

}  // namespace zorbix
