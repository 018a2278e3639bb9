#include "engine/usb/ch341a_chip.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/chips.h"
#include "engine/transfer_messages.h"

namespace zorbix {
namespace {

bool Acquitte(std::uint8_t statut) { return (statut & ch341a::StatutNonAcquitte) == 0; }

void Signaler(const Progression& progression, int position) {
  if (progression) progression(position);
}

}  // namespace

HorlogeMs HorlogeReelle() {
  return [] {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  };
}

const char* MessageCh341a(const ResultatEcritureCh341a& resultat) {
  return resultat.Debranche ? TexteCh341aDebranche : MessageProgrammation(resultat.Code);
}

PuceCh341a::PuceCh341a(TransportCh341a& transport, int chipType, int chipSize, const ReglagesCh341a& reglages,
                       HorlogeMs horloge)
    : transport_(transport), type_(chipType), taille_(chipSize), reglages_(reglages), horloge_(std::move(horloge)) {}

std::uint8_t PuceCh341a::selection(int adresse) const {
  // The pins sit in bits 3..1 like the block bits; a block bit wins over
  // the pin at its place (that pin is not connected on those chips).
  const int blocs = SpecMemoire(type_).BitsBlocSelection;
  const int masqueBroches = 0x0E & ~(((1 << blocs) - 1) << 1);
  const int broches = (reglages_.Broches << 1) & masqueBroches;
  return static_cast<std::uint8_t>(AdresserMemoire(type_, adresse).Selection | broches);
}

void PuceCh341a::debuterOperation() {
  vitesseEnvoyee_ = false;
  perdu_ = false;
}

// The first stream of an operation sets the bus speed.
PaquetCh341a PuceCh341a::nouveauPaquet() {
  PaquetCh341a paquet;
  if (!vitesseEnvoyee_) paquet.vitesse(reglages_.Vitesse);
  vitesseEnvoyee_ = true;
  return paquet;
}

bool PuceCh341a::echanger(PaquetCh341a& paquet, std::uint8_t* reponses) {
  if (perdu_) return false;
  const int attendues = paquet.reponses();
  perdu_ = !transport_.envoyer(paquet.octets(), paquet.taille()) ||
           (attendues > 0 && !transport_.recevoir(reponses, static_cast<std::size_t>(attendues)));
  return !perdu_;
}

bool PuceCh341a::envoyerStop() {
  PaquetCh341a paquet = nouveauPaquet();
  paquet.stop();
  return echanger(paquet, nullptr);
}

ResultatEcritureCh341a PuceCh341a::conclure(WriteResult code) const {
  if (perdu_) return {WriteResult::FinEcritureNonVue, true};
  return {code, false};
}

// Statuses of the device-select and address bytes, then of the last data
// byte when it came back too: the first refused one decides.
WriteResult PuceCh341a::jugerEnTete(const std::uint8_t* statuts, int nombre) const {
  static constexpr WriteResult Codes[4] = {WriteResult::SelectionNonAcquittee, WriteResult::PremiereAdresseNonAcquittee,
                                           WriteResult::SecondeAdresseNonAcquittee, WriteResult::DonneeNonAcquittee};
  const int octetsAdresse = OctetsAdresse(type_);
  for (int i = 0; i < nombre; ++i)
    if (!Acquitte(statuts[i])) return i <= octetsAdresse ? Codes[i] : WriteResult::DonneeNonAcquittee;
  return WriteResult::EcritureReussie;
}

// One write transaction of `nombre` bytes (1..page) at `adresse`: START,
// select and address bytes with their statuses, the data in as many
// streams as it takes, the last byte with its status, STOP, then polling.
// The first stream already carries data, saving a round trip per page: when
// a select or address byte is refused, its data reach no chip (a chip that
// refused a byte ignores the bus until the next START), and the STOP follows.
WriteResult PuceCh341a::ecrire(int adresse, const std::uint8_t* octets, int nombre) {
  const AdresseBus a = AdresserMemoire(type_, adresse);
  PaquetCh341a paquet = nouveauPaquet();
  paquet.start();
  paquet.envoyerAvecStatut(selection(adresse));
  for (int i = 0; i < a.NombreOctets; ++i) paquet.envoyerAvecStatut(a.Octets[i]);
  int envoyes = 0;
  for (bool premier = true;; premier = false) {
    while (envoyes < nombre - 1 && paquet.place() >= 2) {
      const int n = std::min({nombre - 1 - envoyes, static_cast<int>(paquet.place()) - 1, ch341a::MaxEnvoi});
      paquet.envoyer(octets + envoyes, n);
      envoyes += n;
    }
    const bool fin = envoyes == nombre - 1 && paquet.place() >= 3;
    if (fin) {
      paquet.envoyerAvecStatut(octets[nombre - 1]);
      paquet.stop();
    }
    std::uint8_t statuts[4];
    if (!echanger(paquet, statuts)) return WriteResult::FinEcritureNonVue;
    const int recus = paquet.reponses();
    WriteResult code = WriteResult::EcritureReussie;
    if (premier) code = jugerEnTete(statuts, recus);
    else if (fin) code = Acquitte(statuts[0]) ? WriteResult::EcritureReussie : WriteResult::DonneeNonAcquittee;
    if (code != WriteResult::EcritureReussie) {
      if (!fin) envoyerStop();
      return code;
    }
    if (fin) break;
    paquet = nouveauPaquet();
  }
  return attendreFinEcriture();
}

// START, the device-select byte with its status, STOP, until the chip
// answers. The deadline is checked before each poll and acted on after it,
// so the last poll always comes after the deadline, however late the
// process was scheduled.
WriteResult PuceCh341a::attendreFinEcriture() {
  ++cycles_;
  const std::uint64_t debut = horloge_();
  for (;;) {
    const bool expire = horloge_() - debut > DelaiFinEcritureMs;
    PaquetCh341a paquet = nouveauPaquet();
    paquet.start();
    paquet.envoyerAvecStatut(selection(0));
    paquet.stop();
    std::uint8_t statut = 0;
    if (!echanger(paquet, &statut)) return WriteResult::FinEcritureNonVue;
    ++scrutations_;
    if (Acquitte(statut)) return WriteResult::EcritureReussie;
    if (expire) return WriteResult::FinEcritureNonVue;
  }
}

WriteResult PuceCh341a::programmerParPages(int debut, int nombre, const std::uint8_t* octets,
                                           const Progression& progression) {
  const int page = TaillePage(taille_);
  const int fin = debut + nombre;
  for (int a = debut; a < fin;) {
    const int finPiece = std::min(fin, (a / page + 1) * page);
    Signaler(progression, a - debut);
    const WriteResult code = ecrire(a, octets + (a - debut), finPiece - a);
    if (code != WriteResult::EcritureReussie) return code;
    a = finPiece;
  }
  return WriteResult::EcritureReussie;
}

WriteResult PuceCh341a::programmerParOctets(int debut, int nombre, const std::uint8_t* octets,
                                            const Progression& progression) {
  const int pas = PasProgression(nombre, DivisionsOctetParOctet);
  for (int i = 0; i < nombre; ++i) {
    if (i % pas == pas - 1) Signaler(progression, i);
    const WriteResult code = ecrire(debut + i, octets + i, 1);
    if (code != WriteResult::EcritureReussie) return code;
  }
  return WriteResult::EcritureReussie;
}

ResultatEcritureCh341a PuceCh341a::programmerMemoireEntiere(const std::uint8_t* octets, bool writeMode,
                                                            const Progression& progression) {
  return programmerPlage(0, taille_, octets, writeMode, progression);
}

ResultatEcritureCh341a PuceCh341a::programmerPlage(int debut, int nombre, const std::uint8_t* octets, bool writeMode,
                                                   const Progression& progression) {
  debuterOperation();
  return conclure(EcritureParPages(type_, writeMode) ? programmerParPages(debut, nombre, octets, progression)
                                                     : programmerParOctets(debut, nombre, octets, progression));
}

ResultatEcritureCh341a PuceCh341a::programmerOctetSeul(const std::uint8_t* octets, int adresse) {
  debuterOperation();
  if (adresse < 0 || adresse >= taille_) return {WriteResult::AdresseHorsMemoire, false};
  return conclure(ecrire(adresse, octets + adresse, 1));
}

// The random-read preamble to `adresse` and the repeated START with the
// read select: statuses of the select byte, the address bytes and the read
// select, in that order.
bool PuceCh341a::envoyerAdresse(int adresse, std::uint8_t* statuts) {
  const AdresseBus a = AdresserMemoire(type_, adresse);
  PaquetCh341a paquet = nouveauPaquet();
  paquet.start();
  paquet.envoyerAvecStatut(selection(adresse));
  for (int i = 0; i < a.NombreOctets; ++i) paquet.envoyerAvecStatut(a.Octets[i]);
  paquet.start();
  paquet.envoyerAvecStatut(static_cast<std::uint8_t>(selection(adresse) | 1));
  return echanger(paquet, statuts);
}

// `nombre` bytes from the chip's counter, 32 per stream, the last one not
// acknowledged and followed by the STOP. Progress positions of a stream are
// reported before it goes out.
bool PuceCh341a::lireSuite(std::uint8_t* dest, int nombre, const Progression& progression) {
  const int pas = PasProgression(nombre, DivisionsLecture);
  for (int a = 0; a < nombre;) {
    const int n = std::min(nombre - a, ch341a::MaxLecture);
    const bool dernier = a + n == nombre;
    for (int i = a; i < std::min(a + n, nombre - 1); ++i)
      if (i % pas == pas - 1) Signaler(progression, i);
    if (dernier) Signaler(progression, nombre);
    PaquetCh341a paquet = nouveauPaquet();
    paquet.lire(n, dernier);
    if (dernier) paquet.stop();
    if (!echanger(paquet, dest + a)) return false;
    a += n;
  }
  return true;
}

EtatLecture PuceCh341a::lireMemoire(std::uint8_t* octets, const Progression& progression) {
  return lirePlage(0, taille_, octets, progression);
}

EtatLecture PuceCh341a::lirePlage(int debut, int nombre, std::uint8_t* octets, const Progression& progression) {
  debuterOperation();
  std::uint8_t statuts[4];
  if (!envoyerAdresse(debut, statuts)) return EtatLecture::Debranche;
  // The read select's own acknowledge is not judged, as on the parallel adapter.
  for (int i = 0; i <= OctetsAdresse(type_); ++i) {
    if (Acquitte(statuts[i])) continue;
    return envoyerStop() ? EtatLecture::NonAcquittee : EtatLecture::Debranche;
  }
  std::vector<std::uint8_t> lus(static_cast<std::size_t>(nombre));
  if (!lireSuite(lus.data(), nombre, progression)) return EtatLecture::Debranche;
  std::memcpy(octets, lus.data(), lus.size());
  return EtatLecture::Lue;
}

ResultatComparaisonCh341a PuceCh341a::comparerMemoire(const std::uint8_t* octets, std::uint8_t* zone,
                                                      const Progression& progression) {
  debuterOperation();
  std::uint8_t statuts[4];
  ResultatComparaisonCh341a r{{false, 0}, false};
  if (!envoyerAdresse(0, statuts)) return {{false, 0}, true};
  r.Comparaison.Acquittee = Acquitte(statuts[0]);
  const bool lu = r.Comparaison.Acquittee ? lireSuite(zone, taille_, progression) : envoyerStop();
  if (!lu) return {{false, 0}, true};
  if (r.Comparaison.Acquittee)
    for (int i = 0; i < taille_; ++i)
      if (zone[i] != octets[i]) ++r.Comparaison.Differences;
  return r;
}

EtatLecture PuceCh341a::sonder(std::uint8_t selection) {
  debuterOperation();
  PaquetCh341a paquet = nouveauPaquet();
  paquet.start();
  paquet.envoyerAvecStatut(static_cast<std::uint8_t>(selection & 0xFE));
  paquet.start();
  const std::uint8_t lecture = static_cast<std::uint8_t>(selection | 0x01);
  paquet.envoyer(&lecture, 1);
  paquet.lire(1, true);
  paquet.stop();
  std::uint8_t reponses[2];
  if (!echanger(paquet, reponses)) return EtatLecture::Debranche;
  return Acquitte(reponses[0]) ? EtatLecture::Lue : EtatLecture::NonAcquittee;
}

EtatLecture PuceCh341a::sonderSelectionLecture(std::uint8_t selection) {
  debuterOperation();
  PaquetCh341a paquet = nouveauPaquet();
  paquet.start();
  paquet.envoyerAvecStatut(static_cast<std::uint8_t>(selection | 0x01));
  std::uint8_t statut;
  if (!echanger(paquet, &statut)) return EtatLecture::Debranche;
  if (!Acquitte(statut)) return envoyerStop() ? EtatLecture::NonAcquittee : EtatLecture::Debranche;
  std::uint8_t octet;
  return lireSuite(&octet, 1, {}) ? EtatLecture::Lue : EtatLecture::Debranche;
}

EtatLecture PuceCh341a::lireApresAdresse(std::uint8_t selection, const std::uint8_t* adresse, int nombreAdresse,
                                         std::uint8_t* octets, int nombre) {
  debuterOperation();
  PaquetCh341a paquet = nouveauPaquet();
  paquet.start();
  paquet.envoyerAvecStatut(static_cast<std::uint8_t>(selection & 0xFE));
  for (int i = 0; i < nombreAdresse; ++i) paquet.envoyerAvecStatut(adresse[i]);
  paquet.start();
  paquet.envoyerAvecStatut(static_cast<std::uint8_t>(selection | 0x01));
  std::uint8_t statuts[4];
  if (!echanger(paquet, statuts)) return EtatLecture::Debranche;
  for (int i = 0; i <= nombreAdresse; ++i)
    if (!Acquitte(statuts[i])) return envoyerStop() ? EtatLecture::NonAcquittee : EtatLecture::Debranche;
  return lireSuite(octets, nombre, {}) ? EtatLecture::Lue : EtatLecture::Debranche;
}

}  // namespace zorbix
