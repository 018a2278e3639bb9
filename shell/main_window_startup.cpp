// Start-up, show and close of the main window, and the command line.
#include <QCloseEvent>
#include <QComboBox>
#include <QTimer>
#include <QWindow>

#include "editor/grid_layout.h"
#include "editor/string_grid.h"
#include "engine/lines.h"
#include "main_window.h"

namespace zorbix {

void TForm1::FormCreate(const EnvironnementFenetre& env) {
  fichierReglages_ = env.FichierReglages;
  fichierLangue_ = env.FichierLangue;
  ecran_ = env.Ecran;
  // Defaults (the window menu's size and maximise entries are left out by
  // the window flags set in the constructor).
  ChoisirPort(PortsParalleles({}).front());
  Etat.WriteMode = true;
  Etat.VerifierProgrammation = false;
  Etat.ChipType = TypeMemoireParDefaut;
  {
    const QSignalBlocker silence(ComboBox);  // set from code: no change event
    ComboBox->setCurrentIndex(TypeMemoireParDefaut);
  }
  Etat.ChipSize = TailleMemoireParDefaut;
  OptionsMemoire[TypeMemoireParDefaut]->setChecked(true);

  LireReglages();

  PlacerCadre(QPoint(Etat.OrigineX, Etat.OrigineY));
  if (Etat.CharsetMode == JeuCaracteres::Oem) CommandeBoutonRadioDosWin(OptionCaracDos);
  AppliquerModesEcriture();

  StringGrid1->setColWidth(ColonneAdresse, 36);
  StringGrid1->setColWidth(1, 12);
  StringGrid1->setColWidth(PremiereColonneCaracteres - 1, 12);
  for (int j = 0; j < OctetsParLigne; ++j) StringGrid1->setColWidth(PremiereColonneCaracteres + j, 10);
  StringGrid1->setCell(ColonneAdresse, 0, QStringLiteral("Adr:"));
  for (int j = 0; j < OctetsParLigne; ++j) {
    const QString chiffre = QString::number(j, 16).toUpper();
    StringGrid1->setCell(PremiereColonneHexa + j, 0, chiffre);
    StringGrid1->setCell(PremiereColonneCaracteres + j, 0, chiffre);
  }

  Etat.Buffer.fill(0xFF);
  StringGrid1->setCurrentCell(PremiereColonneHexa, 1);
  AfficherBuffer(Etat.Buffer, Etat.ChipSize);
  MiseHorsTension(Etat.PortBase);
  Etat.Aleatoire.Initialiser(env.Graine);
  if (!env.LigneDeCommande.isEmpty()) LireLigneDeCommande(env.LigneDeCommande);

  if (Etat.LangueAuLancement) {
    OptionLangue->setChecked(true);
    ChargerFichierLangue();
  }

  setWindowTitle(QLatin1Char(' ') + Etat.TexteTitre);
}

// The origin is the outer frame's top-left corner, what pos() gives at close.
// Before the first show the frame is not known yet: move() alone would put
// the client area there on X11, the frame above and left of it, a little
// further on every run. So the native window is created now and placed by
// its frame, which the window manager is told to honour; the widget keeps
// the same geometry without being marked as moved, so that showing it only
// maps it and does not place it again by its client area.
void TForm1::PlacerCadre(const QPoint& origine) {
  adjustSize();
  move(origine);
  setAttribute(Qt::WA_Moved, false);
  winId();
  windowHandle()->setFramePosition(origine);
}

void TForm1::LireLigneDeCommande(const QString& ligne) {
  QString nom = ligne;
  // A name given in quotes loses them, so that its extension is recognised.
  if (nom.size() >= 2 && nom.startsWith(QLatin1Char('"')) && nom.endsWith(QLatin1Char('"')))
    nom = nom.mid(1, nom.size() - 2);
  Etat.NomFichier = nom;
  const int point = nom.lastIndexOf(QLatin1Char('.'));
  const QString extension = point >= 0 && point < nom.size() - 1 ? nom.mid(point + 1).toUpper() : QString();
  if (extension == QLatin1String("BIN")) Etat.FiltreOuverture = FiltreBinaire;
  if (extension == QLatin1String("HEX")) Etat.FiltreOuverture = FiltreHexa;
  Etat.OuvrirAuDemarrage = true;
}

void TForm1::FormShow() {
  // The file named on the command line, once: the open dialog comes preset
  // with it and the user confirms or cancels. It waits until the window is on
  // the screen, so that the dialog and its message show over it, not alone.
  if (Etat.OuvrirAuDemarrage) {
    Etat.OuvrirAuDemarrage = false;
    QTimer::singleShot(0, this, [this] { OuvrirFichier(this); });
  }
  StringGrid1->setFocus();
}

void TForm1::FormClose() { EnregistrerReglages(); }

void TForm1::QuitterProgramme() { close(); }

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TForm1::closeEvent(QCloseEvent* e) {
  FormClose();
  e->accept();
}

}  // namespace zorbix
