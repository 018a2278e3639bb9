// Choice of chip, port and write mode.
#include <QComboBox>

#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

TEST_F(MainWindowTest, MenuChoiceSetsTheListAndTheGridAndFocusesTheGrid) {
  TForm1& f = Demarrer();
  f.ComboBox->setFocus();
  Choisir(3);
  EXPECT_EQ(f.ComboBox->currentText(), QString("24C02 (256 o)"));
  EXPECT_EQ(etat_.ChipType, 3);
  EXPECT_EQ(etat_.ChipSize, 256);
  EXPECT_EQ(Grille().rowCount(), 17);
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  EXPECT_TRUE(f.OptionsMemoire[3]->isChecked());
  // From the list: the menu follows and the focus stays on the list.
  f.ComboBox->setFocus();
  f.ComboBox->setCurrentIndex(8);
  EXPECT_TRUE(f.OptionsMemoire[8]->isChecked());
  EXPECT_EQ(etat_.ChipSize, 8192);
  EXPECT_TRUE(f.ComboBox->hasFocus());
}

TEST_F(MainWindowTest, SmallerChipMovesTheCurrentCellUpAndTheSelectionFollows) {
  TForm1& f = Demarrer();
  etat_.Buffer[0x63A] = 0x5C;
  etat_.Buffer[0xFA] = 0x11;
  f.AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  ASSERT_TRUE(Grille().setCurrentCell(2 + 0xA, 100));  // address 0x63A
  EXPECT_EQ(f.StaticText2->text(), QString("$063A"));
  Choisir(3);
  EXPECT_EQ(Grille().row(), 16);
  EXPECT_EQ(Grille().col(), 2 + 0xA);
  EXPECT_EQ(etat_.SelectedAddress, 0xFA);
  EXPECT_EQ(f.StaticText2->text(), QString("$00FA"));
  EXPECT_EQ(f.Edit1->Texte(), QString("11"));
  EXPECT_EQ(f.StaticText1->text(), QString("$11 = 17"));
  // The bytes beyond the small chip are kept.
  Choisir(6);
  EXPECT_EQ(etat_.Buffer[0x63A], 0x5C);
  EXPECT_EQ(Cellule(2 + 0xA, 100), QString("5C"));
}

TEST_F(MainWindowTest, WriteModeItemsFollowTheChipWithoutChangingTheMode) {
  TForm1& f = Demarrer();
  f.OptionModePageNon->trigger();
  EXPECT_FALSE(etat_.WriteMode);
  EXPECT_TRUE(f.OptionModePageNon->isChecked());
  Choisir(9);  // 24C128: pages only
  EXPECT_TRUE(f.OptionModePageOui->isChecked());
  EXPECT_FALSE(f.OptionModePageNon->isEnabled());
  EXPECT_FALSE(etat_.WriteMode);
  Choisir(8);
  EXPECT_TRUE(f.OptionModePageNon->isChecked());
  EXPECT_TRUE(f.OptionModePageNon->isEnabled());
  f.OptionModePageOui->trigger();
  EXPECT_TRUE(etat_.WriteMode);
}

TEST_F(MainWindowTest, PortChoiceTouchesNoPort) {
  TForm1& f = Demarrer();
  sim_.setRecording(true);
  Touche(f.StringGrid1, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(etat_.PortBase, AdresseLPT3);
  EXPECT_TRUE(f.OptionLPT3->isChecked());
  EXPECT_FALSE(f.OptionLPT1->isChecked());
  f.OptionLPT2->trigger();
  EXPECT_EQ(etat_.PortBase, AdresseLPT2);
  f.OptionLPT1->trigger();
  EXPECT_EQ(etat_.PortBase, AdresseLPT1);
  EXPECT_TRUE(sim_.record().empty());
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

}  // namespace
}  // namespace zorbix::test
