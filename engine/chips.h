// The catalogue of the twelve memory types the programmer serves. Each type
// is described once, by its row of the table; the functions below read it.
#pragma once

#include <cstdint>

namespace zorbix {

constexpr int NombreTypesMemoire = 12;
constexpr int TypeMemoireParDefaut = 6;    // 24C16
constexpr int TailleMemoireParDefaut = 2048;

constexpr int TypePCF8582 = 0;
// The types after it are written in pages only; the chip menu puts a
// separator there. The table is checked against it when it is compiled.
constexpr int DernierTypeOctetParOctet = 8;  // 24C64

struct ChipSpec {
  const char* TexteListe;     // item of the chip list
  const char* NomMenu;        // object name of the "Mémoire" menu item
  const char* LegendeMenu;    // caption of that item, with its accelerator
  const char* NomCourt;       // the part number alone ("24C16")
  int Taille;                 // bytes
  int TaillePage;             // bytes written per page transaction
  int TamponPage;             // the chip's own page buffer (bytes), which the simulator models
  int OctetsAdresse;          // address bytes after the device-select byte
  int BitsBlocSelection;      // address bits A8.. carried in the select byte (0..3)
  bool Pin7Libre;             // pin 7 released while writing (PCF8582), else grounded
  bool OctetParOctetPropose;  // byte-by-byte writing offered
};

// The record of a type; `chipType` must be 0..11.
const ChipSpec& SpecMemoire(int chipType);

// Index of the type whose short name is `name` ("24C16", case-insensitive),
// or -1.
int TypeDepuisNom(const char* name);

// Page size chosen from a chip size: that of the types of this size (16 -> 1,
// 128/256 -> 4, 512..2048 -> 16, 4096/8192 -> 32, 16384/32768 -> 64,
// 65536 -> 128), and 1 for a size that no type has.
int TaillePage(int chipSize);

// The columns of the row of `chipType` (0..11).
int OctetsAdresse(int chipType);
bool OctetParOctetPropose(int chipType);
bool Pin7Libre(int chipType);

// What goes on the wire to address memory byte `address` for writing: the
// device-select byte and one or two address bytes.
struct AdresseBus {
  std::uint8_t Selection;
  std::uint8_t Octets[2];
  int NombreOctets;
};
AdresseBus AdresserMemoire(int chipType, int address);

constexpr std::uint8_t SelectionEcriture = 0xA0;
constexpr std::uint8_t SelectionLecture = 0xA1;

}  // namespace zorbix
