// What both front ends do with a chip, once: reading it, programming it and
// then verifying it, comparing it with an image and judging the result. The
// window and the command line keep only their presentation (status box,
// progress bar and message box; standard output, standard error and exit
// code), so both say the same thing from the same outcome.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/adapter.h"

namespace zorbix {

// What a front end shows while a use case runs.
struct Suivi {
  Progression Position;  // each position of the running transfer (transfers.h), and ChipSize after a
                         // programming that succeeded
  std::function<void()> Verification;  // a whole-chip programming succeeded; its read-back starts now
};

// How a use case ended.
struct Issue {
  Deroulement Fin = Deroulement::Termine;
  bool Reussie = false;  // the whole of it went as asked
  std::string Message;   // the outcome in French as both front ends give it (empty for a read that worked)
  int Position = 0;      // Interrompu: where the programming stopped
};

// The whole chip into octets[0..ChipSize-1].
Issue LireLaMemoire(Adapter& adaptateur, const Puce& puce, std::uint8_t* octets, const Suivi& suivi);

struct IssueComparaison : Issue {
  ResultatComparaison Resultat{false, 0};
  bool ZoneIndisponible = false;  // no scratch area could be had: the chip was not touched
  ZoneTravail Zone;               // the chip as read (ChipSize bytes), when it was
};

// Reads the chip into `zone` (ChipSize bytes; empty when it could not be
// had) and counts how it differs from image[0..ChipSize-1]. Reussie when it
// does not differ. The zone comes back in the outcome.
IssueComparaison ComparerEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image, ZoneTravail zone,
                                 const Suivi& suivi);

struct IssueProgrammation : Issue {
  WriteResult Resultat = WriteResult::EcritureReussie;
  bool Verifiee = false;          // the read-back compare ran
  IssueComparaison Verification;  // its outcome, when it ran
};

// Writes image[0..ChipSize-1] (pages or bytes, see EcritureParPages) and,
// when the writing succeeded and `verifier` or the adapter does not see
// every acknowledge, compares the chip with it in a scratch area from
// `allouer`: the
// compare catches what the write acknowledges cannot, such as a smaller chip
// than the selected type, whose upper half wraps onto its lower half.
IssueProgrammation ProgrammerEtVerifier(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                        bool writeMode, bool verifier, AllocateurZone allouer, const Suivi& suivi);

// Writes image[adresse] at `adresse`.
IssueProgrammation ProgrammerOctetEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                          int adresse, const Suivi& suivi);

}  // namespace zorbix
