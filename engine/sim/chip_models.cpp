#include "chip_models.h"

#include "engine/chips.h"

namespace zorbix {

Pcf8582Model::Pcf8582Model() : EepromModel(TypePCF8582) {}

Eeprom24C00Model::Eeprom24C00Model() : EepromModel(1) {}

PinAddressedModel::PinAddressedModel(int chipType) : EepromModel(chipType) {}

BlockAddressedModel::BlockAddressedModel(int chipType)
    : EepromModel(chipType), blockBits_(SpecMemoire(chipType).BitsBlocSelection) {}

TwoByteAddressModel::TwoByteAddressModel(int chipType) : EepromModel(chipType) {}

std::unique_ptr<EepromModel> EepromModel::create(int chipType) {
  if (chipType < 0 || chipType >= NombreTypesMemoire) return nullptr;
  const ChipSpec& fiche = SpecMemoire(chipType);
  if (chipType == TypePCF8582) return std::make_unique<Pcf8582Model>();
  if (fiche.Taille == 16) return std::make_unique<Eeprom24C00Model>();
  if (fiche.OctetsAdresse == 2) return std::make_unique<TwoByteAddressModel>(chipType);
  if (fiche.BitsBlocSelection > 0) return std::make_unique<BlockAddressedModel>(chipType);
  return std::make_unique<PinAddressedModel>(chipType);
}

}  // namespace zorbix
