#include "transfers.h"

#include <new>

#include "chips.h"
#include "lines.h"

namespace zorbix {
namespace {

void Signaler(const Progression& progression, int position) {
  if (progression) progression(position);
}

// The random-read preamble that sets the chip's counter to 0: the write
// select byte and one or two address bytes 0x00. True only if all of them
// were acknowledged.
bool EnvoyerAdresseZero(const CibleI2C& c) {
  ConditionStart(c.PortBase);
  if (!EnvoyerOctet(c.PortBase, SelectionEcriture)) return false;
  for (int i = 0; i < OctetsAdresse(c.ChipType); ++i)
    if (!EnvoyerOctet(c.PortBase, 0x00)) return false;
  return true;
}

void LireDepuisZero(const CibleI2C& c, std::uint8_t* dest, const Progression& progression) {
  ConditionStart(c.PortBase);  // repeated start
  EnvoyerOctet(c.PortBase, SelectionLecture);  // its acknowledge is not tested
  RecevoirSuite(c.PortBase, dest, c.ChipSize, progression);
}

WriteResult ProgrammerParPages(const CibleI2C& c, const std::uint8_t* octets, const Progression& progression) {
  const int page = TaillePage(c.ChipSize);
  for (int a = 0; a < c.ChipSize; a += page) {
    Signaler(progression, a);
    const WriteResult code = ProgrammerPage(c, a, octets + a, page);
    if (code != WriteResult::EcritureReussie) return code;
  }
  return WriteResult::EcritureReussie;
}

WriteResult ProgrammerParOctets(const CibleI2C& c, const std::uint8_t* octets, const Progression& progression) {
  const int pas = PasProgression(c.ChipSize, DivisionsOctetParOctet);
  for (int a = 0; a < c.ChipSize; ++a) {
    if (a % pas == pas - 1) Signaler(progression, a);
    const WriteResult code = ProgrammerOctet(c, a, octets[a]);
    if (code != WriteResult::EcritureReussie) return code;
  }
  return WriteResult::EcritureReussie;
}

}  // namespace

void RecevoirSuite(std::uint16_t p, std::uint8_t* dest, int nombre, const Progression& progression) {
  const int pas = PasProgression(nombre, DivisionsLecture);
  for (int i = 0; i < nombre - 1; ++i) {
    if (i % pas == pas - 1) Signaler(progression, i);
    dest[i] = RecevoirOctet(p, Acquittement::Avec);
  }
  Signaler(progression, nombre);
  dest[nombre - 1] = RecevoirOctet(p, Acquittement::Sans);
}

int PasProgression(int chipSize, int divisions) {
  return chipSize < divisions ? 1 : chipSize / divisions;
}

bool LireMemoire(const CibleI2C& cible, std::uint8_t* octets, const Progression& progression) {
  const SousTension alimentation(cible.PortBase);
  const bool adresseAcquittee = EnvoyerAdresseZero(cible);
  if (adresseAcquittee) LireDepuisZero(cible, octets, progression);
  ConditionStop(cible.PortBase);
  return adresseAcquittee;
}

bool EcritureParPages(int chipType, bool writeMode) {
  return writeMode || !OctetParOctetPropose(chipType);
}

WriteResult ProgrammerMemoireEntiere(const CibleI2C& cible, const std::uint8_t* octets, bool writeMode,
                                     const Progression& progression) {
  const SousTension alimentation(cible.PortBase);
  return EcritureParPages(cible.ChipType, writeMode) ? ProgrammerParPages(cible, octets, progression)
                                                     : ProgrammerParOctets(cible, octets, progression);
}

WriteResult ProgrammerOctetSeul(const CibleI2C& cible, const std::uint8_t* octets, int adresse) {
  const SousTension alimentation(cible.PortBase);
  const bool dedans = adresse >= 0 && adresse < cible.ChipSize;
  return dedans ? ProgrammerOctet(cible, adresse, octets[adresse]) : WriteResult::AdresseHorsMemoire;
}

ZoneTravail AllouerSansException(std::size_t taille) {
  return ZoneTravail(new (std::nothrow) std::uint8_t[taille]);
}

ResultatComparaison ComparerMemoire(const CibleI2C& cible, const std::uint8_t* octets, std::uint8_t* zone,
                                    const Progression& progression) {
  const std::uint16_t p = cible.PortBase;
  const SousTension alimentation(p);
  ConditionStart(p);
  ResultatComparaison r{EnvoyerOctet(p, SelectionEcriture), 0};
  if (r.Acquittee) {
    // Unlike the read, the address bytes' acknowledges are not tested.
    for (int i = 0; i < OctetsAdresse(cible.ChipType); ++i) EnvoyerOctet(p, 0x00);
    LireDepuisZero(cible, zone, progression);
    for (int i = 0; i < cible.ChipSize; ++i)
      if (zone[i] != octets[i]) ++r.Differences;
  }
  ConditionStop(p);
  return r;
}

}  // namespace zorbix
