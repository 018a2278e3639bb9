// zorbix32-cli as a script runs it: a whole process against the simulated
// adapter, judged by its exit code, its messages and the bytes it leaves in
// the virtual chip (the simulator's chip file) or in the file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/intel_hex.h"

namespace zorbix::test {
namespace {

namespace fs = std::filesystem;

struct Resultat {
  int code;
  std::string sortie;
  std::string erreurs;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string modele = ::testing::TempDir() + "zorbix-cli-XXXXXX";
    ASSERT_TRUE(::mkdtemp(modele.data()));
    dossier_ = modele;
    unsetenv("ZORBIX_SIM_TRACE");
  }
  void TearDown() override {
    unsetenv("ZORBIX_SIMULATION");
    unsetenv("ZORBIX_SIM_TRACE");
    fs::remove_all(dossier_);
  }

  std::string Chemin(const std::string& nom) const { return (dossier_ / nom).string(); }

  void Ecrire(const std::string& nom, const std::string& contenu) const {
    std::ofstream(Chemin(nom), std::ios::binary) << contenu;
  }
  std::string Lire(const std::string& nom) const {
    std::ifstream f(Chemin(nom), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }

  // A simulated chip on LPT1 whose contents live in the file "puce.bin".
  void Puce(const std::string& type, const std::string& contenu = "") {
    if (!contenu.empty()) Ecrire("puce.bin", contenu);
    setenv("ZORBIX_SIMULATION", ("LPT1:" + type + "=" + Chemin("puce.bin")).c_str(), 1);
  }

  Resultat Lancer(const std::string& arguments) const {
    const std::string commande = "cd '" + dossier_.string() + "' && '" ZORBIX_CLI "' " + arguments +
                                 " >sortie.txt 2>erreurs.txt </dev/null";
    const int statut = std::system(commande.c_str());
    return {WIFEXITED(statut) ? WEXITSTATUS(statut) : -1, Lire("sortie.txt"), Lire("erreurs.txt")};
  }

  fs::path dossier_;
};

std::string Octets(std::size_t n, unsigned graine) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 37 + graine) & 0xFF);
  return s;
}

TEST_F(CliTest, ProgrammerWritesTheFileVerifiesItAndRefusesBadFilesWithoutTouchingTheChip) {
  Puce("24C16");
  Ecrire("court.bin", Octets(300, 1));
  Resultat r = Lancer("programmer --puce 24c16 court.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), Octets(300, 1) + std::string(2048 - 300, '\xFF'));
  EXPECT_NE(r.sortie.find("Fichier de 300 octets pour une mémoire de 2048 octets : les adresses $012C à $07FF "
                          "valent $FF.\n"),
            std::string::npos)
      << r.sortie;
  EXPECT_NE(r.sortie.find("La programmation s'est correctement déroulée...\nVérification"), std::string::npos);
  EXPECT_NE(r.erreurs.find("LPT1 (0x378) : adaptateur simulé, 24C16"), std::string::npos) << r.erreurs;

  // Intel HEX by its extension, byte by byte, with the bus traced.
  const std::string avant = Octets(2048, 9);
  Ecrire("puce.bin", avant);
  std::string image = Octets(2048, 5);
  Ecrire("image.HEX", FormaterHexa(2048, 16, reinterpret_cast<const std::uint8_t*>(image.data())));
  setenv("ZORBIX_SIM_TRACE", Chemin("bus.vcd").c_str(), 1);
  r = Lancer("programmer --puce 24C16 --mode=octet --silencieux image.HEX");
  unsetenv("ZORBIX_SIM_TRACE");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), image);
  EXPECT_EQ(r.erreurs, "");
  EXPECT_NE(Lire("bus.vcd").find("$enddefinitions"), std::string::npos);

  // Refused files: nothing reaches the chip.
  Ecrire("puce.bin", avant);
  Ecrire("long.bin", Octets(3000, 2));
  r = Lancer("programmer --puce 24C16 long.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("3000 octets pour une mémoire de 2048 octets"), std::string::npos) << r.erreurs;
  Ecrire("mauvais.hex", ":0400000001020304F1\r\n:00000001FF\r\n");  // checksum should be F2
  r = Lancer("programmer --puce 24C16 mauvais.hex");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find(MessageHexa(CodeHexa::SommeIncorrecte) + " (code 8)"), std::string::npos) << r.erreurs;
  Ecrire("loin.hex", ":01080000AA4D\r\n:00000001FF\r\n");  // address 0x800 of a 2048-byte chip
  r = Lancer("programmer --puce 24C16 --format hex loin.hex");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("2049 octets pour une mémoire de 2048 octets"), std::string::npos) << r.erreurs;
  Ecrire("vide.bin", "");
  EXPECT_EQ(Lancer("programmer --puce 24C16 vide.bin").code, 2);
  EXPECT_EQ(Lancer("programmer --puce 24C16 absent.bin").code, 2);
  EXPECT_EQ(Lire("puce.bin"), avant);
}

// A 24C01 under the 24C02 type acknowledges every byte while its upper half
// overwrites its lower half: only the verification sees it.
TEST_F(CliTest, ProgrammerVerificationCatchesASmallerChipAndFailuresGiveTheWindowsMessages) {
  Puce("24C01");
  Ecrire("image.bin", Octets(256, 3));
  Resultat r = Lancer("programmer --puce 24C02 image.bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.erreurs.find("La vérification a échoué : "), std::string::npos) << r.erreurs;
  EXPECT_NE(r.erreurs.find(" octet(s) différent(s) sur un total de 256 !\n$0000 : puce $"), std::string::npos);
  EXPECT_EQ(r.sortie.find("correctement"), std::string::npos);
  // Now holding data, it is identified as the smaller chip it is.
  EXPECT_EQ(Lancer("programmer --puce 24C02 --sans-verification image.bin").code, 2);
  EXPECT_EQ(Lancer("programmer --puce 24C02 --sans-verification --forcer image.bin").code, 0);

  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  r = Lancer("programmer --puce 24C02 image.bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.erreurs.find("Programmation impossible ou erronée : \nla mémoire EEPROM est absente"),
            std::string::npos)
      << r.erreurs;
  // The adapter sits on LPT1: a program on LPT2 finds no chip there.
  Puce("24C02");
  EXPECT_EQ(Lancer("programmer --puce 24C02 --port LPT2 image.bin").code, 1);
}

TEST_F(CliTest, LireSavesTheChipInEitherFormatAndAFailedReadKeepsTheFile) {
  const std::string contenu = Octets(8192, 7);
  Puce("24C64", contenu);
  Resultat r = Lancer("lire --puce 24C64 copie.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("copie.bin"), contenu);
  EXPECT_EQ(Lancer("lire --silencieux --puce 24c64 --format hex copie.txt").code, 0);
  EXPECT_EQ(Lire("copie.txt"), FormaterHexa(8192, 16, reinterpret_cast<const std::uint8_t*>(contenu.data())));

  // A 256-byte chip read as a 24C04 comes twice, as in the window.
  Puce("24C02", Octets(256, 4));
  EXPECT_EQ(Lancer("lire --puce 24C04 double.bin").code, 0);
  EXPECT_EQ(Lire("double.bin"), Octets(256, 4) + Octets(256, 4));

  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  r = Lancer("lire --puce 24C64 copie.bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.erreurs.find("Lecture impossible :\nVérifiez que l'insertion de la mémoire est correcte.\n"),
            std::string::npos);
  EXPECT_EQ(Lire("copie.bin"), contenu);
}

TEST_F(CliTest, ComparerCountsLikeTheWindowAndListsTheFirstSixteenAddresses) {
  std::string puce = Octets(2048, 8);
  Puce("24C16", puce);
  Ecrire("pareil.bin", puce);
  Resultat r = Lancer("comparer --puce 24C16 pareil.bin");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.sortie, "Aucune différence entre le fichier et la mémoire.\n");

  std::string fichier = puce;
  for (int i = 0; i < 20; ++i) fichier[0x12 + 10 * i] ^= 0x5A;
  Ecrire("autre.bin", fichier);
  r = Lancer("comparer --puce 24C16 autre.bin");
  EXPECT_EQ(r.code, 3) << r.erreurs;
  char premiere[64];
  std::snprintf(premiere, sizeof premiere, "$0012 : puce $%02X, fichier $%02X\n",
                static_cast<unsigned char>(puce[0x12]), static_cast<unsigned char>(fichier[0x12]));
  EXPECT_EQ(r.sortie.rfind("20 octet(s) différent(s) sur un total de 2048 !\n", 0), 0u) << r.sortie;
  EXPECT_NE(r.sortie.find(premiere), std::string::npos) << r.sortie;
  EXPECT_EQ(std::count(r.sortie.begin(), r.sortie.end(), '\n'), 17);
  EXPECT_EQ(Lire("puce.bin"), puce);  // comparing writes nothing

  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  r = Lancer("comparer --puce 24C16 pareil.bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.erreurs.find("Erreur de communication avec la mémoire..."), std::string::npos);
}

TEST_F(CliTest, DetecterFindsTheLastAdapterAndPortsPrintsTheStartUpReport) {
  setenv("ZORBIX_SIMULATION", "LPT1:24C16;LPT2:empty", 1);
  Resultat r = Lancer("detecter");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.sortie, "Le programmateur a été détecté sur LPT2 (à l'adresse $278)...\n");
  r = Lancer("ports");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.sortie.find("LPT3 (0x3BC) : aucun port (simulation)"), std::string::npos) << r.sortie;
  setenv("ZORBIX_SIMULATION", "LPT9:24C16", 1);
  EXPECT_EQ(Lancer("ports").code, 2);
}

// A port on a PCI card: only the extra port carries the adapter, reached by
// the name the start-up report gives it or by its address.
TEST_F(CliTest, AnExtraPortIsReachedByItsNameOrAddressAndFoundByDetecter) {
  setenv("ZORBIX_SIMULATION", ("0xDC00:24C16=" + Chemin("puce.bin")).c_str(), 1);
  Resultat r = Lancer("ports");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.sortie.find("sim0 (0xDC00) : adaptateur simulé, 24C16"), std::string::npos) << r.sortie;
  EXPECT_NE(r.sortie.find("LPT1 (0x378) : aucun port (simulation)"), std::string::npos) << r.sortie;

  r = Lancer("detecter");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(r.sortie, "Le programmateur a été détecté sur sim0 (à l'adresse $DC00)...\n");

  const std::string image = Octets(2048, 11);
  Ecrire("image.bin", image);
  r = Lancer("programmer --puce 24C16 --port SIM0 image.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), image);
  EXPECT_EQ(Lancer("lire --puce 24C16 --port 0xdc00 copie.bin").code, 0);
  EXPECT_EQ(Lire("copie.bin"), image);
  EXPECT_EQ(Lancer("comparer --puce 24C16 --port sim0 image.bin").code, 0);
  EXPECT_EQ(Lancer("lire --puce 24C16 copie.bin").code, 1);  // nothing on LPT1

  // A kernel's name is no simulated port's: refused like any unknown name.
  r = Lancer("programmer --puce 24C16 --port parport0 copie.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.erreurs.rfind("zorbix32-cli : port inconnu : « parport0 » (LPT1, LPT2, LPT3, sim0 ou une adresse", 0),
            0u)
      << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), image);
}

TEST_F(CliTest, BadCommandLinesGiveOneLineTheUsageAndExitCode2WithoutTouchingTheChip) {
  const std::string avant = Octets(2048, 6);
  Puce("24C16", avant);
  Ecrire("f.bin", Octets(2048, 1));
  for (const char* ligne :
       {"", "graver --puce 24C16 f.bin", "programmer f.bin", "programmer --puce 24C17 f.bin",
        "programmer --puce 24C16", "programmer --puce 24C16 f.bin g.bin", "programmer --puce",
        "programmer --puce 24C16 --mode rapide f.bin", "programmer --puce 24C16 --vite f.bin",
        "lire --puce 24C16 --sans-verification f.bin", "comparer --puce 24C16 --format srec f.bin",
        "programmer --puce 24C16 --port LPT5 f.bin", "detecter --puce 24C16", "ports f.bin"}) {
    const Resultat r = Lancer(ligne);
    EXPECT_EQ(r.code, 2) << ligne;
    EXPECT_EQ(r.erreurs.rfind("zorbix32-cli : ", 0), 0u) << ligne;
    EXPECT_NE(r.erreurs.find("\n\nUsage :\n"), std::string::npos) << ligne;
    EXPECT_EQ(r.sortie, "") << ligne;
  }
  EXPECT_EQ(Lire("puce.bin"), avant);
  const Resultat aide = Lancer("programmer --help");
  EXPECT_EQ(aide.code, 0);
  EXPECT_NE(aide.sortie.find("3  la comparaison a trouvé des différences"), std::string::npos);
}

}  // namespace
}  // namespace zorbix::test
