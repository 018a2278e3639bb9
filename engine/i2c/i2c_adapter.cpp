#include "engine/i2c/i2c_adapter.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include "engine/chips.h"
#include "engine/i2c/i2c_safety.h"

namespace zorbix {
namespace {

class PriseDevI2c final : public PriseBusI2c {
 public:
  explicit PriseDevI2c(const std::string& chemin) : bus_(chemin, AppelsSysteme()) {}
  BusI2cDev& Bus() override { return bus_; }
  std::function<std::uint64_t()> Microsecondes() override {
    return [] {
      using namespace std::chrono;
      return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
    };
  }
  bool Rendre(std::string&) override { return true; }

 private:
  BusI2cDev bus_;
};

bool Reussi(const ResultatBus& r) { return r.code == WriteResult::EcritureReussie && r.erreur == 0; }

// The identification's probes as I2C messages on the open bus. An address
// a kernel driver holds is not probed: it counts as not acknowledged.
class SondeurI2c final : public Sondeur {
 public:
  SondeurI2c(BusI2cDev& bus, MemoireSurBus& memoire) : bus_(bus), memoire_(memoire) {}
  bool SelectionAcquittee(std::uint8_t selection) override {
    const auto esclave = static_cast<std::uint16_t>(selection >> 1);
    return Libre(esclave) && memoire_.SonderEnLecture(esclave) == 0;
  }
  bool LireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse, std::uint8_t* octets,
                        int nombre) override {
    const auto esclave = static_cast<std::uint16_t>(selection >> 1);
    return Libre(esclave) && memoire_.LireApresAdresse(esclave, adresse, nombreAdresse, octets, nombre) == 0;
  }

 private:
  bool Libre(std::uint16_t esclave) { return bus_.ChoisirEsclave(esclave) != EBUSY; }
  BusI2cDev& bus_;
  MemoireSurBus& memoire_;
};

}  // namespace

std::string RaisonOuvertureI2c(int numero, int erreur) {
  const std::string nom = "i2c-" + std::to_string(numero);
  const std::string chemin = "/dev/" + nom;
  if (erreur == EACCES || erreur == EPERM)
    return nom + " : " + chemin + " présent mais inaccessible (droits insuffisants : il faut être du groupe i2c)";
  if (erreur == ENOENT) return nom + " : " + chemin + " absent (le module i2c-dev est-il chargé ?)";
  return nom + " : ouverture de " + chemin + " impossible (" + std::strerror(erreur) + ")";
}

OuvreurBusI2c OuvreurDevI2c(int numero) {
  return [numero](std::string& raison) -> std::unique_ptr<PriseBusI2c> {
    auto prise = std::make_unique<PriseDevI2c>("/dev/i2c-" + std::to_string(numero));
    if (prise->Bus().Ouvert()) return prise;
    raison = RaisonOuvertureI2c(numero, prise->Bus().Erreur());
    return nullptr;
  };
}

AdaptateurI2c::AdaptateurI2c(IdentitePort port, GenreBusI2c genre, OptionsAdaptateur options, OuvreurBusI2c ouvrir,
                             PiloteDuBus pilote)
    : port_(std::move(port)),
      genre_(genre),
      options_(std::move(options)),
      ouvrir_(std::move(ouvrir)),
      pilote_(std::move(pilote)) {}

// The chip's addresses on this bus for memory addresses debut ..
// debut+nombre-1: one per 256-byte block on the 24C04/08/16.
std::vector<std::uint16_t> AdaptateurI2c::Adresses(const Puce& puce, int debut, int nombre) const {
  std::vector<std::uint16_t> adresses;
  for (int a = debut & ~0xFF; a < debut + nombre; a += 256) {
    const std::uint16_t adresse = AdresseEsclave(puce.ChipType, a, options_.Broches);
    if (adresses.empty() || adresses.back() != adresse) adresses.push_back(adresse);
  }
  return adresses;
}

// The guard first, before the bus is opened (`bus` nullptr); then, on the
// open bus, the kernel's drivers. True, with the bilan Occupe and its
// reason, when the operation may not go ahead.
bool AdaptateurI2c::Refuser(const std::vector<std::uint16_t>& adresses, bool ecriture, BusI2cDev* bus,
                            Bilan& bilan) const {
  for (std::uint16_t adresse : adresses) {
    if (!bus) {
      const OperationI2c operation = ecriture ? OperationI2c::Ecriture : OperationI2c::Lecture;
      if (OperationPermise(genre_, operation, adresse, options_.EcritureBusSystemeAutorisee)) continue;
      bilan.Raison = RaisonRefus({port_.Adresse, port_.Libelle, genre_}, adresse);
      if (!options_.CommentAutoriser.empty()) bilan.Raison += "\n" + options_.CommentAutoriser;
    } else {
      if (bus->ChoisirEsclave(adresse) != EBUSY) continue;
      const std::string pilote = pilote_ ? pilote_(adresse) : std::string();
      bilan.Raison = RaisonPiloteNoyau(port_.Adresse, adresse, pilote.empty() ? "inconnu" : pilote);
    }
    bilan.Fin = Deroulement::Occupe;
    return true;
  }
  return false;
}

// Runs `travail(bilan, bus)` on the bus opened for it, once the addresses
// have passed the guard and no kernel driver holds them. A failure of the
// bus that is not a refused acknowledge (a USB bridge unplugged, a driver
// refusing the transaction) leaves the work not kept, with its reason.
template <typename BilanT, typename Travail>
BilanT AdaptateurI2c::SurLeBus(const std::vector<std::uint16_t>& adresses, bool ecriture, Travail travail) {
  BilanT bilan;
  if (Refuser(adresses, ecriture, nullptr, bilan)) return bilan;
  std::string raison;
  std::unique_ptr<PriseBusI2c> prise = ouvrir_(raison);
  if (!prise) {
    bilan.Fin = Deroulement::Occupe;
    bilan.Raison = raison;
    return bilan;
  }
  if (Refuser(adresses, ecriture, &prise->Bus(), bilan)) {
    prise->Rendre(raison);
    return bilan;
  }
  int erreur = 0;
  try {
    erreur = travail(bilan, *prise);
  } catch (const Interruption& interruption) {
    bilan.Fin = Deroulement::Interrompu;
    bilan.Position = interruption.Position;
  }
  if (erreur != 0) {
    bilan.Fin = Deroulement::NonConserve;
    bilan.Raison = TextePort(port_, FormePort::Rapport) + " : le bus a refusé l'opération (" +
                   std::strerror(erreur) + ") ; rien de ce qui devait être lu ou écrit n'est garanti.";
  }
  if (!prise->Rendre(raison) && bilan.Fin != Deroulement::NonConserve) {
    bilan.Fin = Deroulement::NonConserve;
    bilan.Raison = raison;
  }
  return bilan;
}

BilanLecture AdaptateurI2c::LirePlage(const Puce& puce, const Plage& plage, std::uint8_t* octets,
                                      const Progression& progression) {
  if (!PlageValide({0, puce.ChipType, puce.ChipSize}, plage)) return {};
  return SurLeBus<BilanLecture>(Adresses(puce, plage.Debut, plage.Longueur), false,
                                [&](BilanLecture& b, PriseBusI2c& prise) {
                                  MemoireSurBus memoire(prise.Bus(), {puce.ChipType, puce.ChipSize, options_.Broches},
                                                        prise.Microsecondes());
                                  const ResultatBus r = memoire.LirePlage(plage.Debut, plage.Longueur, octets,
                                                                          progression);
                                  b.Acquittee = Reussi(r);
                                  return r.erreur;
                                });
}

BilanProgrammation AdaptateurI2c::ProgrammerPlage(const Puce& puce, const Plage& plage, const std::uint8_t* octets,
                                                  bool writeMode, const Progression& progression) {
  BilanProgrammation refus;
  refus.Resultat = WriteResult::AdresseHorsMemoire;
  if (!PlageValide({0, puce.ChipType, puce.ChipSize}, plage)) return refus;
  return SurLeBus<BilanProgrammation>(
      Adresses(puce, plage.Debut, plage.Longueur), true, [&](BilanProgrammation& b, PriseBusI2c& prise) {
        MemoireSurBus memoire(prise.Bus(), {puce.ChipType, puce.ChipSize, options_.Broches}, prise.Microsecondes());
        const ResultatBus r = memoire.ProgrammerPlage(plage.Debut, plage.Longueur, octets,
                                                      EcritureParPages(puce.ChipType, writeMode), progression);
        b.Resultat = r.code;
        return r.erreur;
      });
}

BilanProgrammation AdaptateurI2c::ProgrammerUnOctet(const Puce& puce, const std::uint8_t* octets, int adresse) {
  BilanProgrammation refus;
  refus.Resultat = WriteResult::AdresseHorsMemoire;
  if (adresse < 0 || adresse >= puce.ChipSize) return refus;
  return SurLeBus<BilanProgrammation>(Adresses(puce, adresse, 1), true,
                                      [&](BilanProgrammation& b, PriseBusI2c& prise) {
                                        MemoireSurBus memoire(prise.Bus(),
                                                              {puce.ChipType, puce.ChipSize, options_.Broches},
                                                              prise.Microsecondes());
                                        const ResultatBus r = memoire.ProgrammerOctet(octets, adresse);
                                        b.Resultat = r.code;
                                        return r.erreur;
                                      });
}

BilanComparaison AdaptateurI2c::Comparer(const Puce& puce, const std::uint8_t* octets, std::uint8_t* zone,
                                         const Progression& progression) {
  return SurLeBus<BilanComparaison>(Adresses(puce, 0, puce.ChipSize), false,
                                    [&](BilanComparaison& b, PriseBusI2c& prise) {
                                      MemoireSurBus memoire(prise.Bus(),
                                                            {puce.ChipType, puce.ChipSize, options_.Broches},
                                                            prise.Microsecondes());
                                      const ResultatBus r = memoire.Lire(zone, progression);
                                      b.Resultat = {Reussi(r), 0};
                                      if (b.Resultat.Acquittee)
                                        for (int i = 0; i < puce.ChipSize; ++i)
                                          if (zone[i] != octets[i]) ++b.Resultat.Differences;
                                      return r.erreur;
                                    });
}

BilanSonde AdaptateurI2c::SonderAcquittement(std::uint8_t selection) {
  const std::uint16_t adresse = static_cast<std::uint16_t>(selection >> 1);
  return SurLeBus<BilanSonde>({adresse}, false, [&](BilanSonde& b, PriseBusI2c& prise) {
    MemoireSurBus memoire(prise.Bus(), {0, 128, 0}, prise.Microsecondes());
    const int r = memoire.SonderEnLecture(adresse);
    b.Acquittee = r == 0;
    return r == 0 || EstNonAcquittement(r) ? 0 : r;
  });
}

// Every address a 24Cxx may answer at, 0x50 .. 0x57, passes the guard
// first; the kernel's drivers are met probe by probe.
Bilan AdaptateurI2c::Sonder(const std::function<void(Sondeur&)>& sondage) {
  std::vector<std::uint16_t> adresses;
  for (std::uint16_t a = 0x50; a <= 0x57; ++a) adresses.push_back(a);
  Bilan refus;
  if (Refuser(adresses, false, nullptr, refus)) return refus;
  return SurLeBus<Bilan>({}, false, [&](Bilan&, PriseBusI2c& prise) {
    MemoireSurBus memoire(prise.Bus(), {0, 128, options_.Broches}, prise.Microsecondes());
    SondeurI2c sondeur(prise.Bus(), memoire);
    sondage(sondeur);
    return 0;
  });
}

}  // namespace zorbix
