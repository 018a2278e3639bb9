// The transfers between the chip and a byte image of it: the whole-chip read,
// the programming of the whole chip (by pages or byte by byte) or of one
// byte, and the comparison of chip and image.
//
// Each transfer powers the chip first (MiseSousTension) and unpowers it last
// (MiseHorsTension) through a SousTension guard, whatever happens in between, so the data register holds
// 0x06 when it returns. Nothing here allocates, throws or touches anything
// but the port `PortBase` of its target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "i2c_bus.h"

namespace zorbix {

// Progress of a transfer, for a progress bar whose maximum is ChipSize.
//
// Called synchronously with a memory address, just before the bus work for
// that address, with exactly these positions in increasing order:
//   read, compare:  every address a in 0 .. ChipSize-2 with a % s == s-1,
//                   s = PasProgression(ChipSize, DivisionsLecture); then
//                   ChipSize, just before the last byte is read.
//   whole chip, byte by byte: every address a in 0 .. ChipSize-1 with
//                   a % s == s-1, s = PasProgression(ChipSize,
//                   DivisionsOctetParOctet), before that byte is written.
//   whole chip, by pages: the first address of every page, before the page
//                   is written.
// Programming never reports ChipSize: the caller shows it on success. A read
// or compare whose address phase fails, or a programming run stopped by a
// failed transaction, reports nothing more. An empty function is allowed.
using Progression = std::function<void(int position)>;

constexpr int DivisionsLecture = 32;
constexpr int DivisionsOctetParOctet = 64;

// ChipSize / divisions, or 1 when the chip has fewer bytes than that.
int PasProgression(int chipSize, int divisions);

// After an address phase and the repeated start with the read select byte:
// `nombre` bytes from the chip's counter into dest[0..nombre-1], each
// acknowledged but the last, which ends the read. Reports the positions of
// a read (above), counted from dest[0]: the whole-chip and range reads both
// end this way.
void RecevoirSuite(std::uint16_t portBase, std::uint8_t* dest, int nombre, const Progression& progression);

// Sequential read of the whole chip from address 0 into octets[0..ChipSize-1].
// The chip's own address counter wraps at its capacity, so a chip smaller
// than the target type is read several times over. False, with `octets`
// untouched, when the device-select byte or an address byte is refused;
// once the address phase has passed, every byte is taken as read.
bool LireMemoire(const CibleI2C& cible, std::uint8_t* octets, const Progression& progression);

// Page writing is used when asked for, and always for the types that do not
// offer byte-by-byte writing.
bool EcritureParPages(int chipType, bool writeMode);

// Writes octets[0..ChipSize-1] to the chip, in pages of TaillePage(ChipSize)
// or byte by byte (see EcritureParPages). Stops at the first transaction that
// fails: the addresses before it hold the new data, nothing after it is
// sent. Returns that transaction's WriteResult, EcritureReussie when all
// succeeded.
WriteResult ProgrammerMemoireEntiere(const CibleI2C& cible, const std::uint8_t* octets, bool writeMode,
                                     const Progression& progression);

// One byte write of octets[adresse] at `adresse`, whatever the write mode.
// An address outside 0..ChipSize-1 sends nothing on the bus (the chip is
// still powered up and down) and gives AdresseHorsMemoire.
WriteResult ProgrammerOctetSeul(const CibleI2C& cible, const std::uint8_t* octets, int adresse);

// The comparison's scratch area: ChipSize bytes for one comparison.
using ZoneTravail = std::unique_ptr<std::uint8_t[]>;
// Where a scratch area comes from; an empty result means the memory cannot
// be had. Tests put in one that fails.
using AllocateurZone = ZoneTravail (*)(std::size_t taille);
// The production allocator: new (std::nothrow), never throws.
ZoneTravail AllouerSansException(std::size_t taille);

struct ResultatComparaison {
  bool Acquittee;   // the chip acknowledged its device-select byte
  int Differences;  // addresses at which chip and image differ (0 if not acknowledged)
};

// Reads the whole chip into `zone` (ChipSize bytes) and counts the addresses
// at which it differs from octets[0..ChipSize-1]. Only the device-select
// byte's acknowledge is tested; `octets` is never written.
ResultatComparaison ComparerMemoire(const CibleI2C& cible, const std::uint8_t* octets,
                                    std::uint8_t* zone, const Progression& progression);

}  // namespace zorbix
