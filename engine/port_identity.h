// One identity for a port or an adapter, whatever names it: the Configuration
// menu, the settings, the autodetection, the start-up report, the messages
// and the command line's --port. One parser reads it from what a user types
// or a setting holds; one formatter writes it in each form the user reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/extra_ports.h"
#include "engine/port.h"

namespace zorbix {

// The kinds of adapter (see adapter_table.h).
enum class GenrePort : int {
  Parallele = 0,  // the passive adapter on a parallel port
  Ch341a = 1,     // the CH341A USB programmer
  I2c = 2,        // a kernel I2C bus, /dev/i2c-N
};

struct IdentitePort {
  IdentitePort(GenrePort genre = GenrePort::Parallele, std::string nom = "LPT1",
               std::uint16_t adresse = AdresseLPT1, std::string libelle = {}, bool gardee = false)
      : Genre(genre), Nom(std::move(nom)), Adresse(adresse), Libelle(std::move(libelle)), Gardee(gardee) {}

  GenrePort Genre = GenrePort::Parallele;
  // Parallel: "LPT1".."LPT3", an extra port's name ("parport0" from the
  // kernel, "sim0" when simulating), or empty for an address that is none of
  // them. CH341A: its USB bus and port path, "1-2". I2C: "i2c-1".
  std::string Nom = "LPT1";
  // Parallel: the data register (the status register is at + 1). I2C: the
  // bus number N. CH341A: 0.
  std::uint16_t Adresse = AdresseLPT1;
  // Not part of the identity, what the system says of it now. I2C: the
  // bus's name ("bcm2835 (i2c@7e804000)"), and whether it is a PC's SMBus or
  // a graphics card's display bus, where every operation on a 24Cxx needs
  // the user's explicit permission (engine/i2c/i2c_safety.h).
  std::string Libelle;
  bool Gardee = false;

  bool operator==(const IdentitePort& autre) const {
    return Genre == autre.Genre && Nom == autre.Nom && Adresse == autre.Adresse;
  }
  bool operator!=(const IdentitePort& autre) const { return !(*this == autre); }
};

// Every parallel port of this run in the order of the menu and of the
// autodetection: LPT1, LPT2, LPT3, then `supplementaires` in their order.
std::vector<IdentitePort> PortsParalleles(const PortsSupplementaires& supplementaires);

// The port at `adresse`: one of the three, an extra port, or the bare address.
IdentitePort IdentiteDuPort(std::uint16_t adresse, const PortsSupplementaires& supplementaires);

// The parser. "LPT1".."LPT3", an address in hexadecimal ("0x378", "0xDC00")
// or the name of one of `supplementaires`, all in any case; "ch341a" for the
// first CH341A of `autres` (the CH341As and I2C buses found now), a
// CH341A's path as "USB 1-2" or "CH341A (USB 1-2)" (plugged in now or not),
// and "i2c-N" for one of the buses of `autres`. None, with a one-line French
// reason in `erreur`, for anything else.
std::optional<IdentitePort> LireIdentitePort(const std::string& texte, const PortsSupplementaires& supplementaires,
                                             const std::vector<IdentitePort>& autres, std::string& erreur);
std::optional<IdentitePort> LireIdentitePort(const std::string& texte, const PortsSupplementaires& supplementaires,
                                             std::string& erreur);

// The settings keep the port as the address of its data register, under
// this name; names are matched without regard to case, so the value that
// older runs wrote as "Port_Parallele" is read by the same name.
constexpr const char* NomReglagePort = "Port_parallele";
// The port a stored value selects: the extra port at that address if there
// is one now, else 632 (0x278) LPT2, 956 (0x3BC) LPT3 and anything else LPT1.
IdentitePort IdentiteDepuisReglage(std::int64_t valeur, const PortsSupplementaires& supplementaires);
std::int64_t ValeurReglage(const IdentitePort& port);
// A CH341A or an I2C bus is kept under this other name, by its name form
// ("CH341A (USB 1-2)", "i2c-1"), read back by the parser; empty for a
// parallel port, which the value above keeps.
constexpr const char* NomReglageAdaptateur = "Adaptateur";
std::string ValeurReglageAdaptateur(const IdentitePort& port);

// The forms in which the user reads a port.
enum class FormePort {
  Nom,        // "LPT1", "parport0", "0xDC00", "CH341A (USB 1-2)", "i2c-1"
  Rapport,    // start-up report: "LPT1 (0x378)", "parport0 (0xDC00)", "0xDC00", "i2c-1 (nom du bus)"
  Menu,       // Configuration menu: "LPT&1 (378h - 379h)", "parport0 (dc00h - dc01h)", "i2c-1 (nom du bus)"
  Detection,  // autodetection: "LPT2 (à l'adresse $278)", "CH341A (USB 1-2)"
};
// The formatter.
std::string TextePort(const IdentitePort& port, FormePort forme);

// An I/O address as the report and the backends write it: "0x378", "0xDC00".
std::string TexteAdressePort(std::uint16_t adresse);

}  // namespace zorbix
