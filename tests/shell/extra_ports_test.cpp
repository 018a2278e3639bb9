// Extra ports (PCI cards at any address) on the simulator: their menu items,
// the autodetection, the settings and the port test window.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTemporaryDir>
#include <set>

#include "porttest/port_test_window.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

class ExtraPortsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    env_.AutresPorts = {{"parport0", 0xDC00}, {"parport3", 0xD000}};
    sim_.addAdapter(0xDC00);
    sim_.addAdapter(0xD000);
  }
  std::set<std::uint16_t> AdressesTouchees() {
    std::set<std::uint16_t> adresses;
    for (const PortAccess& a : sim_.record()) adresses.insert(a.address);
    return adresses;
  }
};

TEST_F(ExtraPortsTest, MenuItemAfterLpt3ChoosesThePortWithoutTouchingIt) {
  TForm1& f = Demarrer();
  QStringList legendes;
  for (const QAction* a : f.MenuConfiguration->actions()) legendes << a->text();
  EXPECT_EQ(legendes.mid(0, 6), QStringList({"LPT&1 (378h - 379h)", "LPT&2 (278h - 279h)", "LPT&3 (3bch - 3bdh)",
                                             "parport0 (dc00h - dc01h)", "parport3 (d000h - d001h)", ""}));
  sim_.setRecording(true);
  f.Edit1->setFocus();
  f.OptionsAutresPorts[1]->trigger();
  EXPECT_EQ(etat_.PortBase, 0xD000);
  EXPECT_TRUE(f.OptionsAutresPorts[1]->isChecked());
  EXPECT_FALSE(f.OptionLPT1->isChecked());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  EXPECT_TRUE(sim_.record().empty());
  f.OptionLPT3->trigger();  // one radio group with the three
  EXPECT_FALSE(f.OptionsAutresPorts[1]->isChecked());
  EXPECT_EQ(etat_.PortBase, AdresseLPT3);
}

// Tested after the three, in their order, the last one found winning.
TEST_F(ExtraPortsTest, AutodetectionFindsAnExtraPort) {
  TForm1& f = Demarrer();
  sim_.adapter(0xD000)->setNothingAttached(true);
  sim_.setRecording(true);
  f.Autodetection->trigger();
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].texte,
            QStringLiteral("Le programmateur a été détecté sur parport0 (à l'adresse $DC00)..."));
  EXPECT_EQ(dialogues_.boites[0].legende, QStringLiteral("Adresse du port actif :"));
  EXPECT_EQ(etat_.PortBase, 0xDC00);
  EXPECT_TRUE(f.OptionsAutresPorts[0]->isChecked());
  std::vector<std::uint16_t> ordre;
  for (const PortAccess& a : sim_.record())
    if (a.write && (ordre.empty() || ordre.back() != a.address)) ordre.push_back(a.address);
  EXPECT_EQ(ordre, (std::vector<std::uint16_t>{0x378, 0x278, 0x3BC, 0xDC00, 0xD000}));
  EXPECT_EQ(LirePort(0xD000), 0x06);
}

// The address is what is kept: the port is found again whatever its number,
// and an address with no extra port now falls back to the usual rule.
TEST_F(ExtraPortsTest, SettingRestoresAnExtraPortPresentNow) {
  QTemporaryDir dossier;
  env_.FichierReglages = dossier.filePath("KELVANO/TRAMEX.reg");
  QDir().mkpath(dossier.filePath("KELVANO"));
  QFile magasin(env_.FichierReglages);
  ASSERT_TRUE(magasin.open(QIODevice::WriteOnly));
  magasin.write("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\KELVANO\\TRAMEX]\r\n"
                "\"Port_parallele\"=dword:0000d000\r\n");
  magasin.close();
  env_.AutresPorts = {{"parport1", 0xD000}};
  TForm1& f = Demarrer();
  EXPECT_EQ(etat_.PortBase, 0xD000);
  EXPECT_TRUE(f.OptionsAutresPorts[0]->isChecked());
  f.close();
  ASSERT_TRUE(magasin.open(QIODevice::ReadOnly));
  EXPECT_TRUE(magasin.readAll().contains("\"Port_parallele\"=dword:0000d000"));
  magasin.close();

  // Gone, or only its low 16 bits matching: the usual rule.
  for (const char* valeur : {"0000d000", "0001d000"}) {
    ASSERT_TRUE(magasin.open(QIODevice::WriteOnly));
    magasin.write(QByteArray("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\KELVANO\\"
                             "TRAMEX]\r\n\"Port_parallele\"=dword:") + valeur + "\r\n");
    magasin.close();
    env_.AutresPorts = std::string(valeur) == "0000d000" ? PortsSupplementaires{} : PortsSupplementaires{{"parport1", 0xD000}};
    fenetre_.reset();
    etat_ = EtatProgramme();
    TForm1& g = Demarrer();
    EXPECT_EQ(etat_.PortBase, AdresseLPT1) << valeur;
    EXPECT_TRUE(g.OptionLPT1->isChecked());
  }
}

// The fourth choice of the test window lists the extra ports; the three
// buttons keep their behaviour, and the main window's port is never changed.
TEST_F(ExtraPortsTest, PortTestWindowOnAnExtraPort) {
  TForm5 w(etat_.PortBase, [this] { dialogues_.Bip(); });
  w.show();
  EXPECT_FALSE(w.BRAutre->isVisible());  // no extra port given yet
  w.hide();
  w.DefinirAutresPorts(env_.AutresPorts);
  etat_.PortBase = 0xD000;
  sim_.setRecording(true);
  w.show();
  EXPECT_TRUE(w.BRAutre->isVisible());
  EXPECT_TRUE(w.BRAutre->isChecked());
  EXPECT_EQ(w.ListeAutresPorts->currentText(), QStringLiteral("parport3"));
  EXPECT_EQ(w.TexteAutrePort->text(), QStringLiteral("$D000 / $D001"));
  EXPECT_EQ(AdressesTouchees(), (std::set<std::uint16_t>{0xD000, 0xD001}));

  w.BRLPT2->click();
  EXPECT_EQ(w.TestPortBase, AdresseLPT2);
  sim_.clearRecord();
  w.ListeAutresPorts->activated(0);  // choosing in the list chooses the fourth button
  EXPECT_TRUE(w.BRAutre->isChecked());
  EXPECT_EQ(w.TestPortBase, 0xDC00);
  EXPECT_EQ(w.TexteAutrePort->text(), QStringLiteral("$DC00 / $DC01"));
  w.CCB[0]->click();
  EXPECT_EQ(LirePort(0xDC00), 0x01);
  EXPECT_EQ(AdressesTouchees(), (std::set<std::uint16_t>{0xDC00, 0xDC01}));
  EXPECT_EQ(etat_.PortBase, 0xD000);
}

}  // namespace
}  // namespace zorbix::test
