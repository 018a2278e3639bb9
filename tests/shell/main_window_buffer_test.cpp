// The fill commands through their real controls, the grid refresh and the
// character set.
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include "editor/grid_texts.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

bool Tous(const Buffer& b, int debut, int fin, std::uint8_t v) {
  return std::all_of(b.begin() + debut, b.begin() + fin, [v](std::uint8_t x) { return x == v; });
}

TEST_F(MainWindowTest, MenuOrderAndButtonOrderOfTheConstantFills) {
  TForm1& f = Demarrer();
  Touche(f.StringGrid1, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 2048, 0x00));
  EXPECT_EQ(Cellule(2, 1), QString("00"));
  EXPECT_EQ(Cellule(19, 1), QString());  // 0x00 has an empty character cell
  EXPECT_EQ(f.StaticText1->text(), QString("$00 = 0"));
  f.BoutonsBuffer[0]->click();
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 2048, 0xFF));
  f.BoutonsBuffer[1]->click();
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 2048, 0x00));
  Touche(f.StringGrid1, Qt::Key_F3, Qt::ControlModifier);
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 2048, 0x20));
  EXPECT_EQ(Cellule(19, 1), QString(" "));
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

TEST_F(MainWindowTest, FillsStayInsideTheActiveRegionAndComeBackWithALargerChip) {
  TForm1& f = Demarrer();
  f.BoutonsBuffer[4]->click();  // increasing, over the 24C16
  Choisir(3);                   // 24C02
  f.OptionBufferFF->trigger();
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 256, 0xFF));
  for (int i = 256; i < 2048; ++i) ASSERT_EQ(etat_.Buffer[i], i % 256);
  EXPECT_TRUE(Tous(etat_.Buffer, 2048, TailleBuffer, 0xFF));
  Choisir(6);
  EXPECT_EQ(Cellule(2, 17), QString("00"));  // address 0x100
  EXPECT_EQ(Cellule(17, 128), QString("FF"));  // address 0x7FF
  EXPECT_EQ(Cellule(16, 128), QString("FE"));

  Choisir(1);  // 24C00: every fill on 16 bytes, the line fill on the whole chip
  f.OptionBuffer00->trigger();
  EXPECT_TRUE(Tous(etat_.Buffer, 0, 16, 0x00));
  EXPECT_EQ(etat_.Buffer[16], 0xFF);
  f.OptionBufferDecremente->trigger();
  EXPECT_EQ(etat_.Buffer[0], 0xFF);
  EXPECT_EQ(etat_.Buffer[15], 0xF0);
  EXPECT_EQ(etat_.Buffer[16], 0xFF);
}

TEST_F(MainWindowTest, ComplementAndBitReversalTwiceGiveTheStartBack) {
  TForm1& f = Demarrer(QString(), 1234);
  f.BoutonsBuffer[3]->click();  // random
  const Buffer avant = etat_.Buffer;
  f.BoutonsBuffer[7]->click();
  EXPECT_EQ(etat_.Buffer[0], avant[0] ^ 0xFF);
  Touche(f.StringGrid1, Qt::Key_F8, Qt::ControlModifier);
  EXPECT_EQ(etat_.Buffer, avant);
  Touche(f.StringGrid1, Qt::Key_F9, Qt::ControlModifier);
  EXPECT_NE(etat_.Buffer, avant);
  Touche(f.StringGrid1, Qt::Key_F9, Qt::ControlModifier);
  EXPECT_EQ(etat_.Buffer, avant);
}

TEST_F(MainWindowTest, RandomFillDrawsFromTheSeedOfTheStart) {
  TForm1& f = Demarrer(QString(), 0);
  f.OptionBufferRandom->trigger();
  EXPECT_EQ(etat_.Buffer[0], 0x00);
  EXPECT_EQ(etat_.Buffer[1], 0x5A);
  EXPECT_EQ(etat_.Buffer[2], 0x9E);
  EXPECT_EQ(etat_.Buffer[3], 0x88);
  const Buffer premier = etat_.Buffer;
  f.BoutonsBuffer[3]->click();
  EXPECT_NE(etat_.Buffer, premier);  // the generator carries on
}

TEST_F(MainWindowTest, SelectedByteAndLineFills) {
  TForm1& f = Demarrer();
  Choisir(11);  // 24C512
  f.OptionBufferIncremente->trigger();
  ASSERT_TRUE(Grille().setCurrentCell(2 + 4, 0x1234 / 16 + 1));
  EXPECT_EQ(etat_.SelectedAddress, 0x1234);
  Touche(f.StringGrid1, Qt::Key_F10, Qt::ControlModifier);
  for (int a = 0x1220; a < 0x1250; ++a)
    ASSERT_EQ(etat_.Buffer[a], a >= 0x1230 && a < 0x1240 ? 0x34 : a % 256) << a;
  EXPECT_EQ(Cellule(2, 0x123 + 1), QString("34"));
  f.BoutonsBuffer[6]->click();
  EXPECT_TRUE(Tous(etat_.Buffer, 0, TailleBuffer, 0x34));
  // The selection and the address display are not moved by a fill.
  EXPECT_EQ(f.StaticText2->text(), QString("$1234"));
  EXPECT_EQ(Grille().row(), 0x124);
}

TEST_F(MainWindowTest, GridShowsTheSmallestAndTheLargestChip) {
  TForm1& f = Demarrer();
  f.ComboBox->setCurrentIndex(1);  // 24C00, from the list
  EXPECT_EQ(Grille().rowCount(), 2);
  EXPECT_EQ(Cellule(0, 1), QString("0000"));
  f.ComboBox->setCurrentIndex(11);
  EXPECT_EQ(Grille().rowCount(), 4097);
  EXPECT_EQ(Cellule(0, 4096), QString("FFF0"));
  EXPECT_EQ(Cellule(17, 4096), QString("FF"));
  EXPECT_EQ(Cellule(34, 4096), TexteCaractere(0xFF));
}

TEST_F(MainWindowTest, RefreshShowsItsProgressAndComesBackToRest) {
  TForm1& f = Demarrer();
  QSignalSpy positions(f.ProgressBar, &QProgressBar::valueChanged);
  f.OptionBufferFF->trigger();
  QList<int> attendu;
  for (int i = 31; i < 2048; i += 32) attendu << i;
  attendu << 0;
  QList<int> vu;
  for (const auto& p : positions) vu << p.at(0).toInt();
  EXPECT_EQ(vu, attendu);
  EXPECT_EQ(f.ProgressBar->maximum(), 2048);
  EXPECT_TRUE(f.StaticTextInfo->text().isEmpty());
  EXPECT_EQ(Grille().normalColor(), f.palette().color(QPalette::Base));

  Choisir(1);
  positions.clear();
  f.OptionBuffer00->trigger();
  EXPECT_EQ(positions.size(), 16);  // every byte below 64: 1..15, then 0
}

TEST_F(MainWindowTest, CharacterSetSwitchesFontAndChecksWithoutTouchingCells) {
  TForm1& f = Demarrer();
  f.OptionBufferIncremente->trigger();
  const QString avant = Cellule(19 + 2, 9);  // byte 0x82
  EXPECT_TRUE(Grille().font().bold());
  Touche(f.StringGrid1, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(etat_.CharsetMode, JeuCaracteres::Oem);
  EXPECT_TRUE(Grille().isOem());
  EXPECT_FALSE(Grille().font().bold());
  EXPECT_TRUE(f.OptionCaracDos->isChecked());
  EXPECT_TRUE(f.BoutonRadioDos->isChecked());
  EXPECT_FALSE(f.BoutonRadioWin->isChecked());
  EXPECT_EQ(Cellule(19 + 2, 9), avant);
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  Touche(f.StringGrid1, Qt::Key_D, Qt::ControlModifier);  // already OEM: nothing changes
  EXPECT_TRUE(f.OptionCaracDos->isChecked());
  EXPECT_FALSE(Grille().font().bold());
  f.BoutonRadioWin->click();
  EXPECT_EQ(etat_.CharsetMode, JeuCaracteres::Ansi);
  EXPECT_TRUE(Grille().font().bold());
  EXPECT_TRUE(f.OptionCaracWin->isChecked());
}

}  // namespace
}  // namespace zorbix::test
