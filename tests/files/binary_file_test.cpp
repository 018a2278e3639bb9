#include "files/binary_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/chips.h"
#include "tests/files/temp_dir.h"

namespace zorbix {
namespace {

struct CasChargement {
  std::size_t tailleFichier;
  std::size_t lus;
};

class ChargementBinaire : public ::testing::TestWithParam<CasChargement> {};

// The first bytes of the file land from address 0, at most the capacity;
// the bytes after them keep their values and nothing is written beyond.
TEST_P(ChargementBinaire, RemplitLeDebutDuBuffer) {
  const CasChargement cas = GetParam();
  RepertoireTemporaire rep;
  const std::vector<std::uint8_t> fichier = Motif(cas.tailleFichier, 7);
  std::vector<std::uint8_t> memoire(CapaciteChargement + 64, 0x5A);

  const std::size_t n =
      ChargerFichierBinaire(rep.Ecrire("f.bin", EnTexte(fichier)), memoire.data(), CapaciteChargement);
  ASSERT_EQ(n, cas.lus);
  EXPECT_TRUE(std::equal(fichier.begin(), fichier.begin() + static_cast<long>(n), memoire.begin()));
  EXPECT_TRUE(std::all_of(memoire.begin() + static_cast<long>(n), memoire.end(),
                          [](std::uint8_t o) { return o == 0x5A; }));
}

INSTANTIATE_TEST_SUITE_P(Tailles, ChargementBinaire,
                         ::testing::Values(CasChargement{300, 300}, CasChargement{70000, 65536},
                                           CasChargement{65536, 65536}, CasChargement{0, 0}));

TEST(ChargementBinaireEchec, IntrouvableOuIllisibleDonneZeroSansToucherAuBuffer) {
  RepertoireTemporaire rep;
  std::vector<std::uint8_t> buffer(CapaciteChargement, 0x5A);
  EXPECT_EQ(ChargerFichierBinaire(rep.Chemin("absent.bin"), buffer.data(), buffer.size()), 0u);
  EXPECT_EQ(ChargerFichierBinaire(rep.Racine(), buffer.data(), buffer.size()), 0u);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t o) { return o == 0x5A; }));
}

TEST(RapportChargement, TexteExact) {
  EXPECT_EQ(RapportChargement(300, 2048),
            "300 octets lus.\nLe buffer va être actualisé de l'adresse $0000 à $012B.\n"
            "Avec cette mémoire de 2048 octets, les adresses\naccessibles vont de $0000 à $07FF...");
  EXPECT_EQ(RapportChargement(65536, 16),
            "65536 octets lus.\nLe buffer va être actualisé de l'adresse $0000 à $FFFF.\n"
            "Avec cette mémoire de 16 octets, les adresses\naccessibles vont de $0000 à $000F...");
  EXPECT_EQ(RapportChargement(0, 2048), "Le fichier ne contient aucun octet ! ");
}

class SauvegardeBinaire : public ::testing::TestWithParam<int> {};

// Exactly the chip's bytes, whatever the Buffer holds beyond them and however
// long the file it replaces was; the name is kept as typed.
TEST_P(SauvegardeBinaire, EcritExactementLaTailleDeLaMemoire) {
  const std::size_t taille = static_cast<std::size_t>(SpecMemoire(GetParam()).Taille);
  RepertoireTemporaire rep;
  const std::vector<std::uint8_t> buffer = Motif(65536, static_cast<unsigned>(GetParam()));
  rep.Ecrire("dump", std::string(70000, 'x'));

  ASSERT_TRUE(SauverFichierBinaire(rep.Chemin("dump"), buffer.data(), taille));
  EXPECT_EQ(rep.Lire("dump"), EnTexte({buffer.begin(), buffer.begin() + static_cast<long>(taille)}));
  EXPECT_EQ(rep.Noms(), std::vector<std::string>{"dump"});
}

INSTANTIATE_TEST_SUITE_P(ChaqueMemoire, SauvegardeBinaire, ::testing::Range(0, NombreTypesMemoire),
                         [](const auto& info) { return std::string(SpecMemoire(info.param).NomCourt); });

}  // namespace
}  // namespace zorbix
