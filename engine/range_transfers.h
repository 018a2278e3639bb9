// The transfers of one range of the chip, addresses debut .. debut+longueur-1:
// a read from any address, and a programming that writes only the range's
// bytes (split at the chip's page boundaries, the bytes around the range
// untouched).
//
// The whole-chip transfers of transfers.h stay as they are; these are the
// parallel adapter's range operations (Adapter::LirePlage, ProgrammerPlage).
// Like them, each powers the chip through a SousTension guard, allocates
// nothing and throws nothing but what its progression throws.
#pragma once

#include <cstdint>

#include "engine/transfers.h"

namespace zorbix {

// A range of the chip; valid when 0 <= Debut, 1 <= Longueur and
// Debut + Longueur <= ChipSize.
struct Plage {
  int Debut;
  int Longueur;
};

bool PlageValide(const CibleI2C& cible, const Plage& plage);

// Progress of a range transfer: the contract of Progression (transfers.h)
// with ChipSize replaced by the range's length and positions counted from
// its first byte (0 .. Longueur), for a bar whose maximum is Longueur.

// A random read: the device-select byte with the range's block bits, its
// address bytes, a repeated start and a sequential read of Longueur bytes
// into octets[0 .. Longueur-1]. False, with `octets` untouched and nothing
// read, when the range is not valid or the select or an address byte is
// refused.
bool LirePlage(const CibleI2C& cible, const Plage& plage, std::uint8_t* octets, const Progression& progression);

// Writes octets[0 .. Longueur-1] at Debut .. Debut+Longueur-1: by pages (see
// EcritureParPages), each piece a ProgrammerPage that ends at the next page
// boundary of TaillePage(ChipSize) or at the range's end; or byte by byte
// with ProgrammerOctet. Stops at the first transaction that fails and
// returns its WriteResult; AdresseHorsMemoire, with the port untouched, when
// the range is not valid.
WriteResult ProgrammerPlage(const CibleI2C& cible, const Plage& plage, const std::uint8_t* octets, bool writeMode,
                            const Progression& progression);

}  // namespace zorbix
