// The entry boxes take no text from the mouse: a drop, whatever it carries,
// leaves them and the byte being edited as they were. (The middle-click paste
// of the X selection needs a real X server: tests/desktop.)
#include <QMimeData>

#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

// Drags `texte` over the box and drops it there; true if the box took either.
bool Deposer(QWidget* boite, const QString& texte) {
  QMimeData donnees;
  donnees.setText(texte);
  const QPoint point = boite->rect().center();
  QDragEnterEvent entree(point, Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(boite, &entree);
  QDropEvent depot(point, Qt::CopyAction, &donnees, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(boite, &depot);
  return entree.isAccepted() || depot.isAccepted();
}

TEST_F(MainWindowTest, DropsIntoTheEntryBoxesAreRefused) {
  TForm1& f = Demarrer();
  etat_.Buffer[0x12] = 0x5B;
  f.AfficherBuffer(etat_.Buffer, etat_.ChipSize);
  ASSERT_TRUE(Grille().setCurrentCell(2 + 2, 2));
  Touche(f.StringGrid1, Qt::Key_Return);
  ASSERT_TRUE(f.Edit1->hasFocus());

  EXPECT_FALSE(f.Edit1->acceptDrops());
  EXPECT_FALSE(f.Edit2->acceptDrops());
  EXPECT_FALSE(Deposer(f.Edit1, "FF1234"));
  EXPECT_FALSE(Deposer(f.Edit2, "xyz"));
  EXPECT_EQ(f.Edit1->text(), QString("5B"));
  EXPECT_EQ(f.Edit2->Texte(), QString(QChar(0x5B)));
  Touche(f.Edit1, Qt::Key_Return);
  EXPECT_EQ(etat_.Buffer[0x12], 0x5B);
  EXPECT_EQ(Cellule(2 + 2, 2), QString("5B"));
}

}  // namespace
}  // namespace zorbix::test
