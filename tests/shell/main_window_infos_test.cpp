// The information windows from the main window: opened by their shortcut or
// toolbar button with the main window hidden, and left by their return
// button, Escape, Enter or a close request with the main window back, where
// it was, its grid holding the focus.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <functional>

#include "dialogs/dialogs_qt.h"
#include "infowin/about_window.h"
#include "infowin/help_window.h"
#include "infowin/schema_window.h"
#include "main_window_fixture.h"

namespace zorbix::test {
namespace {

enum class Quelle { Schema, Aide, APropos };

class InformationsTest : public MainWindowTest {
 protected:
  // The main window as main() makes it: the three windows created after it
  // and handed over.
  TForm1& DemarrerAvecInformations() {
    TForm1& f = Demarrer();
    f.SetFenetresInformations(&schema_, &aPropos_, &aide_);
    f.move(40, 60);
    return f;
  }

  FenetreInformation& Fenetre(Quelle q) {
    return q == Quelle::Schema ? static_cast<FenetreInformation&>(schema_)
           : q == Quelle::Aide ? static_cast<FenetreInformation&>(aide_)
                               : static_cast<FenetreInformation&>(aPropos_);
  }
  QPushButton* Retour(Quelle q) {
    return q == Quelle::Schema ? schema_.BoutonRetour
           : q == Quelle::Aide ? aide_.BoutonRetour3
                               : aPropos_.BoutonRetour2;
  }

  // The window manager makes a newly shown window active; the offscreen
  // platform is told so.
  void Activer(QWidget& w) {
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  }

  // Where a typed key goes: the control with the focus.
  QWidget* Clavier() {
    QWidget* w = QApplication::focusWidget();
    return w ? w : &F();
  }

  void OuvrirParRaccourci(Quelle q) {
    const Qt::Key touche = q == Quelle::Schema ? Qt::Key_E : q == Quelle::Aide ? Qt::Key_I : Qt::Key_V;
    Touche(Clavier(), touche, Qt::ControlModifier);
    Activer(Fenetre(q));
  }

  // Back in the main window: visible where it was, the window hidden, and
  // the grid given the focus again although another control had it.
  void VerifierRetour(Quelle q) {
    EXPECT_FALSE(Fenetre(q).isVisible());
    ASSERT_TRUE(F().isVisible());
    EXPECT_EQ(F().pos(), QPoint(40, 60));
    Activer(F());
    EXPECT_TRUE(Grille().hasFocus());
  }

  TForm2 schema_{dialogues_};
  TForm3 aPropos_;
  TForm4 aide_;
};

struct Ouverture {
  const char* nom;
  Quelle quelle;
  std::function<void(TForm1&)> ouvrir;
};

void PrintTo(const Ouverture& o, std::ostream* os) { *os << o.nom; }

class OuvertureTest : public InformationsTest, public ::testing::WithParamInterface<Ouverture> {};

TEST_P(OuvertureTest, OpensItsWindowAloneAndTheReturnButtonBringsTheMainWindowBack) {
  TForm1& f = DemarrerAvecInformations();
  f.ComboBox->setFocus();  // the focus elsewhere than on the grid
  const Quelle q = GetParam().quelle;
  GetParam().ouvrir(f);
  Activer(Fenetre(q));
  EXPECT_TRUE(Fenetre(q).isVisible());
  EXPECT_FALSE(f.isVisible());
  for (Quelle autre : {Quelle::Schema, Quelle::Aide, Quelle::APropos}) {
    if (autre != q) {
      EXPECT_FALSE(Fenetre(autre).isVisible());
    }
  }

  QTest::mouseClick(Retour(q), Qt::LeftButton);
  VerifierRetour(q);
}

const auto CtrlSur = [](Qt::Key k) {
  return [k](TForm1& f) { QTest::keyClick(f.ComboBox, k, Qt::ControlModifier); };
};
const auto Clic = [](QToolButton* TForm1::*bouton) {
  return [bouton](TForm1& f) { QTest::mouseClick(f.*bouton, Qt::LeftButton); };
};

INSTANTIATE_TEST_SUITE_P(
    Commandes, OuvertureTest,
    ::testing::Values(Ouverture{"CtrlE", Quelle::Schema, CtrlSur(Qt::Key_E)},
                      Ouverture{"CtrlI", Quelle::Aide, CtrlSur(Qt::Key_I)},
                      Ouverture{"CtrlV", Quelle::APropos, CtrlSur(Qt::Key_V)},
                      Ouverture{"BoutonSchema", Quelle::Schema, Clic(&TForm1::BoutonSchema)},
                      Ouverture{"BoutonInfos", Quelle::Aide, Clic(&TForm1::BoutonInfos)},
                      Ouverture{"BoutonVersion", Quelle::APropos, Clic(&TForm1::BoutonVersion)}),
    [](const auto& info) { return std::string(info.param.nom); });

class SortieTest : public InformationsTest, public ::testing::WithParamInterface<Quelle> {};

// Escape, and Enter where the window opens with the focus on its default
// button or on the help text.
TEST_P(SortieTest, EscapeAndEnterReturnToTheMainWindow) {
  DemarrerAvecInformations();
  for (Qt::Key touche : {Qt::Key_Escape, Qt::Key_Return}) {
    F().Edit1->setFocus();
    OuvrirParRaccourci(GetParam());
    ASSERT_FALSE(F().isVisible());
    Touche(Clavier(), touche);
    VerifierRetour(GetParam());
  }
}

TEST_P(SortieTest, AWindowClosedByOtherMeansBringsTheMainWindowBack) {
  DemarrerAvecInformations();
  OuvrirParRaccourci(GetParam());
  EXPECT_TRUE(Fenetre(GetParam()).close());
  VerifierRetour(GetParam());
  // And it opens again as before.
  OuvrirParRaccourci(GetParam());
  EXPECT_TRUE(Fenetre(GetParam()).isVisible());
  EXPECT_FALSE(F().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Fenetres, SortieTest,
                         ::testing::Values(Quelle::Schema, Quelle::Aide, Quelle::APropos),
                         [](const auto& info) {
                           return info.param == Quelle::Schema ? "Schema"
                                  : info.param == Quelle::Aide ? "Aide"
                                                               : "APropos";
                         });

TEST_F(InformationsTest, CopyingTheDiagramFillsTheClipboardAndLeavesTheFocusOnReturn) {
  DemarrerAvecInformations();
  OuvrirParRaccourci(Quelle::Schema);
  QTest::mouseClick(schema_.BoutonCopierPP, Qt::LeftButton);
  ASSERT_EQ(dialogues_.imagesCopiees.size(), 1u);
  const QImage image = dialogues_.imagesCopiees[0].image;
  EXPECT_EQ(image.size(), QSize(541, 339));
  const QImage noirEtBlanc = image.convertToFormat(QImage::Format_Mono);
  EXPECT_EQ(noirEtBlanc.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].legende, QString("Schéma électrique..."));
  EXPECT_EQ(QApplication::focusWidget(), schema_.BoutonRetour);
  EXPECT_EQ(schema_.BoutonRetour->text(), QString("&Retour au programme"));
  EXPECT_FALSE(F().isVisible());  // still in the diagram window
}

TEST_F(InformationsTest, TheRealSeamPutsTheImageOnTheSystemClipboard) {
  DialoguesQt dialogues;
  QImage image(541, 339, QImage::Format_Mono);
  image.fill(1);
  image.setPixel(10, 20, 0);
  dialogues.CopierImage(image);
  const QImage colle = QGuiApplication::clipboard()->image();
  ASSERT_EQ(colle.size(), QSize(541, 339));
  EXPECT_EQ(colle.pixel(10, 20) & 0xFFFFFF, 0u);
  EXPECT_EQ(colle.pixel(11, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(InformationsTest, HelpTextKeepsItsScrollPositionBetweenShowings) {
  DemarrerAvecInformations();
  OuvrirParRaccourci(Quelle::Aide);
  for (int i = 0; i < 5; ++i) Touche(aide_.RichEdit1, Qt::Key_PageDown);
  const int position = aide_.RichEdit1->verticalScrollBar()->value();
  ASSERT_GT(position, 0);
  QTest::mouseClick(aide_.BoutonRetour3, Qt::LeftButton);
  QTest::mouseClick(F().BoutonInfos, Qt::LeftButton);
  Activer(aide_);
  EXPECT_EQ(aide_.RichEdit1->verticalScrollBar()->value(), position);
}

// The help names every menu and every command of the main window, each
// command on a line with its shortcut, as the menus show them.
TEST_F(InformationsTest, HelpTextNamesEveryMenuCommandWithItsShortcut) {
  TForm1& f = DemarrerAvecInformations();
  const QStringList lignes = aide_.RichEdit1->toPlainText().split(QLatin1Char('\n'));
  const auto ligneAvec = [&lignes](const QString& a, const QString& b) {
    return std::any_of(lignes.begin(), lignes.end(),
                       [&](const QString& l) { return l.contains(a) && l.contains(b); });
  };
  int commandes = 0;
  for (QAction* menu : f.menuBar()->actions()) {
    const QString nom = menu->text();
    const QString lettre = nom.mid(nom.indexOf(QLatin1Char('&')) + 1, 1).toUpper();
    EXPECT_TRUE(ligneAvec("Menu " + QString(nom).remove('&'), "(Alt+" + lettre + ")")) << nom.toStdString();
    for (QAction* a : menu->menu()->actions()) {
      if (a->isSeparator()) continue;
      ++commandes;
      const QString legende = QString(a->text()).remove('&');
      const QString raccourci = a->shortcut().toString(QKeySequence::PortableText);
      EXPECT_TRUE(ligneAvec(legende, raccourci.isEmpty() ? legende : "[" + raccourci + "]"))
          << legende.toStdString() << " " << raccourci.toStdString();
    }
  }
  EXPECT_EQ(commandes, 46);
}

}  // namespace
}  // namespace zorbix::test
