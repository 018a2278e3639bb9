// Start-up, the command line, the window's frame and the error box.
#include <QActionGroup>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "editor/grid_texts.h"
#include "main_window_fixture.h"
#include "shell/application.h"

namespace zorbix::test {
namespace {

TEST_F(MainWindowTest, FirstStartShowsTheDefaults) {
  TForm1& f = Demarrer();
  EXPECT_TRUE(f.OptionLPT1->isChecked());
  EXPECT_EQ(etat_.PortBase, AdresseLPT1);
  EXPECT_EQ(etat_.ChipType, 6);
  EXPECT_EQ(etat_.ChipSize, 2048);
  EXPECT_EQ(f.ComboBox->currentIndex(), 6);
  EXPECT_EQ(f.ComboBox->currentText(), QString("24C16 (2 ko)"));
  EXPECT_TRUE(f.OptionsMemoire[6]->isChecked());
  EXPECT_TRUE(f.OptionModePageOui->isChecked());
  EXPECT_TRUE(f.OptionModePageNon->isEnabled());
  EXPECT_TRUE(f.OptionCaracWin->isChecked());
  EXPECT_TRUE(f.BoutonRadioWin->isChecked());
  EXPECT_FALSE(f.BoutonRadioDos->isChecked());
  EXPECT_EQ(f.pos(), QPoint(5, 5));
  EXPECT_EQ(f.windowTitle(), QString(" Programmateur de mémoires I2C"));
  EXPECT_EQ(etat_.NomFichier, QString("*.bin"));
  EXPECT_EQ(f.centralWidget()->size(), QSize(617, 403));

  EXPECT_EQ(Grille().rowCount(), 129);
  EXPECT_EQ(Cellule(0, 0), QString("Adr:"));
  EXPECT_EQ(Cellule(2, 0), QString("0"));
  EXPECT_EQ(Cellule(34, 0), QString("F"));
  EXPECT_EQ(Cellule(0, 128), QString("07F0"));
  for (int r = 1; r <= 128; ++r)
    for (int j = 0; j < 16; ++j) ASSERT_EQ(Cellule(2 + j, r), QString("FF"));
  EXPECT_EQ(Grille().col(), 2);
  EXPECT_EQ(Grille().row(), 1);
  EXPECT_TRUE(Grille().hasFocus());
  EXPECT_EQ(f.StaticText2->text(), QString("$0000"));
  EXPECT_EQ(f.StaticText1->text(), QString("$FF = 255"));
  EXPECT_EQ(f.Edit1->Texte(), QString("FF"));
  EXPECT_EQ(f.Edit2->Texte(), TexteCaractere(0xFF));
  EXPECT_EQ(f.ProgressBar->value(), 0);
  EXPECT_TRUE(f.StaticTextInfo->text().isEmpty());
  EXPECT_TRUE(std::all_of(etat_.Buffer.begin(), etat_.Buffer.end(), [](std::uint8_t b) { return b == 0xFF; }));
  // The socket is unpowered from the start.
  EXPECT_EQ(LirePort(AdresseLPT1), 0x06);
  EXPECT_FALSE(adaptateur_->powered());
  EXPECT_TRUE(dialogues_.boites.empty());
}

TEST_F(MainWindowTest, WindowIsFixedWithoutMaximise) {
  TForm1& f = Demarrer();
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
}

TEST_F(MainWindowTest, MenusAndToolbarFollowTheCommandMap) {
  TForm1& f = Demarrer();
  QStringList menus;
  for (QAction* a : f.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, QStringList({"&Fichier", "&Action", "&Buffer", "&Mémoire", "&Configuration",
                                "&Informations"}));
  struct Raccourci {
    QAction* action;
    const char* touches;
  };
  const Raccourci raccourcis[] = {
      {f.OptionOuvrirFichier, "Ctrl+O"}, {f.OptionSauverFichier, "Ctrl+S"}, {f.OptionQuitter, "Ctrl+Q"},
      {f.OptionLire, "Ctrl+L"},          {f.OptionProgramOctet, "Ctrl+P"},  {f.OptionProgramMem, "Ctrl+M"},
      {f.OptionComparer, "Ctrl+C"},      {f.OptionBuffer00, "Ctrl+F1"},     {f.RemplirLaLigne, "Ctrl+F10"},
      {f.OptionCaracWin, "Ctrl+W"},      {f.OptionCaracDos, "Ctrl+D"},      {f.OptionLPT1, "Shift+F1"},
      {f.OptionLPT3, "Shift+F3"},        {f.Autodetection, "Ctrl+A"},       {f.Testduportparallele, "Ctrl+T"},
      {f.SchemaElectrique, "Ctrl+E"},    {f.Aide, "Ctrl+I"},                {f.APropos, "Ctrl+V"}};
  for (const Raccourci& r : raccourcis) EXPECT_EQ(r.action->shortcut(), QKeySequence(r.touches)) << r.touches;
  // Separators after 24C64, before the write modes and before the
  // verification, none elsewhere.
  QStringList memoire;
  for (QAction* a : f.MenuMemoire->actions()) memoire << (a->isSeparator() ? "-" : a->objectName());
  EXPECT_EQ(memoire.indexOf("-"), 9);
  EXPECT_EQ(memoire.mid(13), QStringList({"-", "OptionModePageNon", "OptionModePageOui", "-", "OptionVerification"}));
  // Each radio group is exclusive.
  f.OptionLPT2->trigger();
  EXPECT_FALSE(f.OptionLPT1->isChecked());
  // Toolbar buttons at their places, with their hints and pictures.
  EXPECT_EQ(f.BoutonLire->geometry(), QRect(91, 4, 51, 34));
  EXPECT_EQ(f.BoutonsBuffer[7]->geometry(), QRect(310 + 28 * 7, 17, 27, 21));
  EXPECT_EQ(f.BoutonsBuffer[0]->toolTip(), QString("Remplir le buffer avec des $FF"));
  EXPECT_FALSE(f.BoutonsBuffer[0]->icon().isNull());
  EXPECT_FALSE(f.BoutonVersion->icon().isNull());
  EXPECT_EQ(f.StringGrid1->geometry(), QRect(8, 48, 601, 310));
}

TEST_F(MainWindowTest, TabOrderRunsFromTheGridToTheRadioButtons) {
  TForm1& f = Demarrer();
  const QWidget* ordre[] = {f.Edit1, f.Edit2, f.ComboBox, f.BitBtn1, f.BoutonRadioDos};
  QWidget* w = f.StringGrid1;
  for (const QWidget* attendu : ordre) {
    w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    EXPECT_EQ(w, attendu) << w->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, CommandLineNamesTheFileAndChoosesTheFilter) {
  struct Cas {
    const char* ligne;
    const char* nom;
    int filtre;
  };
  const Cas cas[] = {{"C:\\tmp\\x.hex", "C:\\tmp\\x.hex", 3}, {"C:\\tmp\\x.Bin", "C:\\tmp\\x.Bin", 1},
                     {"/tmp/x.", "/tmp/x.", 4},                {"/tmp/x", "/tmp/x", 4},
                     {"\"/tmp/a b.HEX\"", "/tmp/a b.HEX", 3},  {"/tmp/a.b/c", "/tmp/a.b/c", 4}};
  for (const Cas& c : cas) {
    etat_ = EtatProgramme();
    etat_.FiltreOuverture = 4;  // as a setting would leave it
    Demarrer(c.ligne);
    EXPECT_EQ(etat_.NomFichier, QString(c.nom));
    EXPECT_EQ(etat_.FiltreOuverture, c.filtre) << c.ligne;
    EXPECT_EQ(dialogues_.dialoguesFichier.back().nom, QString(c.nom));  // the start-up open
  }
  etat_ = EtatProgramme();
  Demarrer();
  EXPECT_FALSE(etat_.OuvrirAuDemarrage);
}

TEST_F(MainWindowTest, QuitClosesTheWindow) {
  TForm1& f = Demarrer();
  Touche(f.StringGrid1, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(f.isVisible());
  Demarrer();
  F().BitBtn1->click();
  EXPECT_FALSE(F().isVisible());
}

// A handler's error reaches the standard error box and the program goes on.
class Lanceur : public QObject {
 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("panne simulée");
    return QObject::event(e);
  }
};

TEST_F(MainWindowTest, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
  auto* app = static_cast<Application*>(QApplication::instance());
  app->SetDialogues(&dialogues_);
  Lanceur l;
  QEvent e(QEvent::User);
  EXPECT_NO_THROW(QApplication::sendEvent(&l, &e));
  ASSERT_EQ(dialogues_.boites.size(), 1u);
  EXPECT_EQ(dialogues_.boites[0].texte, QString("panne simulée"));
  EXPECT_EQ(dialogues_.boites[0].legende, TitreApplication);
  EXPECT_EQ(dialogues_.boites[0].icone, Dialogues::Icone::Erreur);
  app->SetDialogues(nullptr);
}

// At start-up too, what is not a std::exception gets the box.
TEST_F(MainWindowTest, AStartUpErrorOfAnyKindIsShown) {
  Application::ExecuterOuAfficherErreur(dialogues_, [] { throw std::runtime_error("fichier absent"); });
  Application::ExecuterOuAfficherErreur(dialogues_, [] { throw 42; });
  ASSERT_EQ(dialogues_.boites.size(), 2u);
  EXPECT_EQ(dialogues_.boites[0].texte, QString("fichier absent"));
  EXPECT_EQ(dialogues_.boites[1].texte, QString("Erreur inconnue."));
  EXPECT_EQ(dialogues_.boites[1].legende, TitreApplication);
  EXPECT_EQ(dialogues_.boites[1].icone, Dialogues::Icone::Erreur);
}

}  // namespace
}  // namespace zorbix::test
