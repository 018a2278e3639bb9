#include "french_desktop.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstring>
#include <string>

namespace zorbix {
namespace {

// Texts of Qt's file dialog that its French catalogue leaves in English.
class TraductionsManquantes final : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* contexte, const char* texte, const char* = nullptr, int = -1) const override {
    struct Texte {
      const char* contexte;
      const char* anglais;
      const char* francais;
    };
    static const Texte textes[] = {
        {"QAbstractFileIconProvider", "Folder", "Dossier"},
        {"QAbstractFileIconProvider", "Drive", "Lecteur"},
        {"QAbstractFileIconProvider", "Shortcut", "Raccourci"},
        {"QAbstractFileIconProvider", "Unknown", "Inconnu"},
        {"QFileSystemModel", "Unknown", "Inconnu"},
    };
    for (const Texte& t : textes)
      if (std::strcmp(contexte, t.contexte) == 0 && std::strcmp(texte, t.anglais) == 0)
        return QString::fromUtf8(t.francais);
    return QString();
  }
};

// The C library's locale as the user's environment sets it, which the
// French environment given to Qt must not change (the French locale may not
// even be installed: Qt has its own locale data).
std::string localeC;

}  // namespace

void ChoisirLocaleFrancaise() {
  if (const char* nom = std::setlocale(LC_ALL, "")) localeC = nom;
  qputenv("LC_ALL", "fr_FR.UTF-8");
}

void InstallerFrancais(QApplication& app) {
  if (!localeC.empty()) std::setlocale(LC_ALL, localeC.c_str());
  const QLocale francais(QLocale::French, QLocale::France);
  QLocale::setDefault(francais);
  // "qt" brings in every Qt module's catalogue, qtbase (dialogs, buttons) first of all.
  auto* qt = new QTranslator(&app);
  if (qt->load(francais, QStringLiteral("qt"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(qt);
  QApplication::installTranslator(new TraductionsManquantes(&app));
  // fontconfig maps "Courier New" to Liberation Mono by itself, not this one.
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

}  // namespace zorbix
