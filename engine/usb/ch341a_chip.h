// The chip operations of the programmer (whole-chip read, programming by
// pages or bytes, one byte, compare) through a CH341A, with the progress
// contract of engine/transfers.h and the WriteResult codes of the bus.
//
// The bytes on the bus are those of the parallel adapter: device-select
// bytes with their block bits, one or two address bytes, a sequential read
// from address 0, pages of the chip's own size inside one START ... STOP.
// What differs is how acknowledges are seen: the device reports one only
// for a byte sent alone with 0x80. The device-select and address bytes of
// every transaction and the last byte of every page are sent so; the other
// data bytes are not, so programming is always to be followed by a
// verification. A write cycle ends when the chip acknowledges its
// device-select byte again (polling), within a deadline in milliseconds.
//
// A device that stops answering ends the operation at once: the result says
// Debranche and nothing is to be taken as written or read.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/i2c_bus.h"
#include "engine/transfers.h"
#include "engine/usb/ch341a_protocol.h"
#include "engine/usb/ch341a_transport.h"

namespace zorbix {

// Milliseconds from any fixed origin; the simulated device gives its own
// simulated time, the real device the steady clock.
using HorlogeMs = std::function<std::uint64_t()>;
HorlogeMs HorlogeReelle();

// Polling gives up once this much time has passed since the STOP that
// started the write cycle (data sheets: 5 to 10 ms), after one last poll.
constexpr std::uint64_t DelaiFinEcritureMs = 100;

struct ReglagesCh341a {
  VitesseBus Vitesse = VitesseParDefaut;
  // The levels the socket gives the chip's pins A2 A1 A0 (bits 2..0), put in
  // bits 3..1 of every device-select byte; on the 24C04/08/16 the bits that
  // carry address bits are left to them.
  int Broches = 0;
};

constexpr const char* TexteCh341aDebranche =
    "Opération interrompue : le programmateur CH341A ne répond plus (débranché ?).\n"
    "Rien de ce qui devait être lu ou écrit n'est garanti.";

enum class EtatLecture : int { Lue, NonAcquittee, Debranche };

struct ResultatEcritureCh341a {
  // EcritureReussie only when every transaction succeeded. When the device
  // is gone, FinEcritureNonVue: a failure whatever the caller makes of it.
  WriteResult Code;
  bool Debranche;
};

struct ResultatComparaisonCh341a {
  ResultatComparaison Comparaison;
  bool Debranche;
};

// The programming run's message: MessageProgrammation, or the device gone.
const char* MessageCh341a(const ResultatEcritureCh341a& resultat);

class PuceCh341a {
 public:
  PuceCh341a(TransportCh341a& transport, int chipType, int chipSize, const ReglagesCh341a& reglages,
             HorlogeMs horloge);

  // octets[0..ChipSize-1] from address 0; untouched unless Lue.
  EtatLecture lireMemoire(std::uint8_t* octets, const Progression& progression);
  // Stops at the first transaction that fails, as the parallel adapter does.
  ResultatEcritureCh341a programmerMemoireEntiere(const std::uint8_t* octets, bool writeMode,
                                                  const Progression& progression);
  ResultatEcritureCh341a programmerOctetSeul(const std::uint8_t* octets, int adresse);
  // Only the device-select byte's acknowledge is judged, as on the parallel
  // adapter; `zone` receives the chip's contents.
  ResultatComparaisonCh341a comparerMemoire(const std::uint8_t* octets, std::uint8_t* zone,
                                            const Progression& progression);

  // The same on addresses debut .. debut+nombre-1 (a range the caller has
  // checked), with octets[0] at `debut` and the positions of
  // engine/range_transfers.h: a random read, and pieces of pages cut at the
  // chip's page boundaries, the bytes around the range untouched.
  EtatLecture lirePlage(int debut, int nombre, std::uint8_t* octets, const Progression& progression);
  ResultatEcritureCh341a programmerPlage(int debut, int nombre, const std::uint8_t* octets, bool writeMode,
                                         const Progression& progression);

  // Whether a chip acknowledges the write device-select byte `selection`:
  // its status, then a repeated START, the read select and one byte read
  // without acknowledge, and the STOP, so that nothing is written. Lue when
  // acknowledged, NonAcquittee when not, Debranche when the device is gone.
  EtatLecture sonder(std::uint8_t selection);
  // The identification's two probes (Sondeur, engine/adapter.h): a read
  // select alone, one byte read if acknowledged; and a read after the given
  // address bytes, joined by a repeated START. Neither ends an address in a
  // STOP, so nothing can be stored.
  EtatLecture sonderSelectionLecture(std::uint8_t selection);
  EtatLecture lireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse,
                               std::uint8_t* octets, int nombre);

  // The device-select byte (write) for memory address `adresse`.
  std::uint8_t selection(int adresse) const;
  // Polls sent since construction, and write cycles they waited for.
  long scrutations() const { return scrutations_; }
  long cyclesEcriture() const { return cycles_; }

 private:
  PaquetCh341a nouveauPaquet();
  bool echanger(PaquetCh341a& paquet, std::uint8_t* reponses);
  bool envoyerStop();
  WriteResult ecrire(int adresse, const std::uint8_t* octets, int nombre);
  WriteResult jugerEnTete(const std::uint8_t* statuts, int nombre) const;
  WriteResult attendreFinEcriture();
  WriteResult programmerParPages(int debut, int nombre, const std::uint8_t* octets, const Progression& progression);
  WriteResult programmerParOctets(int debut, int nombre, const std::uint8_t* octets, const Progression& progression);
  bool envoyerAdresse(int adresse, std::uint8_t* statuts);
  bool lireSuite(std::uint8_t* dest, int nombre, const Progression& progression);
  ResultatEcritureCh341a conclure(WriteResult code) const;
  void debuterOperation();

  TransportCh341a& transport_;
  const int type_;
  const int taille_;
  const ReglagesCh341a reglages_;
  const HorlogeMs horloge_;
  bool vitesseEnvoyee_ = false;
  bool perdu_ = false;
  long scrutations_ = 0;
  long cycles_ = 0;
};

}  // namespace zorbix
