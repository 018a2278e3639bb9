// The chip operations (whole-chip read, programming by pages or one byte,
// compare) on an I2C bus of the kernel, with the catalogue's device-select
// bytes, address bytes and page sizes.
//
// The bus's capabilities choose the path: plain I2C messages (I2C_RDWR)
// where the bus offers them, else SMBus transactions (I2C block transfers,
// or a byte at a time where even those are missing). A write cycle's end is
// seen by acknowledge polling within a deadline in milliseconds, never by a
// fixed wait. Progress is reported with the positions of engine/transfers.h.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/i2c/i2c_dev.h"
#include "engine/i2c_bus.h"
#include "engine/transfers.h"

namespace zorbix {

// The 7-bit address of the chip for memory byte `adresse`: 0x50, the block
// bits of the 24C04/08/16 (each block is an address of its own on this bus)
// and the address pins A2..A0 that are not block bits.
std::uint16_t AdresseEsclave(int chipType, int adresse, int broches);

// Largest read in one message, below what every bridge takes (some USB
// adapters read at most 254 bytes a message).
constexpr int LectureMaxParMessage = 128;
// How long a write cycle may last before the chip is declared silent: well
// above the data sheets' 5 to 10 ms.
constexpr int DelaiFinEcritureI2cMs = 50;

struct CibleBusI2c {
  int ChipType;
  int ChipSize;
  int Broches = 0;  // A2..A0 as the socket wires them
};

// The outcome of an operation: `code` as on the parallel adapter; `erreur`,
// when not 0, the errno of a failure that is not an acknowledge refused (the
// device was unplugged, the driver refused the transaction), which the
// caller reports instead of the code's message.
struct ResultatBus {
  WriteResult code = WriteResult::EcritureReussie;
  int erreur = 0;
};

class MemoireSurBus {
 public:
  // `microsecondes` is the clock of the write-cycle deadline: the system's
  // monotonic clock, or the simulated bus's own time.
  MemoireSurBus(BusI2cDev& bus, CibleBusI2c cible, std::function<std::uint64_t()> microsecondes);

  // The whole chip from address 0 into octets[0..ChipSize-1]. `code` is
  // SelectionNonAcquittee when the chip does not answer, with `octets`
  // untouched.
  ResultatBus Lire(std::uint8_t* octets, const Progression& progression);
  // The whole chip in pages of TaillePage(ChipSize); stops at the first
  // transaction that fails, the addresses before it holding the new data.
  ResultatBus Programmer(const std::uint8_t* octets, const Progression& progression);
  // One byte, octets[adresse]; an address outside the chip sends nothing.
  ResultatBus ProgrammerOctet(const std::uint8_t* octets, int adresse);

  // Addresses debut .. debut+nombre-1 (a range the caller has checked), with
  // octets[0] at `debut` and the positions of engine/range_transfers.h. The
  // programming goes by pages (pieces cut at the chip's page boundaries, as
  // large as the bus takes) or, when `parPages` is false, byte by byte.
  ResultatBus LirePlage(int debut, int nombre, std::uint8_t* octets, const Progression& progression);
  ResultatBus ProgrammerPlage(int debut, int nombre, const std::uint8_t* octets, bool parPages,
                              const Progression& progression);

  // Whether the chip at 7-bit `esclave` acknowledges: a one-byte read
  // (I2C_RDWR, or an SMBus receive byte), which writes nothing. 0 when it
  // did, else the errno.
  int SonderEnLecture(std::uint16_t esclave);
  // The given address bytes, a repeated START and `nombre` bytes read from
  // there; 0 or the errno. Never a STOP after an address byte: on a bus
  // without I2C messages only one address byte can be sent that way (an I2C
  // block read), and two give EOPNOTSUPP.
  int LireApresAdresse(std::uint16_t esclave, const std::uint8_t* adresse, int nombreAdresse, std::uint8_t* octets,
                       int nombre);

  // Acknowledge polls made so far (for the benchmarks).
  long Scrutations() const { return scrutations_; }

 private:
  bool I2cComplet() const;
  ResultatBus LireMorceau(int adresse, std::uint8_t* octets, int nombre);
  ResultatBus EcrireMorceau(int adresse, const std::uint8_t* octets, int nombre);
  ResultatBus EcrireMorceauSmbus(int adresse, const std::uint8_t* octets, int nombre);
  int MorceauEcritureMax() const;
  ResultatBus AttendreFinEcriture(int adresse);
  int Sonder(std::uint16_t esclave);

  BusI2cDev& bus_;
  CibleBusI2c cible_;
  std::function<std::uint64_t()> microsecondes_;
  unsigned long fonctions_;
  long scrutations_ = 0;
};

}  // namespace zorbix
