#include "files/intel_hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/chips.h"
#include "tests/files/temp_dir.h"

namespace zorbix {
namespace {

const std::map<CodeHexa, std::string> kMessages = {
    {CodeHexa::Succes, ""},
    {CodeHexa::PasFormatIntel, "Erreur : le fichier n'est pas au format HEXA de chez Intel !"},
    {CodeHexa::NombreOctetsInconnu, "Erreur : nombre d'octets de l'échantillon inconnu !"},
    {CodeHexa::TropDeDonnees, "Erreur : trop de données sur une même ligne (maxi : 32o) !"},
    {CodeHexa::AdresseIncorrecte, "Erreur : adresse de l'échantillon incorrecte !"},
    {CodeHexa::DepassementBuffer, "Erreur : le nombre de données dépasse la capacité du Buffer !"},
    {CodeHexa::SommeAbsente, "Erreur : absence de la somme de controle !"},
    {CodeHexa::DonneesInvalides, "Erreur : certaines données sont invalides (non HEXA) !"},
    {CodeHexa::SommeIncorrecte, "Erreur : mauvaise valeur de la somme de contrôle !"},
};

// Appends the checksum that makes the record's bytes sum to 0.
std::string AvecSomme(const std::string& record) {
  unsigned sum = 0;
  for (std::size_t i = 1; i + 1 < record.size(); i += 2)
    sum += std::stoul(record.substr(i, 2), nullptr, 16);
  char cs[3];
  std::snprintf(cs, sizeof cs, "%02X", (256 - sum % 256) % 256);
  return record + cs;
}

std::string EnMinuscules(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

using Octets = std::vector<std::uint8_t>;
const std::string D16 = "00112233445566778899AABBCCDDEEFF";
const Octets B16 = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
const Octets B32 = [] { Octets b = B16; b.insert(b.end(), B16.begin(), B16.end()); return b; }();
const std::string L0 = AvecSomme(":10000000" + D16);
const std::string L1 = AvecSomme(":10001000" + D16);
const std::string R32 = AvecSomme(":20000000" + D16 + D16);  // 75 characters

struct CasLecture {
  const char* nom;
  std::string texte;
  CodeHexa code;
  std::size_t octetsValides;
  std::vector<std::pair<std::size_t, Octets>> stockes;  // what lands in the Buffer
};

const CasLecture kCas[] = {
    {"MinusculesCommeMajuscules", EnMinuscules(L0) + "\r\n:00000001ff\r\n", CodeHexa::Succes, 16, {{0, B16}}},
    {"TrenteDeuxOctetsAcceptes", AvecSomme(":20010000" + D16 + D16) + "\r\n", CodeHexa::Succes, 32, {{0x100, B32}}},
    {"TrenteTroisOctetsRefuses", L0 + "\r\n" + AvecSomme(":21010000" + D16 + D16 + "AB") + "\r\n" + L1,
     CodeHexa::TropDeDonnees, 16, {{0, B16}}},
    {"FinExacteEnFFFF", AvecSomme(":10FFF000" + D16), CodeHexa::Succes, 16, {{0xFFF0, B16}}},
    {"DepassementDuBuffer", L0 + "\n" + AvecSomme(":10FFF100" + D16), CodeHexa::DepassementBuffer, 16, {{0, B16}}},
    {"SommeAbsente", ":0400000001020304\r\n", CodeHexa::SommeAbsente, 0, {}},
    {"SommeAbsenteAvantDonneesInvalides", ":040000000102G304\r\n", CodeHexa::SommeAbsente, 0, {}},
    {"DonneesInvalides", L0 + "\r\n:040000000102G304F2\r\n", CodeHexa::DonneesInvalides, 19, {{0, B16}}},
    {"MauvaiseSomme", ":0400000001020304F1\r\n", CodeHexa::SommeIncorrecte, 4, {}},
    {"NombreNonHexa", ":1G000000" + D16 + "00\r\n", CodeHexa::NombreOctetsInconnu, 0, {}},
    {"AdresseNonHexa", ":10000G00" + D16 + "00\r\n", CodeHexa::AdresseIncorrecte, 0, {}},
    {"EspaceEnTete", L0 + "\r\n :0400000001020304F2\r\n", CodeHexa::PasFormatIntel, 16, {{0, B16}}},
    {"LigneVideAuMilieu", L0 + "\r\n\r\n" + L1 + "\r\n", CodeHexa::PasFormatIntel, 16, {{0, B16}}},
    {"AutreSorteDeTexte", "[Menu1]\r\nOption=Ouvrir\r\n", CodeHexa::PasFormatIntel, 0, {}},
    {"SansEnregistrementDeFin", L0 + "\r\n" + L1, CodeHexa::Succes, 32, {{0, B16}, {0x10, B16}}},
    // 79 characters are read at a time: the record and "ABCD", then the rest.
    {"LigneTropLongue", R32 + "ABCDEFGHIJ\r\n" + L1, CodeHexa::PasFormatIntel, 32, {{0, B32}}},
    // CR LF counts as one character, so 78 characters and CR LF are one line...
    {"SoixanteDixHuitCaracteresEtCRLF", R32 + "ABC\r\n" + AvecSomme(":10010000" + D16), CodeHexa::Succes, 48,
     {{0, B32}, {0x100, B16}}},
    // ...while 79 characters leave their LF to be read as an empty line.
    {"SoixanteDixNeufCaracteresEtLF", R32 + "ABCD\n" + L1, CodeHexa::PasFormatIntel, 32, {{0, B32}}},
    // Another type with data: ends the reading, checksum over all its bytes.
    {"FinAvecDonnees", L0 + "\n" + AvecSomme(":02000004FFFF") + "\n" + L1, CodeHexa::Succes, 16, {{0, B16}}},
    {"FinAvecDonneesMauvaiseSomme", L0 + "\n:02000004FFFF00\n", CodeHexa::SommeIncorrecte, 16, {{0, B16}}},
    {"FinAvecDonneesNonHexa", ":02000004FFZZ00\n", CodeHexa::DonneesInvalides, 0, {}},
    // Extended addresses of 0000 (linear, segment) are passed over, checked
    // like any line; any other value, size or type ends the reading.
    {"AdressesEtenduesNullesPassees", ":020000040000FA\r\n" + L0 + "\r\n:020000020000FC\r\n" + L1,
     CodeHexa::Succes, 32, {{0, B16}, {0x10, B16}}},
    {"AdresseEtendueNulleMauvaiseSomme", L0 + "\n:020000040000FB\n" + L1, CodeHexa::SommeIncorrecte, 16,
     {{0, B16}}},
    {"AdresseEtendueNonNulle", ":020000040001F9\n" + L0, CodeHexa::Succes, 0, {}},
    {"AdresseEtendueSurQuatreOctets", AvecSomme(":0400000400000000") + "\n" + L0, CodeHexa::Succes, 0, {}},
    {"DebutSegment", L0 + "\n" + AvecSomme(":0400000300000000") + "\n" + L1, CodeHexa::Succes, 16, {{0, B16}}},
    {"DebutLineaire", AvecSomme(":0400000500000000") + "\n" + L0, CodeHexa::Succes, 0, {}},
    // A type that is no hexadecimal pair: a data record, summed with type 00.
    {"TypeNonHexaLuCommeDonnees", ":020010G0AABB89\n" + L0, CodeHexa::Succes, 18, {{0x10, {0xAA, 0xBB}}, {0, B16}}},
    {"TypeNonHexaMauvaiseSomme", ":020010G0AABB88\n", CodeHexa::SommeIncorrecte, 2, {}},
};

class LectureHexa : public ::testing::TestWithParam<CasLecture> {};

// The code, the message, the count, and the whole Buffer: records before the
// faulty line stored, the faulty line and the untouched bytes not.
TEST_P(LectureHexa, CodeMessageEtBuffer) {
  const CasLecture& cas = GetParam();
  RepertoireTemporaire rep;
  Octets buffer(65536, 0x5A), attendu(65536, 0x5A);
  for (const auto& [adresse, octets] : cas.stockes)
    std::copy(octets.begin(), octets.end(), attendu.begin() + static_cast<long>(adresse));

  const ResultatLectureHexa r =
      LireFichierHexa(rep.Ecrire("f.hex", cas.texte), buffer.data(), buffer.size());
  EXPECT_EQ(r.Code, cas.code);
  EXPECT_EQ(r.Message, kMessages.at(cas.code));
  EXPECT_EQ(r.OctetsValides, cas.octetsValides);
  EXPECT_TRUE(buffer == attendu);
}

INSTANTIATE_TEST_SUITE_P(Cas, LectureHexa, ::testing::ValuesIn(kCas),
                         [](const auto& info) { return std::string(info.param.nom); });

// The faulty line's number in the file and its text without the line end;
// the pieces of a line too long for one read keep that line's number.
TEST(LectureHexaLigne, NumeroEtTexteDeLaLigneFautive) {
  const std::string lignes[][3] = {
      {L0 + "\r\n :0400000001020304F2\r\n", "2", " :0400000001020304F2"},
      {L0 + "\r\n\r\n" + L1 + "\r\n", "2", ""},
      {L0 + "\n" + L1 + "\n:040000000102G304F2\r\n", "3", ":040000000102G304F2"},
      {R32 + "ABCDEFGHIJ\r\n" + L1, "1", "EFGHIJ"},
      {R32 + "ABCD\n" + L1, "1", ""},
      {L0 + "\r\n" + L1, "0", ""},  // no fault
  };
  RepertoireTemporaire rep;
  Octets buffer(65536);
  for (const auto& [texte, ligne, enregistrement] : lignes) {
    const ResultatLectureHexa r = LireFichierHexa(rep.Ecrire("f.hex", texte), buffer.data(), buffer.size());
    EXPECT_EQ(std::to_string(r.Ligne), ligne) << texte;
    EXPECT_EQ(r.Enregistrement, enregistrement) << texte;
  }
}

// A capacity smaller than the memory behind it: a record may end exactly at
// the capacity, one byte further is refused, and nothing is written beyond.
TEST(LectureHexaCapacite, JamaisAuDelaDeLaCapacite) {
  RepertoireTemporaire rep;
  constexpr std::size_t garde = 64, capacite = 256;
  Octets memoire(garde + capacite + garde, 0xA5);
  std::fill(memoire.begin() + garde, memoire.begin() + garde + capacite, 0x5A);
  const std::string texte = AvecSomme(":1000F000" + D16) + "\n" + AvecSomme(":1000F100" + D16) + "\n";

  const ResultatLectureHexa r = LireFichierHexa(rep.Ecrire("f.hex", texte), memoire.data() + garde, capacite);
  EXPECT_EQ(r.Code, CodeHexa::DepassementBuffer);
  Octets attendu(memoire.size(), 0xA5);
  std::fill(attendu.begin() + garde, attendu.begin() + garde + capacite, 0x5A);
  std::copy(B16.begin(), B16.end(), attendu.begin() + garde + 0xF0);
  EXPECT_TRUE(memoire == attendu);

  EXPECT_EQ(LireFichierHexa(rep.Ecrire("fin.hex", ":00000001FF\r\n"), nullptr, 0).Code, CodeHexa::Succes);
}

TEST(LectureHexaOuverture, FichierIntrouvable) {
  RepertoireTemporaire rep;
  Octets buffer(65536, 0x5A);
  const std::string absent = rep.Chemin("absent.hex");
  const ResultatLectureHexa r = LireFichierHexa(absent, buffer.data(), buffer.size());
  EXPECT_EQ(r.Code, CodeHexa::FichierIntrouvable);
  EXPECT_EQ(r.Message, "Le fichier " + absent + " est introuvable !");
  EXPECT_EQ(r.OctetsValides, 0u);
  EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t o) { return o == 0x5A; }));
}

TEST(PaireHexa, ChaqueCoupleDeCaracteres) {
  auto chiffre = [](int c) { return std::isxdigit(c) != 0; };
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      std::uint8_t octet = 0x5A;
      const bool valide = LirePaireHexa(static_cast<char>(a), static_cast<char>(b), octet);
      ASSERT_EQ(valide, chiffre(a) && chiffre(b)) << a << " " << b;
      const char texte[3] = {static_cast<char>(a), static_cast<char>(b), 0};
      ASSERT_EQ(octet, valide ? std::strtoul(texte, nullptr, 16) : 0x5Au) << a << " " << b;
    }
}

TEST(EcritureHexa, LignesDUne24C00) {
  Octets b(16);
  for (int i = 0; i < 16; ++i) b[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(FormaterHexa(16, 16, b.data()), ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FF\r\n");
  std::fill(b.begin(), b.end(), 0xFF);
  EXPECT_EQ(FormaterHexa(16, 16, b.data()), ":10000000" + std::string(32, 'F') + "00\r\n:00000001FF\r\n");
}

TEST(EcritureHexa, ArgumentsHorsDesLimitesRefuses) {
  RepertoireTemporaire rep;
  Octets b(65537, 0);
  EXPECT_FALSE(EcrireFichierHexa(65537, 16, rep.Chemin("a.hex"), b.data()));
  EXPECT_FALSE(EcrireFichierHexa(16, 0, rep.Chemin("a.hex"), b.data()));
  EXPECT_FALSE(EcrireFichierHexa(16, 33, rep.Chemin("a.hex"), b.data()));
  EXPECT_TRUE(rep.Noms().empty());
  // A record size that does not divide the size: a shorter last record.
  EXPECT_EQ(FormaterHexa(20, 16, b.data()),
            ":10000000" + std::string(32, '0') + "F0\r\n:0400100000000000EC\r\n:00000001FF\r\n");
}

class AllerRetourHexa : public ::testing::TestWithParam<int> {};

// What the writer saves for a chip, the reader restores exactly, and it
// leaves the Buffer beyond the chip alone.
TEST_P(AllerRetourHexa, RestaureLesOctetsSauves) {
  const ChipSpec& chip = SpecMemoire(GetParam());
  const std::size_t taille = static_cast<std::size_t>(chip.Taille);
  RepertoireTemporaire rep;
  const Octets image = Motif(65536, static_cast<unsigned>(GetParam()));
  ASSERT_TRUE(EcrireFichierHexa(taille, 16, rep.Chemin("chip.hex"), image.data()));

  const std::string texte = rep.Lire("chip.hex");
  EXPECT_EQ(texte, FormaterHexa(taille, 16, image.data()));
  EXPECT_EQ(static_cast<std::size_t>(std::count(texte.begin(), texte.end(), '\n')), taille / 16 + 1);
  EXPECT_EQ(texte.size(), (taille / 16) * 45 + 13);  // 43 characters and CR LF per record

  Octets relu(65536, 0x5A);
  const ResultatLectureHexa r = LireFichierHexa(rep.Chemin("chip.hex"), relu.data(), relu.size());
  EXPECT_EQ(r.Code, CodeHexa::Succes);
  EXPECT_EQ(r.OctetsValides, taille);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + static_cast<long>(taille), relu.begin()));
  EXPECT_TRUE(std::all_of(relu.begin() + static_cast<long>(taille), relu.end(),
                          [](std::uint8_t o) { return o == 0x5A; }));
}

INSTANTIATE_TEST_SUITE_P(ChaqueMemoire, AllerRetourHexa, ::testing::Range(0, NombreTypesMemoire),
                         [](const auto& info) { return std::string(SpecMemoire(info.param).NomCourt); });

}  // namespace
}  // namespace zorbix
