#include "info_resources.h"

#include <QFile>

// The resources live in a static library: their registration must be asked
// for explicitly, and outside any namespace.
static void ChargerRessourcesInformations() { Q_INIT_RESOURCE(infowin); }

namespace zorbix {

QByteArray ContenuRessource(const char* nom) {
  ChargerRessourcesInformations();
  QFile f(QStringLiteral(":/infowin/") + QString::fromLatin1(nom));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage ImageInformation(const char* nom) { return QImage::fromData(ContenuRessource(nom), "BMP"); }

QString TexteAide() {
  QString texte = QString::fromUtf8(ContenuRessource("aide.txt"));
  // One line per line of text, and no empty line after the last.
  while (texte.endsWith(QLatin1Char('\n'))) texte.chop(1);
  return texte;
}

}  // namespace zorbix
