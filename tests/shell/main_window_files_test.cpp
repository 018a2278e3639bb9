// The file commands through their real controls and the dialogs seam: loads
// and saves in both formats, their messages, the caption, the entry that
// follows from one dialog to the other, and the open at start-up.
#include <QAction>
#include <QLabel>
#include <QToolButton>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "files/intel_hex.h"
#include "main_window_fixture.h"
#include "tests/files/file_size_limit.h"
#include "tests/files/temp_dir.h"

namespace zorbix::test {
namespace {

using Mode = Dialogues::ModeFichier;

QString Hexa(std::uint8_t octet) { return QStringLiteral("%1").arg(octet, 2, 16, QLatin1Char('0')).toUpper(); }


class FileCommandsTest : public MainWindowTest {
 protected:
  // The next file dialog confirms `nom` with the entry `filtre`.
  void Repondre(const std::string& nom, int filtre) {
    dialogues_.choixFichier.push_back({true, QString::fromStdString(nom), filtre});
  }
  void Ouvrir(const std::string& nom, int filtre) {
    Repondre(nom, filtre);
    F().BoutonOuvrir->click();
  }
  void Sauver(const std::string& nom, int filtre) {
    Repondre(nom, filtre);
    F().BoutonSauver->click();
  }
  BoiteVue SeuleBoite() {
    EXPECT_EQ(dialogues_.boites.size(), 1u);
    const BoiteVue b = dialogues_.boites.empty() ? BoiteVue{} : dialogues_.boites.back();
    dialogues_.boites.clear();
    return b;
  }
  static QString Titre(const QString& fichier) {
    return QStringLiteral(" Programmateur de mémoires I2C  \\  Fichier \"%1\"").arg(fichier);
  }
  // The hex cell of `adresse` in the grid.
  QString CelluleDe(int adresse) { return Cellule(2 + adresse % 16, adresse / 16 + 1); }

  RepertoireTemporaire rep_;
};

TEST_F(FileCommandsTest, BinaryLoadReplacesTheBytesReadAndReports) {
  TForm1& f = Demarrer();
  const auto octets = Motif(300, 1);
  const std::string nom = rep_.Ecrire("dump.bin", EnTexte(octets));
  QString statut;
  dialogues_.pendantDialogueFichier = [&] { statut = f.StaticTextInfo->text(); };
  Ouvrir(nom, 1);

  ASSERT_EQ(dialogues_.dialoguesFichier.size(), 1u);
  EXPECT_EQ(dialogues_.dialoguesFichier[0].mode, Mode::Ouverture);
  EXPECT_EQ(dialogues_.dialoguesFichier[0].nom, QString("*.bin"));
  EXPECT_EQ(dialogues_.dialoguesFichier[0].filtre, 1);
  EXPECT_EQ(statut, QString("Ouvrir un fichier"));
  const BoiteVue b = SeuleBoite();
  EXPECT_EQ(b.texte, QString("300 octets lus.\nLe buffer va être actualisé de l'adresse $0000 à $012B.\n"
                             "Avec cette mémoire de 2048 octets, les adresses\naccessibles vont de $0000 à $07FF..."));
  EXPECT_EQ(b.legende, QString("Ouverture du fichier :"));
  EXPECT_EQ(b.icone, Dialogues::Icone::Aucune);

  EXPECT_TRUE(std::equal(octets.begin(), octets.end(), etat_.Buffer.begin()));
  EXPECT_TRUE(std::all_of(etat_.Buffer.begin() + 300, etat_.Buffer.end(), [](std::uint8_t o) { return o == 0xFF; }));
  EXPECT_EQ(CelluleDe(299), Hexa(octets[299]));
  EXPECT_EQ(CelluleDe(300), QString("FF"));
  EXPECT_EQ(f.windowTitle(), Titre("dump.bin"));
  EXPECT_EQ(etat_.NomFichier, QString::fromStdString(nom));
  EXPECT_TRUE(f.StaticTextInfo->text().isEmpty());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

// A load fills the Buffer up to its end whatever the chip; the grid shows
// the chip's part, and a larger chip shows more without a reload.
TEST_F(FileCommandsTest, BinaryLoadIgnoresTheChipSize) {
  TForm1& f = Demarrer();
  const auto grand = Motif(70000, 2);
  Ouvrir(rep_.Ecrire("grand.bin", EnTexte(grand)), 2);
  EXPECT_EQ(SeuleBoite().texte.section('\n', 0, 1),
            QString("65536 octets lus.\nLe buffer va être actualisé de l'adresse $0000 à $FFFF."));
  EXPECT_TRUE(std::equal(etat_.Buffer.begin(), etat_.Buffer.end(), grand.begin()));
  EXPECT_EQ(Grille().rowCount(), 129);

  Choisir(3);  // 24C02
  const auto octets = Motif(4096, 3);
  Ouvrir(rep_.Ecrire("4k.bin", EnTexte(octets)), 1);
  EXPECT_EQ(SeuleBoite().texte.section('\n', 2),
            QString("Avec cette mémoire de 256 octets, les adresses\naccessibles vont de $0000 à $00FF..."));
  EXPECT_EQ(Grille().rowCount(), 17);
  EXPECT_EQ(CelluleDe(255), Hexa(octets[255]));
  Choisir(7);  // 24C32
  EXPECT_EQ(Grille().rowCount(), 257);
  EXPECT_EQ(CelluleDe(4095), Hexa(octets[4095]));
  EXPECT_EQ(etat_.Buffer[4096], grand[4096]);  // beyond the file: the earlier load
  EXPECT_EQ(f.windowTitle(), Titre("4k.bin"));
}

TEST_F(FileCommandsTest, EmptyOrMissingFileChangesNothingButTheName) {
  TForm1& f = Demarrer();
  f.BoutonsBuffer[1]->click();  // all 00
  const Buffer avant = etat_.Buffer;
  for (const std::string& nom : {rep_.Ecrire("vide.bin", ""), rep_.Chemin("absent.bin")}) {
    Ouvrir(nom, 1);
    const BoiteVue b = SeuleBoite();
    EXPECT_EQ(b.texte, QString("Le fichier ne contient aucun octet ! "));
    EXPECT_EQ(b.legende, QString("Erreur d'ouverture..."));
    EXPECT_EQ(b.icone, Dialogues::Icone::Aucune);
    EXPECT_EQ(etat_.Buffer, avant);
    EXPECT_EQ(CelluleDe(0), QString("00"));
    EXPECT_EQ(f.windowTitle(), QString(" Programmateur de mémoires I2C"));
    EXPECT_EQ(etat_.NomFichier, QString::fromStdString(nom));
  }
}

// A name that is there but cannot be read is neither "empty" nor "not found":
// the same box says why, at once (a FIFO must not block the window), in
// either format; a save onto the FIFO is refused and leaves it a FIFO.
TEST_F(FileCommandsTest, WhatExistsButCannotBeOpenedSaysWhy) {
  ::alarm(60);  // a load that waits on the FIFO ends the run instead of hanging it
  TForm1& f = Demarrer();
  f.BoutonsBuffer[1]->click();  // all 00
  const Buffer avant = etat_.Buffer;
  ASSERT_EQ(::mkfifo(rep_.Chemin("tube").c_str(), 0644), 0);
  ASSERT_EQ(::mkdir(rep_.Chemin("dossier").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("nulle-part", rep_.Chemin("lien").c_str()), 0);
  ASSERT_EQ(::chmod(rep_.Ecrire("cache", "x").c_str(), 0), 0);
  std::vector<std::pair<std::string, QString>> cas = {{"tube", "pas un fichier ordinaire"},
                                                      {"dossier", "c'est un dossier"},
                                                      {"lien", "lien symbolique vers un fichier absent"}};
  if (::geteuid() != 0) cas.push_back({"cache", "permission refusée"});  // root reads it anyway
  for (const auto& [fichier, raison] : cas) {
    const std::string nom = rep_.Chemin(fichier);
    const QString texte = QString("Le fichier %1 existe mais ne peut pas être ouvert : %2.")
                              .arg(QString::fromStdString(nom), raison);
    const QString titre = f.windowTitle();
    Ouvrir(nom, 2);
    BoiteVue b = SeuleBoite();
    EXPECT_EQ(b.texte, texte);
    EXPECT_EQ(b.legende, QString("Erreur d'ouverture..."));
    EXPECT_EQ(f.windowTitle(), titre);  // the binary load's caption stays; the HEX load's follows the file
    Ouvrir(nom, 4);
    b = SeuleBoite();
    EXPECT_EQ(b.texte, texte);
    EXPECT_EQ(b.legende, QString("Attention..."));
    EXPECT_EQ(b.icone, Dialogues::Icone::Attention);
    EXPECT_EQ(etat_.Buffer, avant) << fichier;
  }
  Sauver(rep_.Chemin("tube"), 1);
  EXPECT_EQ(SeuleBoite().texte, QString("L'enregistrement n'a pas pu être effectué : pas un fichier ordinaire."));
  EXPECT_TRUE(std::filesystem::is_fifo(rep_.Chemin("tube")));
  ::alarm(0);
}

// The entry left selected decides the format, not the file's extension.
TEST_F(FileCommandsTest, EntryDecidesTheFormat) {
  TForm1& f = Demarrer();
  const std::string texte = ":0400000001020304F2\r\n:00000001FF\r\n";
  for (const char* fichier : {"dump.hex", "dump.bin"}) {
    for (int filtre = 1; filtre <= 4; ++filtre) {
      etat_.Buffer.fill(0xFF);
      Ouvrir(rep_.Ecrire(fichier, texte), filtre);
      const BoiteVue b = SeuleBoite();
      if (filtre >= 3) {
        EXPECT_EQ(b.texte, QString("L'analyse du fichier s'est terminée avec succés !"));
        EXPECT_EQ(b.legende, QString("Ouverture du fichier :"));
        EXPECT_EQ(etat_.Buffer[0], 0x01);
        EXPECT_EQ(etat_.Buffer[3], 0x04);
        EXPECT_EQ(etat_.Buffer[4], 0xFF);
        EXPECT_EQ(CelluleDe(3), QString("04"));
      } else {
        EXPECT_TRUE(b.texte.startsWith(QString("%1 octets lus.").arg(texte.size())));
        EXPECT_EQ(etat_.Buffer[0], ':');
        EXPECT_EQ(etat_.Buffer[texte.size() - 1], '\n');
      }
      EXPECT_EQ(f.windowTitle(), Titre(fichier)) << filtre;
    }
  }
}

TEST_F(FileCommandsTest, HexErrorsKeepTheRecordsBeforeAndWarn) {
  TForm1& f = Demarrer();
  f.BoutonsBuffer[1]->click();  // all 00
  const auto octets = Motif(64, 4);
  std::string texte = FormaterHexa(64, 16, octets.data());
  const std::size_t troisieme = 2 * 45;  // each 16-byte record is 43 characters and CR LF
  texte[troisieme + 41] = texte[troisieme + 41] == '0' ? '1' : '0';  // its checksum, damaged
  Ouvrir(rep_.Ecrire("erreur.hex", texte), 3);

  const BoiteVue b = SeuleBoite();
  EXPECT_EQ(b.texte, QString("Erreur : mauvaise valeur de la somme de contrôle !"));
  EXPECT_EQ(b.legende, QString("Attention..."));
  EXPECT_EQ(b.icone, Dialogues::Icone::Attention);
  EXPECT_TRUE(std::equal(octets.begin(), octets.begin() + 32, etat_.Buffer.begin()));
  EXPECT_TRUE(std::all_of(etat_.Buffer.begin() + 32, etat_.Buffer.begin() + 2048, [](std::uint8_t o) { return o == 0; }));
  EXPECT_EQ(CelluleDe(31), Hexa(octets[31]));
  EXPECT_EQ(f.windowTitle(), Titre("erreur.hex"));

  // A file that cannot be read names itself, and the caption follows anyway.
  const std::string absent = rep_.Chemin("absent.hex");
  Ouvrir(absent, 4);
  const BoiteVue c = SeuleBoite();
  EXPECT_EQ(c.texte, QString("Le fichier %1 est introuvable !").arg(QString::fromStdString(absent)));
  EXPECT_EQ(c.icone, Dialogues::Icone::Attention);
  EXPECT_EQ(f.windowTitle(), Titre("absent.hex"));
  EXPECT_EQ(etat_.Buffer[0], octets[0]);
}

// Each format saves exactly the chip's bytes, under the name as typed, and
// opens back to the same Buffer; the next open is preset with that file and
// entry.
TEST_F(FileCommandsTest, SaveWritesTheChipAndOpensBack) {
  TForm1& f = Demarrer(QString(), 7);
  f.BoutonsBuffer[3]->click();  // random over the 24C16
  Choisir(2);                   // 24C01: 128 bytes
  const Buffer image = etat_.Buffer;
  for (int filtre = 1; filtre <= 4; ++filtre) {
    const std::string nom = "image" + std::to_string(filtre);
    Sauver(rep_.Chemin(nom), filtre);
    EXPECT_TRUE(dialogues_.boites.empty());
    EXPECT_EQ(f.windowTitle(), Titre(QString::fromStdString(nom)));
    const std::string contenu = rep_.Lire(nom);
    if (filtre <= 2) {
      EXPECT_EQ(contenu, std::string(image.begin(), image.begin() + 128));
    } else {
      EXPECT_EQ(std::count(contenu.begin(), contenu.end(), '\n'), 9);
      EXPECT_EQ(contenu.substr(contenu.size() - 13), ":00000001FF\r\n");
    }

    f.BoutonsBuffer[1]->click();  // 00 over the chip
    f.BoutonOuvrir->click();      // cancelled: only to see the preset
    EXPECT_EQ(dialogues_.dialoguesFichier.back().nom, QString::fromStdString(rep_.Chemin(nom)));
    EXPECT_EQ(dialogues_.dialoguesFichier.back().filtre, filtre);
    Ouvrir(rep_.Chemin(nom), filtre);
    SeuleBoite();
    EXPECT_EQ(etat_.Buffer, image) << filtre;
  }
  std::vector<std::string> noms = rep_.Noms();
  std::sort(noms.begin(), noms.end());
  EXPECT_EQ(noms, (std::vector<std::string>{"image1", "image2", "image3", "image4"}));
}

TEST_F(FileCommandsTest, CancelChangesNothingAndTheEntryFollowsBetweenDialogs) {
  TForm1& f = Demarrer();
  const Buffer avant = etat_.Buffer;
  Touche(f.StringGrid1, Qt::Key_S, Qt::ControlModifier);
  f.OptionOuvrirFichier->trigger();
  EXPECT_TRUE(dialogues_.boites.empty());
  EXPECT_EQ(etat_.Buffer, avant);
  EXPECT_EQ(etat_.NomFichier, QString("*.bin"));
  EXPECT_EQ(f.windowTitle(), QString(" Programmateur de mémoires I2C"));

  Sauver(rep_.Chemin("a.hex"), 3);
  Touche(f.StringGrid1, Qt::Key_O, Qt::ControlModifier);  // cancelled
  Ouvrir(rep_.Ecrire("b.bin", "xy"), 2);
  f.OptionSauverFichier->trigger();  // cancelled
  const auto& vus = dialogues_.dialoguesFichier;
  ASSERT_EQ(vus.size(), 6u);
  const std::pair<Mode, int> attendus[] = {{Mode::Enregistrement, 1}, {Mode::Ouverture, 1},
                                           {Mode::Enregistrement, 1}, {Mode::Ouverture, 3},
                                           {Mode::Ouverture, 3},      {Mode::Enregistrement, 2}};
  for (std::size_t i = 0; i < vus.size(); ++i) {
    EXPECT_EQ(vus[i].mode, attendus[i].first) << i;
    EXPECT_EQ(vus[i].filtre, attendus[i].second) << i;
  }
  EXPECT_EQ(vus[5].nom, QString::fromStdString(rep_.Chemin("b.bin")));
  EXPECT_EQ(etat_.FiltreOuverture, 2);
  EXPECT_EQ(etat_.FiltreSauvegarde, 2);
}

// A save the system stops half-way reports the failure and leaves the old
// file whole, in either format.
TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFile) {
  TForm1& f = Demarrer();
  const std::string ancien = EnTexte(Motif(1000, 5));
  const std::string nom = rep_.Ecrire("dump.bin", ancien);
  for (int filtre : {1, 3}) {
    {
      const LimiteTailleFichier limite(100);
      Sauver(nom, filtre);
    }
    const BoiteVue b = SeuleBoite();
    EXPECT_EQ(b.texte, QString("L'enregistrement n'a pas pu être effectué : fichier trop volumineux."));
    EXPECT_EQ(b.legende, QString("Erreur d'enregistrement..."));
    EXPECT_EQ(b.icone, Dialogues::Icone::Aucune);
    EXPECT_EQ(rep_.Lire("dump.bin"), ancien);
    EXPECT_EQ(rep_.Noms(), std::vector<std::string>{"dump.bin"});
    EXPECT_EQ(f.windowTitle(), QString(" Programmateur de mémoires I2C"));
    EXPECT_EQ(etat_.NomFichier, QString::fromStdString(nom));
    EXPECT_EQ(etat_.FiltreOuverture, filtre);
  }
}

TEST_F(FileCommandsTest, StartUpOpensTheFileOfTheCommandLineOnce) {
  const std::string nom = rep_.Chemin("x.hex");
  TForm1& f = Demarrer(QString::fromStdString(nom));  // cancelled
  ASSERT_EQ(dialogues_.dialoguesFichier.size(), 1u);
  EXPECT_EQ(dialogues_.dialoguesFichier[0].mode, Mode::Ouverture);
  EXPECT_EQ(dialogues_.dialoguesFichier[0].nom, QString::fromStdString(nom));
  EXPECT_EQ(dialogues_.dialoguesFichier[0].filtre, 3);
  EXPECT_FALSE(etat_.OuvrirAuDemarrage);
  EXPECT_TRUE(std::all_of(etat_.Buffer.begin(), etat_.Buffer.end(), [](std::uint8_t o) { return o == 0xFF; }));
  EXPECT_EQ(etat_.NomFichier, QString::fromStdString(nom));
  EXPECT_TRUE(dialogues_.boites.empty());
  f.hide();
  f.show();  // back from an information window: no second open
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogues_.dialoguesFichier.size(), 1u);

  etat_ = EtatProgramme();
  rep_.Ecrire("x.hex", ":0100100042AD\r\n");
  Repondre(nom, 3);
  Demarrer(QString::fromStdString(nom));
  EXPECT_EQ(etat_.Buffer[0x10], 0x42);
  EXPECT_EQ(SeuleBoite().texte, QString("L'analyse du fichier s'est terminée avec succés !"));
  EXPECT_EQ(F().windowTitle(), Titre("x.hex"));
}

TEST_F(FileCommandsTest, CaptionNamesTheFilePartOfTheName) {
  TForm1& f = Demarrer();
  const std::pair<const char*, const char*> cas[] = {
      {"/tmp/a/b.hex", "b.hex"}, {"b.hex", "b.hex"}, {"/tmp/a/", "/tmp/a/"},
      {"C:\\tmp\\x.bin", "C:\\tmp\\x.bin"}};  // a backslash separates nothing here
  for (const auto& [nom, partie] : cas) {
    etat_.NomFichier = QString::fromUtf8(nom);
    f.MettreAJourTitre();
    EXPECT_EQ(f.windowTitle(), Titre(QString::fromUtf8(partie))) << nom;
  }
  etat_.TexteTitre = QStringLiteral("Titre");  // as a language file may set them
  etat_.TexteFichier = QStringLiteral("File");
  f.MettreAJourTitre();
  EXPECT_EQ(f.windowTitle(), QString(" Titre  \\  File \"C:\\tmp\\x.bin\""));
}

}  // namespace
}  // namespace zorbix::test
