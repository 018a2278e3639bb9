#include "fileio/safe_save.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "files/binary_file.h"
#include "files/intel_hex.h"
#include "tests/files/file_size_limit.h"
#include "tests/files/ordinary_user.h"
#include "tests/files/temp_dir.h"

namespace zorbix {
namespace {

using test::CommeUtilisateurOrdinaire;
using test::LimiteTailleFichier;
struct Ecrivain {
  const char* nom;
  std::function<bool(const std::string&, const std::vector<std::uint8_t>&)> sauver;
};

const Ecrivain kEcrivains[] = {
    {"Binaire", [](const std::string& f, const std::vector<std::uint8_t>& b) {
       return SauverFichierBinaire(f, b.data(), b.size());
     }},
    {"Hexa", [](const std::string& f, const std::vector<std::uint8_t>& b) {
       return EcrireFichierHexa(b.size(), 16, f, b.data());
     }},
};

class SauvegardeSure : public ::testing::TestWithParam<Ecrivain> {};

// A save that the system stops half-way is reported as failed, and the file
// that was there is still there, whole, with no temporary file left beside it.
TEST_P(SauvegardeSure, EchecEnCoursGardeLAncienFichier) {
  RepertoireTemporaire rep;
  const std::string ancien = EnTexte(Motif(1000, 1));
  const std::string cible = rep.Ecrire("memoire", ancien);
  const std::vector<std::uint8_t> buffer = Motif(65536, 2);
  {
    LimiteTailleFichier limite(4096);
    EXPECT_FALSE(GetParam().sauver(cible, buffer));
  }
  EXPECT_EQ(rep.Lire("memoire"), ancien);
  EXPECT_EQ(rep.Noms(), std::vector<std::string>{"memoire"});

  EXPECT_TRUE(GetParam().sauver(cible, buffer));
  EXPECT_NE(rep.Lire("memoire"), ancien);
  EXPECT_EQ(rep.Noms(), std::vector<std::string>{"memoire"});
}

TEST_P(SauvegardeSure, CheminImpossibleEchoueSansRienCreer) {
  RepertoireTemporaire rep;
  const std::vector<std::uint8_t> buffer = Motif(256, 3);
  EXPECT_FALSE(GetParam().sauver(rep.Chemin("absent/memoire"), buffer));
  EXPECT_FALSE(GetParam().sauver("", buffer));
  ASSERT_EQ(::mkdir(rep.Chemin("dossier").c_str(), 0755), 0);
  EXPECT_FALSE(GetParam().sauver(rep.Chemin("dossier"), buffer));
  EXPECT_EQ(rep.Noms(), std::vector<std::string>{"dossier"});
}

INSTANTIATE_TEST_SUITE_P(DeuxFormats, SauvegardeSure, ::testing::ValuesIn(kEcrivains),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(RemplacerFichier, GardeLesDroitsEtLesLiens) {
  RepertoireTemporaire rep;
  const std::string cible = rep.Ecrire("vrai.bin", "ancien");
  ASSERT_EQ(::chmod(cible.c_str(), 0640), 0);
  ASSERT_EQ(::symlink("vrai.bin", rep.Chemin("lien").c_str()), 0);

  ASSERT_TRUE(RemplacerFichier(rep.Chemin("lien"), "nouveau", 7));
  struct stat etat;
  ASSERT_EQ(::lstat(rep.Chemin("lien").c_str(), &etat), 0);
  EXPECT_TRUE(S_ISLNK(etat.st_mode));
  ASSERT_EQ(::stat(cible.c_str(), &etat), 0);
  EXPECT_EQ(etat.st_mode & 07777, 0640u);
  EXPECT_EQ(rep.Lire("vrai.bin"), "nouveau");

  // A new file gets what the umask leaves of 0666, like any file created.
  const mode_t ancienMasque = ::umask(022);
  ASSERT_TRUE(RemplacerFichier(rep.Chemin("neuf"), "x", 1));
  ::umask(ancienMasque);
  ASSERT_EQ(::stat(rep.Chemin("neuf").c_str(), &etat), 0);
  EXPECT_EQ(etat.st_mode & 07777, 0644u);
}

// A read-only folder takes no temporary file, but the writable file in it is
// rewritten in place by either writer, cut to its new length, its mode kept.
// What can fail before the first byte (here the size limit) leaves it whole;
// a new name there is refused with the folder's reason.
TEST(RemplacerFichier, DansUnDossierEnLectureSeuleReecritLeFichierSurPlace) {
  RepertoireTemporaire rep;
  const std::string dossier = rep.Chemin("ro");
  ASSERT_EQ(::mkdir(dossier.c_str(), 0755), 0);
  const std::string ancien = EnTexte(Motif(1000, 1));
  const std::string cible = rep.Ecrire("ro/w.bin", ancien);
  ASSERT_EQ(::chmod(cible.c_str(), 0640), 0);
  ASSERT_EQ(::chmod(dossier.c_str(), 0555), 0);
  const std::vector<std::uint8_t> neuf = Motif(300, 2);

  EXPECT_TRUE(CommeUtilisateurOrdinaire(rep.Racine(), [&] {
    std::string ecarts;
    const auto verifier = [&](bool bon, const char* quoi) { ecarts += bon ? "" : std::string(quoi) + "\n"; };
    int erreur = 0;
    {
      LimiteTailleFichier limite(100);
      verifier(!SauverFichierBinaire(cible, neuf.data(), neuf.size(), &erreur) && erreur == EFBIG, "limite");
    }
    verifier(rep.Lire("ro/w.bin") == ancien, "ancien fichier abîmé");
    verifier(!RemplacerFichier(dossier + "/autre", "x", 1, &erreur) && erreur == EACCES, "nouveau nom");

    verifier(SauverFichierBinaire(cible, neuf.data(), neuf.size(), &erreur), "binaire refusé");
    verifier(rep.Lire("ro/w.bin") == EnTexte(neuf), "binaire mal écrit");
    verifier(EcrireFichierHexa(neuf.size(), 16, cible, neuf.data(), &erreur), "hexa refusé");
    verifier(rep.Lire("ro/w.bin") == FormaterHexa(neuf.size(), 16, neuf.data()), "hexa mal écrit");
    struct stat etat;
    verifier(::stat(cible.c_str(), &etat) == 0 && (etat.st_mode & 07777) == 0640, "droits perdus");
    verifier(std::filesystem::directory_iterator(dossier)->path() == cible &&
                 std::distance(std::filesystem::directory_iterator(dossier), {}) == 1,
             "un autre nom dans le dossier");
    std::cerr << ecarts;
    return ecarts.empty();
  }));
  ::chmod(dossier.c_str(), 0755);
}

}  // namespace
}  // namespace zorbix
