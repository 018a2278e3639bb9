// The simulated ports of a run, from the value of ZORBIX_SIMULATION:
//
//   entry[;entry...]        entry = port ':' chip [ '=' file ]
//   port = LPT1 | LPT2 | LPT3 | 0x<hex address> ; chip = a short name of the
//   catalogue ("24C16", any case) or "empty" for an empty socket.
//
// Example: "LPT1:24C16" or "LPT2:24C64=/home/me/chip.bin;LPT3:empty".
// An address other than the three (for example 0xDC00, where a PCI card
// might sit) is an extra port, as SimulatedBackend::extraPorts names it.
// A file holds the virtual chip's contents: read now for the start-up report
// (a missing file gives an erased chip), then read again and written back by
// each operation (SimulatedBackend::prendre / rendre). A file name cannot
// contain ';'.
//
// The message adapters have entries of their own, served by the same adapter
// code as the real ones down to the USB transfers or the ioctls:
//   ch341a:24C16=/path/chip.bin   a CH341A programmer, "CH341A (USB 0-1)"
//                                 (the next one is 0-2: no real USB bus is 0)
//   i2c-1:24C64=/path/chip.bin    an I2C bus with plain I2C messages (I2C_RDWR)
//   i2c-0/smbus:24C02             a bus that offers SMBus transactions only
//   i2c-0/smbus-pc:24C02          a PC's SMBus (SMBus only, writing guarded)
//   i2c-0/smbus-pc/at24@0x57:24C02   ... where the kernel's at24 driver holds
//                                 address 0x57 (any driver name, any address)
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/port_identity.h"
#include "simulated_backend.h"

namespace zorbix {

// A simulated CH341A or I2C bus as an entry describes it.
struct AdaptateurMessagesSimule {
  GenrePort Genre = GenrePort::Ch341a;
  int Numero = 1;  // I2C: N of i2c-N; CH341A: its place, 1 for the first
  bool SmbusSeulement = false;
  bool SmbusPC = false;
  std::map<std::uint16_t, std::string> Pilotes;  // addresses a kernel driver holds, and its name
  int ChipType = -1;                              // -1: an empty socket
  std::string Fichier;
};

// The backend for `value`, or nullptr with a French message in `erreur`
// (the caller prints it and stops). The CH341A and I2C entries go to
// `messages`; they are refused where it is nullptr.
std::unique_ptr<SimulatedBackend> CreerSimulation(const std::string& value, std::string& erreur,
                                                  std::vector<AdaptateurMessagesSimule>* messages = nullptr);

}  // namespace zorbix
