// What the programmer reaches a chip through: the parallel-port adapter, the
// CH341A USB programmer or a kernel I2C bus. The use cases
// (use_cases.h) and the front ends speak to this interface only.
//
// Each chip operation takes the adapter for itself and gives it back at its
// end (the ppdev claim, a virtual chip's file lock), so that another program
// waits for one operation at most. Beside its own result, an operation says
// how it went (Deroulement): done, not started because the adapter could not
// be had, done but not kept, or stopped between two transactions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/i2c_bus.h"
#include "engine/interruption.h"
#include "engine/port_identity.h"
#include "engine/range_transfers.h"
#include "engine/transfers.h"

namespace zorbix {

// The chip in the socket as the user chose it.
struct Puce {
  int ChipType;
  int ChipSize;
};

enum class Deroulement : int {
  Termine = 0,      // the operation ran to its end: its own result says how it went
  Occupe = 1,       // the adapter could not be taken: nothing was done (Raison)
  NonConserve = 2,  // the operation ran, but what it did could not be kept (Raison)
  Interrompu = 3,   // stopped by an Interruption at Position
};

struct Bilan {
  Deroulement Fin = Deroulement::Termine;
  std::string Raison;  // Occupe, NonConserve: why, in French, naming the port
  int Position = 0;    // Interrompu: where
};

struct BilanLecture : Bilan {
  bool Acquittee = false;  // LireMemoire's result: the address phase was acknowledged
};

struct BilanProgrammation : Bilan {
  WriteResult Resultat = WriteResult::EcritureReussie;  // the first transaction that failed
};

struct BilanComparaison : Bilan {
  ResultatComparaison Resultat{false, 0};
};

struct BilanSonde : Bilan {
  bool Acquittee = false;  // the device-select byte was acknowledged
};

// The reads of one identification (engine/identification.h), all made while
// the adapter is taken once and the chip powered once (Adapter::Sonder).
// Neither writes: no address phase ever ends in a STOP, since a chip that
// takes fewer address bytes than were sent would store the extra one as data.
class Sondeur {
 public:
  virtual ~Sondeur() = default;

  // START, the read device-select byte `selection | 1`, then, if it was
  // acknowledged, one byte read without acknowledge; STOP. Whether the select
  // was acknowledged: no address is sent, so nothing can be taken for data.
  virtual bool SelectionAcquittee(std::uint8_t selection) = 0;

  // START, the write select `selection & 0xFE`, the `nombreAdresse` bytes of
  // `adresse` (one or two, whatever the chip expects), a repeated START, the
  // read select and `nombre` bytes read into octets[0 .. nombre-1], the last
  // one without acknowledge; STOP. True when the select and every address
  // byte were acknowledged; the bytes are the chip's only then.
  virtual bool LireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse,
                                std::uint8_t* octets, int nombre) = 0;
};

class Adapter {
 public:
  virtual ~Adapter() = default;

  // What a window needs to know of it.
  virtual const IdentitePort& Identite() const = 0;  // its name for menus and messages
  virtual bool VoitChaqueAcquittement() const = 0;   // it sees the acknowledge of every byte it sends

  // The chip operations, with the progress contract of transfers.h and the
  // results of LireMemoire, ProgrammerMemoireEntiere (by pages when
  // EcritureParPages(chipType, writeMode)), ProgrammerOctetSeul and
  // ComparerMemoire; `zone` is the compare's scratch area (ChipSize bytes).
  // Reading and programming the whole chip are its range {0, ChipSize} unless
  // the adapter has transfers of its own for them (the parallel one has).
  virtual BilanLecture Lire(const Puce& puce, std::uint8_t* octets, const Progression& progression) {
    return LirePlage(puce, {0, puce.ChipSize}, octets, progression);
  }
  virtual BilanProgrammation ProgrammerTout(const Puce& puce, const std::uint8_t* octets, bool writeMode,
                                            const Progression& progression) {
    return ProgrammerPlage(puce, {0, puce.ChipSize}, octets, writeMode, progression);
  }
  virtual BilanProgrammation ProgrammerUnOctet(const Puce& puce, const std::uint8_t* octets, int adresse) = 0;
  virtual BilanComparaison Comparer(const Puce& puce, const std::uint8_t* octets, std::uint8_t* zone,
                                    const Progression& progression) = 0;

  // The same on one range of the chip (engine/range_transfers.h: positions
  // counted from its first byte, pages cut at the chip's page boundaries, the
  // bytes around the range untouched), for the command line's --debut and
  // --longueur. An invalid range gives AdresseHorsMemoire, or a read not
  // acknowledged, with nothing sent.
  virtual BilanLecture LirePlage(const Puce& puce, const Plage& plage, std::uint8_t* octets,
                                 const Progression& progression) = 0;
  virtual BilanProgrammation ProgrammerPlage(const Puce& puce, const Plage& plage, const std::uint8_t* octets,
                                             bool writeMode, const Progression& progression) = 0;

  // Whether a chip acknowledges the write device-select byte `selection`
  // (its low bit is ignored). Nothing is written: the address phase ends in
  // a repeated START and a one-byte read, never in a STOP, so that a chip
  // taking more address bytes than the probe sends stores nothing.
  virtual BilanSonde SonderAcquittement(std::uint8_t selection) = 0;

  // Runs `sondage` with this adapter taken and the chip powered for the
  // whole of it (pin 7 high where the adapter drives it, which write-protects
  // a 24Cxx array), then gives the adapter back: one operation for all the
  // probes of an identification.
  virtual Bilan Sonder(const std::function<void(Sondeur&)>& sondage) = 0;
};

}  // namespace zorbix
