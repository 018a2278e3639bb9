#include "file_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace zorbix {
namespace {

struct Entree {
  QString Texte;     // as the list shows it
  QString FiltreQt;  // the same with the pattern Qt filters on
};

// Qt takes an entry's patterns from the parentheses that end it, so each
// entry gets its pattern appended there, and HideNameFilterDetails shows the
// entry's own text alone. "*.*" means every file, names without a dot
// included; Qt's "*.*" would hide those, "*" does not.
QList<Entree> Entrees() {
  const QStringList morceaux = QString::fromUtf8(ListeFiltres).split(QLatin1Char('|'));
  QList<Entree> entrees;
  for (int i = 0; i + 1 < morceaux.size(); i += 2) {
    const QString& motif = morceaux[i + 1];
    const QString motifQt = motif == QLatin1String("*.*") ? QStringLiteral("*") : motif;
    entrees.append({morceaux[i], QStringLiteral("%1 (%2)").arg(morceaux[i], motifQt)});
  }
  return entrees;
}

// A file marked read-only, or one this process may not write. The mark is
// checked as well because root may write anything: a file that nobody may
// write was made so on purpose.
bool LectureSeule(const QFileInfo& fichier) {
  const auto ecriture = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
  return fichier.exists() && !fichier.isDir() &&
         (!fichier.isWritable() || !(fichier.permissions() & ecriture));
}

// Why a save may not use this name; empty when it may. A wildcard is what
// the name box starts with ("*.bin"), not a name anyone means to create.
QString RefusEnregistrement(const QFileInfo& fichier) {
  const QString nom = fichier.fileName();
  if (nom.contains(QLatin1Char('*')) || nom.contains(QLatin1Char('?')))
    return QStringLiteral("%1 n'est pas un nom de fichier valide.\nChoisissez un autre nom.").arg(nom);
  if (LectureSeule(fichier))
    return QStringLiteral("%1 est en lecture seule.\nChoisissez un autre nom.").arg(nom);
  return QString();
}

}  // namespace

DialogueFichierQt::DialogueFichierQt(QWidget* parent, Dialogues::ModeFichier mode,
                                     const QString& nom, int filtre)
    : QFileDialog(parent) {
  // Qt's own dialog rather than the desktop's: only it shows the entries'
  // texts as they are and lets a save refuse a read-only file. No title is
  // set: Qt's default ones ("Ouvrir", "Enregistrer sous") show.
  setOption(DontUseNativeDialog);
  setOption(HideNameFilterDetails);
  AjusterColonnes();
  if (mode == Dialogues::ModeFichier::Ouverture) {
    setAcceptMode(AcceptOpen);
    setFileMode(ExistingFile);  // the dialog refuses a name that does not exist
  } else {
    // Replacing an existing file is confirmed (Qt's default), and the name
    // is used as typed: no default suffix.
    setAcceptMode(AcceptSave);
    setFileMode(AnyFile);
  }
  const QList<Entree> entrees = Entrees();
  QStringList filtres;
  for (const Entree& e : entrees) filtres << e.FiltreQt;
  setNameFilters(filtres);
  selectNameFilter(filtres.value(filtre - 1, filtres.first()));
  // After the entry: in a save, choosing an entry gives the name its extension.
  selectFile(nom);
  SignalerRefus = [this](const QString& texte) { QMessageBox::warning(this, windowTitle(), texte); };
}

// The detail view's size, type and date columns as wide as their header and
// their longest text ("Dernière modification", "256 octets"): French texts
// are longer than the widths Qt gives them. The name column takes the room
// they leave.
void DialogueFichierQt::AjusterColonnes() {
  auto* vue = findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!vue) return;
  vue->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int colonne = 1; colonne < vue->header()->count(); ++colonne)
    vue->header()->setSectionResizeMode(colonne, QHeaderView::ResizeToContents);
  // The texts are known once the folder is read, after the dialog shows.
  if (auto* modele = findChild<QFileSystemModel*>())
    connect(modele, &QFileSystemModel::directoryLoaded, this, [this] { ElargirPourColonnes(); });
}

// At Qt's default size the columns overflow the view and the dates are cut
// at its edge: the dialog widens (never narrows, and never beyond the
// screen) until the three columns and a name column of a useful width fit.
void DialogueFichierQt::ElargirPourColonnes() {
  constexpr int LargeurNom = 200;
  auto* vue = findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!vue) return;
  const QAbstractItemView* contenu = vue;  // where the width of a column's texts is public
  int requise = LargeurNom;
  for (int colonne = 1; colonne < vue->header()->count(); ++colonne)
    requise += std::max(contenu->sizeHintForColumn(colonne), vue->header()->sectionSizeHint(colonne));
  const int manque = requise - vue->viewport()->width();
  if (manque <= 0) return;
  int largeur = width() + manque;
  if (const QScreen* ecran = screen()) largeur = std::min(largeur, ecran->availableGeometry().width());
  resize(std::max(largeur, width()), height());
}

void DialogueFichierQt::showEvent(QShowEvent* e) {
  QFileDialog::showEvent(e);
  ElargirPourColonnes();
}

QString DialogueFichierQt::Nom() const { return QDir::toNativeSeparators(selectedFiles().value(0)); }

// Depending on Qt's version, the selected filter comes back with or without
// the pattern added for Qt.
int DialogueFichierQt::Filtre() const {
  const QString choisi = selectedNameFilter();
  const QList<Entree> entrees = Entrees();
  for (int i = 0; i < entrees.size(); ++i)
    if (choisi == entrees[i].Texte || choisi == entrees[i].FiltreQt) return i + 1;
  return 1;
}

void DialogueFichierQt::accept() {
  if (acceptMode() == AcceptSave) {
    const QString refus = RefusEnregistrement(QFileInfo(selectedFiles().value(0)));
    if (!refus.isEmpty()) {
      SignalerRefus(refus);
      return;
    }
  }
  QFileDialog::accept();
}

}  // namespace zorbix
