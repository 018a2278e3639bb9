// The program as I2C bus master, bit by bit on the adapter's lines.
//
// Every step is a line operation of lines.h (one read and one write of the
// data register) or an SDA read (one read of the status register). The number
// of these accesses is the bus timing: there is no other delay, so the order
// and count of operations below must not change.
#pragma once

#include <cstdint>

namespace zorbix {

// The port and chip a write transaction talks to.
struct CibleI2C {
  std::uint16_t PortBase;
  int ChipType;
  int ChipSize;
};

// Result codes of ProgrammerOctet and ProgrammerPage; the first failing step
// decides and later steps are skipped.
enum class WriteResult : int {
  EcritureReussie = 0,
  SelectionNonAcquittee = 1,
  PremiereAdresseNonAcquittee = 2,
  SecondeAdresseNonAcquittee = 3,
  DonneeNonAcquittee = 4,
  FinEcritureNonVue = 5,
  AdresseHorsMemoire = 6,  // not inside 0..ChipSize-1: nothing sent, port untouched
};

constexpr int NombreMaxScrutations = 2500;

void ConditionStart(std::uint16_t portBase);   // also the repeated start
void ConditionStop(std::uint16_t portBase);
void ImpulsionHorloge(std::uint16_t portBase);
bool LireAcquittement(std::uint16_t portBase);  // true if SDA was low on the 9th clock
bool EnvoyerOctet(std::uint16_t portBase, std::uint8_t octet);
// The acknowledge flag of RecevoirOctet: only Avec (1) acknowledges, asking
// for more bytes; Sans (0), and any other value, ends the read.
enum class Acquittement : int { Sans = 0, Avec = 1 };
std::uint8_t RecevoirOctet(std::uint16_t portBase, Acquittement acquitter);
// Acknowledge polling with 0xA0 after the stop that starts a write cycle.
bool AttendreFinEcriture(std::uint16_t portBase);

WriteResult ProgrammerOctet(const CibleI2C& cible, int adresse, std::uint8_t valeur);
// The caller keeps `nombre` bytes inside one page of the chip.
WriteResult ProgrammerPage(const CibleI2C& cible, int adresse, const std::uint8_t* octets, int nombre);

}  // namespace zorbix
