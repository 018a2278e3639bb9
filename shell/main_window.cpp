// The main window's controls at their fixed positions in the 617 x 403
// client area, with their names, captions, hints and tab order.
#include "main_window.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "dialogs/dialogs.h"
#include "editor/string_grid.h"
#include "entry_box.h"
#include "status_accessible.h"

// The toolbar pictures live in a static library: their registration must be
// asked for explicitly, and outside any namespace.
static void ChargerIcones() { Q_INIT_RESOURCE(icons); }

namespace zorbix {
namespace {

constexpr int LargeurZone = 617;
constexpr int HauteurZone = 403;

template <typename W>
W* Controle(W* w, const char* nom, int x, int y, int largeur, int hauteur) {
  w->setObjectName(QString::fromLatin1(nom));
  w->setGeometry(x, y, largeur, hauteur);
  return w;
}

// The pictures are drawn for their buttons: 28x28 in the tall ones, 44x28 in
// the chip buttons, 22x16 in the fill buttons and 30x13 in the half-height ones.
QSize TailleImage(int l, int h) {
  if (h < 20) return QSize(30, 13);
  if (h < 30) return QSize(22, 16);
  return l > 45 ? QSize(44, 28) : QSize(28, 28);
}

QToolButton* BoutonOutil(QWidget* zone, const char* nom, const QString& bulle, int x, int y, int l, int h) {
  auto* b = Controle(new QToolButton(zone), nom, x, y, l, h);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setToolTip(bulle);
  b->setAccessibleName(bulle);  // a picture alone says nothing to a screen reader
  b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(nom))));
  b->setIconSize(TailleImage(l, h));
  return b;
}

void Filet(QWidget* zone, QFrame::Shape forme, int x, int y, int l, int h) {
  auto* f = new QFrame(zone);
  f->setFrameShape(forme);
  f->setFrameShadow(QFrame::Sunken);
  f->setGeometry(x, y, l, h);
}

}  // namespace

TForm1::TForm1(EtatProgramme& etat, Dialogues& dialogues, const EnvironnementFenetre& env)
    : Etat(etat), dialogues_(dialogues) {
  ChargerIcones();
  setObjectName(QStringLiteral("Form1"));
  // A single-line border, no maximise and no resize: what remains of the
  // window menu is restore, move, minimise and close.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  QFont police(QStringLiteral("MS Sans Serif"));
  police.setPixelSize(13);
  setFont(police);
  CreerMenus();
  CreerOptionsAutresPorts(env.AutresPorts);
  demarrage_ = env.Ports;
  CreerControles();
  ConnecterCommandes();
  FormCreate(env);
}

TForm1::~TForm1() = default;

void TForm1::CreerControles() {
  auto* zone = new QWidget(this);
  zone->setObjectName(QStringLiteral("ZoneClient"));
  zone->setFixedSize(LargeurZone, HauteurZone);
  setCentralWidget(zone);
  CreerBandeOutils(zone);
  StringGrid1 = Controle(new StringGrid(zone), "StringGrid1", 8, 48, 601, 310);
  QFont grille(QStringLiteral("Courier New"));
  grille.setPixelSize(13);
  grille.setBold(true);  // bold in ANSI, regular in OEM
  StringGrid1->setFont(grille);
  StringGrid1->setAccessibleName(QStringLiteral("Contenu du buffer"));
  CreerBandeBas(zone);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  setTabOrder(StringGrid1, Edit1);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, ComboBox);
  setTabOrder(ComboBox, BitBtn1);
  setTabOrder(BitBtn1, BoutonRadioDos);
  setTabOrder(BoutonRadioDos, BoutonRadioWin);
}

void TForm1::CreerBandeOutils(QWidget* zone) {
  Filet(zone, QFrame::HLine, 0, 0, LargeurZone, 2);
  Filet(zone, QFrame::HLine, 0, 40, LargeurZone, 2);
  BoutonOuvrir = BoutonOutil(zone, "BoutonOuvrir", "Charger le buffer depuis un fichier", 2, 4, 39, 34);
  BoutonSauver =
      BoutonOutil(zone, "BoutonSauver", "Sauvegarder le contenu du buffer dans un fichier", 44, 4, 39, 34);
  Filet(zone, QFrame::VLine, 86, 2, 2, 38);
  BoutonLire = BoutonOutil(zone, "BoutonLire", "Lire le contenu de la mémoire", 91, 4, 51, 34);
  BoutonProgOctet = BoutonOutil(zone, "BoutonProgOctet", "Programmer l'octet sélectionné", 144, 4, 51, 34);
  BoutonProgMem = BoutonOutil(zone, "BoutonProgMem", "Programmer la totalité de la mémoire", 197, 4, 51, 34);
  BoutonComparer =
      BoutonOutil(zone, "BoutonComparer", "Comparer les contenus du buffer et de la mémoire", 250, 4, 51, 34);
  Filet(zone, QFrame::VLine, 304, 2, 2, 38);

  Label1 = Controle(new QLabel(QStringLiteral("Remplissage du buffer"), zone), "Label1", 320, 2, 201, 14);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  // Liberation Sans at 13 pixels is 15 high: its descenders would fall
  // below the label's 14 pixels.
  QFont bandeau = Label1->font();
  bandeau.setPixelSize(12);
  Label1->setFont(bandeau);
  static const char* const noms[8] = {"BoutonBuffer1", "BoutonBuffer2", "BoutonBuffer3", "BoutonBuffer4",
                                      "BoutonBuffer5", "BoutonBuffer6", "BoutonBuffer7", "BoutonBuffer8"};
  static const char* const bulles[8] = {
      "Remplir le buffer avec des $FF",
      "Remplir le buffer avec des $00",
      "Remplir le buffer avec des espaces",
      "Remplir le buffer avec des valeurs aléatoires",
      "Remplir le buffer avec des valeurs croissantes",
      "Remplir le buffer avec des valeurs décroissantes",
      "Remplir le buffer avec la valeur sélectionnée dans la grille",
      "Complémenter le buffer"};
  for (int k = 0; k < 8; ++k)
    BoutonsBuffer[k] = BoutonOutil(zone, noms[k], QString::fromUtf8(bulles[k]), 310 + 28 * k, 17, 27, 21);
  Filet(zone, QFrame::VLine, 536, 2, 2, 38);

  BoutonSchema = BoutonOutil(zone, "BoutonSchema", "Afficher le schéma électrique", 542, 4, 33, 34);
  BoutonInfos =
      BoutonOutil(zone, "BoutonInfos", "Affichage d'un texte d'aide et d'informations diverses", 579, 4, 35, 16);
  BoutonVersion = BoutonOutil(zone, "BoutonVersion", "Auteur / version du programme", 579, 22, 35, 16);
}

void TForm1::CreerBandeBas(QWidget* zone) {
  ProgressBar = Controle(new QProgressBar(zone), "ProgressBar", 8, 361, 503, 12);
  ProgressBar->setTextVisible(false);
  ProgressBar->setRange(0, TailleMemoireParDefaut);
  ProgressBar->setValue(0);
  ProgressBar->setAccessibleName(QStringLiteral("Avancement de l'opération"));

  BoutonRadioDos = Controle(new QRadioButton(QStringLiteral("&Dos"), zone), "BoutonRadioDos", 516, 359, 46, 16);
  BoutonRadioDos->setToolTip(QStringLiteral("Buffer avec le jeu de caractères OEM (Dos)"));
  BoutonRadioWin = Controle(new QRadioButton(QStringLiteral("&Win"), zone), "BoutonRadioWin", 564, 359, 46, 16);
  BoutonRadioWin->setToolTip(QStringLiteral("Buffer avec le jeu de caractères ANSI (Windows)"));
  BoutonRadioWin->setChecked(true);

  StaticTextInfo = Controle(new QLabel(zone), "StaticTextInfo", 8, 376, 198, 25);
  StaticTextInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticTextInfo->setAlignment(Qt::AlignCenter);
  StaticTextInfo->setAutoFillBackground(true);
  QFont info = StaticTextInfo->font();
  info.setPixelSize(17);
  StaticTextInfo->setFont(info);
  // A status bar for a screen reader, named by its text and described by
  // what it is; each change of its text is announced.
  FaireBoiteStatut(*StaticTextInfo);
  StaticTextInfo->setAccessibleDescription(QStringLiteral("État de l'opération"));
  StatutRepos();

  auto* cadre = new QFrame(zone);
  cadre->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  cadre->setGeometry(209, 376, 112, 25);
  StaticText2 = Controle(new QLabel(QStringLiteral("$0000"), zone), "StaticText2", 211, 378, 44, 21);
  StaticText2->setToolTip(QStringLiteral("Adresse HEXA"));
  StaticText1 = Controle(new QLabel(QStringLiteral("$FF = 255"), zone), "StaticText1", 256, 378, 63, 21);
  StaticText1->setToolTip(QStringLiteral("Donnée : $[HEXA] = [Décimal]"));
  // One pixel smaller than the window's font, so that "$DC = 220" keeps a
  // margin inside the frame (at 13 pixels it is 60 of the 63 pixels).
  QFont donnee = StaticText1->font();
  donnee.setPixelSize(12);
  for (QLabel* l : {StaticText2, StaticText1}) {
    l->setAlignment(Qt::AlignCenter);
    l->setFont(donnee);
  }

  QFont fixe(QStringLiteral("Courier New"));
  fixe.setPixelSize(17);
  Edit1 = Controle(new BoiteSaisie(zone), "Edit1", 324, 376, 28, 25);
  Edit1->setFont(fixe);
  Edit1->SetTexte(QStringLiteral("FF"));
  Edit1->setAccessibleName(QStringLiteral("Valeur hexadécimale de l'octet sélectionné"));
  Edit2 = Controle(new BoiteCaractere(zone), "Edit2", 354, 376, 28, 25);
  Edit2->setFont(fixe);
  Edit2->setMaxLength(1);
  Edit2->SetTexte(QStringLiteral("?"));
  Edit2->setAccessibleName(QStringLiteral("Caractère de l'octet sélectionné"));

  ComboBox = Controle(new QComboBox(zone), "ComboBox", 384, 376, 127, 25);
  ComboBox->setEditable(false);
  ComboBox->setToolTip(QStringLiteral("Type de mémoire I2C"));
  for (int t = 0; t < NombreTypesMemoire; ++t) ComboBox->addItem(QString::fromUtf8(SpecMemoire(t).TexteListe));

  BitBtn1 = Controle(new QPushButton(QStringLiteral("&Quitter"), zone), "BitBtn1", 515, 376, 94, 25);
  BitBtn1->setIcon(QIcon(QStringLiteral(":/icons/BitBtn1.svg")));
  BitBtn1->setLayoutDirection(Qt::RightToLeft);  // the picture right of the caption
}

void TForm1::StatutOccupe(const QString& texte) {
  QPalette p = StaticTextInfo->palette();
  p.setColor(QPalette::Window, Qt::black);
  p.setColor(QPalette::WindowText, Qt::yellow);
  StaticTextInfo->setPalette(p);
  const QString ancien = StaticTextInfo->text();
  StaticTextInfo->setText(texte);
  AnnoncerStatut(*StaticTextInfo, ancien);
  StaticTextInfo->repaint();
}

void TForm1::StatutRepos() {
  QPalette p = StaticTextInfo->palette();
  p.setColor(QPalette::Window, palette().color(QPalette::Button));
  p.setColor(QPalette::WindowText, Qt::yellow);
  StaticTextInfo->setPalette(p);
  const QString ancien = StaticTextInfo->text();
  StaticTextInfo->clear();
  AnnoncerStatut(*StaticTextInfo, ancien);
}

}  // namespace zorbix
