// A kernel I2C bus (/dev/i2c-N) behind the adapter seam: the chip operations
// of MemoireSurBus on the bus's device file, opened for one operation and
// closed after it, under the guard of i2c_safety.h.
//
// Before an operation touches the bus, every address it will use is checked:
// on a PC's SMBus or a display bus, the guard refuses it unless the user
// allowed it (OptionsAdaptateur); then I2C_SLAVE (never I2C_SLAVE_FORCE)
// tells whether a kernel driver holds it (EBUSY), and such an address is
// refused with the driver's name and how to unbind it. I2C_RDWR does not ask
// the kernel that question, so the check is made on every path.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/adapter.h"
#include "engine/adapter_table.h"
#include "engine/i2c/i2c_buses.h"
#include "engine/i2c/i2c_chip.h"

namespace zorbix {

// One operation's hold on the bus.
class PriseBusI2c {
 public:
  virtual ~PriseBusI2c() = default;
  virtual BusI2cDev& Bus() = 0;
  // The clock of the write cycles' deadline, in microseconds.
  virtual std::function<std::uint64_t()> Microsecondes() = 0;
  // Gives the bus back; false, with the French reason, when what the
  // operation did cannot be kept (a virtual chip not written back).
  virtual bool Rendre(std::string& raison) = 0;
};

// Opens the bus for one operation; nullptr with the French reason naming it.
using OuvreurBusI2c = std::function<std::unique_ptr<PriseBusI2c>(std::string& raison)>;
// The kernel driver bound to an address of the bus ("at24"), empty if none.
using PiloteDuBus = std::function<std::string(std::uint16_t adresse)>;

// The real bus: /dev/i2c-N through the system calls, the steady clock.
OuvreurBusI2c OuvreurDevI2c(int numero);
// The French reason for an errno of open() on /dev/i2c-N.
std::string RaisonOuvertureI2c(int numero, int erreur);

class AdaptateurI2c final : public Adapter {
 public:
  AdaptateurI2c(IdentitePort port, GenreBusI2c genre, OptionsAdaptateur options, OuvreurBusI2c ouvrir,
                PiloteDuBus pilote);

  const IdentitePort& Identite() const override { return port_; }
  // The kernel reports a refused byte of a message as the transaction's error.
  bool VoitChaqueAcquittement() const override { return true; }

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
  template <typename BilanT, typename Travail>
  BilanT SurLeBus(const std::vector<std::uint16_t>& adresses, bool ecriture, Travail travail);
  std::vector<std::uint16_t> Adresses(const Puce& puce, int debut, int nombre) const;
  bool Refuser(const std::vector<std::uint16_t>& adresses, bool ecriture, BusI2cDev* bus, Bilan& bilan) const;

  IdentitePort port_;
  GenreBusI2c genre_;
  OptionsAdaptateur options_;
  OuvreurBusI2c ouvrir_;
  PiloteDuBus pilote_;
};

}  // namespace zorbix
