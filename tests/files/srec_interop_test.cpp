// Interoperability with srecord's srec_cat, the usual tool for these formats:
// it must accept our files byte for byte, and we must read the files it
// writes for a 64 KiB image.
#include <gtest/gtest.h>

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

// srec_cat's default output starts with an extended linear address record of
// 0000, and with 24-bit addresses with an extended segment address of 0000
// (with 16-bit addresses it writes none, as above): passed over, the whole
// image is read.
struct SortieParDefaut {
  const char* nom;
  const char* option;
  const char* premiereLigne;
};

class NousLisonsSrecCatParDefaut : public AvecSrecCat, public ::testing::WithParamInterface<SortieParDefaut> {};

TEST_P(NousLisonsSrecCatParDefaut, ToutLeBuffer) {
  const std::vector<std::uint8_t> image = Motif(65536, 13);
  rep_.Ecrire("image.bin", EnTexte(image));
  ASSERT_TRUE(SrecCat(rep_.Chemin("image.bin") + " -binary -o " + rep_.Chemin("lui.hex") + " -intel " +
                      GetParam().option));
  ASSERT_EQ(rep_.Lire("lui.hex").rfind(GetParam().premiereLigne, 0), 0u);
  std::vector<std::uint8_t> buffer(65536, 0x5A);
  const ResultatLectureHexa r = LireFichierHexa(rep_.Chemin("lui.hex"), buffer.data(), buffer.size());
  EXPECT_EQ(r.Code, CodeHexa::Succes) << r.Message;
  EXPECT_EQ(r.OctetsValides, 65536u);
  EXPECT_TRUE(buffer == image);
}

INSTANTIATE_TEST_SUITE_P(Formes, NousLisonsSrecCatParDefaut,
                         ::testing::Values(SortieParDefaut{"Lineaire", "", ":020000040000FA"},
                                           SortieParDefaut{"Segment", "-address-length=3", ":020000020000FC"}),
                         [](const auto& info) { return std::string(info.param.nom); });

}  // namespace
}  // namespace zorbix
