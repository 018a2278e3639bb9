#include "chip_models.h"

#include "engine/chips.h"

namespace zorbix {

Pcf8582Model::Pcf8582Model() : EepromModel(TypePCF8582, 256, SpecMemoire(TypePCF8582).TamponPage) {}

Eeprom24C00Model::Eeprom24C00Model() : EepromModel(1, 16, SpecMemoire(1).TamponPage) {}

PinAddressedModel::PinAddressedModel(int chipType, int size)
    : EepromModel(chipType, size, SpecMemoire(chipType).TamponPage) {}

BlockAddressedModel::BlockAddressedModel(int chipType, int size, int blockBits)
    : EepromModel(chipType, size, SpecMemoire(chipType).TamponPage), blockBits_(blockBits) {}

TwoByteAddressModel::TwoByteAddressModel(int chipType, int size)
    : EepromModel(chipType, size, SpecMemoire(chipType).TamponPage) {}

std::unique_ptr<EepromModel> EepromModel::create(int chipType) {
  if (chipType < 0 || chipType >= NombreTypesMemoire) return nullptr;
  const ChipSpec& fiche = SpecMemoire(chipType);
  if (chipType == TypePCF8582) return std::make_unique<Pcf8582Model>();
  if (fiche.Taille == 16) return std::make_unique<Eeprom24C00Model>();
  if (fiche.OctetsAdresse == 2) return std::make_unique<TwoByteAddressModel>(chipType, fiche.Taille);
  if (fiche.BitsBlocSelection > 0)
    return std::make_unique<BlockAddressedModel>(chipType, fiche.Taille, fiche.BitsBlocSelection);
  return std::make_unique<PinAddressedModel>(chipType, fiche.Taille);
}

}  // namespace zorbix
