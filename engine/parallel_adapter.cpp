#include "engine/parallel_adapter.h"

#include <memory>
#include <vector>

#include "engine/autodetection.h"
#include "engine/chips.h"
#include "engine/lines.h"
#include "engine/port_claim.h"

namespace zorbix {
namespace {

// Runs `travail(bilan)` while the port is taken. An Interruption from its
// progression leaves through the transfer's supply guard, so the chip is
// already powered down here; the port is given back in every case, and a
// give-back that fails (a virtual chip not written back) is the outcome.
template <typename BilanT, typename Travail>
BilanT SurLePort(std::uint16_t base, Travail travail) {
  BilanT bilan;
  PortPris prise(base);
  if (!prise.Pris()) {
    bilan.Fin = Deroulement::Occupe;
    bilan.Raison = prise.Raison();
    return bilan;
  }
  try {
    travail(bilan);
  } catch (const Interruption& interruption) {
    bilan.Fin = Deroulement::Interrompu;
    bilan.Position = interruption.Position;
  }
  if (!prise.Rendre()) {
    bilan.Fin = Deroulement::NonConserve;
    bilan.Raison = prise.Raison();
  }
  return bilan;
}

// Write select, its acknowledge noted, then a repeated START and a one-byte
// read ended without acknowledge and by a STOP: the chip's address counter
// is the only thing that may move.
bool SonderSelection(std::uint16_t p, std::uint8_t selection) {
  const SousTension alimentation(p);
  ConditionStart(p);
  const bool acquittee = EnvoyerOctet(p, static_cast<std::uint8_t>(selection & 0xFE));
  ConditionStart(p);
  EnvoyerOctet(p, static_cast<std::uint8_t>(selection | 0x01));
  RecevoirOctet(p, Acquittement::Sans);
  ConditionStop(p);
  return acquittee;
}

// The probes of an identification, bit by bit on the port; the caller keeps
// the chip powered.
class SondeurParallele final : public Sondeur {
 public:
  explicit SondeurParallele(std::uint16_t p) : p_(p) {}

  bool SelectionAcquittee(std::uint8_t selection) override {
    ConditionStart(p_);
    const bool acquittee = EnvoyerOctet(p_, static_cast<std::uint8_t>(selection | 0x01));
    if (acquittee) RecevoirOctet(p_, Acquittement::Sans);
    ConditionStop(p_);
    return acquittee;
  }

  // Every byte is clocked whatever was refused before it, so that the bus
  // sees the same sequence on every chip.
  bool LireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse,
                        std::uint8_t* octets, int nombre) override {
    ConditionStart(p_);
    bool acquittee = EnvoyerOctet(p_, static_cast<std::uint8_t>(selection & 0xFE));
    for (int i = 0; i < nombreAdresse; ++i) acquittee = EnvoyerOctet(p_, adresse[i]) && acquittee;
    ConditionStart(p_);  // repeated start: a stop here could write an address byte as data
    EnvoyerOctet(p_, static_cast<std::uint8_t>(selection | 0x01));
    for (int i = 0; i < nombre; ++i)
      octets[i] = RecevoirOctet(p_, i + 1 < nombre ? Acquittement::Avec : Acquittement::Sans);
    ConditionStop(p_);
    return acquittee;
  }

 private:
  std::uint16_t p_;
};

}  // namespace

BilanLecture AdaptateurParallele::Lire(const Puce& puce, std::uint8_t* octets, const Progression& progression) {
  return SurLePort<BilanLecture>(port_.Adresse, [&](BilanLecture& b) {
    b.Acquittee = LireMemoire(Cible(puce), octets, progression);
  });
}

BilanProgrammation AdaptateurParallele::ProgrammerTout(const Puce& puce, const std::uint8_t* octets, bool writeMode,
                                                       const Progression& progression) {
  return SurLePort<BilanProgrammation>(port_.Adresse, [&](BilanProgrammation& b) {
    b.Resultat = ProgrammerMemoireEntiere(Cible(puce), octets, writeMode, progression);
  });
}

BilanProgrammation AdaptateurParallele::ProgrammerUnOctet(const Puce& puce, const std::uint8_t* octets,
                                                          int adresse) {
  return SurLePort<BilanProgrammation>(port_.Adresse, [&](BilanProgrammation& b) {
    b.Resultat = ProgrammerOctetSeul(Cible(puce), octets, adresse);
  });
}

BilanComparaison AdaptateurParallele::Comparer(const Puce& puce, const std::uint8_t* octets, std::uint8_t* zone,
                                               const Progression& progression) {
  return SurLePort<BilanComparaison>(port_.Adresse, [&](BilanComparaison& b) {
    b.Resultat = ComparerMemoire(Cible(puce), octets, zone, progression);
  });
}

BilanLecture AdaptateurParallele::LirePlage(const Puce& puce, const Plage& plage, std::uint8_t* octets,
                                           const Progression& progression) {
  return SurLePort<BilanLecture>(port_.Adresse, [&](BilanLecture& b) {
    b.Acquittee = zorbix::LirePlage(Cible(puce), plage, octets, progression);
  });
}

BilanProgrammation AdaptateurParallele::ProgrammerPlage(const Puce& puce, const Plage& plage,
                                                        const std::uint8_t* octets, bool writeMode,
                                                        const Progression& progression) {
  return SurLePort<BilanProgrammation>(port_.Adresse, [&](BilanProgrammation& b) {
    b.Resultat = zorbix::ProgrammerPlage(Cible(puce), plage, octets, writeMode, progression);
  });
}

BilanSonde AdaptateurParallele::SonderAcquittement(std::uint8_t selection) {
  return SurLePort<BilanSonde>(port_.Adresse,
                               [&](BilanSonde& b) { b.Acquittee = SonderSelection(port_.Adresse, selection); });
}

Bilan AdaptateurParallele::Sonder(const std::function<void(Sondeur&)>& sondage) {
  return SurLePort<Bilan>(port_.Adresse, [&](Bilan&) {
    const SousTension alimentation(port_.Adresse);  // pin 7 high: the 24Cxx array is write-protected
    SondeurParallele sondeur(port_.Adresse);
    sondage(sondeur);
  });
}

BilanDetection DetecterAdaptateurParallele(const PortsSupplementaires& supplementaires) {
  BilanDetection bilan;
  std::vector<std::string> refus;
  const int trouve = DetecterProgrammateur(supplementaires, &refus);
  if (trouve >= 0) bilan.Trouve = PortsParalleles(supplementaires)[static_cast<std::size_t>(trouve)];
  for (const std::string& raison : refus) bilan.Raison += (bilan.Raison.empty() ? "" : "\n") + raison;
  if (!refus.empty() && trouve < 0) bilan.Fin = Deroulement::Occupe;
  return bilan;
}

}  // namespace zorbix
