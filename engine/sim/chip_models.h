// The EEPROM families, one class each: what sets them apart is how they
// match the device-select byte, how many address bytes follow it and what
// their pin 7 does. Everything else is the common bus logic of EepromModel;
// sizes and page buffers come from the catalogue (engine/chips.h).
#pragma once

#include "eeprom_model.h"

namespace zorbix {

// PCF8582: 256 bytes, pins A2 A1 A0 compared, 8-byte page. Its pin 7 is the
// programming-time control, not a write protect.
class Pcf8582Model final : public EepromModel {
 public:
  Pcf8582Model();

 protected:
  bool answersTo(int selectBits) const override { return selectBits == 0; }
  bool hasWriteProtect() const override { return false; }
};

// 24C00: 16 bytes, no address pins (the three select bits are not
// decoded), one byte per write, pin 7 not connected.
class Eeprom24C00Model final : public EepromModel {
 public:
  Eeprom24C00Model();

 protected:
  bool answersTo(int) const override { return true; }
  bool hasWriteProtect() const override { return false; }
};

// 24C01, 24C02: one address byte, pins A2 A1 A0 compared.
class PinAddressedModel final : public EepromModel {
 public:
  explicit PinAddressedModel(int chipType);

 protected:
  bool answersTo(int selectBits) const override { return selectBits == 0; }
};

// 24C04, 24C08, 24C16: the low select bits carry address bits A8.. and the
// remaining high ones are compared with the address pins.
class BlockAddressedModel final : public EepromModel {
 public:
  explicit BlockAddressedModel(int chipType);

 protected:
  bool answersTo(int selectBits) const override { return (selectBits >> blockBits_) == 0; }
  int blockAddress(int selectBits) const override {
    return (selectBits & ((1 << blockBits_) - 1)) << 8;
  }

 private:
  const int blockBits_;
};

// 24C32 to 24C512: pins A2 A1 A0 compared, two address bytes.
class TwoByteAddressModel final : public EepromModel {
 public:
  explicit TwoByteAddressModel(int chipType);

 protected:
  bool answersTo(int selectBits) const override { return selectBits == 0; }
  int addressBytes() const override { return 2; }
};

}  // namespace zorbix
