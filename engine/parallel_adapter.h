// The passive adapter on a PC parallel port: the chip operations are the
// bit-banging transfers of transfers.h on its port, taken (PortPris) for
// each operation and given back after it.
#pragma once

#include <optional>
#include <utility>

#include "engine/adapter.h"
#include "engine/extra_ports.h"

namespace zorbix {

class AdaptateurParallele final : public Adapter {
 public:
  explicit AdaptateurParallele(IdentitePort port) : port_(std::move(port)) {}

  const IdentitePort& Identite() const override { return port_; }
  bool VoitChaqueAcquittement() const override { return true; }

  BilanLecture Lire(const Puce& puce, std::uint8_t* octets, const Progression& progression) override;
  BilanProgrammation ProgrammerTout(const Puce& puce, const std::uint8_t* octets, bool writeMode,
                                    const Progression& progression) override;
  BilanProgrammation ProgrammerUnOctet(const Puce& puce, const std::uint8_t* octets, int adresse) override;
  BilanComparaison Comparer(const Puce& puce, const std::uint8_t* octets, std::uint8_t* zone,
                            const Progression& progression) override;
  BilanLecture LirePlage(const Puce& puce, const Plage& plage, std::uint8_t* octets,
                         const Progression& progression) override;
  BilanProgrammation ProgrammerPlage(const Puce& puce, const Plage& plage, const std::uint8_t* octets, bool writeMode,
                                     const Progression& progression) override;
  BilanSonde SonderAcquittement(std::uint8_t selection) override;
  Bilan Sonder(const std::function<void(Sondeur&)>& sondage) override;

 private:
  CibleI2C Cible(const Puce& puce) const { return {port_.Adresse, puce.ChipType, puce.ChipSize}; }

  IdentitePort port_;
};

struct BilanDetection : Bilan {
  std::optional<IdentitePort> Trouve;  // the last port that carries the adapter
};

// The autodetection (DetecterProgrammateur) over LPT1..LPT3 and then
// `supplementaires`, each port taken for its own test. A port held by another
// program is not tested: its reason goes to Raison (one line each), and the
// outcome is Occupe when no adapter was found elsewhere, since it may be the
// one.
BilanDetection DetecterAdaptateurParallele(const PortsSupplementaires& supplementaires);

}  // namespace zorbix
