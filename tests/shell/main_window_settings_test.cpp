// Settings that persist from one run to the next, and the purge.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "dialogs/platform_texts.h"
#include "main_window_fixture.h"
#include "tests/files/file_size_limit.h"

namespace zorbix::test {
namespace {

class SettingsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(dossier_.isValid());
    env_.FichierReglages = dossier_.filePath("KELVANO/TRAMEX.reg");
    env_.Ecran = QSize(1024, 768);
  }
  // A store holding `lignes` as values of the key.
  void Magasin(const QString& lignes) {
    QDir().mkpath(dossier_.filePath("KELVANO"));
    QFile f(env_.FichierReglages);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(("Windows Registry Editor Version 5.00\r\n\r\n"
             "[HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX]\r\n" + lignes).toUtf8());
  }
  QString Contenu() {
    QFile f(env_.FichierReglages);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
  // Starts with the store, as a new run would.
  TForm1& Relancer() {
    fenetre_.reset();
    etat_ = EtatProgramme();
    return Demarrer();
  }
  QTemporaryDir dossier_;
};

TEST_F(SettingsTest, FirstStartWithoutStoreKeepsTheDefaults) {
  TForm1& f = Demarrer();
  EXPECT_TRUE(f.OptionLPT1->isChecked());
  EXPECT_EQ(etat_.ChipType, 6);
  EXPECT_TRUE(etat_.WriteMode);
  EXPECT_EQ(etat_.CharsetMode, JeuCaracteres::Ansi);
  EXPECT_EQ(f.pos(), QPoint(5, 5));
  EXPECT_EQ(etat_.NomFichier, QString("*.bin"));
  EXPECT_EQ(etat_.FiltreOuverture, 1);
  EXPECT_FALSE(f.OptionLangue->isChecked());
  EXPECT_TRUE(dialogues_.boites.empty());
}

TEST_F(SettingsTest, EveryValueIsAppliedAsItsMappingSays) {
  Magasin("\"port_parallele\"=dword:000003bc\r\n\"TYPE_MEMOIRE\"=dword:0000000b\r\n"
          "\"Mode_Page\"=dword:00000000\r\n\"Buffer_ANSI\"=dword:00000000\r\n"
          "\"X_origine\"=dword:ffffff6a\r\n\"Y_origine\"=dword:ffffffec\r\n"
          "\"Nom_Fichier\"=\"\"\r\n\"Type_Fichier\"=dword:00000004\r\n\"Charger_Langue\"=dword:00000007\r\n");
  TForm1& f = Demarrer();
  EXPECT_EQ(etat_.PortBase, AdresseLPT3);
  EXPECT_TRUE(f.OptionLPT3->isChecked());
  EXPECT_EQ(etat_.ChipType, 11);
  EXPECT_EQ(etat_.ChipSize, 65536);
  EXPECT_EQ(f.ComboBox->currentIndex(), 11);
  EXPECT_TRUE(f.OptionsMemoire[11]->isChecked());
  EXPECT_EQ(Grille().rowCount(), 4097);
  EXPECT_FALSE(etat_.WriteMode);
  EXPECT_TRUE(f.OptionModePageOui->isChecked());  // pages only for the 24C512
  EXPECT_FALSE(f.OptionModePageNon->isEnabled());
  EXPECT_EQ(etat_.CharsetMode, JeuCaracteres::Oem);
  EXPECT_TRUE(f.OptionCaracDos->isChecked());
  EXPECT_EQ(etat_.OrigineX, -150);
  EXPECT_EQ(etat_.OrigineY, -20);
  EXPECT_EQ(etat_.NomFichier, QString());
  EXPECT_EQ(etat_.FiltreOuverture, 4);
  EXPECT_EQ(etat_.FiltreSauvegarde, 4);
  EXPECT_TRUE(etat_.LangueAuLancement);
  EXPECT_TRUE(f.OptionLangue->isChecked());
  // The stored write mode comes back with a smaller chip.
  Choisir(8);
  EXPECT_TRUE(f.OptionModePageNon->isChecked());
}

TEST_F(SettingsTest, OutOfRangeValuesMapToTheirDefaultsOrAreClamped) {
  struct Cas {
    const char* port;
    const char* type;
    const char* x;
    const char* y;
    const char* filtre;
    std::uint16_t portBase;
    int chipType, origineX, origineY, filtreLu;
  };
  const Cas cas[] = {
      {"00000378", "0000000c", "fffffed4", "ffffffeb", "00000000", AdresseLPT1, 6, 0, 0, 1},   // -300, -21
      {"000004d2", "ffffffff", "00001388", "00001388", "00000005", AdresseLPT1, 6, 984, 728, 1},  // 5000
      {"00000278", "00000000", "ffffff38", "00000000", "00000003", AdresseLPT2, 0, -200, 0, 3},   // -200
  };
  for (const Cas& c : cas) {
    Magasin(QString("\"Port_Parallele\"=dword:%1\r\n\"Type_Memoire\"=dword:%2\r\n\"X_origine\"=dword:%3\r\n"
                    "\"Y_origine\"=dword:%4\r\n\"Type_Fichier\"=dword:%5\r\n")
                .arg(c.port, c.type, c.x, c.y, c.filtre));
    Relancer();
    EXPECT_EQ(etat_.PortBase, c.portBase) << c.port;
    EXPECT_EQ(etat_.ChipType, c.chipType) << c.type;
    EXPECT_EQ(etat_.OrigineX, c.origineX) << c.x;
    EXPECT_EQ(etat_.OrigineY, c.origineY) << c.y;
    EXPECT_EQ(etat_.FiltreOuverture, c.filtreLu) << c.filtre;
  }
}

TEST_F(SettingsTest, WrongTypedValuesAndAGarbledStoreKeepTheDefaults) {
  Magasin("\"Port_parallele\"=\"956\"\r\n\"Nom_Fichier\"=dword:00000001\r\n\"Type_Memoire\"=dword:0003\r\n"
          "\"Mode_Page\"=dword:00000000\r\n");
  TForm1& f = Demarrer();
  EXPECT_EQ(etat_.PortBase, AdresseLPT1);
  EXPECT_TRUE(f.OptionLPT1->isChecked());
  EXPECT_EQ(etat_.NomFichier, QString("*.bin"));
  EXPECT_EQ(etat_.ChipType, 6);
  EXPECT_FALSE(etat_.WriteMode);  // the well-formed value still counts
  Magasin(QString(QChar(0xFFFD)) + "\x01\x02 not a store at all");
  Relancer();
  EXPECT_TRUE(etat_.WriteMode);
  EXPECT_TRUE(dialogues_.boites.empty());
}

TEST_F(SettingsTest, FirstCloseWritesTheNineValuesThatTheNextStartReads) {
  TForm1& f = Demarrer();
  f.OptionLPT2->trigger();
  Choisir(3);
  f.OptionModePageNon->trigger();
  f.OptionCaracDos->trigger();
  f.move(120, 80);
  etat_.NomFichier = "/tmp/dump \"a\".hex";
  etat_.FiltreSauvegarde = 3;
  f.OptionLangue->trigger();
  f.close();
  const QStringList lignes = Contenu().split("\r\n", Qt::SkipEmptyParts);
  EXPECT_EQ(lignes.mid(2), QStringList({"\"Port_parallele\"=dword:00000278", "\"Type_Memoire\"=dword:00000003",
                                        "\"Mode_Page\"=dword:00000000", "\"Buffer_ANSI\"=dword:00000000",
                                        QString("\"X_origine\"=dword:%1").arg(f.pos().x(), 8, 16, QChar('0')),
                                        QString("\"Y_origine\"=dword:%1").arg(f.pos().y(), 8, 16, QChar('0')),
                                        "\"Nom_Fichier\"=\"/tmp/dump \\\"a\\\".hex\"",
                                        "\"Type_Fichier\"=dword:00000003", "\"Charger_Langue\"=dword:00000001"}));
  TForm1& g = Relancer();
  EXPECT_EQ(etat_.PortBase, AdresseLPT2);
  EXPECT_EQ(etat_.ChipType, 3);
  EXPECT_FALSE(etat_.WriteMode);
  EXPECT_EQ(etat_.CharsetMode, JeuCaracteres::Oem);
  EXPECT_EQ(etat_.NomFichier, QString("/tmp/dump \"a\".hex"));
  EXPECT_EQ(etat_.FiltreOuverture, 3);
  EXPECT_TRUE(g.OptionLangue->isChecked());
  EXPECT_TRUE(dialogues_.boites.empty());
}

TEST_F(SettingsTest, PurgeAsksFirstAndOnOkDeletesTheKeyAndBeeps) {
  Magasin("\"Type_Memoire\"=dword:00000003\r\n");
  TForm1& f = Demarrer();
  dialogues_.reponses.push_back(Dialogues::Reponse::Annuler);
  f.PurgerQuitter->trigger();
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].legende, QString(" Purger le registre et quitter..."));
  EXPECT_EQ(dialogues_.boites[0].icone, Dialogues::Icone::Attention);
  EXPECT_EQ(dialogues_.boites[0].boutons, Dialogues::Boutons::OkAnnuler);
  // The file it deletes, where Windows speaks of its registry.
  EXPECT_EQ(dialogues_.boites[0].texte,
            QStringLiteral("Le programme sauvegarde ses paramètres dans le fichier %1 ; si vous décidez de ne "
                           "plus l'utiliser, cette option vous permet de le quitter en retirant toutes les "
                           "informations qui ont été placées dans ce fichier. En cas d'utilisation ultérieure, le "
                           "programme utilisera simplement ses paramètres par défaut (24C16, Buffer ANSI, "
                           "etc...), comme lors du premier lancement.\n\nVoulez-vous quitter le programme en "
                           "supprimant ce fichier ?")
                .arg(env_.FichierReglages));
  EXPECT_EQ(TextePurge(env_.FichierReglages, Systeme::Windows),
            QStringLiteral("Le programme sauvegarde ses paramètres dans la base de registre de Windows ; si vous "
                           "décidez de ne plus l'utiliser, cette option vous permet de le quitter en retirant "
                           "toutes les informations qui ont été placées dans la base. En cas d'utilisation "
                           "ultérieure, le programme utilisera simplement ses paramètres par défaut (24C16, "
                           "Buffer ANSI, etc...), comme lors du premier lancement.\n\nVoulez-vous quitter le "
                           "programme en purgeant la base de registre ?"));
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(dialogues_.bips, 0);

  f.PurgerQuitter->trigger();  // OK this time
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(QFile::exists(env_.FichierReglages));
  EXPECT_TRUE(QDir(dossier_.filePath("KELVANO")).exists());
  EXPECT_EQ(dialogues_.bips, 1);
  Relancer();
  EXPECT_EQ(etat_.ChipType, 6);
  // A purge with nothing to delete beeps all the same.
  F().PurgerQuitter->trigger();
  EXPECT_EQ(dialogues_.bips, 2);
}

TEST_F(SettingsTest, AStoreThatRefusesTheWritesIsToldAndTheProgramEnds) {
  QFile bouchon(dossier_.filePath("KELVANO"));  // a file where the folder should be
  ASSERT_TRUE(bouchon.open(QIODevice::WriteOnly));
  bouchon.close();
  TForm1& f = Demarrer();
  f.close();
  EXPECT_FALSE(f.isVisible());
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].legende, QString("Erreur d'enregistrement des réglages..."));
  EXPECT_TRUE(dialogues_.boites[0].texte.contains(env_.FichierReglages));
  EXPECT_TRUE(dialogues_.boites[0].texte.endsWith("Ils seront ceux par défaut au prochain lancement."));
}

// Where a store exists and cannot be replaced (the disk is full), the old one
// survives: the box says that it will be read again.
TEST_F(SettingsTest, AStoreThatCannotBeReplacedIsReadAgainAndTheBoxSaysSo) {
  Magasin("\"Type_Memoire\"=dword:00000003\r\n");
  TForm1& f = Demarrer();
  Choisir(8);
  {
    const LimiteTailleFichier disquePlein(16);
    f.close();
  }
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_TRUE(dialogues_.boites[0].texte.endsWith(
      "Les réglages enregistrés auparavant seront repris au prochain lancement."));
  EXPECT_TRUE(Contenu().contains("\"Type_Memoire\"=dword:00000003\r\n"));
  EXPECT_FALSE(Contenu().contains("Port_parallele"));
}

// Absent or 0 means off; the value is written only while it is on.
TEST_F(SettingsTest, VerificationAfterProgrammingIsRemembered) {
  Magasin("\"Verifier_Programmation\"=dword:00000000\r\n");
  TForm1& f = Demarrer();
  EXPECT_FALSE(f.OptionVerification->isChecked());
  f.OptionVerification->trigger();
  f.close();
  EXPECT_TRUE(Contenu().contains("\"Verifier_Programmation\"=dword:00000001\r\n"));
  TForm1& g = Relancer();
  EXPECT_TRUE(g.OptionVerification->isChecked());
  EXPECT_TRUE(etat_.VerifierProgrammation);
  g.OptionVerification->trigger();
  g.close();
  EXPECT_FALSE(Contenu().contains("Verifier_Programmation"));
  EXPECT_FALSE(Relancer().OptionVerification->isChecked());
}

}  // namespace
}  // namespace zorbix::test
