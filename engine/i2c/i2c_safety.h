// What may be done on which I2C bus: the guard that keeps a write away from
// a PC's memory modules and a graphics card's display buses.
//
// On a PC's SMBus or a display bus, writing (programming, erasing, one byte)
// needs the user's explicit permission for that bus, and so does every
// operation at 0x50..0x57, reads included: the memory modules' SPD EEPROMs
// answer there, and the address phase of a read meant for a chip with two
// address bytes would store its second byte in a module's EEPROM. The other
// buses are the user's own.
#pragma once

#include <cstdint>
#include <string>

#include "engine/i2c/i2c_buses.h"

namespace zorbix {

enum class OperationI2c { Lecture, Ecriture };

// True when the operation may go ahead.
bool OperationPermise(GenreBusI2c genre, OperationI2c operation, std::uint16_t adresse, bool ecritureAutorisee);

// Why it may not, in French, naming the bus and what lives on it (without
// the way to allow it, which each front end says in its own terms).
std::string RaisonRefus(const BusI2cListe& bus, std::uint16_t adresse);

// The refusal of an address where a kernel driver is bound, and how the user
// can unbind it.
std::string RaisonPiloteNoyau(int numero, std::uint16_t adresse, const std::string& pilote);

}  // namespace zorbix
