#include "port_test_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>

#include "engine/port.h"

namespace zorbix {
namespace {

constexpr int Largeur = 497;
constexpr int Hauteur = 264;

// The status register's inputs, in display order, with the text before the
// level. Busy is inverted by the port hardware: its text shows the pin.
struct Entree {
  const char* nom;
  const char* libelle;
  std::uint8_t masque;
  bool inverse;
};
constexpr Entree Entrees[5] = {
    {"txtError", "Error (15)....... :", 0x08, false},
    {"txtSelected", "Selected (13).... :", 0x10, false},
    {"txtPE", "Paper Error (12). :", 0x20, false},
    {"txtAcknowledge", "Acknowledge (10). :", 0x40, false},
    {"txtBusy", "Busy (11)........ :", 0x80, true},
};

QString TexteEntree(const Entree& e, bool niveau) {
  return QString::fromLatin1(e.libelle) + (niveau ? QStringLiteral("[1]") : QStringLiteral("[0]"));
}

template <typename W>
W* Controle(W* w, const char* nom, int x, int y, int largeur, int hauteur) {
  w->setObjectName(QString::fromLatin1(nom));
  w->setGeometry(x, y, largeur, hauteur);
  return w;
}

QLabel* Etiquette(QWidget* parent, const QString& texte, int x, int y, int largeur) {
  auto* l = new QLabel(texte, parent);
  l->setGeometry(x, y, largeur, 16);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

}  // namespace

TForm5::TForm5(const std::uint16_t& portBase, std::function<void()> bip, QWidget* parent)
    : QDialog(parent), TestPortBase(AdresseLPT1), portBase_(portBase), bip_(std::move(bip)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral(" Test du port parallèle :"));
  // A close box, no minimise or maximise box, no resizing.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(Largeur, Hauteur);
  QFont police(QStringLiteral("MS Sans Serif"));
  police.setPixelSize(13);
  setFont(police);

  CreerGroupePort();
  CreerGroupeSorties();
  CreerGroupeEntrees();
  BoutonTestPortP = Controle(new QPushButton(QStringLiteral("&Retour au programme"), this), "BoutonTestPortP",
                             168, 228, 161, 28);
  connect(BoutonTestPortP, &QPushButton::clicked, this, [this] { BoutonTestPortPClick(); });
  // No default button: Enter presses the button that has the focus and no
  // other (keyPressEvent), so that it never closes the window from a box.
  for (QPushButton* bouton : {BoutonTestPortP, BoutonLireEntrees}) bouton->setAutoDefault(false);
}

void TForm5::CreerGroupePort() {
  GroupePort = Controle(new QGroupBox(QStringLiteral(" Port // concerné : "), this), "GroupePort", 8, 4, 281, 90);
  BRLPT1 = Controle(new QRadioButton(QStringLiteral("LPT1 ($378 / $379)"), GroupePort), "BRLPT1", 14, 20, 142, 20);
  BRLPT2 = Controle(new QRadioButton(QStringLiteral("LPT2 ($278 / $279)"), GroupePort), "BRLPT2", 14, 42, 142, 20);
  BRLPT3 = Controle(new QRadioButton(QStringLiteral("LPT3 ($3BC / 3BD)"), GroupePort), "BRLPT3", 14, 64, 142, 20);
  // The fourth choice, beside the three (same group, so one radio group).
  BRAutre = Controle(new QRadioButton(QStringLiteral("Autre port :"), GroupePort), "BRAutre", 160, 20, 115, 20);
  ListeAutresPorts = Controle(new QComboBox(GroupePort), "ListeAutresPorts", 160, 42, 115, 22);
  TexteAutrePort = Controle(new QLabel(GroupePort), "TexteAutrePort", 160, 66, 115, 16);
  BRLPT1->setChecked(true);
  for (QRadioButton* b : {BRLPT1, BRLPT2, BRLPT3, BRAutre})
    connect(b, &QRadioButton::clicked, this, [this, b] { BRLPTClick(b); });
  connect(ListeAutresPorts, QOverload<int>::of(&QComboBox::activated), this,
          [this](int index) { ListeAutresPortsChange(index); });
  DefinirAutresPorts({});
}

void TForm5::DefinirAutresPorts(const PortsSupplementaires& ports) {
  autresPorts_ = ports;
  ListeAutresPorts->clear();
  for (const PortSupplementaire& p : ports) ListeAutresPorts->addItem(QString::fromStdString(p.nom));
  for (QWidget* w : std::initializer_list<QWidget*>{BRAutre, ListeAutresPorts, TexteAutrePort})
    w->setVisible(!ports.empty());
  if (!ports.empty()) MontrerAutrePort(0);
}

// The list shows the port's name, the text under it its two registers as the
// three buttons show theirs.
void TForm5::MontrerAutrePort(int index) {
  ListeAutresPorts->setCurrentIndex(index);
  const unsigned base = autresPorts_.at(index).base;
  TexteAutrePort->setText(QString::asprintf("$%03X / $%03X", base, base + 1));
}

// Choosing in the list chooses the fourth button.
void TForm5::ListeAutresPortsChange(int index) {
  if (index < 0) return;
  MontrerAutrePort(index);
  BRAutre->setChecked(true);
  BRLPTClick(BRAutre);
}

void TForm5::CreerGroupeSorties() {
  GroupeSorties = Controle(new QGroupBox(QStringLiteral(" Sorties : "), this), "GroupeSorties", 8, 100, 281, 116);
  // CCB7 on the left to CCB0 on the right, with the bit and the DB25 pin
  // (bit n is on pin n + 2) under each.
  for (int k = 0; k < 8; ++k) {
    const int bit = 7 - k;
    const int x = 12 + 33 * k;
    const QByteArray nom = "CCB" + QByteArray::number(bit);
    CCB[bit] = Controle(new QCheckBox(GroupeSorties), nom.constData(), x + 7, 20, 18, 20);
    // The box has no caption of its own: its group's title would name all eight alike.
    CCB[bit]->setAccessibleName(QStringLiteral("B%1 (broche %2)").arg(bit).arg(bit + 2));
    connect(CCB[bit], &QCheckBox::clicked, this, [this] { CCB0a7Click(); });
    Etiquette(GroupeSorties, QStringLiteral("B%1").arg(bit), x, 42, 32);
    Etiquette(GroupeSorties, QStringLiteral("(%1)").arg(bit + 2), x, 58, 32);
  }
  Etiquette(GroupeSorties, QStringLiteral("Case cochée = sortie mise à '1'"), 10, 86, 261);
}

void TForm5::CreerGroupeEntrees() {
  GroupeEntrees = Controle(new QGroupBox(QStringLiteral(" Entrées : "), this), "GroupeEntrees", 297, 4, 192, 212);
  QFont fixe(QStringLiteral("Courier New"));
  fixe.setStyleHint(QFont::TypeWriter);
  fixe.setFixedPitch(true);
  fixe.setPixelSize(12);
  QLabel** textes[5] = {&txtError, &txtSelected, &txtPE, &txtAcknowledge, &txtBusy};
  for (int i = 0; i < 5; ++i) {
    *textes[i] = Controle(new QLabel(TexteEntree(Entrees[i], false), GroupeEntrees), Entrees[i].nom, 10,
                          22 + 24 * i, 176, 20);
    (*textes[i])->setFont(fixe);
  }
  BoutonLireEntrees = Controle(new QPushButton(QStringLiteral("Lire les entrées"), GroupeEntrees),
                               "BoutonLireEntrees", 16, 174, 160, 26);
  connect(BoutonLireEntrees, &QPushButton::clicked, this, [this] { BoutonLireEntreesClick(); });
}

void TForm5::FormShow() {
  const std::uint16_t port = portBase_;
  const auto autre = std::find_if(autresPorts_.begin(), autresPorts_.end(),
                                  [port](const PortSupplementaire& p) { return p.base == port; });
  if (autre != autresPorts_.end()) {
    TestPortBase = port;
    BRAutre->setChecked(true);
    MontrerAutrePort(static_cast<int>(autre - autresPorts_.begin()));
  } else if (port == AdresseLPT2) {
    TestPortBase = AdresseLPT2;
    BRLPT2->setChecked(true);
  } else if (port == AdresseLPT3) {
    TestPortBase = AdresseLPT3;
    BRLPT3->setChecked(true);
  } else {
    TestPortBase = AdresseLPT1;
    BRLPT1->setChecked(true);
  }
  PrendrePort();
  AfficherSorties();
  AfficherEntrees();
  BoutonTestPortP->setFocus();
}

void TForm5::BRLPTClick(QObject* Sender) {
  if (Sender == BRLPT1) TestPortBase = AdresseLPT1;
  if (Sender == BRLPT2) TestPortBase = AdresseLPT2;
  if (Sender == BRLPT3) TestPortBase = AdresseLPT3;
  if (Sender == BRAutre) TestPortBase = autresPorts_.at(ListeAutresPorts->currentIndex()).base;
  PrendrePort();
  AfficherSorties();
  AfficherEntrees();
}

void TForm5::CCB0a7Click() {
  std::uint8_t octet = 0;
  for (int bit = 7; bit >= 0; --bit)
    if (CCB[bit]->isChecked()) octet = static_cast<std::uint8_t>(octet | (1 << bit));
  EcrirePort(TestPortBase, octet);
  if (LirePort(TestPortBase) == octet) return;
  // The port does not hold what was written: show what it does hold.
  AfficherSorties();
  if (bip_) bip_();
}

void TForm5::BoutonLireEntreesClick() { AfficherEntrees(); }

void TForm5::BoutonTestPortPClick() { done(QDialog::Accepted); }

void TForm5::PrendrePort() {
  RendrePort();
  prise_.emplace(TestPortBase);
  if (!prise_->Pris() && refus_) refus_(prise_->Raison());
}

void TForm5::RendrePort() {
  if (!prise_) return;
  const bool pris = prise_->Pris();
  if (!prise_->Rendre() && pris && refus_) refus_(prise_->Raison());
  prise_.reset();
}

void TForm5::done(int resultat) {
  RendrePort();
  QDialog::done(resultat);
}

void TForm5::AfficherSorties() {
  const std::uint8_t octet = LirePort(TestPortBase);
  for (int bit = 7; bit >= 0; --bit) CCB[bit]->setChecked((octet >> bit) & 1);
}

void TForm5::AfficherEntrees() {
  const std::uint8_t statut = LirePort(static_cast<std::uint16_t>(TestPortBase + 1));
  QLabel* textes[5] = {txtError, txtSelected, txtPE, txtAcknowledge, txtBusy};
  for (int i = 0; i < 5; ++i) {
    const bool bit = (statut & Entrees[i].masque) != 0;
    textes[i]->setText(TexteEntree(Entrees[i], bit != Entrees[i].inverse));
  }
}

void TForm5::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (e->spontaneous()) return;
  Centrer();
  FormShow();
}

// The frame is centred, not the client area. Moving the widget would place
// its client area, and the window manager would put the frame around it a
// little lower at every showing; the native window is placed by its frame
// instead, which the window manager is told to honour. The frame's margins
// are those of the last showing, or before any, those of the active window
// (the main window, framed by the same window manager).
void TForm5::Centrer() {
  const QScreen* ecran = screen();
  if (!ecran) return;
  winId();
  QMargins marges = windowHandle()->frameMargins();
  const QWidget* active = QApplication::activeWindow();
  if (marges.isNull() && active && active != this && active->windowHandle())
    marges = active->windowHandle()->frameMargins();
  QRect cadre = QRect(QPoint(), size()).marginsAdded(marges);
  cadre.moveCenter(ecran->availableGeometry().center());
  windowHandle()->setPosition(cadre.topLeft() + QPoint(marges.left(), marges.top()));
}

void TForm5::keyPressEvent(QKeyEvent* e) {
  if (e->modifiers() & ~Qt::KeypadModifier) return QDialog::keyPressEvent(e);
  // Escape is the return button, whichever control has the focus.
  if (e->key() == Qt::Key_Escape) {
    BoutonTestPortP->click();
    return;
  }
  // Enter presses the focused button; on any other control it does nothing.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    if (auto* bouton = qobject_cast<QPushButton*>(focusWidget())) bouton->click();
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace zorbix
