// The grid as a screen reader sees it through Qt's accessibility interfaces.
#include <QAccessible>

#include "editor/grid_texts.h"
#include "grid_fixture.h"

namespace zorbix {
namespace {

class GrilleAccessibleTest : public GrilleTest {
 protected:
  void SetUp() override {
    GrilleTest::SetUp();
    grid_->setCell(0, 0, QStringLiteral("Adr:"));
    for (int j = 0; j < 16; ++j) grid_->setCell(PremiereColonneHexa + j, 0, QString::number(j, 16).toUpper());
    for (int row = 1; row < grid_->rowCount(); ++row) grid_->setCell(0, row, TexteAdresse((row - 1) * 16));
  }
};

TEST_F(GrilleAccessibleTest, ATableOfNamedCellsWithHeadersAndAFocusedCurrentCell) {
  QAccessibleInterface* grille = QAccessible::queryAccessibleInterface(grid_);
  ASSERT_NE(grille, nullptr);
  EXPECT_EQ(grille->role(), QAccessible::Table);
  QAccessibleTableInterface* table = grille->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 128);
  EXPECT_EQ(table->columnCount(), 34);
  EXPECT_EQ(table->columnDescription(PremiereColonneHexa + 10 - 1), QString("A"));
  EXPECT_EQ(table->rowDescription(2), QString("0020"));

  // Byte 0x35 at address $0023: its hex cell, and its character cell drawn
  // through the current code page (0xE9 is "é" in ANSI, "Ú" in OEM).
  grid_->setCell(PremiereColonneHexa + 3, 3, TexteHexa(0x35));
  grid_->setCell(PremiereColonneCaracteres + 4, 3, TexteCaractere(0xE9));
  QAccessibleInterface* hexa = table->cellAt(2, PremiereColonneHexa + 3 - 1);
  ASSERT_NE(hexa, nullptr);
  EXPECT_EQ(hexa->role(), QAccessible::Cell);
  EXPECT_EQ(hexa->text(QAccessible::Name), QString("35"));
  EXPECT_EQ(hexa->parent(), grille);
  EXPECT_EQ(grille->child(grille->indexOfChild(hexa)), hexa);
  QAccessibleTableCellInterface* enTete = hexa->tableCellInterface();
  ASSERT_NE(enTete, nullptr);
  EXPECT_EQ(enTete->columnHeaderCells().value(0)->text(QAccessible::Name), QString("3"));
  EXPECT_EQ(enTete->rowHeaderCells().value(0)->text(QAccessible::Name), QString("0020"));
  EXPECT_EQ(grille->childAt(hexa->rect().center().x(), hexa->rect().center().y()), hexa);
  QAccessibleInterface* car = table->cellAt(2, PremiereColonneCaracteres + 4 - 1);
  EXPECT_EQ(car->text(QAccessible::Name), QString::fromUtf8("é"));
  // Both cells of a byte say where it is; a header or a spacer says nothing.
  EXPECT_EQ(hexa->text(QAccessible::Description), QString("$0023"));
  EXPECT_EQ(car->text(QAccessible::Description), QString("$0024"));
  EXPECT_EQ(table->cellAt(2, PremiereColonneCaracteres - 2)->text(QAccessible::Description), QString());
  EXPECT_EQ(enTete->rowHeaderCells().value(0)->text(QAccessible::Description), QString());
  grid_->setOem(true);
  EXPECT_EQ(car->text(QAccessible::Name), QString::fromUtf8("Ú"));

  // The current cell is the selected one, focused with the grid; a move by
  // key hands the focus on.
  Placer(4, 3);
  QAccessibleInterface* courante = grille->focusChild();
  ASSERT_NE(courante, nullptr);
  EXPECT_EQ(courante, table->cellAt(2, 3));
  EXPECT_TRUE(courante->state().focused && courante->state().selected);
  EXPECT_EQ(table->selectedCells(), QList<QAccessibleInterface*>{courante});
  QTest::keyClick(grid_, Qt::Key_Right);
  EXPECT_EQ(grille->focusChild(), hexa);
  EXPECT_TRUE(hexa->state().focused && hexa->state().selected);
  EXPECT_FALSE(courante->state().focused || courante->state().selected);
  edit_->setFocus();
  EXPECT_EQ(grille->focusChild(), nullptr);
  EXPECT_FALSE(hexa->state().focused);

  // Fewer rows: the table follows, and cells of rows gone are not offered.
  grid_->setRowCount(3);
  EXPECT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->cellAt(5, 3), nullptr);
  EXPECT_EQ(grille->childCount(), 35 * 3);
  EXPECT_EQ(table->cellAt(1, 1)->text(QAccessible::Name), grid_->cell(2, 2));
}

}  // namespace
}  // namespace zorbix
