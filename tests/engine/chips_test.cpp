#include "engine/chips.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbix {
namespace {

// The columns of a row agree with each other, and the names find the row.
TEST(Catalogue, EveryRowIsConsistent) {
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    const ChipSpec& s = SpecMemoire(t);
    SCOPED_TRACE(s.NomCourt);
    EXPECT_EQ(s.Taille % 16, 0);
    EXPECT_EQ(TypeDepuisNom(s.NomCourt), t);
    // Block bits: exactly the address bits above 8 that one address byte leaves out.
    int bits = 0;
    if (s.OctetsAdresse == 1)
      while ((256 << bits) < s.Taille) ++bits;
    EXPECT_EQ(s.BitsBlocSelection, bits);
    // The list text starts with the part number, the menu name ends with it.
    EXPECT_EQ(std::string(s.TexteListe).rfind(s.NomCourt, 0), 0u);
    EXPECT_EQ(std::string("Option") + s.NomCourt, s.NomMenu);
  }
  EXPECT_EQ(SpecMemoire(TypeMemoireParDefaut).Taille, TailleMemoireParDefaut);
  EXPECT_EQ(TypeDepuisNom("24c512"), 11);
  EXPECT_EQ(TypeDepuisNom("24C1"), -1);
  EXPECT_EQ(TypeDepuisNom(""), -1);
}

TEST(Catalogue, PageSizeFromSize) {
  const int sizes[] = {16, 128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536, 0, 100, 131072};
  const int pages[] = {1, 4, 4, 16, 16, 16, 32, 32, 64, 64, 128, 1, 1, 1};
  for (int i = 0; i < 14; ++i) EXPECT_EQ(TaillePage(sizes[i]), pages[i]) << sizes[i];
}

struct Addressing {
  int chipType;
  int address;
  std::uint8_t select;
  int count;
  std::uint8_t first;
  std::uint8_t second;
};

class CatalogueAddressing : public ::testing::TestWithParam<Addressing> {};

TEST_P(CatalogueAddressing, SelectAndAddressBytes) {
  const Addressing& p = GetParam();
  const AdresseBus a = AdresserMemoire(p.chipType, p.address);
  EXPECT_EQ(a.Selection, p.select);
  ASSERT_EQ(a.NombreOctets, p.count);
  EXPECT_EQ(a.Octets[0], p.first);
  if (p.count == 2) {
    EXPECT_EQ(a.Octets[1], p.second);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CatalogueAddressing,
    ::testing::Values(Addressing{4, 0x1FF, 0xA2, 1, 0xFF, 0}, Addressing{6, 0x5A3, 0xAA, 1, 0xA3, 0},
                      Addressing{6, 0x7FF, 0xAE, 1, 0xFF, 0}, Addressing{8, 0x1234, 0xA0, 2, 0x12, 0x34},
                      Addressing{0, 0xFF, 0xA0, 1, 0xFF, 0}, Addressing{5, 0x3FF, 0xA6, 1, 0xFF, 0},
                      Addressing{3, 0xFF, 0xA0, 1, 0xFF, 0}, Addressing{11, 0xFFFF, 0xA0, 2, 0xFF, 0xFF},
                      Addressing{7, 0x0FFF, 0xA0, 2, 0x0F, 0xFF}));

}  // namespace
}  // namespace zorbix
