#include "i2c_chip.h"

#include <linux/i2c.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "engine/chips.h"

namespace zorbix {
namespace {

constexpr unsigned long BlocI2cEnLecture = I2C_FUNC_SMBUS_READ_I2C_BLOCK;
constexpr unsigned long BlocI2cEnEcriture = I2C_FUNC_SMBUS_WRITE_I2C_BLOCK;
constexpr int BlocSmbusMax = 32;

// A failure of the bus: a refused acknowledge gives `siNonAcquitte`, any
// other errno is kept for the caller's message.
ResultatBus Echec(int erreur, WriteResult siNonAcquitte) {
  if (EstNonAcquittement(erreur)) return {siNonAcquitte, 0};
  return {siNonAcquitte, erreur};
}

// The read positions of engine/transfers.h that fall on [debut, fin): every
// a with a % pas == pas - 1 below n - 1, and n itself just before the last
// byte.
void SignalerLecture(const Progression& progression, int debut, int fin, int n) {
  if (!progression) return;
  const int pas = PasProgression(n, DivisionsLecture);
  for (int a = debut; a < fin; ++a) {
    if (a < n - 1 && a % pas == pas - 1) progression(a);
    if (a == n - 1) progression(n);
  }
}

}  // namespace

std::uint16_t AdresseEsclave(int chipType, int adresse, int broches) {
  const int bitsBloc = SpecMemoire(chipType).BitsBlocSelection;
  const int masqueBloc = (1 << bitsBloc) - 1;
  const int bloc = (adresse >> 8) & masqueBloc;
  return static_cast<std::uint16_t>(0x50 | bloc | (broches & 7 & ~masqueBloc));
}

MemoireSurBus::MemoireSurBus(BusI2cDev& bus, CibleBusI2c cible, std::function<std::uint64_t()> microsecondes)
    : bus_(bus), cible_(cible), microsecondes_(std::move(microsecondes)), fonctions_(bus.Fonctions()) {}

bool MemoireSurBus::I2cComplet() const { return (fonctions_ & I2C_FUNC_I2C) != 0; }

ResultatBus MemoireSurBus::Lire(std::uint8_t* octets, const Progression& progression) {
  return LirePlage(0, cible_.ChipSize, octets, progression);
}

ResultatBus MemoireSurBus::LirePlage(int debut, int nombre, std::uint8_t* octets, const Progression& progression) {
  std::vector<std::uint8_t> lu(static_cast<std::size_t>(nombre));
  // A chunk never crosses a 256-byte block: the next block may be another
  // address on this bus.
  const int maximum = I2cComplet() ? LectureMaxParMessage : BlocSmbusMax - 1;
  for (int i = 0; i < nombre;) {
    const int a = debut + i;
    const int morceau = std::min({maximum, nombre - i, 256 - (a & 0xFF)});
    SignalerLecture(progression, i, i + morceau, nombre);
    const ResultatBus r = LireMorceau(a, lu.data() + i, morceau);
    if (r.code != WriteResult::EcritureReussie || r.erreur != 0) return r;
    i += morceau;
  }
  std::copy(lu.begin(), lu.end(), octets);
  return {};
}

// Sets the chip's counter to `adresse` and reads `nombre` bytes from it.
ResultatBus MemoireSurBus::LireMorceau(int adresse, std::uint8_t* octets, int nombre) {
  const AdresseBus a = AdresserMemoire(cible_.ChipType, adresse);
  const std::uint16_t esclave = AdresseEsclave(cible_.ChipType, adresse, cible_.Broches);
  if (I2cComplet()) {
    // The address phase ends in a repeated start, never a stop.
    std::uint8_t entete[2] = {a.Octets[0], a.Octets[1]};
    MessageI2c messages[2] = {{esclave, false, entete, static_cast<std::uint16_t>(a.NombreOctets)},
                              {esclave, true, octets, static_cast<std::uint16_t>(nombre)}};
    const int r = bus_.Transferer(messages, 2);
    return r == 0 ? ResultatBus{} : Echec(r, WriteResult::SelectionNonAcquittee);
  }
  int r = bus_.ChoisirEsclave(esclave);
  if (r != 0) return {WriteResult::SelectionNonAcquittee, r};
  if (a.NombreOctets == 1 && (fonctions_ & BlocI2cEnLecture)) {
    // One byte more than needed, dropped: the ICH9 SMBus (as QEMU emulates
    // it, with Linux's i801 driver) returns 0 for the last byte of an I2C
    // block read. Reading moves nothing but the chip's counter.
    std::uint8_t bloc[BlocSmbusMax];
    r = bus_.LireBlocI2c(a.Octets[0], bloc, static_cast<std::size_t>(nombre + 1));
    if (r != 0) return Echec(r, WriteResult::SelectionNonAcquittee);
    std::copy(bloc, bloc + nombre, octets);
    return {};
  }
  if (a.NombreOctets == 1) {
    for (int i = 0; i < nombre; ++i) {
      r = bus_.LireOctetDonnee(static_cast<std::uint8_t>(a.Octets[0] + i), octets[i]);
      if (r != 0) return Echec(r, WriteResult::SelectionNonAcquittee);
    }
    return {};
  }
  // Two address bytes: a byte-data write sets the counter (the chip takes
  // both bytes as its address, a stop then starts no write cycle), and the
  // bytes follow one receive at a time.
  r = bus_.EcrireOctetDonnee(a.Octets[0], a.Octets[1]);
  if (r != 0) return Echec(r, WriteResult::SelectionNonAcquittee);
  for (int i = 0; i < nombre; ++i) {
    r = bus_.RecevoirOctet(octets[i]);
    if (r != 0) return Echec(r, WriteResult::SelectionNonAcquittee);
  }
  return {};
}

// The largest write this bus takes in one transaction: the chip's whole page
// in an I2C message; 32 bytes of an I2C block write, less the low address
// byte that a two-address-byte chip takes as its first data byte; one byte
// where even block writes are missing.
int MemoireSurBus::MorceauEcritureMax() const {
  if (I2cComplet()) return TaillePage(cible_.ChipSize);
  if (!(fonctions_ & BlocI2cEnEcriture)) return 1;
  return OctetsAdresse(cible_.ChipType) == 2 ? BlocSmbusMax - 1 : BlocSmbusMax;
}

ResultatBus MemoireSurBus::Programmer(const std::uint8_t* octets, const Progression& progression) {
  return ProgrammerPlage(0, cible_.ChipSize, octets, true, progression);
}

ResultatBus MemoireSurBus::ProgrammerPlage(int debut, int nombre, const std::uint8_t* octets, bool parPages,
                                           const Progression& progression) {
  if (!parPages) {
    const int pas = PasProgression(nombre, DivisionsOctetParOctet);
    for (int i = 0; i < nombre; ++i) {
      if (progression && i % pas == pas - 1) progression(i);
      const ResultatBus r = EcrireMorceau(debut + i, octets + i, 1);
      if (r.code != WriteResult::EcritureReussie || r.erreur != 0) return r;
    }
    return {};
  }
  const int page = TaillePage(cible_.ChipSize);
  const int morceau = std::min(page, MorceauEcritureMax());
  const int fin = debut + nombre;
  for (int debutPiece = debut; debutPiece < fin;) {
    const int finPiece = std::min(fin, (debutPiece / page + 1) * page);
    if (progression) progression(debutPiece - debut);
    // Pieces of a page never cross its boundary: the chip would wrap inside it.
    for (int a = debutPiece; a < finPiece; a += morceau) {
      const ResultatBus r = EcrireMorceau(a, octets + (a - debut), std::min(morceau, finPiece - a));
      if (r.code != WriteResult::EcritureReussie || r.erreur != 0) return r;
    }
    debutPiece = finPiece;
  }
  return {};
}

ResultatBus MemoireSurBus::ProgrammerOctet(const std::uint8_t* octets, int adresse) {
  if (adresse < 0 || adresse >= cible_.ChipSize) return {WriteResult::AdresseHorsMemoire, 0};
  return EcrireMorceau(adresse, octets + adresse, 1);
}

ResultatBus MemoireSurBus::EcrireMorceau(int adresse, const std::uint8_t* octets, int nombre) {
  if (!I2cComplet()) return EcrireMorceauSmbus(adresse, octets, nombre);
  const AdresseBus a = AdresserMemoire(cible_.ChipType, adresse);
  std::vector<std::uint8_t> message(a.Octets, a.Octets + a.NombreOctets);
  message.insert(message.end(), octets, octets + nombre);
  MessageI2c m{AdresseEsclave(cible_.ChipType, adresse, cible_.Broches), false, message.data(),
               static_cast<std::uint16_t>(message.size())};
  const int r = bus_.Transferer(&m, 1);
  if (r != 0) return Echec(r, r == ENXIO ? WriteResult::SelectionNonAcquittee : WriteResult::DonneeNonAcquittee);
  return AttendreFinEcriture(adresse);
}

ResultatBus MemoireSurBus::EcrireMorceauSmbus(int adresse, const std::uint8_t* octets, int nombre) {
  const AdresseBus a = AdresserMemoire(cible_.ChipType, adresse);
  int r = bus_.ChoisirEsclave(AdresseEsclave(cible_.ChipType, adresse, cible_.Broches));
  if (r != 0) return {WriteResult::SelectionNonAcquittee, r};
  if (a.NombreOctets == 1 && nombre == 1 && !(fonctions_ & BlocI2cEnEcriture)) {
    r = bus_.EcrireOctetDonnee(a.Octets[0], octets[0]);
  } else if (a.NombreOctets == 1) {
    r = bus_.EcrireBlocI2c(a.Octets[0], octets, static_cast<std::size_t>(nombre));
  } else if (nombre == 1 && !(fonctions_ & BlocI2cEnEcriture)) {
    // Command byte: the high address byte; the word: low address byte, then the data.
    r = bus_.EcrireMot(a.Octets[0], static_cast<std::uint16_t>(a.Octets[1] | (octets[0] << 8)));
  } else {
    std::vector<std::uint8_t> bloc{a.Octets[1]};
    bloc.insert(bloc.end(), octets, octets + nombre);
    r = bus_.EcrireBlocI2c(a.Octets[0], bloc.data(), bloc.size());
  }
  if (r != 0) return Echec(r, r == ENXIO ? WriteResult::SelectionNonAcquittee : WriteResult::DonneeNonAcquittee);
  return AttendreFinEcriture(adresse);
}

// One poll of the chip: 0 when it acknowledged, else the errno. A quick
// write where the bus offers it, else a zero-length write, else a one-byte
// read (which only moves the counter that the next write sets again).
int MemoireSurBus::Sonder(std::uint16_t esclave) {
  ++scrutations_;
  if (fonctions_ & I2C_FUNC_SMBUS_QUICK) {
    const int r = bus_.ChoisirEsclave(esclave);
    return r != 0 ? r : bus_.Rapide();
  }
  return SonderEnLecture(esclave);
}

int MemoireSurBus::SonderEnLecture(std::uint16_t esclave) {
  std::uint8_t octet = 0;
  if (I2cComplet()) {
    MessageI2c m{esclave, true, &octet, 1};
    return bus_.Transferer(&m, 1);
  }
  const int r = bus_.ChoisirEsclave(esclave);
  return r != 0 ? r : bus_.RecevoirOctet(octet);
}

int MemoireSurBus::LireApresAdresse(std::uint16_t esclave, const std::uint8_t* adresse, int nombreAdresse,
                                    std::uint8_t* octets, int nombre) {
  if (I2cComplet()) {
    std::uint8_t entete[2] = {adresse[0], nombreAdresse > 1 ? adresse[1] : std::uint8_t{0}};
    const int premier = std::min(nombre, LectureMaxParMessage);
    MessageI2c messages[2] = {{esclave, false, entete, static_cast<std::uint16_t>(nombreAdresse)},
                              {esclave, true, octets, static_cast<std::uint16_t>(premier)}};
    int r = bus_.Transferer(messages, 2);
    // The rest follows the chip's own counter: a read with no address.
    for (int a = premier; r == 0 && a < nombre; a += LectureMaxParMessage) {
      MessageI2c suite{esclave, true, octets + a, static_cast<std::uint16_t>(std::min(LectureMaxParMessage, nombre - a))};
      r = bus_.Transferer(&suite, 1);
    }
    return r;
  }
  if (nombreAdresse != 1 || !(fonctions_ & BlocI2cEnLecture)) return EOPNOTSUPP;
  int r = bus_.ChoisirEsclave(esclave);
  for (int a = 0; r == 0 && a < nombre; a += BlocSmbusMax - 1) {
    // One byte more than needed, as for the whole-chip read.
    std::uint8_t bloc[BlocSmbusMax];
    const int n = std::min(BlocSmbusMax - 1, nombre - a);
    r = bus_.LireBlocI2c(static_cast<std::uint8_t>(adresse[0] + a), bloc, static_cast<std::size_t>(n + 1));
    if (r == 0) std::copy(bloc, bloc + n, octets + a);
  }
  return r;
}

ResultatBus MemoireSurBus::AttendreFinEcriture(int adresse) {
  const std::uint16_t esclave = AdresseEsclave(cible_.ChipType, adresse, cible_.Broches);
  const std::uint64_t limite = microsecondes_() + DelaiFinEcritureI2cMs * 1000ull;
  for (;;) {
    const int r = Sonder(esclave);
    if (r == 0) return {};
    if (!EstNonAcquittement(r)) return {WriteResult::FinEcritureNonVue, r};
    if (microsecondes_() >= limite) return {WriteResult::FinEcritureNonVue, 0};
  }
}

}  // namespace zorbix
