// The real file dialogs, set up but never shown: their entries, what each
// entry lists, the preset, and the refusal of a read-only file on save.
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "dialogs/file_dialog.h"
#include "tests/files/temp_dir.h"

namespace zorbix::test {
namespace {

using Mode = Dialogues::ModeFichier;

// The names the dialog offers in its folder once it has listed them.
QStringList Offerts(const DialogueFichierQt& d) {
  const auto* vue = d.findChild<QListView*>(QStringLiteral("listView"));
  QStringList noms;
  if (!vue) return noms;
  const QModelIndex racine = vue->rootIndex();
  for (int r = 0; r < vue->model()->rowCount(racine); ++r) {
    const QModelIndex i = vue->model()->index(r, 0, racine);
    if (i.flags() & Qt::ItemIsEnabled) noms << i.data().toString();
  }
  noms.sort();
  return noms;
}

TEST(FileDialogTest, EntriesShowTheirTextAndListTheirFiles) {
  RepertoireTemporaire rep;
  for (const char* nom : {"a.bin", "b.hex", "dump"}) rep.Ecrire(nom, "x");
  const QStringList tous{"a.bin", "b.hex", "dump"};
  const QStringList attendus[] = {{"a.bin"}, tous, {"b.hex"}, tous};
  for (int filtre = 1; filtre <= 4; ++filtre) {
    // A preset file would stay listed whatever the entry: preset a new name.
    DialogueFichierQt d(nullptr, Mode::Ouverture, QString::fromStdString(rep.Chemin("z")), filtre);
    const auto* liste = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(liste, nullptr);
    ASSERT_EQ(liste->count(), 4);
    EXPECT_EQ(liste->itemText(0), QString("fichier binaire BIN (*.bin)"));
    EXPECT_EQ(liste->itemText(1), QString("tout fichier binaire (*.*)"));
    EXPECT_EQ(liste->itemText(2), QString("fichier Intel HEXA (*.hex)"));
    EXPECT_EQ(liste->itemText(3), QString("tout fichier au format Intel HEXA (*.*)"));
    EXPECT_EQ(liste->currentIndex(), filtre - 1);
    EXPECT_EQ(d.Filtre(), filtre);
    EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), QString("z"));
    // "*.*" lists names without a dot too, as it does where it comes from.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Offerts(d) == attendus[filtre - 1]; }, 5000))
        << filtre << ": " << Offerts(d).join(' ').toStdString();
  }
}

// The detail view speaks French (types, sizes, dates, headers) and shows
// every header and text whole.
TEST(FileDialogTest, DetailViewIsFrenchAndNothingInItIsCut) {
  RepertoireTemporaire rep;
  rep.Ecrire("a.bin", std::string(256, 'x'));
  QDir(QString::fromStdString(rep.Racine())).mkdir("dossier");
  DialogueFichierQt d(nullptr, Mode::Ouverture, QString::fromStdString(rep.Chemin("a.bin")), 2);
  d.setViewMode(QFileDialog::Detail);
  d.show();
  auto* vue = d.findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(vue, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return vue->model()->rowCount(vue->rootIndex()) == 2; }, 5000));
  QCoreApplication::processEvents();
  QStringList entetes;
  for (int c = 0; c < 4; ++c) entetes << vue->model()->headerData(c, Qt::Horizontal).toString();
  EXPECT_EQ(entetes, QStringList({"Nom", "Taille", "Type", "Dernière modification"}));
  const QFontMetrics fm(vue->header()->font());
  for (int c = 1; c < 4; ++c) EXPECT_LE(fm.horizontalAdvance(entetes[c]), vue->header()->sectionSize(c)) << c;
  for (int r = 0; r < 2; ++r) {
    const auto texte = [&](int c) { return vue->model()->index(r, c, vue->rootIndex()).data().toString(); };
    const QFileInfo info(QString::fromStdString(rep.Chemin(texte(0).toStdString())));
    if (info.isDir()) {
      EXPECT_EQ(texte(2), QString("Dossier"));
    } else {
      EXPECT_EQ(texte(1), QString("256 octets"));
    }
    EXPECT_EQ(texte(3), QLocale(QLocale::French).toString(info.lastModified(), QLocale::ShortFormat));
    for (int c = 1; c < 4; ++c)
      EXPECT_LE(vue->fontMetrics().horizontalAdvance(texte(c)), vue->header()->sectionSize(c))
          << texte(c).toStdString();
  }
}

// Root may write any file, so the mark is what makes a file read-only here.
// The name box starts with "*.bin": saved as it is, that would make a file
// of that name.
TEST(FileDialogTest, SaveRefusesAReadOnlyFileAndAWildcard) {
  RepertoireTemporaire rep;
  const std::string protege = rep.Ecrire("protege.bin", "x");
  ASSERT_EQ(::chmod(protege.c_str(), 0444), 0);
  QStringList refus;
  for (const char* nom : {"protege.bin", "*.bin", "neuf"}) {
    DialogueFichierQt d(nullptr, Mode::Enregistrement, QString::fromStdString(rep.Chemin(nom)), 4);
    d.SignalerRefus = [&](const QString& texte) { refus << texte; };
    static_cast<QDialog&>(d).accept();  // what the Save button does
    EXPECT_EQ(d.result(), nom == std::string("neuf") ? QDialog::Accepted : QDialog::Rejected) << nom;
    EXPECT_EQ(d.Nom(), QString::fromStdString(rep.Chemin(nom)));
    EXPECT_EQ(d.Filtre(), 4);
  }
  EXPECT_EQ(refus, (QStringList{"protege.bin est en lecture seule.\nChoisissez un autre nom.",
                                "*.bin n'est pas un nom de fichier valide.\nChoisissez un autre nom."}));
}

}  // namespace
}  // namespace zorbix::test
