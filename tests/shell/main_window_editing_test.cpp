// Selecting a byte and editing it in hexadecimal or as a character, through
// keys and clicks on the real widgets.
#include "editor/grid_texts.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

class EditingTest : public MainWindowTest {
 protected:
  // Puts `valeur` at `adresse` through the Buffer and redisplays it.
  void Placer(int adresse, std::uint8_t valeur) {
    etat_.Buffer[adresse] = valeur;
    F().AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  }
  void SelectionnerHexa(int adresse) { ASSERT_TRUE(Grille().setCurrentCell(2 + adresse % 16, adresse / 16 + 1)); }
  void SelectionnerCaractere(int adresse) {
    ASSERT_TRUE(Grille().setCurrentCell(19 + adresse % 16, adresse / 16 + 1));
  }
  // A key that types "é", which QTest's ASCII helpers cannot.
  void TaperAccent(QWidget* w) {
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier);
  }
  void Cliquer(int col, int row, bool double_ = false) {
    const QPoint p = Grille().cellRect(col, row).center();
    if (double_)
      QTest::mouseDClick(Grille().viewport(), Qt::LeftButton, Qt::NoModifier, p);
    else
      QTest::mouseClick(Grille().viewport(), Qt::LeftButton, Qt::NoModifier, p);
  }
};

TEST_F(EditingTest, HexEntryShiftsDigitsInAndCommitsOneByte) {
  TForm1& f = Demarrer();
  Placer(0x25, 0x3C);
  SelectionnerHexa(0x25);
  Touche(f.StringGrid1, Qt::Key_Return);
  EXPECT_TRUE(f.Edit1->hasFocus());
  EXPECT_EQ(f.Edit1->cursorPosition(), 2);
  Texte(f.Edit1, "ab");
  EXPECT_EQ(f.Edit1->Texte(), QString("AB"));
  EXPECT_EQ(f.StaticText1->text(), QString("$AB = 171"));
  EXPECT_EQ(f.Edit2->Texte(), TexteCaractere(0xAB));
  EXPECT_EQ(etat_.Buffer[0x25], 0x3C);  // pending until the commit
  EXPECT_EQ(Cellule(2 + 5, 3), QString("3C"));
  Touche(f.Edit1, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x25], 0xAB);
  EXPECT_EQ(Cellule(2 + 5, 3), QString("AB"));
  EXPECT_EQ(Cellule(19 + 5, 3), TexteCaractere(0xAB));
  EXPECT_TRUE(f.StringGrid1->hasFocus());
  EXPECT_EQ(f.StaticText2->text(), QString("$0025"));
  // Only that byte changed.
  EXPECT_EQ(etat_.Buffer[0x24], 0xFF);
  EXPECT_EQ(etat_.Buffer[0x26], 0xFF);
}

TEST_F(EditingTest, EscapeRestoresTheBoxesFromTheBuffer) {
  TForm1& f = Demarrer();
  Touche(f.StringGrid1, Qt::Key_Return);
  Texte(f.Edit1, "f0");
  EXPECT_EQ(f.StaticText1->text(), QString("$F0 = 240"));
  Touche(f.Edit1, Qt::Key_Escape);  // cancel: the boxes come back from the Buffer
  EXPECT_EQ(f.Edit1->Texte(), QString("FF"));
  EXPECT_EQ(f.StaticText1->text(), QString("$FF = 255"));
  EXPECT_EQ(etat_.Buffer[0], 0xFF);
  EXPECT_EQ(Cellule(2, 1), QString("FF"));
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

TEST_F(EditingTest, CharacterEntryCommitsTheTypedCode) {
  TForm1& f = Demarrer();
  SelectionnerCaractere(0x7F5);
  EXPECT_EQ(f.StaticText2->text(), QString("$07F5"));
  EXPECT_FALSE(etat_.HexSide);
  Touche(f.StringGrid1, Qt::Key_Return);
  EXPECT_TRUE(f.Edit2->hasFocus());
  Texte(f.Edit2, "A");
  EXPECT_EQ(f.Edit1->Texte(), QString("41"));
  EXPECT_EQ(f.StaticText1->text(), QString("$41 = 65"));
  Touche(f.Edit2, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x7F5], 0x41);
  EXPECT_EQ(Cellule(2 + 5, 0x7F + 1), QString("41"));
  EXPECT_EQ(Cellule(19 + 5, 0x7F + 1), QString("A"));
  EXPECT_TRUE(f.StringGrid1->hasFocus());
}

TEST_F(EditingTest, OemModeStoresTheOemCodeOfATypedCharacter) {
  TForm1& f = Demarrer();
  f.OptionCaracDos->trigger();
  SelectionnerCaractere(0x10);
  Touche(f.StringGrid1, Qt::Key_Return);
  TaperAccent(f.Edit2);
  EXPECT_EQ(f.Edit1->Texte(), QString("82"));
  Touche(f.Edit2, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x10], 0x82);
  // In ANSI the same key stores its Windows-1252 code.
  f.OptionCaracWin->trigger();
  Touche(f.StringGrid1, Qt::Key_Return);
  TaperAccent(f.Edit2);
  Touche(f.Edit2, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x10], 0xE9);
}

TEST_F(EditingTest, RefusedMovesLeaveTheCurrentCell) {
  TForm1& f = Demarrer();
  SelectionnerHexa(0x1F);  // column 17
  Touche(f.StringGrid1, Qt::Key_Right);
  EXPECT_EQ(Grille().col(), 17);
  SelectionnerHexa(0x10);  // column 2
  Touche(f.StringGrid1, Qt::Key_Left);
  EXPECT_EQ(Grille().col(), 2);
  SelectionnerCaractere(0x10);  // column 19
  Touche(f.StringGrid1, Qt::Key_Left);
  EXPECT_EQ(Grille().col(), 19);
  SelectionnerHexa(0x13);
  Touche(f.StringGrid1, Qt::Key_Home);
  EXPECT_EQ(Grille().col(), 5);
  for (int col : {0, 1, 18}) {
    Cliquer(col, 4);
    EXPECT_EQ(Grille().col(), 5);
    EXPECT_EQ(Grille().row(), 2);
  }
  EXPECT_EQ(f.StaticText2->text(), QString("$0013"));
  Touche(f.StringGrid1, Qt::Key_End);
  EXPECT_EQ(Grille().col(), 34);
  EXPECT_EQ(f.StaticText2->text(), QString("$001F"));
  Touche(f.StringGrid1, Qt::Key_Down);
  EXPECT_EQ(f.StaticText2->text(), QString("$002F"));
}

TEST_F(EditingTest, SpaceTabAndDoubleClick) {
  TForm1& f = Demarrer();
  SelectionnerHexa(0x42);
  Touche(f.StringGrid1, Qt::Key_Space);
  EXPECT_EQ(Grille().col(), 19 + 2);
  EXPECT_FALSE(etat_.HexSide);
  EXPECT_EQ(etat_.SelectedAddress, 0x42);
  // Tab enters the hex box and makes the hex side active, even from a character cell.
  Touche(f.StringGrid1, Qt::Key_Tab);
  EXPECT_TRUE(f.Edit1->hasFocus());
  EXPECT_TRUE(etat_.HexSide);
  Texte(f.Edit1, "12");
  Touche(f.Edit1, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x42], 0x12);
  Touche(f.StringGrid1, Qt::Key_Space);  // back to the hex cell
  EXPECT_EQ(Grille().col(), 2 + 2);
  // A double-click starts the entry for the clicked cell exactly as Enter does.
  Cliquer(19 + 7, 3, true);
  EXPECT_TRUE(f.Edit2->hasFocus());
  EXPECT_EQ(etat_.SelectedAddress, 0x27);
  Texte(f.Edit2, "z");
  Touche(f.Edit2, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x27], 'z');
}

TEST_F(EditingTest, LeavingABoxDropsThePendingValue) {
  TForm1& f = Demarrer();
  Touche(f.StringGrid1, Qt::Key_Return);
  Texte(f.Edit1, "12");
  Cliquer(3, 1);  // another cell: no commit, the boxes follow the new cell
  EXPECT_EQ(etat_.Buffer[0], 0xFF);
  EXPECT_EQ(f.Edit1->Texte(), QString("FF"));
  EXPECT_EQ(f.StaticText2->text(), QString("$0001"));
}

TEST_F(EditingTest, MenuShortcutsWinOverTheEntryBoxes) {
  TForm1& f = Demarrer();
  Touche(f.StringGrid1, Qt::Key_Return);
  ASSERT_TRUE(f.Edit1->hasFocus());
  Touche(f.Edit1, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_EQ(etat_.Buffer[0], 0x00);
  EXPECT_TRUE(f.Edit2->Texte().isEmpty());  // 0x00 has no character
  Touche(f.StringGrid1, Qt::Key_Return);
  Touche(f.Edit1, Qt::Key_Home);  // not a shortcut: nothing happens, the box keeps its text
  EXPECT_EQ(f.Edit1->Texte(), QString("00"));
}

}  // namespace
}  // namespace zorbix::test
