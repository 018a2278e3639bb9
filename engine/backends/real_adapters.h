// The CH341As plugged in (libusb) and the kernel's I2C buses (/sys and
// /dev/i2c-N) of a run on real hardware, listed afresh each time they are
// asked for: USB devices come and go.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/adapter_table.h"

namespace zorbix {

class SourceReelle final : public SourceAdaptateurs {
 public:
  // `racineSys`: where /sys is (tests give a fake tree).
  explicit SourceReelle(std::string racineSys = "/sys") : racineSys_(std::move(racineSys)) {}

  std::vector<AdaptateurTrouve> Lister(GenrePort genre) override;
  std::unique_ptr<Adapter> Ouvrir(const IdentitePort& port, const OptionsAdaptateur& options) override;

 private:
  std::string racineSys_;
};

}  // namespace zorbix
