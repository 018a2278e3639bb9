#include "palette_reduction.h"

#include <QVector>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace zorbix::outils {
namespace {

using Couleur = std::array<int, 3>;

struct Boite {
  std::vector<Couleur> couleurs;

  int Etendue(int canal) const {
    const auto [mn, mx] =
        std::minmax_element(couleurs.begin(), couleurs.end(),
                            [canal](const Couleur& a, const Couleur& b) { return a[canal] < b[canal]; });
    return (*mx)[canal] - (*mn)[canal];
  }
  int CanalLePlusEtendu() const {
    int meilleur = 0;
    for (int c = 1; c < 3; ++c)
      if (Etendue(c) > Etendue(meilleur)) meilleur = c;
    return meilleur;
  }
  QRgb Moyenne() const {
    long somme[3] = {0, 0, 0};
    for (const Couleur& c : couleurs)
      for (int k = 0; k < 3; ++k) somme[k] += c[k];
    const long n = long(couleurs.size());
    return qRgb(int(somme[0] / n), int(somme[1] / n), int(somme[2] / n));
  }
};

// Splits the box with the widest spread of colours at its median, until
// there are `nombre` boxes or nothing left to split.
std::vector<Boite> Decouper(std::vector<Couleur> pixels, int nombre) {
  std::vector<Boite> boites{Boite{std::move(pixels)}};
  while (int(boites.size()) < nombre) {
    auto plusEtendue = boites.end();
    int etendue = 0;
    for (auto b = boites.begin(); b != boites.end(); ++b) {
      if (b->couleurs.size() < 2) continue;
      const int e = b->Etendue(b->CanalLePlusEtendu());
      if (e > etendue) etendue = e, plusEtendue = b;
    }
    if (plusEtendue == boites.end()) break;
    std::vector<Couleur>& c = plusEtendue->couleurs;
    const int canal = plusEtendue->CanalLePlusEtendu();
    std::sort(c.begin(), c.end(),
              [canal](const Couleur& a, const Couleur& b) { return a[canal] < b[canal]; });
    Boite moitie{std::vector<Couleur>(c.begin() + c.size() / 2, c.end())};
    c.resize(c.size() / 2);
    boites.push_back(std::move(moitie));
  }
  return boites;
}

int LaPlusProche(const QVector<QRgb>& palette, QRgb c) {
  int meilleur = 0, distance = std::numeric_limits<int>::max();
  for (int i = 0; i < palette.size(); ++i) {
    const int dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
              db = qBlue(c) - qBlue(palette[i]);
    const int d = dr * dr + dg * dg + db * db;
    if (d < distance) distance = d, meilleur = i;
  }
  return meilleur;
}

}  // namespace

QImage ReduireA256Couleurs(const QImage& image, int couleurs) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::vector<Couleur> pixels;
  pixels.reserve(std::size_t(rgb.width()) * rgb.height());
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = rgb.pixel(x, y);
      pixels.push_back({qRed(c), qGreen(c), qBlue(c)});
    }
  QVector<QRgb> palette;
  for (const Boite& b : Decouper(std::move(pixels), couleurs)) palette.push_back(b.Moyenne());

  QImage indexee(rgb.size(), QImage::Format_Indexed8);
  indexee.setColorTable(palette);
  for (int y = 0; y < rgb.height(); ++y) {
    uchar* ligne = indexee.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) ligne[x] = uchar(LaPlusProche(palette, rgb.pixel(x, y)));
  }
  return indexee;
}

}  // namespace zorbix::outils
