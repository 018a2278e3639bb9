// The adapter's lines, one read-modify-write of the data register each, and
// the chip's supply. Every operation here is the unit of bus timing: the
// program has no other delay than these port accesses.
#pragma once

#include <cstdint>

#include "port.h"

namespace zorbix {

// Data register bits as the adapter wires them.
constexpr std::uint8_t BitScl = 0x01;       // D0, pin 2: SCL
constexpr std::uint8_t BitSdaBas = 0x02;    // D1, pin 3: transistor pulls SDA low
constexpr std::uint8_t BitPin7 = 0x04;      // D2, pin 4: chip pin 7 (WP) released
constexpr std::uint8_t BitsAlimentation = 0xF0;  // D4..D7, pins 6..9: chip supply
constexpr std::uint8_t BitAcknowledge = 0x40;    // status bit 6, pin 10: SDA read back

constexpr std::uint8_t ValeurSousTension = 0xF5;  // powered, bus idle, pin 7 released
constexpr std::uint8_t ValeurHorsTension = 0x06;  // unpowered, SCL low, SDA held low
constexpr int EcrituresMiseSousTension = 2000;    // the supply's settling time

inline void ModifierDonnees(std::uint16_t portBase, std::uint8_t ou, std::uint8_t et) {
  EcrirePort(portBase, static_cast<std::uint8_t>((LirePort(portBase) | ou) & et));
}

inline void SclHaut(std::uint16_t portBase) { ModifierDonnees(portBase, BitScl, 0xFF); }
inline void SclBas(std::uint16_t portBase) { ModifierDonnees(portBase, 0, 0xFE); }
inline void SdaBas(std::uint16_t portBase) { ModifierDonnees(portBase, BitSdaBas, 0xFF); }
inline void SdaLibre(std::uint16_t portBase) { ModifierDonnees(portBase, 0, 0xFD); }
inline void WpLibre(std::uint16_t portBase) { ModifierDonnees(portBase, BitPin7, 0xFF); }
inline void WpMasse(std::uint16_t portBase) { ModifierDonnees(portBase, 0, 0xFB); }

// Level of SDA on the Acknowledge input: 1 high, 0 low.
inline int LireSda(std::uint16_t portBase) {
  return (LirePort(static_cast<std::uint16_t>(portBase + 1)) >> 6) & 1;
}

void MiseSousTension(std::uint16_t portBase);
void MiseHorsTension(std::uint16_t portBase);

// Keeps the chip powered for as long as it lives: MiseSousTension when made,
// MiseHorsTension when it goes, however the scope is left.
class SousTension {
 public:
  explicit SousTension(std::uint16_t portBase) : portBase_(portBase) { MiseSousTension(portBase_); }
  ~SousTension() { MiseHorsTension(portBase_); }
  SousTension(const SousTension&) = delete;
  SousTension& operator=(const SousTension&) = delete;

 private:
  std::uint16_t portBase_;
};

}  // namespace zorbix
