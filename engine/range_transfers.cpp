#include "engine/range_transfers.h"

#include <algorithm>

#include "engine/chips.h"
#include "engine/lines.h"

namespace zorbix {
namespace {

void Signaler(const Progression& progression, int position) {
  if (progression) progression(position);
}

// Start, the write select byte with the block bits of `adresse`, its
// address bytes; true only if all of them were acknowledged. The phase never
// ends in a stop: the caller follows it with a repeated start and a read.
bool EnvoyerAdresse(const CibleI2C& c, int adresse, std::uint8_t& selection) {
  const AdresseBus a = AdresserMemoire(c.ChipType, adresse);
  selection = a.Selection;
  ConditionStart(c.PortBase);
  if (!EnvoyerOctet(c.PortBase, a.Selection)) return false;
  for (int i = 0; i < a.NombreOctets; ++i)
    if (!EnvoyerOctet(c.PortBase, a.Octets[i])) return false;
  return true;
}

WriteResult ProgrammerPlageParPages(const CibleI2C& c, const Plage& plage, const std::uint8_t* octets,
                                    const Progression& progression) {
  const int page = TaillePage(c.ChipSize);
  const int fin = plage.Debut + plage.Longueur;
  for (int a = plage.Debut; a < fin;) {
    const int finPiece = std::min(fin, (a / page + 1) * page);
    Signaler(progression, a - plage.Debut);
    const WriteResult code = ProgrammerPage(c, a, octets + (a - plage.Debut), finPiece - a);
    if (code != WriteResult::EcritureReussie) return code;
    a = finPiece;
  }
  return WriteResult::EcritureReussie;
}

WriteResult ProgrammerPlageParOctets(const CibleI2C& c, const Plage& plage, const std::uint8_t* octets,
                                     const Progression& progression) {
  const int pas = PasProgression(plage.Longueur, DivisionsOctetParOctet);
  for (int i = 0; i < plage.Longueur; ++i) {
    if (i % pas == pas - 1) Signaler(progression, i);
    const WriteResult code = ProgrammerOctet(c, plage.Debut + i, octets[i]);
    if (code != WriteResult::EcritureReussie) return code;
  }
  return WriteResult::EcritureReussie;
}

}  // namespace

bool PlageValide(const CibleI2C& cible, const Plage& plage) {
  return plage.Debut >= 0 && plage.Longueur >= 1 && plage.Debut <= cible.ChipSize - plage.Longueur;
}

bool LirePlage(const CibleI2C& cible, const Plage& plage, std::uint8_t* octets, const Progression& progression) {
  if (!PlageValide(cible, plage)) return false;
  const SousTension alimentation(cible.PortBase);
  std::uint8_t selection = SelectionEcriture;
  const bool adresseAcquittee = EnvoyerAdresse(cible, plage.Debut, selection);
  if (adresseAcquittee) {
    ConditionStart(cible.PortBase);  // repeated start
    // The read select keeps the block bits; its acknowledge is not tested,
    // as in the whole-chip read.
    EnvoyerOctet(cible.PortBase, static_cast<std::uint8_t>(selection | 0x01));
    RecevoirSuite(cible.PortBase, octets, plage.Longueur, progression);
  }
  ConditionStop(cible.PortBase);
  return adresseAcquittee;
}

WriteResult ProgrammerPlage(const CibleI2C& cible, const Plage& plage, const std::uint8_t* octets, bool writeMode,
                            const Progression& progression) {
  if (!PlageValide(cible, plage)) return WriteResult::AdresseHorsMemoire;
  const SousTension alimentation(cible.PortBase);
  return EcritureParPages(cible.ChipType, writeMode) ? ProgrammerPlageParPages(cible, plage, octets, progression)
                                                     : ProgrammerPlageParOctets(cible, plage, octets, progression);
}

}  // namespace zorbix
