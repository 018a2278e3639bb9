#include "engine/usb/ch341a_adapter.h"

#include <utility>

namespace zorbix {
namespace {

// A device gone in the middle: nothing of the operation is to be believed.
void Debranche(Bilan& bilan) {
  bilan.Fin = Deroulement::NonConserve;
  bilan.Raison = TexteCh341aDebranche;
}

}  // namespace

ReglagesCh341a ReglagesDepuisOptions(const OptionsAdaptateur& options) {
  ReglagesCh341a reglages;
  if (options.VitesseKHz == 400) reglages.Vitesse = VitesseBus::K400;
  if (options.VitesseKHz == 750) reglages.Vitesse = VitesseBus::K750;
  reglages.Broches = options.Broches & 7;
  return reglages;
}

AdaptateurCh341a::AdaptateurCh341a(IdentitePort port, const ReglagesCh341a& reglages, OuvreurCh341a ouvrir)
    : port_(std::move(port)), reglages_(reglages), ouvrir_(std::move(ouvrir)) {}

// Runs `travail(bilan, puce)` while the device is taken. An Interruption
// from its progression comes between two transactions: the pages before it
// are written, and the device is given back as after any other operation.
template <typename BilanT, typename Travail>
BilanT AdaptateurCh341a::SurLaPuce(const Puce& puce, Travail travail) {
  BilanT bilan;
  std::string raison;
  std::unique_ptr<PriseCh341a> prise = ouvrir_(raison);
  if (!prise) {
    bilan.Fin = Deroulement::Occupe;
    bilan.Raison = raison;
    return bilan;
  }
  PuceCh341a ch341a(prise->Transport(), puce.ChipType, puce.ChipSize, reglages_, prise->Horloge());
  try {
    travail(bilan, ch341a);
  } catch (const Interruption& interruption) {
    bilan.Fin = Deroulement::Interrompu;
    bilan.Position = interruption.Position;
  }
  if (!prise->Rendre(raison) && bilan.Fin != Deroulement::NonConserve) {
    bilan.Fin = Deroulement::NonConserve;
    bilan.Raison = raison;
  }
  return bilan;
}

BilanLecture AdaptateurCh341a::LirePlage(const Puce& puce, const Plage& plage, std::uint8_t* octets,
                                         const Progression& progression) {
  if (!PlageValide({0, puce.ChipType, puce.ChipSize}, plage)) return {};
  return SurLaPuce<BilanLecture>(puce, [&](BilanLecture& b, PuceCh341a& ch341a) {
    const EtatLecture etat = ch341a.lirePlage(plage.Debut, plage.Longueur, octets, progression);
    b.Acquittee = etat == EtatLecture::Lue;
    if (etat == EtatLecture::Debranche) Debranche(b);
  });
}

BilanProgrammation AdaptateurCh341a::ProgrammerPlage(const Puce& puce, const Plage& plage,
                                                     const std::uint8_t* octets, bool writeMode,
                                                     const Progression& progression) {
  BilanProgrammation refus;
  refus.Resultat = WriteResult::AdresseHorsMemoire;
  if (!PlageValide({0, puce.ChipType, puce.ChipSize}, plage)) return refus;
  return SurLaPuce<BilanProgrammation>(puce, [&](BilanProgrammation& b, PuceCh341a& ch341a) {
    const ResultatEcritureCh341a r = ch341a.programmerPlage(plage.Debut, plage.Longueur, octets, writeMode, progression);
    b.Resultat = r.Code;
    if (r.Debranche) Debranche(b);
  });
}

BilanProgrammation AdaptateurCh341a::ProgrammerUnOctet(const Puce& puce, const std::uint8_t* octets, int adresse) {
  return SurLaPuce<BilanProgrammation>(puce, [&](BilanProgrammation& b, PuceCh341a& ch341a) {
    const ResultatEcritureCh341a r = ch341a.programmerOctetSeul(octets, adresse);
    b.Resultat = r.Code;
    if (r.Debranche) Debranche(b);
  });
}

BilanComparaison AdaptateurCh341a::Comparer(const Puce& puce, const std::uint8_t* octets, std::uint8_t* zone,
                                            const Progression& progression) {
  return SurLaPuce<BilanComparaison>(puce, [&](BilanComparaison& b, PuceCh341a& ch341a) {
    const ResultatComparaisonCh341a r = ch341a.comparerMemoire(octets, zone, progression);
    b.Resultat = r.Comparaison;
    if (r.Debranche) Debranche(b);
  });
}

BilanSonde AdaptateurCh341a::SonderAcquittement(std::uint8_t selection) {
  // The probe's bytes do not depend on the chip type.
  return SurLaPuce<BilanSonde>({0, 256}, [&](BilanSonde& b, PuceCh341a& ch341a) {
    const EtatLecture etat = ch341a.sonder(selection);
    b.Acquittee = etat == EtatLecture::Lue;
    if (etat == EtatLecture::Debranche) Debranche(b);
  });
}

namespace {

// The identification's probes as CH341A streams. A device unplugged on the
// way answers nothing more, and the operation ends as unplugged.
class SondeurCh341a final : public Sondeur {
 public:
  explicit SondeurCh341a(PuceCh341a& ch341a) : ch341a_(ch341a) {}
  bool SelectionAcquittee(std::uint8_t selection) override {
    return Noter(ch341a_.sonderSelectionLecture(selection));
  }
  bool LireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse, std::uint8_t* octets,
                        int nombre) override {
    return Noter(ch341a_.lireApresAdresse(selection, adresse, nombreAdresse, octets, nombre));
  }
  bool debranche = false;

 private:
  bool Noter(EtatLecture etat) {
    if (debranche) return false;
    debranche = etat == EtatLecture::Debranche;
    return etat == EtatLecture::Lue;
  }
  PuceCh341a& ch341a_;
};

}  // namespace

Bilan AdaptateurCh341a::Sonder(const std::function<void(Sondeur&)>& sondage) {
  return SurLaPuce<Bilan>({0, 256}, [&](Bilan& b, PuceCh341a& ch341a) {
    SondeurCh341a sondeur(ch341a);
    sondage(sondeur);
    if (sondeur.debranche) Debranche(b);
  });
}

}  // namespace zorbix
