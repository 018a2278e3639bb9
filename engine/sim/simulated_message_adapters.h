// The simulated CH341As and I2C buses of a run (ZORBIX_SIMULATION's
// "ch341a:..." and "i2c-N...:..." entries), served by the real adapters'
// code: the CH341A adapter down to the USB transfers, which the simulated
// device answers; the I2C adapter down to the ioctls, which the simulated
// bus answers. Behind both, the byte-level chip model.
//
// A virtual chip with a file is its file, as on the simulated parallel
// port: each operation locks the file, reads it into the chip, and writes it
// back when the chip changed; nothing is written at exit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/adapter_table.h"
#include "engine/sim/ch341a_device.h"
#include "engine/sim/eeprom_model.h"
#include "engine/sim/simulated_i2c_bus.h"
#include "engine/sim/simulation_config.h"

namespace zorbix {

class SourceSimulee final : public SourceAdaptateurs {
 public:
  // Adds the adapter `description` describes, its chip read from its file.
  // False with the French reason when the file cannot be read.
  bool Ajouter(const AdaptateurMessagesSimule& description, std::string& erreur);
  // One line per adapter for the start-up report.
  std::vector<std::string> Decrire() const;

  std::vector<AdaptateurTrouve> Lister(GenrePort genre) override;
  std::unique_ptr<Adapter> Ouvrir(const IdentitePort& port, const OptionsAdaptateur& options) override;

  // One virtual adapter and its chip, kept for the whole run.
  struct Virtuel {
    AdaptateurMessagesSimule Description;
    IdentitePort Port;
    std::unique_ptr<EepromModel> Puce;  // nullptr: an empty socket
    std::unique_ptr<Ch341aDevice> Device;
    std::unique_ptr<BusI2cSimule> Bus;
  };

 private:
  std::vector<std::unique_ptr<Virtuel>> virtuels_;
};

}  // namespace zorbix
