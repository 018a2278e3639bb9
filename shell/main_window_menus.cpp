// The menus of the command map, in their order, with their captions and
// shortcuts, and the radio groups. Captions are the built-in French texts;
// the language file may replace them at start-up.
#include <QActionGroup>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "editor/string_grid.h"
#include "entry_box.h"

#include "main_window.h"

namespace zorbix {
namespace {

QAction* Item(QMenu* menu, const char* nom, const QString& legende,
              const QKeySequence& raccourci = QKeySequence()) {
  QAction* a = menu->addAction(legende);
  a->setObjectName(QString::fromLatin1(nom));
  a->setShortcut(raccourci);
  // Menu shortcuts belong to the window, whichever control has the focus.
  a->setShortcutContext(Qt::WindowShortcut);
  return a;
}

QAction* Radio(QMenu* menu, QActionGroup* groupe, const char* nom, const QString& legende,
               const QKeySequence& raccourci = QKeySequence()) {
  QAction* a = Item(menu, nom, legende, raccourci);
  a->setCheckable(true);
  groupe->addAction(a);
  return a;
}

QMenu* Menu(QMenuBar* barre, const char* nom, const QString& legende) {
  QMenu* m = barre->addMenu(legende);
  m->setObjectName(QString::fromLatin1(nom));
  return m;
}

}  // namespace

void TForm1::CreerMenus() {
  QMenuBar* barre = menuBar();
  const auto ctrl = [](Qt::Key k) { return QKeySequence(Qt::CTRL | k); };
  const auto shift = [](Qt::Key k) { return QKeySequence(Qt::SHIFT | k); };

  MenuFichier = Menu(barre, "MenuFichier", "&Fichier");
  OptionOuvrirFichier = Item(MenuFichier, "OptionOuvrirFichier", "&Ouvrir un fichier", ctrl(Qt::Key_O));
  OptionSauverFichier = Item(MenuFichier, "OptionSauverFichier", "&Sauvegarder", ctrl(Qt::Key_S));
  MenuFichier->addSeparator();
  OptionQuitter = Item(MenuFichier, "OptionQuitter", "&Quitter", ctrl(Qt::Key_Q));

  MenuAction = Menu(barre, "MenuAction", "&Action");
  OptionLire = Item(MenuAction, "OptionLire", "&Lecture", ctrl(Qt::Key_L));
  MenuAction->addSeparator();
  OptionProgramOctet = Item(MenuAction, "OptionProgramOctet", "&Programmer l'octet", ctrl(Qt::Key_P));
  OptionProgramMem = Item(MenuAction, "OptionProgramMem", "Programmer la &Mémoire", ctrl(Qt::Key_M));
  MenuAction->addSeparator();
  OptionComparer = Item(MenuAction, "OptionComparer", "&Comparer", ctrl(Qt::Key_C));

  MenuBuffer = Menu(barre, "MenuBuffer", "&Buffer");
  OptionBuffer00 = Item(MenuBuffer, "OptionBuffer00", "T&out à $00", ctrl(Qt::Key_F1));
  OptionBufferFF = Item(MenuBuffer, "OptionBufferFF", "Tout à $&FF", ctrl(Qt::Key_F2));
  OptionBufferEspaces = Item(MenuBuffer, "OptionBufferEspaces", "&Espaces", ctrl(Qt::Key_F3));
  OptionBufferRandom = Item(MenuBuffer, "OptionBufferRandom", "&Aléatoire", ctrl(Qt::Key_F4));
  OptionBufferIncremente = Item(MenuBuffer, "OptionBufferIncremente", "&Incrémenté", ctrl(Qt::Key_F5));
  OptionBufferDecremente = Item(MenuBuffer, "OptionBufferDecremente", "&Décrémenté", ctrl(Qt::Key_F6));
  OptionBufferOctet = Item(MenuBuffer, "OptionBufferOctet", "Octet &Sélectionné", ctrl(Qt::Key_F7));
  OptionBufferComplemente = Item(MenuBuffer, "OptionBufferComplemente", "&Complémenté", ctrl(Qt::Key_F8));
  OptionBufferInvBits = Item(MenuBuffer, "OptionBufferInvBits", "[&B7..B0]<->[B0..B7]", ctrl(Qt::Key_F9));
  RemplirLaLigne = Item(MenuBuffer, "RemplirLaLigne", "Remplir ligne (octet sélectionné)", ctrl(Qt::Key_F10));
  MenuBuffer->addSeparator();
  groupeCarac_ = new QActionGroup(this);
  OptionCaracWin = Radio(MenuBuffer, groupeCarac_, "OptionCaracWin", "Jeu de caractères ANSI (&Windows)",
                         ctrl(Qt::Key_W));
  OptionCaracDos = Radio(MenuBuffer, groupeCarac_, "OptionCaracDos", "Jeu de caractères OEM (&Dos)",
                         ctrl(Qt::Key_D));
  OptionCaracWin->setChecked(true);

  MenuMemoire = Menu(barre, "MenuMemoire", "&Mémoire");
  groupeMemoire_ = new QActionGroup(this);
  for (int t = 0; t < NombreTypesMemoire; ++t) {
    const ChipSpec& s = SpecMemoire(t);
    OptionsMemoire[t] = Radio(MenuMemoire, groupeMemoire_, s.NomMenu, QString::fromUtf8(s.LegendeMenu));
    if (t == DernierTypeOctetParOctet) MenuMemoire->addSeparator();
  }
  MenuMemoire->addSeparator();
  groupeModes_ = new QActionGroup(this);
  OptionModePageNon = Radio(MenuMemoire, groupeModes_, "OptionModePageNon", "Ecriture &Octet par octet (lent !)");
  OptionModePageOui = Radio(MenuMemoire, groupeModes_, "OptionModePageOui", "Ecriture en mode &Page (rapide !)");
  OptionModePageOui->setChecked(true);
  MenuMemoire->addSeparator();
  OptionVerification = Item(MenuMemoire, "OptionVerification", "&Vérifier après programmation");
  OptionVerification->setCheckable(true);

  MenuConfiguration = Menu(barre, "MenuConfiguration", "&Configuration");
  groupePorts_ = new QActionGroup(this);
  const std::vector<IdentitePort> lpt = PortsParalleles({});
  const auto legende = [&lpt](int i) { return QString::fromStdString(TextePort(lpt[i], FormePort::Menu)); };
  OptionLPT1 = Radio(MenuConfiguration, groupePorts_, "OptionLPT1", legende(0), shift(Qt::Key_F1));
  OptionLPT2 = Radio(MenuConfiguration, groupePorts_, "OptionLPT2", legende(1), shift(Qt::Key_F2));
  OptionLPT3 = Radio(MenuConfiguration, groupePorts_, "OptionLPT3", legende(2), shift(Qt::Key_F3));
  MenuConfiguration->addSeparator();
  Autodetection = Item(MenuConfiguration, "Autodetection", "&Autodétection", ctrl(Qt::Key_A));
  Testduportparallele = Item(MenuConfiguration, "Testduportparallele", "&Test du port parallèle", ctrl(Qt::Key_T));
  MenuConfiguration->addSeparator();
  CreerOptionsReglagesAdaptateur(MenuConfiguration);
  MenuConfiguration->addSeparator();
  OptionLangue = Item(MenuConfiguration, "OptionLangue", "Autre &Langue au lancement");
  OptionLangue->setCheckable(true);
  MenuConfiguration->addSeparator();
  PurgerQuitter = Item(MenuConfiguration, "PurgerQuitter", "&Purger le registre et quitter");

  Infos1 = Menu(barre, "Infos1", "&Informations");
  SchemaElectrique = Item(Infos1, "SchemaElectrique", "Schéma &Electrique", ctrl(Qt::Key_E));
  Aide = Item(Infos1, "Aide", "&Informations diverses", ctrl(Qt::Key_I));
  Infos1->addSeparator();
  APropos = Item(Infos1, "APropos", "A propos (&Version)", ctrl(Qt::Key_V));
}

}  // namespace zorbix

namespace zorbix {
namespace {

// Connects `controle` to a handler that tells its controls apart by Sender.
template <typename C, typename Signal, typename F>
void Relier(C* controle, Signal signal, F&& gestionnaire) {
  QObject::connect(controle, signal, controle, [controle, gestionnaire] { gestionnaire(controle); });
}

}  // namespace

void TForm1::ConnecterCommandes() {
  const auto modifier = [this](QObject* s) { ModifierBuffer(s); };
  for (QToolButton* b : BoutonsBuffer) Relier(b, &QToolButton::clicked, modifier);
  for (QAction* a : {OptionBuffer00, OptionBufferFF, OptionBufferEspaces, OptionBufferRandom,
                     OptionBufferIncremente, OptionBufferDecremente, OptionBufferOctet,
                     OptionBufferComplemente, OptionBufferInvBits, RemplirLaLigne})
    Relier(a, &QAction::triggered, modifier);

  const auto jeu = [this](QObject* s) { CommandeBoutonRadioDosWin(s); };
  Relier(OptionCaracWin, &QAction::triggered, jeu);
  Relier(OptionCaracDos, &QAction::triggered, jeu);
  Relier(BoutonRadioWin, &QRadioButton::clicked, jeu);
  Relier(BoutonRadioDos, &QRadioButton::clicked, jeu);

  const auto choix = [this](QObject* s) { ChoixMemoire(s); };
  for (QAction* a : OptionsMemoire) Relier(a, &QAction::triggered, choix);
  Relier(ComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), choix);

  const auto mode = [this](QObject* s) { OptionModePageClick(s); };
  Relier(OptionModePageNon, &QAction::triggered, mode);
  Relier(OptionModePageOui, &QAction::triggered, mode);

  const auto port = [this](QObject* s) { LPTactif(s); };
  for (QAction* a : {OptionLPT1, OptionLPT2, OptionLPT3}) Relier(a, &QAction::triggered, port);

  connect(OptionQuitter, &QAction::triggered, this, [this] { QuitterProgramme(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { QuitterProgramme(); });

  StringGrid1->setOnSelectCell([this](int col, int row) { return StringGrid1SelectCell(col, row); });
  StringGrid1->setOnKeyPress([this](int key) { StringGrid1KeyPress(key); });
  StringGrid1->setOnDblClick([this] { StringGrid1DblClick(); });
  Edit1->SurTouche = [this](int key) { EditKeyPress(key); };
  Edit2->SurTouche = [this](int key) { EditKeyPress(key); };
  Edit1->SurEntree = [this] { Edit1Enter(); };
  Edit2->SurEntree = [this] { Edit2Enter(); };
  Edit1->SurToucheRelachee = [this] { Edit1KeyUp(); };
  Edit2->SurToucheRelachee = [this] { Edit2KeyUp(); };
  ConnecterTransferts();
  ConnecterReglages();
  ConnecterFichiers();
  ConnecterInformations();
}

}  // namespace zorbix
