// The help text's structure: what a reader must find in it, and the English
// language file it offers, complete, for copying.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include "infowin/info_resources.h"

namespace zorbix::test {
namespace {

QStringList Lignes() { return TexteAide().split(QLatin1Char('\n')); }

bool LigneDe(const QString& l, QChar c) { return l.size() == 54 && l.count(c) == 54; }

// The seventy-one keys of the language file, in the order they are applied.
QStringList ClesLangue() {
  QStringList cles;
  const int items[] = {3, 4, 12, 15, 7, 3};
  for (int m = 0; m < 6; ++m) {
    cles << QStringLiteral("[Menu%1]").arg(m + 1) << QStringLiteral("Name");
    for (int i = 1; i <= items[m]; ++i) cles << QStringLiteral("Item%1").arg(i);
  }
  cles << QStringLiteral("[Hint]");
  for (int i = 1; i <= 6; ++i) cles << QStringLiteral("Icon%1").arg(i);
  for (int i = 1; i <= 8; ++i) cles << QStringLiteral("IconB%1").arg(i);
  for (int i = 7; i <= 9; ++i) cles << QStringLiteral("Icon%1").arg(i);
  cles << QStringLiteral("[Other]") << QStringLiteral("Button1") << QStringLiteral("BufferTXT")
       << QStringLiteral("TitleTXT") << QStringLiteral("FileTXT");
  return cles;
}

TEST(TexteAideTest, EveryLineFitsIn54Characters) {
  const QStringList lignes = Lignes();
  ASSERT_GT(lignes.size(), 100);
  for (int i = 0; i < lignes.size(); ++i)
    EXPECT_LE(lignes[i].size(), 54) << "ligne " << i + 1 << " : " << lignes[i].toStdString();
}

TEST(TexteAideTest, HeaderContentsAndSectionsComeInOrder) {
  const QString texte = TexteAide();
  const QString entete = Lignes().mid(0, 10).join(QLatin1Char('\n'));
  EXPECT_TRUE(entete.contains("Lecteur programmateur de mémoires I2C"));
  EXPECT_TRUE(entete.contains(QRegularExpression("ZORBIX32\\.EXE.*version 3\\.2")));
  EXPECT_TRUE(entete.contains("août 1999 / janvier 2001"));

  // Each heading after the one before it: the contents first, then the
  // sections with the six menus, then the history newest first.
  const char* const ordre[] = {"SOMMAIRE",
                               "I)   Généralités",
                               "II)  Les menus",
                               "III) Divers : environnement, coordonnées...",
                               "IV)  Dernières améliorations",
                               "I) GÉNÉRALITÉS",
                               "II) LES MENUS",
                               "1) Menu Fichier (Alt+F)",
                               "2) Menu Action (Alt+A)",
                               "3) Menu Buffer (Alt+B)",
                               "4) Menu Mémoire (Alt+M)",
                               "5) Menu Configuration (Alt+C)",
                               "6) Menu Informations (Alt+I)",
                               "III) DIVERS",
                               "IV) DERNIÈRES",
                               "Version 3.2 - ",
                               "Version 3.1 - ",
                               "Version 3.0 - ",
                               "Version 2.0 - ",
                               "Version 1.0 - août 1999"};
  int depuis = 0;
  for (const char* titre : ordre) {
    const int trouve = texte.indexOf(QString::fromUtf8(titre), depuis);
    EXPECT_GE(trouve, 0) << titre;
    if (trouve >= 0) depuis = trouve;
  }
  EXPECT_TRUE(LigneDe(Lignes().last(), QLatin1Char('*')));
}

TEST(TexteAideTest, OffersTheCompleteEnglishLanguageFileBetweenTwoLinesOfAsterisks) {
  const QStringList lignes = Lignes();
  const int debut = lignes.indexOf(QStringLiteral("[Menu1]"));
  ASSERT_GT(debut, 0);
  ASSERT_TRUE(LigneDe(lignes[debut - 1], QLatin1Char('*')));
  QStringList cles;
  int i = debut;
  for (; i < lignes.size() && !LigneDe(lignes[i], QLatin1Char('*')); ++i) {
    const QString& l = lignes[i];
    if (l.startsWith(QLatin1Char('['))) {
      cles << l;
      continue;
    }
    const int egal = l.indexOf(QLatin1Char('='));
    ASSERT_GT(egal, 0) << l.toStdString();
    EXPECT_FALSE(l.mid(egal + 1).trimmed().isEmpty()) << l.toStdString();
    cles << l.left(egal);
  }
  EXPECT_LT(i, lignes.size()) << "no closing line of asterisks";
  EXPECT_EQ(cles, ClesLangue());
  EXPECT_TRUE(lignes.contains(QStringLiteral("TitleTXT=I2C memory programmer")));
}

TEST(TexteAideTest, TellsWhereThisProgramKeepsItsSettingsAndFindsItsPorts) {
  const QString texte = TexteAide();
  for (const char* attendu : {"Software\\KELVANO\\TRAMEX", "~/.config/KELVANO/TRAMEX.reg", "/etc/zorbix32",
                              "ZORBIXLG.INI", "/dev/parportN", "groupe lp", "ppdev",
                              "ZORBIX_SIMULATION=LPT1:24C16", "ZORBIX_SIM_TRACE", ".bin et .hex"})
    EXPECT_TRUE(texte.contains(QString::fromUtf8(attendu))) << attendu;
}

}  // namespace
}  // namespace zorbix::test
