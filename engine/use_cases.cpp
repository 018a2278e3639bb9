#include "engine/use_cases.h"

#include <utility>

#include "engine/transfer_messages.h"

namespace zorbix {
namespace {

// Carries how the adapter's operation went into the use case's outcome; true
// when it ran to its end, so that its own result decides. Otherwise the
// reason is the message (an interruption's is the front end's to word).
bool Termine(const Bilan& bilan, Issue& issue) {
  issue.Fin = bilan.Fin;
  issue.Position = bilan.Position;
  if (bilan.Fin == Deroulement::Termine) return true;
  issue.Message = bilan.Raison;
  return false;
}

void Signaler(const Suivi& suivi, int position) {
  if (suivi.Position) suivi.Position(position);
}

IssueProgrammation JugerProgrammation(const BilanProgrammation& bilan, const Puce& puce, const Suivi& suivi) {
  IssueProgrammation issue;
  issue.Resultat = bilan.Resultat;
  if (!Termine(bilan, issue)) return issue;
  issue.Message = MessageProgrammation(bilan.Resultat);
  issue.Reussie = bilan.Resultat == WriteResult::EcritureReussie;
  // On a failure the progress stays where the programming stopped.
  if (issue.Reussie) Signaler(suivi, puce.ChipSize);
  return issue;
}

}  // namespace

Issue LireLaMemoire(Adapter& adaptateur, const Puce& puce, std::uint8_t* octets, const Suivi& suivi) {
  Issue issue;
  const BilanLecture bilan = adaptateur.Lire(puce, octets, suivi.Position);
  if (!Termine(bilan, issue)) return issue;
  issue.Reussie = bilan.Acquittee;
  if (!issue.Reussie) issue.Message = TexteLectureImpossible;
  return issue;
}

IssueComparaison ComparerEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image, ZoneTravail zone,
                                 const Suivi& suivi) {
  IssueComparaison issue;
  issue.Zone = std::move(zone);
  if (!issue.Zone) {
    issue.ZoneIndisponible = true;
    issue.Message = TexteZoneTravailIndisponible;
    return issue;
  }
  const BilanComparaison bilan = adaptateur.Comparer(puce, image, issue.Zone.get(), suivi.Position);
  issue.Resultat = bilan.Resultat;
  if (!Termine(bilan, issue)) return issue;
  issue.Reussie = bilan.Resultat.Acquittee && bilan.Resultat.Differences == 0;
  if (!bilan.Resultat.Acquittee)
    issue.Message = TexteComparaisonSansAcquittement;
  else if (issue.Reussie)
    issue.Message = TexteAucuneDifference;
  else
    issue.Message = TexteDifferences(bilan.Resultat.Differences, puce.ChipSize);
  return issue;
}

IssueProgrammation ProgrammerEtVerifier(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                        bool writeMode, bool verifier, AllocateurZone allouer, const Suivi& suivi) {
  IssueProgrammation issue =
      JugerProgrammation(adaptateur.ProgrammerTout(puce, image, writeMode, suivi.Position), puce, suivi);
  // An adapter that does not see every data byte's acknowledge is always
  // verified: only the read-back tells that the bytes were taken.
  if (!issue.Reussie || !(verifier || !adaptateur.VoitChaqueAcquittement())) return issue;
  if (suivi.Verification) suivi.Verification();
  issue.Verifiee = true;
  issue.Verification =
      ComparerEtJuger(adaptateur, puce, image, allouer(static_cast<std::size_t>(puce.ChipSize)), suivi);
  if (issue.Verification.Reussie) return issue;
  issue.Reussie = false;
  issue.Fin = issue.Verification.Fin;
  issue.Message = DebutVerificationEchouee + issue.Verification.Message;
  return issue;
}

IssueProgrammation ProgrammerOctetEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                          int adresse, const Suivi& suivi) {
  return JugerProgrammation(adaptateur.ProgrammerUnOctet(puce, image, adresse), puce, suivi);
}

}  // namespace zorbix
