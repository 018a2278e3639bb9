// The desktop entry and the file types it claims, installed the way a package
// installs them (a staging root, then the MIME database rebuilt as the
// system's trigger does) and read the way a desktop reads them.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
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

const QString Echec = QStringLiteral("échec de ");

// Runs `programme` with extra `environnement`; its standard output, trimmed,
// or a note of the failure starting with Echec.
QString Executer(const QString& programme, const QStringList& arguments,
                 const QMap<QString, QString>& environnement = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (auto it = environnement.begin(); it != environnement.end(); ++it) env.insert(it.key(), it.value());
  p.setProcessEnvironment(env);
  p.start(programme, arguments);
  if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return Echec + programme + " : " + p.errorString() + " " + p.readAllStandardError();
  return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The types a MIME package file declares.
QStringList TypesDeclares(const QString& chemin) {
  QFile paquet(chemin);
  EXPECT_TRUE(paquet.open(QIODevice::ReadOnly));
  QStringList types;
  const QRegularExpression declaration("<mime-type\\s+type=\"([^\"]+)\"");
  for (const auto& m : declaration.globalMatch(QString::fromUtf8(paquet.readAll()))) types << m.captured(1);
  return types;
}

// .hex files open with the program; a .bin file (another program's firmware
// or disk image as well as a chip image) keeps its own type and default
// application, and the program is only offered for it.
TEST(DesktopEntryTest, HexFilesAreOursBinFilesOnlyOfferTheProgram) {
  QTemporaryDir racine;
  const QString usr = racine.filePath("usr");
  for (const QString& sortie :
       {Executer(ZORBIX_CMAKE, {"--install", ZORBIX_BUILD_DIR, "--prefix", "/usr"}, {{"DESTDIR", racine.path()}}),
        Executer("update-mime-database", {usr + "/share/mime"})})
    ASSERT_FALSE(sortie.startsWith(Echec)) << sortie.toStdString();

  const auto entree = LireEntree(usr + "/share/applications/zorbix32.desktop");
  EXPECT_EQ(entree.value("Name"), TitreApplication);
  EXPECT_EQ(entree.value("Exec"), QString("zorbix32 %f"));  // one file, its name as given
  // The icon it names, in the hicolor theme: the drawing and its PNG sizes.
  EXPECT_EQ(entree.value("Icon"), QString("zorbix32"));
  const QString theme = usr + "/share/icons/hicolor/";
  EXPECT_TRUE(QFile::exists(theme + "scalable/apps/zorbix32.svg"));
  for (int taille : {16, 22, 24, 32, 48, 64, 128, 256})
    EXPECT_EQ(QImage(theme + QString("%1x%1/apps/zorbix32.png").arg(taille)).size(), QSize(taille, taille));
  const QStringList offerts = entree.value("MimeType").split(';', Qt::SkipEmptyParts);
  const QStringList nosTypes = TypesDeclares(usr + "/share/mime/packages/zorbix32.xml");
  EXPECT_EQ(nosTypes.join(' ').toStdString(), "text/x-hex");

  // The database as Qt reads it (before its first look-up, it reads its
  // folders then), from the file name alone.
  qputenv("XDG_DATA_DIRS", (usr + "/share:/usr/share").toLocal8Bit());
  const QMimeDatabase base;
  for (const char* nom : {"dump.bin", "DUMP.BIN", "x.hex", "x.Hex"}) {
    const QMimeType type = base.mimeTypeForFile(QString::fromLatin1(nom), QMimeDatabase::MatchExtension);
    EXPECT_TRUE(offerts.contains(type.name())) << nom << " is " << type.name().toStdString();
  }

  // The type a file manager shows, through xdg-mime; GNOME's tool reads the
  // shared database.
  QFile bin(racine.filePath("dump.bin")), hex(racine.filePath("x.hex"));
  ASSERT_TRUE(bin.open(QIODevice::WriteOnly) && hex.open(QIODevice::WriteOnly));
  for (int i = 0; i < 256; ++i) bin.putChar(static_cast<char>(i * 37));
  hex.write(":00000001FF\n");
  bin.close();
  hex.close();
  const QMap<QString, QString> bureau = {{"XDG_CURRENT_DESKTOP", "GNOME"},
                                         {"XDG_DATA_HOME", racine.filePath("maison")},
                                         {"XDG_DATA_DIRS", usr + "/share:/usr/share"}};
  const QString typeBin = Executer("xdg-mime", {"query", "filetype", bin.fileName()}, bureau);
  EXPECT_TRUE(typeBin.contains('/') && !nosTypes.contains(typeBin)) << typeBin.toStdString();
  EXPECT_EQ(Executer("xdg-mime", {"query", "filetype", hex.fileName()}, bureau), "text/x-hex");
}

}  // namespace
}  // namespace zorbix::test
