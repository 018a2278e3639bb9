#include "engine/use_cases.h"

#include <utility>
#include <vector>

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

IssueProgrammation JugerProgrammation(const BilanProgrammation& bilan, int taille, const Suivi& suivi) {
  IssueProgrammation issue;
  issue.Resultat = bilan.Resultat;
  if (!Termine(bilan, issue)) return issue;
  issue.Message = MessageProgrammation(bilan.Resultat);
  issue.Reussie = bilan.Resultat == WriteResult::EcritureReussie;
  // On a failure the progress stays where the programming stopped.
  if (issue.Reussie) Signaler(suivi, taille);
  return issue;
}

BilanLecture LireSur(Adapter& adaptateur, const Puce& puce, const Partie& partie, std::uint8_t* octets,
                     const Progression& progression) {
  return partie.Entiere ? adaptateur.Lire(puce, octets, progression)
                        : adaptateur.LirePlage(puce, partie.Octets, octets, progression);
}

// A range is compared as the whole chip is: read, then counted, with only
// its address phase's acknowledge tested.
BilanComparaison ComparerSur(Adapter& adaptateur, const Puce& puce, const Partie& partie, const std::uint8_t* image,
                             std::uint8_t* zone, const Progression& progression) {
  if (partie.Entiere) return adaptateur.Comparer(puce, image, zone, progression);
  const BilanLecture lecture = adaptateur.LirePlage(puce, partie.Octets, zone, progression);
  BilanComparaison bilan;
  static_cast<Bilan&>(bilan) = lecture;
  bilan.Resultat = {lecture.Acquittee, 0};
  if (lecture.Acquittee)
    for (int i = 0; i < partie.Octets.Longueur; ++i) bilan.Resultat.Differences += zone[i] != image[i];
  return bilan;
}

}  // namespace

Partie PuceEntiere(const Puce& puce) { return {true, {0, puce.ChipSize}}; }

Issue LireLaMemoire(Adapter& adaptateur, const Puce& puce, std::uint8_t* octets, const Suivi& suivi) {
  return LireLaPartie(adaptateur, puce, PuceEntiere(puce), octets, suivi);
}

Issue LireLaPartie(Adapter& adaptateur, const Puce& puce, const Partie& partie, std::uint8_t* octets,
                   const Suivi& suivi) {
  Issue issue;
  const BilanLecture bilan = LireSur(adaptateur, puce, partie, octets, suivi.Position);
  if (!Termine(bilan, issue)) return issue;
  issue.Reussie = bilan.Acquittee;
  if (!issue.Reussie) issue.Message = TexteLectureImpossible;
  return issue;
}

IssueComparaison ComparerEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image, ZoneTravail zone,
                                 const Suivi& suivi) {
  return ComparerLaPartieEtJuger(adaptateur, puce, PuceEntiere(puce), image, std::move(zone), suivi);
}

IssueComparaison ComparerLaPartieEtJuger(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                         const std::uint8_t* image, ZoneTravail zone, const Suivi& suivi) {
  IssueComparaison issue;
  issue.Zone = std::move(zone);
  if (!issue.Zone) {
    issue.ZoneIndisponible = true;
    issue.Message = TexteZoneTravailIndisponible;
    return issue;
  }
  const BilanComparaison bilan = ComparerSur(adaptateur, puce, partie, image, issue.Zone.get(), suivi.Position);
  issue.Resultat = bilan.Resultat;
  if (!Termine(bilan, issue)) return issue;
  issue.Reussie = bilan.Resultat.Acquittee && bilan.Resultat.Differences == 0;
  if (!bilan.Resultat.Acquittee)
    issue.Message = TexteComparaisonSansAcquittement;
  else if (issue.Reussie)
    issue.Message = TexteAucuneDifference;
  else
    issue.Message = TexteDifferences(bilan.Resultat.Differences, partie.Octets.Longueur);
  return issue;
}

IssueProgrammation ProgrammerEtVerifier(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                        bool writeMode, bool verifier, AllocateurZone allouer, const Suivi& suivi) {
  return ProgrammerLaPartieEtVerifier(adaptateur, puce, PuceEntiere(puce), image, writeMode, verifier, allouer,
                                      suivi);
}

IssueProgrammation ProgrammerLaPartieEtVerifier(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                                const std::uint8_t* image, bool writeMode, bool verifier,
                                                AllocateurZone allouer, const Suivi& suivi) {
  const BilanProgrammation bilan =
      partie.Entiere ? adaptateur.ProgrammerTout(puce, image, writeMode, suivi.Position)
                     : adaptateur.ProgrammerPlage(puce, partie.Octets, image, writeMode, suivi.Position);
  IssueProgrammation issue = JugerProgrammation(bilan, partie.Octets.Longueur, suivi);
  // An adapter that does not see every data byte's acknowledge is always
  // verified: only the read-back tells that the bytes were taken.
  if (!issue.Reussie || !(verifier || !adaptateur.VoitChaqueAcquittement())) return issue;
  if (suivi.Verification) suivi.Verification();
  issue.Verifiee = true;
  issue.Verification = ComparerLaPartieEtJuger(adaptateur, puce, partie, image,
                                               allouer(static_cast<std::size_t>(partie.Octets.Longueur)), suivi);
  if (issue.Verification.Reussie) return issue;
  issue.Reussie = false;
  issue.Fin = issue.Verification.Fin;
  issue.Message = DebutVerificationEchouee + issue.Verification.Message;
  return issue;
}

IssueProgrammation EffacerEtVerifier(Adapter& adaptateur, const Puce& puce, const Partie& partie,
                                     std::uint8_t valeur, bool writeMode, bool verifier, AllocateurZone allouer,
                                     const Suivi& suivi) {
  const std::vector<std::uint8_t> image(static_cast<std::size_t>(partie.Octets.Longueur), valeur);
  return ProgrammerLaPartieEtVerifier(adaptateur, puce, partie, image.data(), writeMode, verifier, allouer, suivi);
}

IssueVierge VerifierVierge(Adapter& adaptateur, const Puce& puce, const Partie& partie, ZoneTravail zone,
                           const Suivi& suivi) {
  IssueVierge issue;
  issue.Zone = std::move(zone);
  if (!issue.Zone) {
    issue.Message = TexteZoneTravailIndisponible;
    return issue;
  }
  const BilanLecture bilan = LireSur(adaptateur, puce, partie, issue.Zone.get(), suivi.Position);
  if (!Termine(bilan, issue)) return issue;
  if (!bilan.Acquittee) {
    issue.Message = TexteLectureImpossible;
    return issue;
  }
  issue.Lue = true;
  for (int i = 0; i < partie.Octets.Longueur; ++i) issue.NonVierges += issue.Zone[i] != 0xFF;
  issue.Reussie = issue.NonVierges == 0;
  return issue;
}

IssueProgrammation ProgrammerOctetEtJuger(Adapter& adaptateur, const Puce& puce, const std::uint8_t* image,
                                          int adresse, const Suivi& suivi) {
  return JugerProgrammation(adaptateur.ProgrammerUnOctet(puce, image, adresse), puce.ChipSize, suivi);
}

}  // namespace zorbix
