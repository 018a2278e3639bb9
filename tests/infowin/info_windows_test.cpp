// The three information windows on their own: their frame, their return
// button reached by Escape, Enter or a close request, and the diagram's copy.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <memory>

#include "dialogs/platform_texts.h"
#include "fake_dialogs.h"
#include "infowin/about_window.h"
#include "infowin/help_window.h"
#include "infowin/schema_window.h"

namespace zorbix::test {
namespace {

struct Fenetre {
  const char* nom;
  std::function<std::unique_ptr<FenetreInformation>(Dialogues&)> creer;
  QString titre;
  QSize zone;
  const char* retour;  // object name of the return button
};

void PrintTo(const Fenetre& f, std::ostream* os) { *os << f.nom; }

const Fenetre Fenetres[] = {
    {"Schema",
     [](Dialogues& d) { return std::make_unique<TForm2>(d); },
     " Schéma électrique du lecteur-programmateur d'EEPROMs I2C :",
     {542, 339},
     "BoutonRetour"},
    {"APropos",
     [](Dialogues&) { return std::make_unique<TForm3>(); },
     " A propos du lecteur programmateur...",
     {521, 401},
     "BoutonRetour2"},
    {"Aide", [](Dialogues&) { return std::make_unique<TForm4>(); }, " Aide...", {570, 426}, "BoutonRetour3"},
};

// Shown and active, as the window manager would make it. The offscreen
// platform keeps a hidden window as its focus window, so the application is
// told explicitly.
void Activer(QWidget& w) {
  w.show();
  QApplication::setActiveWindow(&w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

class FenetreInformationTest : public ::testing::TestWithParam<Fenetre> {
 protected:
  void SetUp() override {
    fenetre_ = GetParam().creer(dialogues_);
    retour_ = fenetre_->findChild<QPushButton*>(QString::fromLatin1(GetParam().retour));
    ASSERT_NE(retour_, nullptr);
    // What the main window does with the return button: hide the window.
    QObject::connect(retour_, &QPushButton::clicked, [this] {
      ++retours_;
      fenetre_->hide();
    });
  }

  void Ouvrir() { Activer(*fenetre_); }
  // A key as the user types it: to the widget that has the focus.
  void Touche(Qt::Key k) { QTest::keyClick(fenetre_->focusWidget(), k); }

  FakeDialogues dialogues_;
  std::unique_ptr<FenetreInformation> fenetre_;
  QPushButton* retour_ = nullptr;
  int retours_ = 0;
};

TEST_P(FenetreInformationTest, FixedCentredFrameWithoutMenuOrCloseBox) {
  Ouvrir();
  EXPECT_EQ(fenetre_->windowTitle(), GetParam().titre);
  EXPECT_EQ(fenetre_->size(), GetParam().zone);
  EXPECT_EQ(fenetre_->minimumSize(), GetParam().zone);
  EXPECT_EQ(fenetre_->maximumSize(), GetParam().zone);
  const Qt::WindowFlags f = fenetre_->windowFlags();
  EXPECT_TRUE(f & Qt::WindowTitleHint);
  for (Qt::WindowType absent :
       {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint, Qt::WindowMinimizeButtonHint,
        Qt::WindowMaximizeButtonHint, Qt::WindowContextHelpButtonHint})
    EXPECT_FALSE(f & absent) << absent;
  const QPoint centre = fenetre_->screen()->availableGeometry().center();
  EXPECT_LE((fenetre_->frameGeometry().center() - centre).manhattanLength(), 1);
}

// Enter too, with the focus where the window puts it when it opens (the
// diagram's return button, the help text, the about box's return button).
TEST_P(FenetreInformationTest, EscapeEnterAndCloseRequestPressTheReturnButton) {
  Ouvrir();
  Touche(Qt::Key_Escape);
  EXPECT_EQ(retours_, 1);
  EXPECT_FALSE(fenetre_->isVisible());

  Ouvrir();
  Touche(Qt::Key_Return);
  EXPECT_EQ(retours_, 2);

  Ouvrir();
  const int avant = retours_;
  EXPECT_TRUE(fenetre_->close());
  EXPECT_EQ(retours_, avant + 1);
  EXPECT_FALSE(fenetre_->isVisible());
}

TEST_P(FenetreInformationTest, ReturnButtonHasTheFocusOrTheHelpTextHasIt) {
  Ouvrir();
  QWidget* attendu = retour_;
  if (auto* aide = dynamic_cast<TForm4*>(fenetre_.get())) attendu = aide->RichEdit1;
  EXPECT_EQ(QApplication::focusWidget(), attendu);
  // Moved elsewhere, the focus comes back to it at the next opening.
  for (QWidget* autre : fenetre_->findChildren<QWidget*>())
    if (autre != attendu && autre->focusPolicy() != Qt::NoFocus) {
      autre->setFocus();
      break;
    }
  ASSERT_NE(QApplication::focusWidget(), attendu);
  Touche(Qt::Key_Escape);
  Ouvrir();
  EXPECT_EQ(QApplication::focusWidget(), attendu);
}

INSTANTIATE_TEST_SUITE_P(Fenetres, FenetreInformationTest, ::testing::ValuesIn(Fenetres),
                         [](const auto& info) { return std::string(info.param.nom); });

// Windows has its own wording; here the notice names no Start menu nor Paint.
const char* const MessageCopieWindows =
    "Le schéma de câblage a été copié dans le presse papier de\nWindows...\n\n"
    "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
    "n'importe quel programme de retouche d'image, comme par\n"
    "exemple Paint (Démarrer/Programmes/Accessoires).";
const char* const MessageCopie =
    "Le schéma de câblage a été copié dans le presse papier du\nsystème...\n\n"
    "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
    "n'importe quel programme de retouche d'image, comme par\n"
    "exemple GIMP ou LibreOffice Draw.";

TEST(SchemaTest, CopyPutsTheDiagramOnTheClipboardThenTellsAndFocusesReturn) {
  FakeDialogues dialogues;
  TForm2 f(dialogues);
  Activer(f);
  f.BoutonCopierPP->setFocus();
  QTest::keyClick(f.BoutonCopierPP, Qt::Key_Space);

  ASSERT_EQ(dialogues.imagesCopiees.size(), 1u);
  EXPECT_EQ(dialogues.imagesCopiees[0].boitesAvant, 0u);  // copied before the box
  const QImage image = dialogues.imagesCopiees[0].image.convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(image.size(), QSize(541, 339));
  int noirs = 0, blancs = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y) & 0xFFFFFF;
      noirs += c == 0x000000;
      blancs += c == 0xFFFFFF;
    }
  EXPECT_EQ(noirs + blancs, 541 * 339);
  EXPECT_GT(noirs, 0);
  EXPECT_GT(blancs, noirs);

  ASSERT_EQ(dialogues.boites.size(), 1u);
  EXPECT_EQ(dialogues.boites[0].texte, QString::fromUtf8(MessageCopie));
  EXPECT_EQ(TexteSchemaCopie(Systeme::Windows), QString::fromUtf8(MessageCopieWindows));
  EXPECT_EQ(dialogues.boites[0].legende, QString("Schéma électrique..."));
  EXPECT_EQ(dialogues.boites[0].icone, Dialogues::Icone::Information);
  EXPECT_EQ(dialogues.boites[0].boutons, Dialogues::Boutons::Ok);
  EXPECT_TRUE(f.BoutonRetour->hasFocus());
}

TEST(SchemaTest, PictureFillsTheWindowAndTheButtonsHideNothingOfIt) {
  FakeDialogues dialogues;
  TForm2 f(dialogues);
  EXPECT_EQ(f.Image1->geometry(), QRect(0, 0, 541, 339));
  const QImage image = f.Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(image.size(), QSize(541, 339));
  EXPECT_EQ(f.BoutonCopierPP->text(), QString("&Copier (presse-papier)"));
  EXPECT_EQ(f.BoutonRetour->text(), QString("&Retour au programme"));
  EXPECT_LT(f.BoutonCopierPP->x(), f.BoutonRetour->x());  // side by side, Copier on the left
  EXPECT_EQ(f.BoutonCopierPP->y(), f.BoutonRetour->y());
  for (QPushButton* b : {f.BoutonCopierPP, f.BoutonRetour}) {
    EXPECT_TRUE(QRect(0, 0, 541, 339).contains(b->geometry())) << b->objectName().toStdString();
    for (int y = b->geometry().top(); y <= b->geometry().bottom(); ++y)
      for (int x = b->geometry().left(); x <= b->geometry().right(); ++x)
        ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu)
            << b->objectName().toStdString() << " over " << x << "," << y;
  }
}

TEST(AProposTest, WhiteBoldOnTealWithTwoChipsAndASelectableContact) {
  TForm3 f;
  EXPECT_EQ(f.palette().color(QPalette::Window), QColor(0, 128, 128));
  for (QLabel* l : {f.LabelTitre, f.LabelVersion, f.LabelGratuit, f.LabelConditions}) {
    EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(l->font().bold());
    EXPECT_FALSE(l->text().isEmpty());
  }
  EXPECT_EQ(f.LabelTitre->text(), QString("Lecteur / Programmateur de mémoires I2C"));
  EXPECT_EQ(f.LabelTitre->font().pixelSize(), 20);
  EXPECT_TRUE(f.LabelVersion->text().contains("3.2"));
  EXPECT_TRUE(f.LabelVersion->text().contains("août 1999 / janvier 2001"));

  const QImage a = f.Image1->pixmap().toImage(), b = f.Image2->pixmap().toImage();
  EXPECT_EQ(a.size(), QSize(179, 159));
  EXPECT_EQ(b.size(), QSize(179, 159));
  EXPECT_NE(a, b);
  EXPECT_LT(f.Image1->x() + 179, f.Image2->x());  // side by side

  EXPECT_TRUE(f.EditContact->isReadOnly());
  EXPECT_FALSE(f.EditContact->hasFrame());
  EXPECT_FALSE(f.EditContact->focusPolicy() & Qt::TabFocus);
  EXPECT_TRUE(f.EditContact->focusPolicy() & Qt::ClickFocus);
  EXPECT_EQ(f.EditContact->palette().color(QPalette::Text), QColor(Qt::white));
  f.EditContact->selectAll();
  EXPECT_EQ(f.EditContact->selectedText(), f.EditContact->text());

  EXPECT_EQ(f.BoutonRetour2->text(), QString("Retour au programme"));
  EXPECT_TRUE(f.BoutonRetour2->isDefault());
  EXPECT_NEAR(f.BoutonRetour2->x() + f.BoutonRetour2->width() / 2.0, 521 / 2.0, 1);
}

TEST(AideTest, ReadOnlyYellowOnNavyFixedPitchTextThatFitsItsWidth) {
  TForm4 f;
  Activer(f);
  QPlainTextEdit* t = f.RichEdit1;
  EXPECT_EQ(t->geometry(), QRect(0, 0, 569, 401));
  EXPECT_EQ(f.BoutonRetour3->geometry(), QRect(0, 401, 569, 25));
  EXPECT_EQ(f.BoutonRetour3->text(), QString("Retour"));
  EXPECT_TRUE(f.BoutonRetour3->isDefault());

  const QString texte = t->toPlainText();
  ASSERT_FALSE(texte.isEmpty());
  QTest::keyClicks(t, "abc");
  QTest::keyClick(t, Qt::Key_Delete);
  QTest::keyClick(t, Qt::Key_Backspace);
  EXPECT_EQ(t->toPlainText(), texte);
  EXPECT_TRUE(t->isReadOnly());

  EXPECT_EQ(t->palette().color(QPalette::Base), QColor(0, 0, 128));
  EXPECT_EQ(t->palette().color(QPalette::Text), QColor(Qt::yellow));
  const QFontInfo police(t->font());
  EXPECT_TRUE(police.fixedPitch()) << police.family().toStdString();
  EXPECT_TRUE(police.bold());
  EXPECT_EQ(police.pixelSize(), 17);
  EXPECT_EQ(t->lineWrapMode(), QPlainTextEdit::NoWrap);
  // The longest line fits: nothing to scroll sideways.
  EXPECT_EQ(t->horizontalScrollBar()->maximum(), 0);
  EXPECT_TRUE(t->verticalScrollBar()->isVisible());
  EXPECT_GT(t->verticalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace zorbix::test
