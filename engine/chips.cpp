#include "chips.h"

#include <cctype>

namespace zorbix {
namespace {

// Page size and the other derived columns repeat what the rules compute; the
// self-check test walks every row against the rules.
constexpr ChipSpec kCatalogue[NombreTypesMemoire] = {
    {"PCF8582 (256 o)", "OptionPCF8582", "PCF8&582 - (256 octets)", "PCF8582", 256, 4, 1, 0, true, true},
    {"24C00 (16 o)", "Option24C00", "24C0&0 - (16 octets)", "24C00", 16, 1, 1, 0, false, true},
    {"24C01 (128 o)", "Option24C01", "24C0&1 - (128 octets)", "24C01", 128, 4, 1, 0, false, true},
    {"24C02 (256 o)", "Option24C02", "24C0&2 - (256 octets)", "24C02", 256, 4, 1, 0, false, true},
    {"24C04 (512 o)", "Option24C04", "24C0&4 - (512 octets)", "24C04", 512, 16, 1, 1, false, true},
    {"24C08 (1 ko)", "Option24C08", "24C0&8 - (1024 octets)", "24C08", 1024, 16, 1, 2, false, true},
    {"24C16 (2 ko)", "Option24C16", "24C1&6 - (2048 octets)", "24C16", 2048, 16, 1, 3, false, true},
    {"24C32 (4 ko)", "Option24C32", "24C&32 - (4096 octets)", "24C32", 4096, 32, 2, 0, false, true},
    {"24C64 (8 ko)", "Option24C64", "24C64 - (81&92 octets)", "24C64", 8192, 32, 2, 0, false, true},
    {"24C128 (16 ko)", "Option24C128", "24&C128 - (16384 octets)", "24C128", 16384, 64, 2, 0, false, false},
    {"24C256 (32 ko)", "Option24C256", "24C256 - (32&768 octets)", "24C256", 32768, 64, 2, 0, false, false},
    {"24C512 (64 ko)", "Option24C512", "24C512 - (65536 oc&tets)", "24C512", 65536, 128, 2, 0, false, false},
};

bool MemesNoms(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::toupper(static_cast<unsigned char>(*a)) !=
        std::toupper(static_cast<unsigned char>(*b)))
      return false;
  }
  return *a == *b;
}

}  // namespace

const ChipSpec& SpecMemoire(int chipType) { return kCatalogue[chipType]; }

int TypeDepuisNom(const char* name) {
  for (int t = 0; t < NombreTypesMemoire; ++t)
    if (MemesNoms(name, kCatalogue[t].NomCourt)) return t;
  return -1;
}

int TaillePage(int chipSize) {
  switch (chipSize) {
    case 16: return 1;
    case 128: case 256: return 4;
    case 512: case 1024: case 2048: return 16;
    case 4096: case 8192: return 32;
    case 16384: case 32768: return 64;
    case 65536: return 128;
    default: return 1;
  }
}

int OctetsAdresse(int chipType) { return chipType > DernierTypeUnOctetAdresse ? 2 : 1; }

bool OctetParOctetPropose(int chipType) { return chipType <= DernierTypeOctetParOctet; }

bool Pin7Libre(int chipType) { return chipType == TypePCF8582; }

AdresseBus AdresserMemoire(int chipType, int address) {
  AdresseBus a{};
  if (OctetsAdresse(chipType) == 1) {
    a.Selection = static_cast<std::uint8_t>(SelectionEcriture | ((address >> 7) & 0x0E));
    a.Octets[0] = static_cast<std::uint8_t>(address & 0xFF);
    a.NombreOctets = 1;
  } else {
    a.Selection = SelectionEcriture;
    a.Octets[0] = static_cast<std::uint8_t>((address >> 8) & 0xFF);
    a.Octets[1] = static_cast<std::uint8_t>(address & 0xFF);
    a.NombreOctets = 2;
  }
  return a;
}

}  // namespace zorbix
