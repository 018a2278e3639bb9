// The I2C buses the kernel offers through i2c-dev, as /sys/class/i2c-dev
// lists them, and what kind of bus each one is.
//
// A PC's own SMBus carries the memory modules' SPD EEPROMs at the addresses
// of a 24Cxx (0x50 to 0x57), and a graphics card's display buses the
// monitors' EDID and the card's own chips: a write there can leave a machine
// unbootable or a screen dark, so those buses are told apart from the buses
// a user wires a chip to (a Raspberry Pi's pins, a USB bridge).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorbix {

enum class GenreBusI2c {
  Ordinaire,  // a bus a user wires chips to
  SmbusPC,    // a PC chipset's SMBus: the memory modules' SPD EEPROMs
  Affichage,  // a graphics card's display bus (DDC, AUX)
};

struct BusI2cListe {
  int numero;         // N of /dev/i2c-N
  std::string nom;    // the adapter's name, as /sys/class/i2c-dev/i2c-N/name gives it
  GenreBusI2c genre;
};

// The kind of a bus from its name and its parent's PCI class ("0x0c0500"),
// empty when the parent is not a PCI device.
GenreBusI2c GenreDuBus(const std::string& nom, const std::string& classePci);

// Every bus under <sys>/class/i2c-dev, by increasing N.
std::vector<BusI2cListe> ListerBusI2c(const std::string& racineSys = "/sys");

// The kernel driver bound to address `adresse` of bus `numero` ("at24",
// "ee1004", "spd5118"), empty when none.
std::string PiloteSurAdresse(int numero, std::uint16_t adresse, const std::string& racineSys = "/sys");

// "i2c-1 (bcm2835 (i2c@7e804000))", the name the menus and messages give.
std::string NomBusI2c(const BusI2cListe& bus);

}  // namespace zorbix
