// Draws the pictures of the information windows into a folder (normally
// resources/): the adapter's wiring diagram schema.bmp, the two about-box
// chips about_24c16.bmp and about_pcf8582.bmp, and the application icon's
// PNG sizes from its SVG drawing (hicolor/). A diagram whose texts touch
// one another or a wire is refused, and nothing is written, unless asked for
// a draft to look at.
//
//   zorbix_draw_pictures [--brouillon] FOLDER
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "application_icon.h"
#include "bmp_file.h"
#include "chip_picture.h"
#include "palette_reduction.h"
#include "wiring_diagram.h"

int main(int argc, char** argv) {
  using namespace zorbix::outils;
  // Fonts need an application object, not a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  const bool brouillon = arguments.removeAll(QStringLiteral("--brouillon")) > 0;
  if (arguments.size() != 1) {
    std::fprintf(stderr, "usage : %s [--brouillon] DOSSIER\n", argv[0]);
    return 2;
  }
  const QDir dossier(arguments.front());

  QStringList defauts;
  const QImage schema = DessinerSchema(defauts);
  for (const QString& d : defauts) std::fprintf(stderr, "schéma : %s\n", qPrintable(d));
  if (!defauts.isEmpty() && !brouillon) return 1;

  const Puce puces[] = {
      {QStringLiteral("24C16"), QStringLiteral("9934"), QColor(150, 176, 186)},
      {QStringLiteral("PCF8582C-2"), QStringLiteral("9948"), QColor(190, 178, 150)},
  };
  const char* const noms[] = {"about_24c16.bmp", "about_pcf8582.bmp"};
  bool ecrits = EcrireBmpNoirEtBlanc(schema, dossier.filePath(QStringLiteral("schema.bmp")));
  for (int i = 0; i < 2; ++i)
    ecrits = ecrits && EcrireBmp256Couleurs(ReduireA256Couleurs(DessinerPuce(puces[i])),
                                            dossier.filePath(QString::fromLatin1(noms[i])));
  ecrits = ecrits && DessinerIconeApplication(dossier.path());
  if (!ecrits) {
    std::fprintf(stderr, "écriture impossible dans %s\n", qPrintable(dossier.path()));
    return 1;
  }
  return defauts.isEmpty() ? 0 : 1;
}
