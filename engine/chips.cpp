#include "chips.h"

#include <cctype>

namespace zorbix {
namespace {

// The program writes the PCF8582, 24C01 and 24C02 in pages of 4 bytes, half
// of their page buffer; the other types in pages of their buffer's size.
constexpr ChipSpec kCatalogue[NombreTypesMemoire] = {
    {"PCF8582 (256 o)", "OptionPCF8582", "PCF8&582 - (256 octets)", "PCF8582", 256, 4, 8, 1, 0, true, true},
    {"24C00 (16 o)", "Option24C00", "24C0&0 - (16 octets)", "24C00", 16, 1, 1, 1, 0, false, true},
    {"24C01 (128 o)", "Option24C01", "24C0&1 - (128 octets)", "24C01", 128, 4, 8, 1, 0, false, true},
    {"24C02 (256 o)", "Option24C02", "24C0&2 - (256 octets)", "24C02", 256, 4, 8, 1, 0, false, true},
    {"24C04 (512 o)", "Option24C04", "24C0&4 - (512 octets)", "24C04", 512, 16, 16, 1, 1, false, true},
    {"24C08 (1 ko)", "Option24C08", "24C0&8 - (1024 octets)", "24C08", 1024, 16, 16, 1, 2, false, true},
    {"24C16 (2 ko)", "Option24C16", "24C1&6 - (2048 octets)", "24C16", 2048, 16, 16, 1, 3, false, true},
    {"24C32 (4 ko)", "Option24C32", "24C&32 - (4096 octets)", "24C32", 4096, 32, 32, 2, 0, false, true},
    {"24C64 (8 ko)", "Option24C64", "24C64 - (81&92 octets)", "24C64", 8192, 32, 32, 2, 0, false, true},
    {"24C128 (16 ko)", "Option24C128", "24&C128 - (16384 octets)", "24C128", 16384, 64, 64, 2, 0, false, false},
    {"24C256 (32 ko)", "Option24C256", "24C256 - (32&768 octets)", "24C256", 32768, 64, 64, 2, 0, false, false},
    {"24C512 (64 ko)", "Option24C512", "24C512 - (65536 oc&tets)", "24C512", 65536, 128, 128, 2, 0, false, false},
};

// TaillePage finds the page size by the chip size alone, and a program's page
// must never cross one of the chip's own.
constexpr bool PagesCoherentes() {
  for (const ChipSpec& a : kCatalogue) {
    if (a.TamponPage % a.TaillePage != 0) return false;
    for (const ChipSpec& b : kCatalogue)
      if (a.Taille == b.Taille && a.TaillePage != b.TaillePage) return false;
  }
  return true;
}
static_assert(PagesCoherentes(), "page sizes: one per chip size, each dividing the chip's page buffer");

static_assert(kCatalogue[DernierTypeOctetParOctet].OctetParOctetPropose &&
                  !kCatalogue[DernierTypeOctetParOctet + 1].OctetParOctetPropose,
              "DernierTypeOctetParOctet must be the last type offered byte by byte");

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
  // Types of the same size (PCF8582 and 24C02) have the same page size.
  for (const ChipSpec& fiche : kCatalogue)
    if (fiche.Taille == chipSize) return fiche.TaillePage;
  return 1;
}

int OctetsAdresse(int chipType) { return kCatalogue[chipType].OctetsAdresse; }

bool OctetParOctetPropose(int chipType) { return kCatalogue[chipType].OctetParOctetPropose; }

bool Pin7Libre(int chipType) { return kCatalogue[chipType].Pin7Libre; }

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
