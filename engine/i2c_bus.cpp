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

std::uint8_t RecevoirOctet(std::uint16_t p, int acquitter) {
  int valeur = 0;
  SdaLibre(p);
  for (int bit = 7; bit >= 0; --bit) {
    SclHaut(p);
    valeur += LireSda(p) << bit;
    SclBas(p);
  }
  if (acquitter == 1) SdaBas(p);
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
// address bytes. Returns 0 when the chip took the whole address.
int EnvoyerEnTete(const CibleI2C& c, int adresse) {
  const AdresseBus a = AdresserMemoire(c.ChipType, adresse);
  if (Pin7Libre(c.ChipType))
    WpLibre(c.PortBase);
  else
    WpMasse(c.PortBase);
  ConditionStart(c.PortBase);
  if (!EnvoyerOctet(c.PortBase, a.Selection)) return SelectionNonAcquittee;
  if (!EnvoyerOctet(c.PortBase, a.Octets[0])) return PremiereAdresseNonAcquittee;
  if (a.NombreOctets == 2 && !EnvoyerOctet(c.PortBase, a.Octets[1]))
    return SecondeAdresseNonAcquittee;
  return EcritureReussie;
}

// The stop ends every transaction; only a fully acknowledged one is polled.
int Terminer(std::uint16_t p, int code) {
  ConditionStop(p);
  if (code != EcritureReussie) return code;
  return AttendreFinEcriture(p) ? EcritureReussie : FinEcritureNonVue;
}

}  // namespace

int ProgrammerOctet(const CibleI2C& c, int adresse, std::uint8_t valeur) {
  if (adresse < 0 || adresse >= c.ChipSize) return AdresseHorsMemoire;
  int code = EnvoyerEnTete(c, adresse);
  if (code == EcritureReussie && !EnvoyerOctet(c.PortBase, valeur)) code = DonneeNonAcquittee;
  return Terminer(c.PortBase, code);
}

int ProgrammerPage(const CibleI2C& c, int adresse, const std::uint8_t* octets, int nombre) {
  if (adresse < 0 || adresse >= c.ChipSize) return AdresseHorsMemoire;
  int code = EnvoyerEnTete(c, adresse);
  for (int i = 0; code == EcritureReussie && i < nombre; ++i)
    if (!EnvoyerOctet(c.PortBase, octets[i])) code = DonneeNonAcquittee;
  return Terminer(c.PortBase, code);
}

}  // namespace zorbix
