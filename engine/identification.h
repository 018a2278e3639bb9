// Which types the chip in the socket can be, learnt by reading only.
//
// The probing goes through the adapter's Sonder (adapter.h), so every
// adapter that sees an acknowledge can identify. It never writes: pin 7
// stays high where the adapter drives it (the 24Cxx array is write protected
// throughout), every probe of a select byte is a one-byte read, and every
// address phase ends in a repeated start and a read, never in a stop,
// because a chip that takes fewer address bytes than were sent holds the
// extra one as data, and a stop would write it.
//
// The evidence:
//  - which of the eight select bytes $A0, $A2, ... $AE are acknowledged
//    (a 24C16 or a 24C00 answers all eight, a 24C08 four, a 24C04 two, the
//    other types one);
//  - reads of the same places with one and with two address bytes: a type
//    is ruled out when two bytes read would be the same byte of that type
//    (its address counter wraps at its capacity) and differ.
// Each type is judged by the reads made in its own addressing only; what a
// chip does with an address of the other width is not relied on. A larger
// type always survives beside a smaller one whose contents repeat, and
// uniform contents (an erased chip) tell nothing: the verdict says so.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/adapter.h"
#include "engine/chips.h"

namespace zorbix {

// One read of the probing: the address sent with one (select $A0, one byte)
// or two address bytes, a repeated start, $A1 and the bytes read.
struct LectureSonde {
  int OctetsAdresse;
  int Adresse;
  bool AdresseAcquittee;  // the select byte and every address byte acknowledged
  std::vector<std::uint8_t> Octets;
};

// Why a type is not possible.
struct Exclusion {
  enum Raison { Aucune, Selections, AdresseRefusee, OctetsDifferents } Pourquoi = Aucune;
  // OctetsDifferents: byte PositionA of read LectureA and byte PositionB of
  // read LectureB are one byte of this type and differ. AdresseRefusee:
  // LectureA's address was refused.
  int LectureA = -1, PositionA = 0, LectureB = -1, PositionB = 0;
};

enum class Certitude {
  AucuneMemoire,  // no select byte acknowledged: empty socket, no adapter
  AucunType,      // the chip answers as none of the types would
  Certaine,       // every possible type has the same size
  Probable,       // the smallest possible type, its contents seen to vary;
                  // larger ones only if their contents repeat at its size
  Incertaine,     // the contents read are too regular to choose
};

struct Identification {
  std::uint8_t SelectionsAcquittees = 0;  // bit b: select $A0 | 2b acknowledged
  std::vector<LectureSonde> Lectures;
  Exclusion Exclusions[NombreTypesMemoire];
  Certitude Verdict = Certitude::AucuneMemoire;
  int TailleRetenue = 0;  // Certaine, Probable: the chip's size in bytes

  bool Possible(int chipType) const { return Exclusions[chipType].Pourquoi == Exclusion::Aucune; }
};

// The select bytes a type answers with A2, A1, A0 tied to ground, as the
// bit mask of Identification::SelectionsAcquittees.
std::uint8_t SelectionsRepondues(int chipType);

// Probes the chip behind `adaptateur`, in one operation of it (taken and
// the chip powered for the probing only), into `identification`. How the
// operation went: when it did not run (Occupe), `identification` says no
// chip answered.
Bilan IdentifierMemoire(Adapter& adaptateur, Identification& identification);

// The reasoning alone, from the acknowledged selects and the reads made:
// fills Exclusions, Verdict and TailleRetenue.
void Deduire(Identification& identification);

}  // namespace zorbix
