// The language file applied at start-up, and its option.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

class LanguageTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    env_.FichierLangue = dossier_.filePath("ZORBIXLG.INI");
    etat_.LangueAuLancement = true;  // as the settings would set it
  }
  void Fichier(const QByteArray& octets) {
    QFile f(env_.FichierLangue);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(octets);
  }
  QTemporaryDir dossier_;
};

TEST_F(LanguageTest, OnlyTheTitleChangesTheStartUpCaption) {
  Fichier("[Other]\r\nTitleTXT=\"X\"\r\n");
  TForm1& f = Demarrer();
  EXPECT_EQ(f.windowTitle(), QString(" X"));
  EXPECT_EQ(etat_.TexteTitre, QString("X"));
  EXPECT_EQ(etat_.TexteFichier, QString("Fichier"));
  EXPECT_EQ(f.MenuFichier->title(), QString("&Fichier"));
  EXPECT_EQ(f.BitBtn1->text(), QString("&Quitter"));
  EXPECT_TRUE(f.OptionLangue->isChecked());
  // The caption's file form reads the texts when it is built.
  const QString fichier = dossier_.filePath("a.bin");
  QFile octets(fichier);
  ASSERT_TRUE(octets.open(QIODevice::WriteOnly));
  octets.write("\x01\x02");
  octets.close();
  dialogues_.choixFichier.push_back({true, fichier, 1});
  f.OptionOuvrirFichier->trigger();
  EXPECT_EQ(f.windowTitle(), QString(" X  \\  Fichier \"a.bin\""));
}

TEST_F(LanguageTest, KeysReplaceTheirTargetsWholeInAnyCase) {
  Fichier("[menu1]\nname=\"&File\"\nitem1='&Open a file'\n"
          "[Menu4]\nItem10=24C128 (16 kB)\n"
          "[HINT]\nIcon1=\nIconB8=Complement\nIcon9=About\n"
          "[Other]\nButton1=&Exit\nBufferTXT=Buffer fill\nFileTXT=File\n");
  TForm1& f = Demarrer();
  EXPECT_EQ(f.MenuFichier->title(), QString("&File"));
  EXPECT_EQ(f.OptionOuvrirFichier->text(), QString("&Open a file"));
  EXPECT_EQ(f.OptionSauverFichier->text(), QString("&Sauvegarder"));
  EXPECT_EQ(f.OptionsMemoire[9]->text(), QString("24C128 (16 kB)"));  // separators not counted
  EXPECT_EQ(f.OptionsMemoire[8]->text(), QString("24C64 - (81&92 octets)"));
  EXPECT_EQ(f.BoutonOuvrir->toolTip(), QString());
  EXPECT_EQ(f.BoutonsBuffer[7]->toolTip(), QString("Complement"));
  EXPECT_EQ(f.BoutonVersion->toolTip(), QString("About"));
  // A screen reader reads the new hint; a button left without one keeps its name.
  EXPECT_EQ(f.BoutonVersion->accessibleName(), QString("About"));
  EXPECT_EQ(f.BoutonOuvrir->accessibleName(), QString("Charger le buffer depuis un fichier"));
  EXPECT_EQ(f.BoutonSauver->toolTip(), QString("Sauvegarder le contenu du buffer dans un fichier"));
  EXPECT_EQ(f.BitBtn1->text(), QString("&Exit"));
  EXPECT_EQ(f.Label1->text(), QString("Buffer fill"));
  EXPECT_EQ(etat_.TexteFichier, QString("File"));
  // Shortcuts stay.
  EXPECT_EQ(f.OptionOuvrirFichier->shortcut(), QKeySequence("Ctrl+O"));
}

TEST_F(LanguageTest, EightBitTextIsWindows1252AndLongValuesAreCut) {
  Fichier("[Other]\nFileTXT=Fen\xEAtre \x80\n[Menu2]\nName=" + QByteArray(2100, 'y') + "\n");
  TForm1& f = Demarrer();
  EXPECT_EQ(etat_.TexteFichier, QString::fromUtf8("Fenêtre €"));
  EXPECT_EQ(f.MenuAction->title().size(), 2047);
}

TEST_F(LanguageTest, NoFileOrTheOptionOffLeavesEverythingFrench) {
  TForm1& f = Demarrer();  // option on, no file
  EXPECT_EQ(f.windowTitle(), QString(" Programmateur de mémoires I2C"));
  EXPECT_TRUE(f.OptionLangue->isChecked());
  EXPECT_TRUE(dialogues_.boites.empty());

  Fichier("[Other]\nTitleTXT=X\n");
  fenetre_.reset();
  etat_ = EtatProgramme();  // option off
  TForm1& g = Demarrer();
  EXPECT_EQ(g.windowTitle(), QString(" Programmateur de mémoires I2C"));
  EXPECT_FALSE(g.OptionLangue->isChecked());
}

TEST_F(LanguageTest, TogglingTheOptionChangesOnlyTheOption) {
  TForm1& f = Demarrer();
  Fichier("[Menu1]\nName=&File\n");
  f.OptionLangue->trigger();
  EXPECT_FALSE(etat_.LangueAuLancement);
  EXPECT_FALSE(f.OptionLangue->isChecked());
  f.OptionLangue->trigger();
  EXPECT_TRUE(etat_.LangueAuLancement);
  EXPECT_TRUE(f.OptionLangue->isChecked());
  EXPECT_EQ(f.MenuFichier->title(), QString("&Fichier"));  // read at the next start only
}

}  // namespace
}  // namespace zorbix::test

namespace zorbix::test {
namespace {

// The English file shipped with the program: every one of its keys lands.
TEST_F(LanguageTest, TheShippedEnglishFileTranslatesTheWindow) {
  QFile::copy(QStringLiteral(ZORBIX_SOURCE_DIR "/resources/ZORBIXLG.INI"), env_.FichierLangue);
  TForm1& f = Demarrer();
  EXPECT_EQ(f.windowTitle(), QString(" I2C memory programmer"));
  EXPECT_EQ(f.MenuFichier->title(), QString("&File"));
  EXPECT_EQ(f.OptionQuitter->text(), QString("&Quit"));
  EXPECT_EQ(f.RemplirLaLigne->text(), QString("Fill &line (selected byte)"));
  EXPECT_EQ(f.OptionCaracDos->text(), QString("OEM character set (&Dos)"));
  EXPECT_EQ(f.OptionModePageOui->text(), QString("&Page writing (fast !)"));
  EXPECT_EQ(f.OptionVerification->text(), QString("&Verify after programming"));
  EXPECT_EQ(f.PurgerQuitter->text(), QString("&Purge the settings and quit"));
  EXPECT_EQ(f.APropos->text(), QString("About (&Version)"));
  EXPECT_EQ(f.BoutonOuvrir->toolTip(), QString("Load Buffer from a file"));
  EXPECT_EQ(f.BoutonsBuffer[6]->toolTip(), QString("Fill the Buffer with the value selected in the grid"));
  EXPECT_EQ(f.BoutonVersion->toolTip(), QString("Author / version of the program"));
  EXPECT_EQ(f.Label1->text(), QString("Buffer fill"));
  EXPECT_EQ(etat_.TexteFichier, QString("File"));
  // What the file cannot change stays French.
  EXPECT_EQ(f.ComboBox->itemText(6), QString("24C16 (2 ko)"));
}

}  // namespace
}  // namespace zorbix::test
