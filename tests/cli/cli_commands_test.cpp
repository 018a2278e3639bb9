// zorbix32-cli as a script runs it: a whole process against the simulated
// adapter, judged by its exit code, its messages and the bytes it leaves in
// the virtual chip (the simulator's chip file) or in the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/intel_hex.h"
#include "tests/cli/cli_runs.h"

namespace zorbix::test {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test, public DossierCli {
 protected:
  CliTest() : DossierCli("zorbix-cli") {}
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
  EXPECT_NE(r.erreurs.find(MessageHexa(CodeHexa::SommeIncorrecte) + " (code 8), ligne 1 : « :0400000001020304F1 »"),
            std::string::npos)
      << r.erreurs;
  Ecrire("loin.hex", ":01080000AA4D\r\n:00000001FF\r\n");  // address 0x800 of a 2048-byte chip
  r = Lancer("programmer --puce 24C16 --format hex loin.hex");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("2049 octets pour une mémoire de 2048 octets"), std::string::npos) << r.erreurs;
  Ecrire("vide.bin", "");
  EXPECT_EQ(Lancer("programmer --puce 24C16 vide.bin").code, 2);
  r = Lancer("programmer --puce 24C16 --silencieux absent.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.erreurs, "Fichier illisible : absent.bin (fichier ou dossier introuvable)\n");
  EXPECT_EQ(Lire("puce.bin"), avant);
}

// Read through a FIFO, a folder or a dangling link, a command would wait for
// good or fail without saying why: each is refused before the chip, with its
// reason, in both formats.
TEST_F(CliTest, FilesThatAreNotRegularAreRefusedWithTheirReasonWithoutWaiting) {
  const std::string avant = Octets(2048, 6);
  Puce("24C16", avant);
  ASSERT_EQ(::mkfifo(Chemin("tube").c_str(), 0644), 0);
  fs::create_directory(Chemin("dossier"));
  fs::create_symlink("nulle-part", Chemin("lien"));
  Ecrire("cache", Octets(16, 1));
  fs::permissions(Chemin("cache"), fs::perms::none);
  std::vector<std::pair<std::string, std::string>> cas = {{"tube", "pas un fichier ordinaire"},
                                                          {"dossier", "c'est un dossier"},
                                                          {"lien", "lien symbolique vers un fichier absent"}};
  if (::geteuid() != 0) cas.push_back({"cache", "permission refusée"});  // root reads it anyway
  for (const auto& [nom, raison] : cas) {
    for (const std::string commande : {"programmer", "comparer --format hex"}) {
      const Resultat r = Lancer(commande + " --silencieux --puce 24C16 " + nom);
      EXPECT_EQ(r.code, 2) << commande << " " << nom;
      EXPECT_EQ(r.erreurs, "Fichier illisible : " + nom + " (" + raison + ")\n") << commande;
    }
  }
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

// lire judges its output path before it reads the chip (the empty socket
// would fail it otherwise): a device, a FIFO, a folder or a dangling link is
// refused and left as it was; "-" is standard output; a link to a regular
// file is followed and stays a link.
TEST_F(CliTest, LireNeverReplacesWhatItsOutputPathIs) {
  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  ASSERT_EQ(::mkfifo(Chemin("tube").c_str(), 0644), 0);
  fs::create_directory(Chemin("dossier"));
  fs::create_symlink("nulle-part", Chemin("lien"));
  // A device of our own where the system lets us make one, else the system's.
  std::string peripherique = Chemin("nul");
  if (::mknod(peripherique.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) peripherique = "/dev/null";
  const std::pair<std::string, std::string> cas[] = {{peripherique, "pas un fichier ordinaire"},
                                                     {"tube", "pas un fichier ordinaire"},
                                                     {"dossier", "c'est un dossier"},
                                                     {"lien", "lien symbolique vers un fichier absent"},
                                                     {"absent/copie.bin", "fichier ou dossier introuvable"}};
  for (const auto& [nom, raison] : cas) {
    const fs::file_status avant = fs::symlink_status(Chemin(nom));
    const Resultat r = Lancer("lire --silencieux --puce 24C16 " + nom);
    EXPECT_EQ(r.code, 2) << nom;
    EXPECT_EQ(r.erreurs, "Fichier de sortie refusé : " + nom + " (" + raison + ")\n");
    EXPECT_EQ(fs::symlink_status(Chemin(nom)).type(), avant.type()) << nom;
  }
  EXPECT_FALSE(fs::exists(Chemin("nulle-part")));

  const std::string contenu = Octets(2048, 3);
  Puce("24C16", contenu);
  Resultat r = Lancer("lire --silencieux --puce 24C16 -");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(r.sortie, contenu);
  EXPECT_EQ(r.erreurs, "2048 octets lus, envoyés sur la sortie standard\n");
  Ecrire("vrai.bin", "ancien");
  fs::create_symlink("vrai.bin", Chemin("vers-vrai"));
  EXPECT_EQ(Lancer("lire --silencieux --puce 24C16 vers-vrai").code, 0);
  EXPECT_TRUE(fs::is_symlink(Chemin("vers-vrai")));
  EXPECT_EQ(Lire("vrai.bin"), contenu);
}

// "-" reads standard input, in the format --format names (there is no name
// to judge by), and writes standard output; what standard output refuses
// fails the run.
TEST_F(CliTest, StandardInputAndOutputRoundTripInBothFormats) {
  const std::string contenu = Octets(2048, 4);
  Puce("24C16", contenu);
  Resultat r = Lancer("lire --silencieux --puce 24C16 --format hex -", "/dev/null", "image.hex");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("image.hex"), FormaterHexa(2048, 16, reinterpret_cast<const std::uint8_t*>(contenu.data())));
  Ecrire("image.bin", contenu);

  Ecrire("puce.bin", Octets(2048, 9));
  r = Lancer("programmer --silencieux --puce 24C16 --format hex -", "image.hex");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), contenu);
  EXPECT_EQ(Lancer("comparer --silencieux --puce 24C16 --format bin -", "image.bin").code, 0);
  Ecrire("autre.bin", Octets(2048, 5));
  EXPECT_EQ(Lancer("comparer --silencieux --puce 24C16 --format bin -", "autre.bin").code, 3);

  r = Lancer("programmer --puce 24C16 -", "image.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.erreurs.rfind("zorbix32-cli : --format hex ou --format bin est obligatoire pour l'entrée standard", 0),
            0u)
      << r.erreurs;
  Ecrire("grand.bin", Octets(70000, 1));
  r = Lancer("programmer --silencieux --puce 24C16 --format bin -", "grand.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("70000 octets pour une mémoire de 2048 octets"), std::string::npos) << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), contenu);

  if (fs::exists("/dev/full")) {
    r = Lancer("ports", "/dev/null", "/dev/full");
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.erreurs.find("écriture impossible sur la sortie standard"), std::string::npos) << r.erreurs;
  }
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
  EXPECT_EQ(r.erreurs.rfind("zorbix32-cli : port inconnu : « parport0 » (LPT1, LPT2, LPT3, sim0, une adresse", 0),
            0u)
      << r.erreurs;
  EXPECT_EQ(Lire("puce.bin"), image);
}

// A simulated CH341A, a full I2C bus, an SMBus-only bus and a PC's SMBus
// with a kernel driver on one address: each programmed, read and compared
// through --port; the PC's SMBus refuses without the option and changes
// nothing; the driver's address is refused with its name.
TEST_F(CliTest, Ch341aAndI2cBusesAreProgrammedAndTheSystemBusIsGuarded) {
  const std::string pc = Octets(256, 3);
  Ecrire("pc.bin", pc);
  setenv("ZORBIX_SIMULATION",
         ("ch341a:24C16=" + Chemin("c.bin") + ";i2c-1:24C64=" + Chemin("i.bin") + ";i2c-2/smbus:24C16=" +
          Chemin("s.bin") + ";i2c-0/smbus-pc/at24@0x51:24C02=" + Chemin("pc.bin"))
             .c_str(),
         1);
  Resultat r = Lancer("ports");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.sortie.find("--port i2c-0 : i2c-0 (SMBus I801 simulé), SMBus seulement, écriture gardée"),
            std::string::npos)
      << r.sortie;
  EXPECT_NE(r.sortie.find("--port \"USB 0-1\" : CH341A (USB 0-1)"), std::string::npos) << r.sortie;

  const std::string image16 = Octets(2048, 5), image64 = Octets(8192, 6);
  Ecrire("i16.bin", image16);
  Ecrire("i64.bin", image64);
  r = Lancer("programmer --puce 24C16 --port ch341a --vitesse 400 --sans-verification i16.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_NE(r.sortie.find("la mémoire a été relue pour vérifier"), std::string::npos) << r.sortie;
  EXPECT_EQ(Lire("c.bin"), image16);
  Ecrire("morceau.bin", image16.substr(0x10, 32));
  r = Lancer("programmer --puce 24C16 --port ch341a --sans-verification --debut 0x10 --longueur 32 morceau.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_NE(r.sortie.find("la mémoire a été relue pour vérifier"), std::string::npos) << r.sortie;
  EXPECT_EQ(Lancer("comparer --puce 24C16 --port \"USB 0-1\" i16.bin").code, 0);
  EXPECT_EQ(Lancer("programmer --puce 24C64 --port i2c-1 i64.bin").code, 0);
  EXPECT_EQ(Lire("i.bin"), image64);
  EXPECT_EQ(Lancer("programmer --puce 24C16 --port i2c-2 --mode octet i16.bin").code, 0);
  EXPECT_EQ(Lancer("lire --puce 24C16 --port I2C-2 copie.bin").code, 0);
  EXPECT_EQ(Lire("copie.bin"), image16);
  // The pins: a chip wired at A2 A1 A0 = 0 does not answer at 2.
  EXPECT_EQ(Lancer("lire --puce 24C64 --port i2c-1 --broches 2 copie.bin").code, 1);

  Ecrire("i02.bin", Octets(256, 9));
  r = Lancer("programmer --puce 24C02 --port i2c-0 i02.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("est le SMBus de ce PC"), std::string::npos) << r.erreurs;
  EXPECT_NE(r.erreurs.find("--autoriser-ecriture-bus-systeme"), std::string::npos) << r.erreurs;
  EXPECT_EQ(Lancer("lire --puce 24C02 --port i2c-0 copie.bin").code, 2);
  EXPECT_EQ(Lire("pc.bin"), pc);
  EXPECT_EQ(Lancer("programmer --puce 24C02 --port i2c-0 --autoriser-ecriture-bus-systeme i02.bin").code, 0);
  EXPECT_EQ(Lire("pc.bin"), Octets(256, 9));
  r = Lancer("lire --puce 24C02 --port i2c-0 --broches 1 --autoriser-ecriture-bus-systeme copie.bin");
  EXPECT_EQ(r.code, 4);
  EXPECT_NE(r.erreurs.find("tenue par le pilote at24 du noyau"), std::string::npos) << r.erreurs;

  // Options that the chosen adapter does not take, and a bus that is not there.
  EXPECT_EQ(Lancer("lire --puce 24C16 --port i2c-1 --vitesse 400 copie.bin").code, 2);
  EXPECT_EQ(Lancer("lire --puce 24C16 --port LPT1 --broches 1 copie.bin").code, 2);
  EXPECT_EQ(Lancer("lire --puce 24C16 --port i2c-9 copie.bin").code, 2);
  EXPECT_EQ(Lancer("detecter").sortie, "Le programmateur a été détecté sur CH341A (USB 0-1)...\n");
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
