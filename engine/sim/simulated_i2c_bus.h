// A Linux I2C bus as i2c-dev shows it, simulated down to its ioctls: what
// the /dev/i2c-N adapter's code sends is decoded as the kernel's I2C core
// does it (I2C_RDWR messages, SMBus transactions emulated as the bytes they
// put on the wire) and played to the byte-level chip model, whose time is
// the bus's: its bits at the bus clock and each ioctl's trip.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "engine/i2c/i2c_dev.h"
#include "engine/sim/eeprom_model.h"

namespace zorbix {

struct ParametresBusSimule {
  std::string nom = "Adaptateur I2C simulé";  // /sys/class/i2c-dev/i2c-N/name
  bool smbusSeulement = false;                // no I2C_RDWR: a PC's SMBus controller
  int kHz = 100;                              // the bus clock, for the simulated time
  std::set<std::uint16_t> adressesTenues;     // addresses a kernel driver is bound to
};

class BusI2cSimule {
 public:
  // `puce` may be nullptr (an empty socket); not owned.
  BusI2cSimule(std::string chemin, ParametresBusSimule parametres, EepromModel* puce);

  // The calls a BusI2cDev makes, answered by this bus for its own path.
  AppelsI2cDev Appels();

  void InsererPuce(EepromModel* puce);
  std::uint64_t Microsecondes() const { return maintenant_; }
  // ioctls answered so far (for the benchmarks).
  long Ioctls() const { return ioctls_; }

 private:
  int Ioctl(unsigned long requete, unsigned long argument);
  int Transaction(MessageI2c* messages, std::size_t nombre);
  int Smbus(unsigned long argument);
  bool Octet(std::uint8_t octet);
  void Temps(int bits) { maintenant_ += static_cast<std::uint64_t>(bits) * 1000u / parametres_.kHz; }

  std::string chemin_;
  ParametresBusSimule parametres_;
  EepromModel* puce_ = nullptr;
  std::uint16_t esclave_ = 0;
  std::uint64_t maintenant_ = 0;
  long ioctls_ = 0;
};

}  // namespace zorbix
