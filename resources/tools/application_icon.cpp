#include "application_icon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace zorbix::outils {

bool DessinerIconeApplication(const QString& dossier) {
  const QDir racine(dossier);
  const QString source = racine.filePath(QStringLiteral("hicolor/scalable/apps/zorbix32.svg"));
  QSvgRenderer dessin(source);
  if (!dessin.isValid()) {
    std::fprintf(stderr, "dessin illisible : %s\n", qPrintable(source));
    return false;
  }
  // The sizes desktops ask the hicolor theme for: menus, panels, launchers.
  for (const int taille : {16, 22, 24, 32, 48, 64, 128, 256}) {
    QImage image(taille, taille, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter peintre(&image);
    peintre.setRenderHint(QPainter::Antialiasing);
    dessin.render(&peintre);
    peintre.end();
    const QString sousDossier = QStringLiteral("hicolor/%1x%1/apps").arg(taille);
    const QString chemin = racine.filePath(sousDossier + QStringLiteral("/zorbix32.png"));
    if (!racine.mkpath(sousDossier) || !image.save(chemin, "PNG")) {
      std::fprintf(stderr, "écriture impossible : %s\n", qPrintable(chemin));
      return false;
    }
  }
  return true;
}

}  // namespace zorbix::outils
