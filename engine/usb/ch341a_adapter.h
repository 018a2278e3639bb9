// The CH341A USB programmer behind the adapter seam: the chip operations of
// PuceCh341a on a device taken for one operation (the USB interface claimed,
// or a virtual chip's file locked) and given back after it.
//
// The board supplies the chip all the time, and the device reports the
// acknowledge of the bytes sent alone only (device-select, address, the last
// byte of a page): every programming is to be followed by a verification,
// which the shared use case does for an adapter that does not see every
// acknowledge. A device unplugged in the middle of an operation ends it as
// not kept (Deroulement::NonConserve), with a message saying so: nothing of
// it is claimed as read or written.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/adapter.h"
#include "engine/adapter_table.h"
#include "engine/usb/ch341a_chip.h"

namespace zorbix {

// What `ports` and the report say a CH341A can do.
constexpr const char* CapacitesCh341a = "I2C à 100, 400 ou 750 kHz, acquittements des données invisibles";

// One operation's hold on a CH341A.
class PriseCh341a {
 public:
  virtual ~PriseCh341a() = default;
  virtual TransportCh341a& Transport() = 0;
  // The clock of the write cycles' deadline.
  virtual HorlogeMs Horloge() = 0;
  // Gives the device back; false, with the French reason, when what the
  // operation did cannot be kept (a virtual chip not written back).
  virtual bool Rendre(std::string& raison) = 0;
};

// Takes the device for one operation; nullptr, with the French reason naming
// the device, when it cannot (unplugged, held by another program, no rights).
using OuvreurCh341a = std::function<std::unique_ptr<PriseCh341a>(std::string& raison)>;

// The device's settings from the user's: the bus speed (100 kHz for a value
// it does not offer) and the address pins.
ReglagesCh341a ReglagesDepuisOptions(const OptionsAdaptateur& options);

class AdaptateurCh341a final : public Adapter {
 public:
  AdaptateurCh341a(IdentitePort port, const ReglagesCh341a& reglages, OuvreurCh341a ouvrir);

  const IdentitePort& Identite() const override { return port_; }
  bool VoitChaqueAcquittement() const override { return false; }

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
  BilanT SurLaPuce(const Puce& puce, Travail travail);

  IdentitePort port_;
  ReglagesCh341a reglages_;
  OuvreurCh341a ouvrir_;
};

}  // namespace zorbix
