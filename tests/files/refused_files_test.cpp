// What is not a regular file is neither read nor replaced: a FIFO (which
// would block the reader for good), a device, a folder, a dangling link, a
// file its user may not read. Each says why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <string>
#include <vector>

#include "fileio/file_errors.h"
#include "fileio/safe_save.h"
#include "files/binary_file.h"
#include "files/intel_hex.h"
#include "tests/files/ordinary_user.h"
#include "tests/files/temp_dir.h"

namespace zorbix {
namespace {

using test::CommeUtilisateurOrdinaire;

// How the two readers fail to meet what is expected of `nom`, one line each;
// empty when both refuse it with the `raison` and the HEX `message` given and
// leave the Buffer untouched.
std::string Ecarts(const std::string& nom, const std::string& raison, const std::string& message) {
  std::vector<std::uint8_t> buffer(CapaciteChargement, 0x5A);
  std::string ecarts;
  int erreur = 0;
  const std::size_t n = ChargerFichierBinaire(nom, buffer.data(), buffer.size(), &erreur);
  if (n != 0 || TexteErreurFichier(erreur) != raison)
    ecarts += "binaire : " + std::to_string(n) + " octets, " + TexteErreurFichier(erreur) + "\n";
  const ResultatLectureHexa r = LireFichierHexa(nom, buffer.data(), buffer.size());
  if (r.Code != CodeHexa::FichierIntrouvable || r.Message != message) ecarts += "hexa : " + r.Message + "\n";
  if (!std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t o) { return o == 0x5A; }))
    ecarts += "buffer modifié\n";
  return ecarts;
}

std::string Inaccessible(const std::string& nom, const std::string& raison) {
  return "Le fichier " + nom + " existe mais ne peut pas être ouvert : " + raison + ".";
}

TEST(FichiersRefuses, LesLecteursRefusentSansAttendreEtDisentPourquoi) {
  ::alarm(60);  // a reader that waits on the FIFO ends the run instead of hanging it
  RepertoireTemporaire rep;
  ASSERT_EQ(::mkfifo(rep.Chemin("tube").c_str(), 0644), 0);
  ASSERT_EQ(::mkdir(rep.Chemin("dossier").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("nulle-part", rep.Chemin("lien").c_str()), 0);
  ASSERT_EQ(::chmod(rep.Ecrire("cache", ":0100000042BD\r\n").c_str(), 0), 0);
  const std::pair<const char*, const char*> cas[] = {{"tube", "pas un fichier ordinaire"},
                                                     {"dossier", "c'est un dossier"},
                                                     {"lien", "lien symbolique vers un fichier absent"}};
  for (const auto& [nom, raison] : cas)
    EXPECT_EQ(Ecarts(rep.Chemin(nom), raison, Inaccessible(rep.Chemin(nom), raison)), "") << nom;
  // A missing name keeps the texts of a missing file.
  const std::string absent = rep.Chemin("absent");
  EXPECT_EQ(Ecarts(absent, "fichier ou dossier introuvable", "Le fichier " + absent + " est introuvable !"), "");

  const std::string cache = rep.Chemin("cache");
  EXPECT_TRUE(CommeUtilisateurOrdinaire(rep.Racine(), [&] {
    const std::string ecarts = Ecarts(cache, "permission refusée", Inaccessible(cache, "permission refusée"));
    std::cerr << ecarts;
    return ecarts.empty();
  }));

  // A link to a regular file is read through it.
  ASSERT_EQ(::chmod(cache.c_str(), 0644), 0);
  ASSERT_EQ(::symlink("cache", rep.Chemin("vers-cache").c_str()), 0);
  std::vector<std::uint8_t> buffer(CapaciteChargement, 0x5A);
  EXPECT_EQ(LireFichierHexa(rep.Chemin("vers-cache"), buffer.data(), buffer.size()).Code, CodeHexa::Succes);
  EXPECT_EQ(buffer[0], 0x42);
  ::alarm(0);
}

// A save over a FIFO, a device or a dangling link would put a regular file
// in its place (as root, in place of /dev/null): each is refused and stays.
TEST(FichiersRefuses, LaSauvegardeNeRemplaceQueDesFichiersOrdinaires) {
  RepertoireTemporaire rep;
  ASSERT_EQ(::mkfifo(rep.Chemin("tube").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("nulle-part", rep.Chemin("lien").c_str()), 0);
  // A device of our own where the system lets us make one, else the system's.
  std::string peripherique = rep.Chemin("nul");
  if (::mknod(peripherique.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) peripherique = "/dev/null";
  const std::pair<std::string, int> cas[] = {{rep.Chemin("tube"), ErreurPasFichierOrdinaire},
                                             {peripherique, ErreurPasFichierOrdinaire},
                                             {rep.Chemin("lien"), ErreurLienCasse},
                                             {rep.Chemin("absent/f.bin"), ENOENT}};
  for (const auto& [nom, attendu] : cas) {
    struct stat avant {}, apres {};
    const bool existait = ::lstat(nom.c_str(), &avant) == 0;
    int erreur = 0;
    EXPECT_FALSE(RemplacerFichier(nom, "abc", 3, &erreur)) << nom;
    EXPECT_EQ(erreur, attendu) << nom;
    EXPECT_EQ(VerifierDestination(nom), attendu) << nom;
    EXPECT_EQ(::lstat(nom.c_str(), &apres) == 0, existait) << nom;
    EXPECT_EQ(apres.st_mode, avant.st_mode) << nom;
  }
  EXPECT_FALSE(std::filesystem::exists(rep.Chemin("nulle-part")));
}

}  // namespace
}  // namespace zorbix
