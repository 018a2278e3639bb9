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
  Progression Position;  // each position of the running transfer (transfers.h), and ChipSize (a part's
                         // length) after a programming that succeeded
  std::function<void()> Verification;  // a whole-chip programming succeeded; its read-back starts now
};

// How a use case ended.
struct Issue {
  Deroulement Fin = Deroulement::Termine;
  bool Reussie = false;  // the whole of it went as asked
  std::string Message;   // the outcome in French as both front ends give it (empty for a read that worked)
  int Position = 0;      // Interrompu: where the programming stopped
};

// The part of the chip a use case acts on: the whole chip, through the
// whole-chip operations (the window's transfers), or one range of it through
// the range operations (the command line's --debut and --longueur). Progress
// positions and sizes count from its first byte up to its length.
struct Partie {
  bool Entiere;
  Plage Octets;  // {0, ChipSize} when Entiere
};

Partie PuceEntiere(const Puce& puce);

// The whole chip into octets[0..ChipSize-1].
Issue LireLaMemoire(Adapter& adaptateur, const Puce& puce, std::uint8_t* octets, const Suivi& suivi);
// The part into octets[0..Longueur-1].
Issue LireLaPartie(Adapter& adaptateur, const Puce& puce, const Partie& partie, std::uint8_t* octets,
                   const Suivi& suivi);

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
// The same on a part: `zone` has its length, `image` is its bytes.
IssueComparaison ComparerLaPartieEtJuger(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                         const std::uint8_t* image, ZoneTravail zone, const Suivi& suivi);

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

// The same on a part: image[0..Longueur-1] written at its addresses (a range
// by pages cut at the chip's page boundaries, the bytes around it untouched),
// then only the part verified.
IssueProgrammation ProgrammerLaPartieEtVerifier(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                                const std::uint8_t* image, bool writeMode, bool verifier,
                                                AllocateurZone allouer, const Suivi& suivi);

// The erase: every byte of the part programmed to `valeur`, then verified
// like any programming.
IssueProgrammation EffacerEtVerifier(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                     std::uint8_t valeur, bool writeMode, bool verifier, AllocateurZone allouer,
                                     const Suivi& suivi);

struct IssueVierge : Issue {
  bool Lue = false;    // the part was read: NonVierges counts its bytes
  int NonVierges = 0;  // bytes of the part other than $FF
  ZoneTravail Zone;    // the part as read (Longueur bytes), when it was
};

// The blank check: reads the part into `zone` (its length; empty when it
// could not be had) and counts its bytes other than $FF. Reussie when there
// are none.
IssueVierge VerifierVierge(Adapter& adaptateur, const Puce& puce, const Partie& partie, ZoneTravail zone,
                           const Suivi& suivi);

// Writes image[adresse] at `adresse`.
IssueProgrammation ProgrammerOctetEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                          int adresse, const Suivi& suivi);

}  // namespace zorbix
