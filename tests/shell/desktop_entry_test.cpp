// The desktop entry and the file types it claims, read the way a desktop
// reads them: the shared MIME database with our package file added.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include "shell/application.h"

namespace zorbix::test {
namespace {

// The keys of the [Desktop Entry] group.
QMap<QString, QString> LireEntree(const QString& chemin) {
  QFile fichier(chemin);
  EXPECT_TRUE(fichier.open(QIODevice::ReadOnly | QIODevice::Text));
  QTextStream flux(&fichier);
  QMap<QString, QString> cles;
  bool groupe = false;
  while (!flux.atEnd()) {
    const QString ligne = flux.readLine();
    if (ligne.startsWith('[')) groupe = ligne == QLatin1String("[Desktop Entry]");
    const int egal = ligne.indexOf('=');
    if (groupe && egal > 0) cles[ligne.left(egal)] = ligne.mid(egal + 1);
  }
  return cles;
}

TEST(DesktopEntryTest, BinAndHexFilesOpenWithTheProgram) {
  const QString ressources = QStringLiteral(ZORBIX_RESOURCES);
  const auto entree = LireEntree(ressources + "/zorbix32.desktop");
  EXPECT_EQ(entree.value("Name"), TitreApplication);
  EXPECT_EQ(entree.value("Exec"), QString("zorbix32 %f"));  // one file, its name as given

  // What an installed package file adds to the system's database. Set before
  // the first look-up: the database reads its folders then.
  QTemporaryDir donnees;
  ASSERT_TRUE(QDir().mkpath(donnees.filePath("mime/packages")));
  ASSERT_TRUE(QFile::copy(ressources + "/zorbix32-mime.xml", donnees.filePath("mime/packages/zorbix32.xml")));
  qputenv("XDG_DATA_DIRS", (donnees.path() + ":/usr/share").toLocal8Bit());

  const QStringList types = entree.value("MimeType").split(';', Qt::SkipEmptyParts);
  const QMimeDatabase base;
  for (const char* nom : {"dump.bin", "DUMP.BIN", "x.hex", "x.Hex"}) {
    const QMimeType type = base.mimeTypeForFile(QString::fromLatin1(nom), QMimeDatabase::MatchExtension);
    EXPECT_TRUE(types.contains(type.name())) << nom << " is " << type.name().toStdString();
  }
}

}  // namespace
}  // namespace zorbix::test
