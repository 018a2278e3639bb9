// zorbix32-cli's ranges, erase and blank check, the list of differences and
// the identification, as whole processes against the simulated adapter.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "engine/chips.h"
#include "tests/cli/cli_runs.h"

namespace zorbix::test {
namespace {

class CliPlageTest : public ::testing::Test, public DossierCli {
 protected:
  CliPlageTest() : DossierCli("zorbix-cli-plage") {}
};

std::string Aleatoires(std::size_t n, unsigned graine) {
  std::mt19937 g(graine);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(g());
  return s;
}

TEST_F(CliPlageTest, RefusedCommandLinesSayWhyAndLeaveTheChipAlone) {
  const std::string avant = Aleatoires(2048, 1);
  Puce("24C16", avant);
  Ecrire("f.bin", Aleatoires(300, 2));
  struct Cas {
    const char* ligne;
    const char* raison;
  };
  for (const Cas& c : std::initializer_list<Cas>{
           {"programmer --puce 24C02 --puce 24C16 f.bin", "l'option --puce est donnée deux fois"},
           {"vierge --puce 24C16 --silencieux --silencieux", "l'option --silencieux est donnée deux fois"},
           {"effacer --puce 24C16 --debut 0 --debut=0", "l'option --debut est donnée deux fois"},
           {"programmer --puce 24C128 --mode octet f.bin", "le mode octet n'est pas proposé pour la 24C128 : elle"},
           {"effacer --puce 24c256 --mode=octet", "le mode octet n'est pas proposé pour la 24C256"},
           {"programmer --mode octet --puce 24C512 f.bin", "le mode octet n'est pas proposé pour la 24C512"},
           {"lire --puce 24C16 --debut 0x800 f.bin", "l'adresse de début $0800 sort de la 24C16 (2048 octets"},
           {"vierge --puce 24C16 --debut 2000 --longueur 49", "la plage $07D0 à $0800 sort de la 24C16"},
           {"vierge --puce 24C16 --longueur 0", "la longueur de la plage est nulle"},
           {"vierge --puce 24C16 --longueur 0x", "nombre invalide pour --longueur : « 0x »"},
           {"vierge --puce 24C16 --debut -1", "nombre invalide pour --debut : « -1 »"},
           {"effacer --puce 24C16 --valeur 0x100", "nombre invalide pour --valeur"},
           {"lire --puce 24C16 --liste f.bin", "« --liste »"},
           {"comparer --puce 24C16 --forcer f.bin", "« --forcer »"},
           {"identifier --puce 24C16", "« --puce »"},
           {"vierge --puce 24C16 f.bin", "argument en trop"}}) {
    const Resultat r = Lancer(c.ligne);
    EXPECT_EQ(r.code, 2) << c.ligne;
    const std::string premiere = r.erreurs.substr(0, r.erreurs.find('\n'));
    EXPECT_EQ(premiere.rfind("zorbix32-cli : ", 0), 0u) << c.ligne;
    EXPECT_NE(premiere.find(c.raison), std::string::npos) << c.ligne << "\n" << premiere;
    EXPECT_EQ(r.sortie, "") << c.ligne;
  }
  // A file longer than its range, and a trace that cannot be made even when silent.
  Resultat r = Lancer("programmer --puce 24C16 --debut 0x700 --longueur 256 f.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.erreurs.find("Fichier trop grand : 300 octets pour la plage $0700 à $07FF de 256 octets"),
            std::string::npos)
      << r.erreurs;
  setenv("ZORBIX_SIM_TRACE", Chemin("absent/bus.vcd").c_str(), 1);
  r = Lancer("effacer --puce 24C16 --silencieux");
  unsetenv("ZORBIX_SIM_TRACE");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.erreurs, "Trace du bus impossible : " + Chemin("absent/bus.vcd") + " ne peut pas être créé.\n");
  EXPECT_EQ(Lire("puce.bin"), avant);
}

// A 24C512 range across page boundaries, by pages and byte by byte: only its
// bytes change; read back and compared alone; a short file is padded.
TEST_F(CliPlageTest, ARangeIsProgrammedReadAndComparedAlone) {
  const std::string avant = Aleatoires(65536, 3);
  Puce("24C512", avant);
  const std::string fichier = Aleatoires(300, 4);
  Ecrire("f.bin", fichier);
  Resultat r = Lancer("programmer --puce 24C512 --debut 0x7FC0 --longueur 300 f.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  std::string attendu = avant;
  attendu.replace(0x7FC0, 300, fichier);
  EXPECT_EQ(Lire("puce.bin"), attendu);
  EXPECT_NE(r.sortie.find("Vérification : la mémoire contient le fichier."), std::string::npos);

  Puce("24C16", Aleatoires(2048, 5));
  attendu = Lire("puce.bin");
  r = Lancer("programmer --puce 24C16 --mode octet --debut 250 --longueur 0x20 f.bin");
  EXPECT_EQ(r.code, 2);  // 300 bytes for 32
  Ecrire("court.bin", fichier.substr(0, 20));
  r = Lancer("programmer --puce 24C16 --mode octet --debut 250 --longueur 0x20 court.bin");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_NE(r.sortie.find("Fichier de 20 octets pour la plage $00FA à $0119 de 32 octets : les adresses $010E à "
                          "$0119 valent $FF."),
            std::string::npos)
      << r.sortie;
  attendu.replace(250, 32, fichier.substr(0, 20) + std::string(12, '\xFF'));
  EXPECT_EQ(Lire("puce.bin"), attendu);

  EXPECT_EQ(Lancer("lire --puce 24C16 --debut 250 --longueur 32 --silencieux copie.bin").code, 0);
  EXPECT_EQ(Lire("copie.bin"), attendu.substr(250, 32));
  EXPECT_EQ(Lancer("comparer --puce 24C16 --debut 250 --longueur 32 copie.bin").code, 0);
  r = Lancer("comparer --puce 24C16 --debut 251 --longueur 32 copie.bin");
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.sortie.find("sur un total de 32 !\n$00FB : puce $"), std::string::npos) << r.sortie;
}

TEST_F(CliPlageTest, EffacerAndViergeOnTheChipAndOnARange) {
  Puce("24C64", Aleatoires(8192, 6));
  Resultat r = Lancer("vierge --puce 24C64");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.sortie.rfind("Pas vierge : ", 0), 0u);
  EXPECT_EQ(std::count(r.sortie.begin(), r.sortie.end(), '\n'), 17);

  r = Lancer("effacer --puce 24C64 --debut 0x1010 --longueur 0x30");
  EXPECT_EQ(r.code, 0) << r.erreurs;
  EXPECT_NE(r.sortie.find("Vérification : chaque octet vaut $FF."), std::string::npos) << r.sortie;
  EXPECT_EQ(Lancer("vierge --puce 24C64 --debut 0x1010 --longueur 0x30").code, 0);
  EXPECT_EQ(Lire("puce.bin").substr(0x1010, 0x30), std::string(0x30, '\xFF'));
  r = Lancer("vierge --puce 24C64 --debut 0x100F --longueur 0x32");
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.sortie.find("Pas vierge : 2 octet(s) différent(s) de $FF sur 50 :\n$100F : $"), std::string::npos)
      << r.sortie;

  EXPECT_EQ(Lancer("effacer --puce 24C64 --valeur 0x5A --mode octet").code, 0);
  EXPECT_EQ(Lire("puce.bin"), std::string(8192, '\x5A'));
  r = Lancer("vierge --puce 24C64");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.sortie.rfind("Pas vierge : 8192 octet(s) différent(s) de $FF sur 8192 :\n$0000 : $5A\n", 0), 0u);
  EXPECT_EQ(Lancer("effacer --puce 24C64").code, 0);
  EXPECT_EQ(Lancer("vierge --puce 24C64").code, 0);

  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  EXPECT_EQ(Lancer("vierge --puce 24C64").code, 1);
  EXPECT_EQ(Lancer("effacer --puce 24C64 --forcer").code, 1);
}

// What cmp -l says of the chip's image and the file, in the list's terms.
std::string SelonCmp(const std::string& sortieCmp, int debut) {
  std::istringstream lignes(sortieCmp);
  std::string liste;
  for (long position; lignes >> position;) {
    std::string a, b;
    lignes >> a >> b;
    char ligne[16];
    std::snprintf(ligne, sizeof ligne, "%04lX %02lX %02lX\n", position - 1 + debut, std::stol(a, nullptr, 8),
                  std::stol(b, nullptr, 8));
    liste += ligne;
  }
  return liste;
}

TEST_F(CliPlageTest, ListeGivesWhatCmpGivesAndNothingElse) {
  const std::string puce = Aleatoires(4096, 7);
  Puce("24C32", puce);
  std::string fichier = puce;
  std::mt19937 g(8);
  for (int i = 0; i < 300; ++i) fichier[g() % 4096] = static_cast<char>(g());
  Ecrire("autre.bin", fichier);
  Ecrire("image.bin", puce);
  ASSERT_EQ(std::system(("cmp -l '" + Chemin("image.bin") + "' '" + Chemin("autre.bin") + "' >'" +
                         Chemin("cmp.txt") + "'")
                            .c_str()) != 0,
            true);
  Resultat r = Lancer("comparer --puce 24C32 --liste --silencieux autre.bin");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.sortie, SelonCmp(Lire("cmp.txt"), 0));
  EXPECT_EQ(r.erreurs, "");
  EXPECT_GT(r.sortie.size(), 16u * 11u);

  Ecrire("image.bin", puce.substr(0x400, 0x200));
  Ecrire("autre.bin", fichier.substr(0x400, 0x200));
  std::system(("cmp -l '" + Chemin("image.bin") + "' '" + Chemin("autre.bin") + "' >'" + Chemin("cmp.txt") + "'")
                  .c_str());
  r = Lancer("comparer --puce 24C32 --debut 0x400 --longueur 0x200 --liste autre.bin");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.sortie, SelonCmp(Lire("cmp.txt"), 0x400));
  Ecrire("image.bin", puce);
  r = Lancer("comparer --puce 24C32 --liste image.bin");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.sortie, "");
}

// Every type with random contents is named (with the same-size or, where it
// wraps, larger types that reading cannot rule out); uniform contents are
// said to be uncertain unless the selects alone decide; an empty socket is
// no chip. Programming guards against a smaller chip.
TEST_F(CliPlageTest, IdentifierOverEveryTypeAndTheGuardBeforeWriting) {
  const char* attendus[NombreTypesMemoire] = {
      "Mémoire identifiée : PCF8582, 24C02 (256 octets)", "Mémoire probable : 24C00 (16 octets)",
      "Mémoire probable : 24C01 (128 octets)",            "Mémoire identifiée : PCF8582, 24C02 (256 octets)",
      "Mémoire identifiée : 24C04 (512 octets)",         "Mémoire identifiée : 24C08 (1024 octets)",
      "Mémoire identifiée : 24C16 (2048 octets)",        "Mémoire probable : 24C32 (4096 octets)",
      "Mémoire probable : 24C64 (8192 octets)",          "Mémoire probable : 24C128 (16384 octets)",
      "Mémoire probable : 24C256 (32768 octets)",        "Mémoire identifiée : 24C512 (65536 octets)"};
  for (int type = 0; type < NombreTypesMemoire; ++type) {
    const ChipSpec& fiche = SpecMemoire(type);
    const auto taille = static_cast<std::size_t>(fiche.Taille);
    Puce(fiche.NomCourt, Aleatoires(taille, 20u + type));
    Resultat r = Lancer("identifier");
    EXPECT_EQ(r.code, 0) << fiche.NomCourt;
    EXPECT_NE(r.sortie.find(std::string("\n") + attendus[type]), std::string::npos) << r.sortie;
    EXPECT_NE(r.sortie.find(std::string("\n") + fiche.NomCourt + " : possible\n"), std::string::npos) << r.sortie;
    for (const char valeur : {'\xFF', '\x00'}) {
      Puce(fiche.NomCourt, std::string(taille, valeur));
      r = Lancer("identifier");
      EXPECT_EQ(r.code, 0) << fiche.NomCourt;
      const bool parSelections = fiche.BitsBlocSelection == 1 || fiche.BitsBlocSelection == 2;
      EXPECT_NE(r.sortie.find(parSelections ? "Mémoire identifiée : " : "Identification incertaine : "),
                std::string::npos)
          << fiche.NomCourt << "\n" << r.sortie;
      EXPECT_NE(r.sortie.find(std::string("\n") + fiche.NomCourt + " : possible\n"), std::string::npos) << r.sortie;
    }
  }
  setenv("ZORBIX_SIMULATION", "LPT1:empty", 1);
  Resultat r = Lancer("identifier");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.erreurs.find("Aucune mémoire ne répond"), std::string::npos);

  // A 24C04 under the 24C16 type: refused before anything is written, unless --forcer.
  const std::string petite = Aleatoires(512, 9);
  Puce("24C04", petite);
  Ecrire("f.bin", Aleatoires(2048, 10));
  r = Lancer("programmer --puce 24C16 f.bin");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(
      r.erreurs.find("La mémoire présente est plus petite que la 24C16 demandée. Mémoire identifiée : 24C04"),
      std::string::npos)
      << r.erreurs;
  EXPECT_EQ(Lancer("effacer --puce 24C16").code, 2);
  EXPECT_EQ(Lire("puce.bin"), petite);
  r = Lancer("programmer --puce 24C16 --forcer f.bin");
  EXPECT_EQ(r.code, 1);  // the block at $200 does not answer
  EXPECT_NE(Lire("puce.bin"), petite);
  // Erased, it cannot be told from a 24C16: the write goes on and says so.
  Puce("24C04", std::string(512, '\xFF'));
  r = Lancer("programmer --puce 24C02 f.bin");
  EXPECT_EQ(r.code, 2);  // the file is larger than a 24C02
  Puce("24C01", std::string(128, '\xFF'));
  Ecrire("g.bin", Aleatoires(256, 11));
  r = Lancer("programmer --puce 24C02 --sans-verification g.bin");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.sortie.find("Identification incertaine de la mémoire présente : l'écriture continue comme 24C02."),
            std::string::npos)
      << r.sortie;
}

}  // namespace
}  // namespace zorbix::test
