#include "bmp_file.h"

#include <QFile>
#include <QVector>
#include <cstdint>

namespace zorbix::outils {
namespace {

constexpr int TailleEnTeteFichier = 14;
constexpr int TailleEnTeteImage = 40;          // BITMAPINFOHEADER
constexpr std::int32_t PixelsParMetre = 3780;  // 96 dpi

void Mot16(QByteArray& b, std::uint16_t v) {
  b.append(char(v & 0xFF));
  b.append(char(v >> 8));
}

void Mot32(QByteArray& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

// Rows are stored bottom-up, each padded to a multiple of 4 bytes.
int OctetsParLigne(int largeur, int bitsParPixel) { return ((largeur * bitsParPixel + 31) / 32) * 4; }

QByteArray EnTetes(int largeur, int hauteur, int bitsParPixel, const QVector<QRgb>& palette) {
  const std::uint32_t debutPixels = TailleEnTeteFichier + TailleEnTeteImage + 4 * palette.size();
  const std::uint32_t taillePixels = OctetsParLigne(largeur, bitsParPixel) * hauteur;
  QByteArray b;
  b.append("BM");
  Mot32(b, debutPixels + taillePixels);
  Mot32(b, 0);  // two reserved words
  Mot32(b, debutPixels);
  Mot32(b, TailleEnTeteImage);
  Mot32(b, std::uint32_t(largeur));
  Mot32(b, std::uint32_t(hauteur));
  Mot16(b, 1);  // planes
  Mot16(b, std::uint16_t(bitsParPixel));
  Mot32(b, 0);  // BI_RGB: no compression
  Mot32(b, taillePixels);
  Mot32(b, PixelsParMetre);
  Mot32(b, PixelsParMetre);
  Mot32(b, std::uint32_t(palette.size()));  // colours used
  Mot32(b, 0);                              // all of them important
  for (QRgb c : palette) {
    b.append(char(qBlue(c)));
    b.append(char(qGreen(c)));
    b.append(char(qRed(c)));
    b.append(char(0));
  }
  return b;
}

bool Ecrire(const QByteArray& contenu, const QString& chemin) {
  QFile f(chemin);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenu) == contenu.size();
}

}  // namespace

bool EcrireBmpNoirEtBlanc(const QImage& image, const QString& chemin) {
  const QImage gris = image.convertToFormat(QImage::Format_Grayscale8);
  const int l = gris.width(), h = gris.height();
  QByteArray b = EnTetes(l, h, 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
  const int pas = OctetsParLigne(l, 1);
  for (int y = h - 1; y >= 0; --y) {
    QByteArray ligne(pas, '\0');
    const uchar* px = gris.constScanLine(y);
    for (int x = 0; x < l; ++x)
      if (px[x] >= 128) ligne[x / 8] = char(uchar(ligne[x / 8]) | (0x80 >> (x % 8)));
    b.append(ligne);
  }
  return Ecrire(b, chemin);
}

bool EcrireBmp256Couleurs(const QImage& image, const QString& chemin) {
  if (image.format() != QImage::Format_Indexed8 || image.colorCount() > 256) return false;
  QVector<QRgb> palette = image.colorTable();
  palette.resize(256, qRgb(0, 0, 0));
  const int l = image.width(), h = image.height();
  QByteArray b = EnTetes(l, h, 8, palette);
  const int pas = OctetsParLigne(l, 8);
  for (int y = h - 1; y >= 0; --y) {
    QByteArray ligne(reinterpret_cast<const char*>(image.constScanLine(y)), l);
    ligne.resize(pas, '\0');
    b.append(ligne);
  }
  return Ecrire(b, chemin);
}

}  // namespace zorbix::outils
