// Interoperability with srecord's srec_cat, the usual tool for these formats:
// it must accept our files byte for byte, and we must read the files it
// writes with 16-bit addresses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "files/intel_hex.h"
#include "tests/files/temp_dir.h"

namespace zorbix {
namespace {

const std::string kSrecCat = SREC_CAT;

// Runs srec_cat with `arguments`; true if it succeeded.
bool SrecCat(const std::string& arguments) {
  return std::system((kSrecCat + " " + arguments + " 2>/dev/null").c_str()) == 0;
}

class AvecSrecCat : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kSrecCat.empty()) GTEST_SKIP() << "srec_cat (package srecord) is not installed";
  }
  RepertoireTemporaire rep_;
};

class SrecCatLitNosFichiers : public AvecSrecCat, public ::testing::WithParamInterface<int> {};

TEST_P(SrecCatLitNosFichiers, OctetPourOctet) {
  const std::size_t taille = static_cast<std::size_t>(SpecMemoire(GetParam()).Taille);
  const std::vector<std::uint8_t> buffer = Motif(taille, 11);
  ASSERT_TRUE(EcrireFichierHexa(taille, 16, rep_.Chemin("nous.hex"), buffer.data()));
  ASSERT_TRUE(SrecCat(rep_.Chemin("nous.hex") + " -intel -o " + rep_.Chemin("lui.bin") + " -binary"));
  EXPECT_EQ(rep_.Lire("lui.bin"), EnTexte(buffer));
}

INSTANTIATE_TEST_SUITE_P(ChaqueMemoire, SrecCatLitNosFichiers, ::testing::Range(0, NombreTypesMemoire),
                         [](const auto& info) { return std::string(SpecMemoire(info.param).NomCourt); });

class NousLisonsSrecCat : public AvecSrecCat, public ::testing::WithParamInterface<const char*> {};

// Records of 16, 32 and odd sizes, LF line ends, over a whole 24C512.
TEST_P(NousLisonsSrecCat, ToutLeBuffer) {
  const std::vector<std::uint8_t> image = Motif(65536, 12);
  rep_.Ecrire("image.bin", EnTexte(image));
  ASSERT_TRUE(SrecCat(rep_.Chemin("image.bin") + " -binary -o " + rep_.Chemin("lui.hex") +
                      " -intel -address-length=2 " + GetParam()));
  std::vector<std::uint8_t> buffer(65536, 0x5A);
  const ResultatLectureHexa r = LireFichierHexa(rep_.Chemin("lui.hex"), buffer.data(), buffer.size());
  EXPECT_EQ(r.Code, CodeHexa::Succes) << r.Message;
  EXPECT_EQ(r.OctetsValides, 65536u);
  EXPECT_TRUE(buffer == image);
}

INSTANTIATE_TEST_SUITE_P(Formes, NousLisonsSrecCat,
                         ::testing::Values("-obs=16", "-obs=32", "-line-length=30", "-line-length=75"));

// By default srec_cat starts with an extended linear address record, which
// this reader does not support: the reading ends there, nothing is stored.
TEST_F(AvecSrecCat, AdresseEtendueEnTeteArreteLaLecture) {
  rep_.Ecrire("image.bin", EnTexte(Motif(256, 13)));
  ASSERT_TRUE(SrecCat(rep_.Chemin("image.bin") + " -binary -o " + rep_.Chemin("lui.hex") + " -intel"));
  ASSERT_EQ(rep_.Lire("lui.hex").rfind(":02000004", 0), 0u);
  std::vector<std::uint8_t> buffer(65536, 0x5A);
  const ResultatLectureHexa r = LireFichierHexa(rep_.Chemin("lui.hex"), buffer.data(), buffer.size());
  EXPECT_EQ(r.Code, CodeHexa::Succes);
  EXPECT_EQ(r.OctetsValides, 0u);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t o) { return o == 0x5A; }));
}

}  // namespace
}  // namespace zorbix
