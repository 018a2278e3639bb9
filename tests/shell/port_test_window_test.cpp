// TForm5, the port test window, on the simulated adapter: which port it
// opens on, what each box writes, the input texts, the read-back check, and
// its opening from the main window's menu (closed from a zero timer, so no
// test waits on the modal window).
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "porttest/port_test_window.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

class PortTestWindowTest : public MainWindowTest {
 protected:
  void TearDown() override {
    fenetre5_.reset();
    MainWindowTest::TearDown();
  }
  TForm5& Ouvrir() {
    if (!fenetre5_) fenetre5_ = std::make_unique<TForm5>(etat_.PortBase, [this] { dialogues_.Bip(); });
    fenetre5_->show();
    return *fenetre5_;
  }
  std::vector<QString> Entrees() {
    TForm5& w = *fenetre5_;
    return {w.txtError->text(), w.txtSelected->text(), w.txtPE->text(), w.txtAcknowledge->text(),
            w.txtBusy->text()};
  }
  std::uint8_t Cases() {
    int v = 0;
    for (int bit = 0; bit < 8; ++bit) v |= fenetre5_->CCB[bit]->isChecked() << bit;
    return static_cast<std::uint8_t>(v);
  }
  std::vector<PortAccess> Ecritures() {
    std::vector<PortAccess> w;
    for (const PortAccess& a : sim_.record())
      if (a.write) w.push_back(a);
    return w;
  }

  std::unique_ptr<TForm5> fenetre5_;
};

TEST_F(PortTestWindowTest, FixedWindowWithItsTexts) {
  TForm5& w = Ouvrir();
  EXPECT_EQ(w.windowTitle(), QStringLiteral(" Test du port parallèle :"));
  EXPECT_EQ(w.minimumSize(), QSize(497, 264));
  EXPECT_EQ(w.maximumSize(), QSize(497, 264));
  EXPECT_TRUE(w.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(w.GroupePort->title(), QStringLiteral(" Port // concerné : "));
  EXPECT_EQ(w.GroupeSorties->title(), QStringLiteral(" Sorties : "));
  EXPECT_EQ(w.GroupeEntrees->title(), QStringLiteral(" Entrées : "));
  EXPECT_EQ(w.BRLPT3->text(), QStringLiteral("LPT3 ($3BC / 3BD)"));
  QStringList etiquettes;
  for (const QLabel* l : w.GroupeSorties->findChildren<QLabel*>()) etiquettes << l->text();
  EXPECT_EQ(etiquettes, QStringList({"B7", "(9)", "B6", "(8)", "B5", "(7)", "B4", "(6)", "B3", "(5)", "B2",
                                     "(4)", "B1", "(3)", "B0", "(2)", QStringLiteral("Case cochée = sortie mise à '1'")}));
  for (int bit = 0; bit < 7; ++bit) EXPECT_GT(w.CCB[bit]->x(), w.CCB[bit + 1]->x());  // CCB7 on the left
  EXPECT_TRUE(QFontInfo(w.txtBusy->font()).fixedPitch());
  EXPECT_EQ(w.BoutonLireEntrees->text(), QStringLiteral("Lire les entrées"));
  EXPECT_EQ(w.focusWidget(), w.BoutonTestPortP);
}

TEST_F(PortTestWindowTest, OpensOnTheMainWindowsPortAndOnlyReadsIt) {
  const std::pair<std::uint16_t, std::uint16_t> cas[] = {
      {AdresseLPT3, AdresseLPT3}, {AdresseLPT2, AdresseLPT2}, {AdresseLPT1, AdresseLPT1}, {0x123, AdresseLPT1}};
  EcrirePort(AdresseLPT1, 0x5A);
  for (auto [portBase, attendu] : cas) {
    etat_.PortBase = portBase;
    sim_.setRecording(true);
    sim_.clearRecord();
    TForm5& w = Ouvrir();
    EXPECT_EQ(w.TestPortBase, attendu);
    EXPECT_TRUE((attendu == AdresseLPT1 ? w.BRLPT1 : attendu == AdresseLPT2 ? w.BRLPT2 : w.BRLPT3)->isChecked());
    ASSERT_EQ(sim_.record().size(), 2u);
    EXPECT_EQ(sim_.record()[0].address, attendu);
    EXPECT_EQ(sim_.record()[1].address, attendu + 1);
    EXPECT_TRUE(Ecritures().empty());
    w.hide();
  }
  EXPECT_EQ(Cases(), 0x5A);  // what LPT1 held, shown without being written
}

TEST_F(PortTestWindowTest, MenuOpensItModallyAndItLeavesTheMainWindowsPort) {
  TForm1& f = Demarrer();
  TForm5& w = Ouvrir();
  w.hide();
  f.SetFenetreTestPort(&w);
  bool modale = false;
  QTimer::singleShot(0, &w, [&] {
    modale = w.isVisible() && w.isModal();
    w.BRLPT2->click();
    EXPECT_EQ(w.TestPortBase, AdresseLPT2);
    QTest::keyClick(w.BoutonTestPortP, Qt::Key_Escape);
  });
  QTimer::singleShot(5000, &w, [&w] { w.reject(); });  // only if Escape failed to close it
  Touche(f.StringGrid1, Qt::Key_T, Qt::ControlModifier);
  EXPECT_TRUE(modale);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(etat_.PortBase, AdresseLPT1);
  EXPECT_TRUE(f.OptionLPT1->isChecked());
  w.show();  // the next showing starts again from the main window's port
  EXPECT_TRUE(w.BRLPT1->isChecked());
  EXPECT_EQ(w.TestPortBase, AdresseLPT1);
}

TEST_F(PortTestWindowTest, EachBoxWritesTheWholeByte) {
  EcrirePort(AdresseLPT1, 0x00);
  TForm5& w = Ouvrir();
  sim_.setRecording(true);
  QTest::mouseClick(w.CCB[0], Qt::LeftButton);
  EXPECT_EQ(LirePort(AdresseLPT1), 0x01);
  w.CCB[7]->click();
  EXPECT_EQ(LirePort(AdresseLPT1), 0x81);
  ASSERT_EQ(Ecritures().size(), 2u);
  EXPECT_EQ(Ecritures()[1].value, 0x81);
  EXPECT_EQ(dialogues_.bips, 0);
}

TEST_F(PortTestWindowTest, InputTextsShowThePinsWithBusyInverted) {
  EcrirePort(AdresseLPT1, 0x00);  // unpowered: SDA, and so Acknowledge, low
  TForm5& w = Ouvrir();
  const std::vector<QString> bas = {"Error (15)....... :[0]", "Selected (13).... :[0]", "Paper Error (12). :[0]",
                                    "Acknowledge (10). :[0]", "Busy (11)........ :[1]"};
  std::vector<QString> tousBas = bas;
  tousBas[4] = "Busy (11)........ :[0]";
  const std::pair<std::uint8_t, std::vector<QString>> cas[] = {{0x00, bas}, {0x07, bas}, {0x80, tousBas}};
  for (const auto& [statut, textes] : cas) {
    adaptateur_->setStatusOtherBits(statut);
    w.BoutonLireEntrees->click();
    EXPECT_EQ(Entrees(), textes) << int(statut);
  }
  adaptateur_->setNothingAttached(true);  // the status register reads 0xFF
  w.BoutonLireEntrees->click();
  EXPECT_EQ(Entrees(), (std::vector<QString>{"Error (15)....... :[1]", "Selected (13).... :[1]",
                                             "Paper Error (12). :[1]", "Acknowledge (10). :[1]",
                                             "Busy (11)........ :[0]"}));
}

TEST_F(PortTestWindowTest, RegisterThatDoesNotReadBackUndoesTheBoxAndBeeps) {
  adaptateur_->setDataReadback(0xFF, 0xFF);
  TForm5& w = Ouvrir();
  EXPECT_EQ(Cases(), 0xFF);
  sim_.setRecording(true);
  w.CCB[3]->click();
  EXPECT_EQ(Cases(), 0xFF);
  EXPECT_EQ(dialogues_.bips, 1);
  ASSERT_EQ(Ecritures().size(), 1u);  // setting the boxes back wrote nothing
  EXPECT_EQ(Ecritures()[0].value, 0xF7);
}

// Enter presses the focused button and no other: on a box it neither
// writes, reads nor closes; on "Lire les entrées" it reads the status
// register only; on the return button it closes the window.
TEST_F(PortTestWindowTest, EnterPressesTheFocusedButtonOnly) {
  TForm5& w = Ouvrir();
  sim_.setRecording(true);
  for (Qt::Key touche : {Qt::Key_Return, Qt::Key_Enter}) {
    w.CCB[2]->setFocus();
    QTest::keyClick(w.CCB[2], touche);
    EXPECT_TRUE(sim_.record().empty());
    w.BoutonLireEntrees->setFocus();
    QTest::keyClick(w.BoutonLireEntrees, touche);
    ASSERT_EQ(sim_.record().size(), 1u);
    EXPECT_FALSE(sim_.record()[0].write);
    EXPECT_EQ(sim_.record()[0].address, AdresseLPT1 + 1);
    sim_.clearRecord();
  }
  EXPECT_TRUE(w.isVisible());
  w.BoutonTestPortP->setFocus();
  QTest::keyClick(w.BoutonTestPortP, Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST_F(PortTestWindowTest, AdapterLoopBackShowsOnAcknowledge) {
  EcrirePort(AdresseLPT1, 0x00);
  TForm5& w = Ouvrir();
  for (int bit : {7, 6, 5, 4}) w.CCB[bit]->click();  // chip supply on: SDA high
  w.BoutonLireEntrees->click();
  EXPECT_EQ(w.txtAcknowledge->text(), QStringLiteral("Acknowledge (10). :[1]"));
  w.CCB[1]->click();  // SDA pulled low; a toggle does not refresh the inputs
  EXPECT_EQ(w.txtAcknowledge->text(), QStringLiteral("Acknowledge (10). :[1]"));
  w.BoutonLireEntrees->click();
  EXPECT_EQ(w.txtAcknowledge->text(), QStringLiteral("Acknowledge (10). :[0]"));
  w.CCB[1]->click();
  w.BoutonLireEntrees->click();
  EXPECT_EQ(w.txtAcknowledge->text(), QStringLiteral("Acknowledge (10). :[1]"));
  EXPECT_EQ(LirePort(AdresseLPT1), 0xF0);
}

}  // namespace
}  // namespace zorbix::test
