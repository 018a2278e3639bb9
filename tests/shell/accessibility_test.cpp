// What a screen reader finds in the main window and the port test window,
// through Qt's accessibility interfaces on the real widgets.
#include <QAccessible>
#include <QCheckBox>
#include <QProgressBar>
#include <QToolButton>

#include "editor/grid_layout.h"
#include "porttest/port_test_window.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

QAccessibleInterface* Accessible(QObject* o) { return QAccessible::queryAccessibleInterface(o); }

TEST_F(MainWindowTest, ButtonsBoxesAndGridCellsHaveNamesAScreenReaderReads) {
  TForm1& f = Demarrer();
  const QList<QToolButton*> boutons = f.findChildren<QToolButton*>(QRegularExpression("^Bouton"));
  ASSERT_EQ(boutons.size(), 17);
  for (QToolButton* b : boutons) {
    SCOPED_TRACE(b->objectName().toStdString());
    EXPECT_EQ(Accessible(b)->role(), QAccessible::Button);
    EXPECT_FALSE(b->toolTip().isEmpty());
    EXPECT_EQ(Accessible(b)->text(QAccessible::Name), b->toolTip());
  }
  EXPECT_EQ(Accessible(f.Edit1)->role(), QAccessible::EditableText);
  EXPECT_EQ(Accessible(f.Edit1)->text(QAccessible::Name),
            QStringLiteral("Valeur hexadécimale de l'octet sélectionné"));
  EXPECT_EQ(Accessible(f.Edit2)->text(QAccessible::Name), QStringLiteral("Caractère de l'octet sélectionné"));

  // The grid: the Buffer's bytes under their headers, the selected byte
  // focused, following the arrow keys.
  QAccessibleInterface* grille = Accessible(f.StringGrid1);
  ASSERT_EQ(grille->role(), QAccessible::Table);
  QAccessibleTableInterface* table = grille->tableInterface();
  EXPECT_EQ(table->rowCount(), 2048 / 16);
  EXPECT_EQ(table->columnDescription(PremiereColonneHexa - 1), QString("0"));
  EXPECT_EQ(table->rowDescription(127), QString("07F0"));
  f.StringGrid1->setFocus();
  Touche(f.StringGrid1, Qt::Key_Right);
  QAccessibleInterface* cellule = grille->focusChild();
  ASSERT_NE(cellule, nullptr);
  EXPECT_EQ(cellule->tableCellInterface()->columnIndex(), f.StringGrid1->col() - 1);
  EXPECT_EQ(cellule->text(QAccessible::Name), QString("FF"));
  EXPECT_EQ(cellule->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
            Cellule(f.StringGrid1->col(), 0));
  EXPECT_TRUE(cellule->state().focused);
  EXPECT_EQ(cellule->text(QAccessible::Description), QString("$0001"));
  EXPECT_EQ(Accessible(f.ProgressBar)->text(QAccessible::Name), QStringLiteral("Avancement de l'opération"));

  // The status box: a status bar whose text a reader can ask for (its
  // changes are announced only while a reader listens: the desktop test).
  QAccessibleInterface* statut = Accessible(f.StaticTextInfo);
  EXPECT_EQ(statut->role(), QAccessible::StatusBar);
  EXPECT_EQ(statut->text(QAccessible::Description), QStringLiteral("État de l'opération"));
  f.StaticTextInfo->setText(QStringLiteral("Lecture de la mémoire..."));
  EXPECT_EQ(statut->text(QAccessible::Name), f.StaticTextInfo->text());
  ASSERT_NE(statut->textInterface(), nullptr);
  EXPECT_EQ(statut->textInterface()->text(0, statut->textInterface()->characterCount()), f.StaticTextInfo->text());
}

TEST_F(MainWindowTest, PortTestBoxesAreNamedByBitAndPin) {
  TForm5 w(etat_.PortBase, [] {});
  w.show();
  for (int bit = 0; bit < 8; ++bit) {
    QAccessibleInterface* boite = Accessible(w.CCB[bit]);
    EXPECT_EQ(boite->role(), QAccessible::CheckBox);
    EXPECT_EQ(boite->text(QAccessible::Name), QStringLiteral("B%1 (broche %2)").arg(bit).arg(bit + 2));
  }
}

}  // namespace
}  // namespace zorbix::test
