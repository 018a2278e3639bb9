#include "i2c_bus.h"

#include "chips.h"
#include "lines.h"

namespace zorbix {

void ConditionStart(std::uint16_t p) {
  SdaLibre(p);
  SclHaut(p);
  SdaBas(p);  // SDA falls while SCL is high
  SclBas(p);
  SdaLibre(p);
}

void ConditionStop(std::uint16_t p) {
  SdaBas(p);
  SclHaut(p);
  SdaLibre(p);  // SDA rises while SCL is high
}

void ImpulsionHorloge(std::uint16_t p) {
  SclBas(p);
  // The high half lasts three read-modify-writes.
  SclHaut(p);
  SclHaut(p);
  SclHaut(p);
  SclBas(p);
}

bool LireAcquittement(std::uint16_t p) {
  SclBas(p);
  SdaLibre(p);  // the receiver drives SDA now
  SclHaut(p);
  SclHaut(p);
  const int niveau = LireSda(p);
  SclBas(p);
  return niveau == 0;
}

bool EnvoyerOctet(std::uint16_t p, std::uint8_t octet) {
  SclBas(p);
  for (int bit = 7; bit >= 0; --bit) {
    if (((octet >> bit) & 1) == 0)
      SdaBas(p);
    else
      SdaLibre(p);
    ImpulsionHorloge(p);
    SdaLibre(p);
  }
  return LireAcquittement(p);
}

std::uint8_t RecevoirOctet(std::uint16_t p, Acquittement acquitter) {
  int valeur = 0;
  SdaLibre(p);
  for (int bit = 7; bit >= 0; --bit) {
    SclHaut(p);
    valeur += LireSda(p) << bit;
    SclBas(p);
  }
  if (acquitter == Acquittement::Avec) SdaBas(p);
  ImpulsionHorloge(p);
  SdaLibre(p);
  return static_cast<std::uint8_t>(valeur);
}

bool AttendreFinEcriture(std::uint16_t p) {
  for (int scrutation = 0; scrutation < NombreMaxScrutations; ++scrutation) {
    ConditionStart(p);
    const bool acquitte = EnvoyerOctet(p, SelectionEcriture);
    ConditionStop(p);
    if (acquitte) return true;
  }
  return false;
}

namespace {

// Steps common to both write transactions: pin 7, start, device-select and
// address bytes. Returns EcritureReussie when the chip took the whole address.
WriteResult EnvoyerEnTete(const CibleI2C& c, int adresse) {
  const AdresseBus a = AdresserMemoire(c.ChipType, adresse);
  if (Pin7Libre(c.ChipType))
    WpLibre(c.PortBase);
  else
    WpMasse(c.PortBase);
  ConditionStart(c.PortBase);
  if (!EnvoyerOctet(c.PortBase, a.Selection)) return WriteResult::SelectionNonAcquittee;
  if (!EnvoyerOctet(c.PortBase, a.Octets[0])) return WriteResult::PremiereAdresseNonAcquittee;
  if (a.NombreOctets == 2 && !EnvoyerOctet(c.PortBase, a.Octets[1]))
    return WriteResult::SecondeAdresseNonAcquittee;
  return WriteResult::EcritureReussie;
}

// The stop ends every transaction; only a fully acknowledged one is polled.
WriteResult Terminer(std::uint16_t p, WriteResult code) {
  ConditionStop(p);
  if (code != WriteResult::EcritureReussie) return code;
  return AttendreFinEcriture(p) ? WriteResult::EcritureReussie : WriteResult::FinEcritureNonVue;
}

}  // namespace

WriteResult ProgrammerOctet(const CibleI2C& c, int adresse, std::uint8_t valeur) {
  if (adresse < 0 || adresse >= c.ChipSize) return WriteResult::AdresseHorsMemoire;
  WriteResult code = EnvoyerEnTete(c, adresse);
  if (code == WriteResult::EcritureReussie && !EnvoyerOctet(c.PortBase, valeur)) code = WriteResult::DonneeNonAcquittee;
  return Terminer(c.PortBase, code);
}

WriteResult ProgrammerPage(const CibleI2C& c, int adresse, const std::uint8_t* octets, int nombre) {
  if (adresse < 0 || adresse >= c.ChipSize) return WriteResult::AdresseHorsMemoire;
  WriteResult code = EnvoyerEnTete(c, adresse);
  for (int i = 0; code == WriteResult::EcritureReussie && i < nombre; ++i)
    if (!EnvoyerOctet(c.PortBase, octets[i])) code = WriteResult::DonneeNonAcquittee;
  return Terminer(c.PortBase, code);
}

}  // namespace zorbix
