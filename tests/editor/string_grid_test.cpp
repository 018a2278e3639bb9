#include <QAction>
#include <QEvent>
#include <QImage>
#include <QScrollBar>

#include "grid_fixture.h"

namespace zorbix {
namespace {

using Cellule = std::pair<int, int>;
using Cellules = std::vector<Cellule>;

Cellule Courante(const StringGrid& g) { return {g.col(), g.row()}; }

// The grid aims at exactly one cell per key and does not steer around a
// refused one: the hook is asked for the spacer or address column and the
// current cell stays.
TEST_F(GrilleTest, KeysAimAtOneCellAndRefusalsLeaveTheCurrentCell) {
  struct Cas {
    Cellule depart;
    Qt::Key touche;
    Qt::KeyboardModifiers mods;
    Cellule visee;
    bool accepte;
  };
  const Cas cas[] = {
      {{17, 5}, Qt::Key_Right, Qt::NoModifier, {18, 5}, false},
      {{2, 5}, Qt::Key_Left, Qt::NoModifier, {1, 5}, false},
      {{19, 5}, Qt::Key_Left, Qt::NoModifier, {18, 5}, false},
      {{7, 5}, Qt::Key_Home, Qt::NoModifier, {1, 5}, false},
      {{7, 5}, Qt::Key_Home, Qt::ControlModifier, {1, 1}, false},
      {{7, 5}, Qt::Key_End, Qt::NoModifier, {34, 5}, true},
      {{7, 5}, Qt::Key_End, Qt::ControlModifier, {34, 128}, true},
      {{7, 5}, Qt::Key_Right, Qt::NoModifier, {8, 5}, true},
      {{7, 5}, Qt::Key_Up, Qt::NoModifier, {7, 4}, true},
      {{7, 5}, Qt::Key_Down, Qt::ShiftModifier, {7, 6}, true},
  };
  for (const Cas& c : cas) {
    SCOPED_TRACE(testing::Message() << c.depart.first << "," << c.depart.second << " key " << c.touche);
    Placer(c.depart.first, c.depart.second);
    QTest::keyClick(grid_, c.touche, c.mods);
    EXPECT_EQ(demandes_, Cellules{c.visee});
    EXPECT_EQ(Courante(*grid_), c.accepte ? c.visee : c.depart);
  }
  // At the edge there is nowhere to go: the hook is not even asked.
  Placer(34, 128);
  QTest::keyClick(grid_, Qt::Key_Right);
  QTest::keyClick(grid_, Qt::Key_Down);
  EXPECT_TRUE(demandes_.empty());
  Placer(7, 1);
  QTest::keyClick(grid_, Qt::Key_Up);
  EXPECT_TRUE(demandes_.empty());
}

TEST_F(GrilleTest, ClicksOnFixedAndSpacerColumnsDoNotMoveTheCurrentCell) {
  Placer(5, 3);
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(0, 6));
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(9, 0));
  EXPECT_TRUE(demandes_.empty());  // fixed cells are never candidates
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(1, 6));
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(18, 6));
  EXPECT_EQ(demandes_, (Cellules{{1, 6}, {18, 6}}));
  EXPECT_EQ(Courante(*grid_), Cellule(5, 3));

  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(25, 6));
  EXPECT_EQ(Courante(*grid_), Cellule(25, 6));
  // A click on the current cell asks again, so its displays are rewritten.
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(25, 6));
  EXPECT_EQ(demandes_.size(), 4u);
}

TEST_F(GrilleTest, ProgramMovesGoThroughTheHookAndStayInView) {
  demandes_.clear();
  EXPECT_FALSE(grid_->setCurrentCell(18, 40));
  EXPECT_FALSE(grid_->setCurrentCell(0, 40));    // fixed: refused without asking
  EXPECT_FALSE(grid_->setCurrentCell(5, 129));   // no such row
  EXPECT_EQ(demandes_, (Cellules{{18, 40}}));
  EXPECT_TRUE(grid_->setCurrentCell(5, 120));
  EXPECT_GE(120, grid_->topRow());
  EXPECT_LT(120, grid_->topRow() + grid_->visibleRowCount());
  EXPECT_FALSE(grid_->cellRect(5, 120).isEmpty());
  EXPECT_TRUE(grid_->setCurrentCell(5, 2));
  EXPECT_EQ(grid_->topRow(), 2);
}

// Page keys move the current cell and the rows by one screen; the wheel
// scrolls the rows and leaves the current cell alone.
TEST_F(GrilleTest, PagingAndWheel) {
  Placer(3, 1);
  const int page = grid_->visibleRowCount();
  ASSERT_GT(page, 5);
  QTest::keyClick(grid_, Qt::Key_PageDown);
  EXPECT_EQ(Courante(*grid_), Cellule(3, 1 + page));
  EXPECT_EQ(grid_->topRow(), 1 + page);
  QTest::keyClick(grid_, Qt::Key_PageUp);
  EXPECT_EQ(Courante(*grid_), Cellule(3, 1));
  EXPECT_EQ(grid_->topRow(), 1);

  QWheelEvent roue(QPointF(100, 100), grid_->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                   QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(grid_->viewport(), &roue);
  EXPECT_GT(grid_->topRow(), 1);
  EXPECT_EQ(Courante(*grid_), Cellule(3, 1));
}

// Scrolling moves the data rows under a header row and an address column
// that stay where they are, also for the mouse.
TEST_F(GrilleTest, FixedRowAndColumnDoNotScroll) {
  const QRect entete = grid_->cellRect(5, 0);
  const QRect premiere = grid_->cellRect(0, 1);
  grid_->verticalScrollBar()->setSliderPosition(49);  // as a dragged thumb does
  EXPECT_EQ(grid_->topRow(), 50);
  EXPECT_EQ(grid_->cellRect(5, 0), entete);
  EXPECT_EQ(grid_->cellRect(0, 50), premiere);
  EXPECT_TRUE(grid_->cellRect(0, 1).isEmpty());

  Placer(5, 60);
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, entete.center());
  EXPECT_TRUE(demandes_.empty());
  QTest::mouseClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(entete.center().x(), premiere.center().y()));
  EXPECT_EQ(Courante(*grid_), Cellule(5, 50));

  grid_->setTopRow(1000);  // clamped: the last row ends the screen
  EXPECT_EQ(grid_->topRow() + grid_->visibleRowCount() - 1, 128);
}

TEST_F(GrilleTest, RowCountShrinkMovesTheCurrentCellThroughTheHook) {
  Placer(21, 100);
  grid_->setRowCount(17);
  EXPECT_EQ(demandes_, (Cellules{{21, 16}}));
  EXPECT_EQ(Courante(*grid_), Cellule(21, 16));
  EXPECT_EQ(grid_->topRow(), 1);

  // A row that no longer exists cannot stay current, even if the hook says no.
  grid_->setOnSelectCell([](int, int) { return false; });
  grid_->setRowCount(5);
  EXPECT_EQ(Courante(*grid_), Cellule(21, 4));
  grid_->setRowCount(129);  // growing leaves the current cell where it is
  EXPECT_EQ(Courante(*grid_), Cellule(21, 4));
}

TEST_F(GrilleTest, CharacterKeysReachTheHookTabAndShortcutsReachTheWindow) {
  std::vector<int> codes;
  grid_->setOnKeyPress([&codes](int code) { codes.push_back(code); });
  int copies = 0;
  int remplissages = 0;
  QAction comparer(fenetre_.get());
  comparer.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  QObject::connect(&comparer, &QAction::triggered, [&copies] { ++copies; });
  QAction remplir(fenetre_.get());
  remplir.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
  QObject::connect(&remplir, &QAction::triggered, [&remplissages] { ++remplissages; });
  fenetre_->addAction(&comparer);
  fenetre_->addAction(&remplir);
  Placer(4, 4);

  QTest::keyClick(grid_, Qt::Key_Return);
  QTest::keyClick(grid_, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(grid_, Qt::Key_Escape);
  QTest::keyClick(grid_, Qt::Key_Space);
  QTest::keyClick(grid_, 'a');
  QTest::keyClick(grid_, 'G', Qt::ShiftModifier);
  QTest::keyClick(grid_, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(grid_, Qt::Key_F1, Qt::ControlModifier);
  EXPECT_EQ(codes, (std::vector<int>{13, 13, 27, 32, 'a', 'G'}));
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(remplissages, 1);
  EXPECT_EQ(Courante(*grid_), Cellule(4, 4));

  QTest::keyClick(grid_, Qt::Key_Tab);
  EXPECT_TRUE(edit_->hasFocus());
}

TEST_F(GrilleTest, DoubleClickRaisesTheHook) {
  int doubles = 0;
  grid_->setOnDblClick([&doubles] { ++doubles; });
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(6, 2));
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(Courante(*grid_), Cellule(6, 2));
  // Anywhere in the grid: the window's handler decides what it means.
  QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, Qt::NoModifier, Centre(0, 4));
  EXPECT_EQ(doubles, 2);
  EXPECT_EQ(Courante(*grid_), Cellule(6, 2));
}

// repaint() must paint before it returns: the refresh shows its teal grid
// without going back to the event loop.
TEST_F(GrilleTest, RepaintPaintsAtOnce) {
  struct Compteur : QObject {
    int peintures = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++peintures;
      return false;
    }
  } compteur;
  QCoreApplication::processEvents();
  grid_->viewport()->installEventFilter(&compteur);
  grid_->setNormalColor(QColor(0, 128, 128));
  grid_->repaint();
  EXPECT_EQ(compteur.peintures, 1);
  const QImage image = grid_->viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(grid_->cellRect(10, 3).topLeft()), QColor(0, 128, 128));
}

// The character columns are drawn through the code page: byte 0x82 in code
// page 850 looks like byte 0xE9 in Windows-1252 (both "é"), and switching
// the code page changes no cell text.
TEST_F(GrilleTest, CharacterColumnsAreDrawnThroughTheCodePage) {
  Placer(2, 1);
  const int col = PremiereColonneCaracteres + 3;
  const QRect zone = grid_->cellRect(col, 2);
  auto rendu = [&](int octet, bool oem) {
    grid_->setCell(col, 2, QString(QChar(octet)));
    grid_->setOem(oem);
    return grid_->viewport()->grab(zone).toImage();
  };
  const QImage eAnsi = rendu(0xE9, false);
  EXPECT_EQ(rendu(0x82, true), eAnsi);
  EXPECT_NE(rendu(0x82, false), eAnsi);
  EXPECT_EQ(grid_->cell(col, 2), QString(QChar(0x82)));
  // The same text elsewhere than in a character column is drawn as it is.
  grid_->setCell(5, 2, QString(QChar(0x82)));
  grid_->setOem(true);
  const QImage hexa = grid_->viewport()->grab(grid_->cellRect(5, 2)).toImage();
  grid_->setOem(false);
  EXPECT_EQ(grid_->viewport()->grab(grid_->cellRect(5, 2)).toImage(), hexa);
}

}  // namespace
}  // namespace zorbix
