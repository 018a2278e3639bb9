// The three embedded pictures are uncompressed Windows bitmaps of exactly
// the size, depth and palette the windows are laid out for.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <QtEndian>

#include "infowin/info_resources.h"

namespace zorbix::test {
namespace {

struct Bitmap {
  const char* nom;
  int largeur, hauteur, bits;
};

void PrintTo(const Bitmap& b, std::ostream* os) { *os << b.nom; }

class BitmapTest : public ::testing::TestWithParam<Bitmap> {
 protected:
  void SetUp() override {
    octets_ = ContenuRessource(GetParam().nom);
    ASSERT_GE(octets_.size(), 54);
  }
  quint32 Mot32(int position) const { return qFromLittleEndian<quint32>(octets_.constData() + position); }
  quint16 Mot16(int position) const { return qFromLittleEndian<quint16>(octets_.constData() + position); }

  QByteArray octets_;
};

TEST_P(BitmapTest, HeaderSizeDepthPaletteAndNoCompression) {
  const Bitmap& b = GetParam();
  EXPECT_EQ(octets_.left(2), QByteArray("BM"));
  EXPECT_EQ(Mot32(2), quint32(octets_.size()));
  EXPECT_EQ(Mot32(14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(qint32(Mot32(18)), b.largeur);
  EXPECT_EQ(qint32(Mot32(22)), b.hauteur);
  EXPECT_EQ(Mot16(26), 1u);
  EXPECT_EQ(Mot16(28), quint16(b.bits));
  EXPECT_EQ(Mot32(30), 0u);  // BI_RGB
  const quint32 entrees = 1u << b.bits;
  EXPECT_TRUE(Mot32(46) == 0 || Mot32(46) == entrees) << Mot32(46);
  const quint32 debutPixels = Mot32(10);
  EXPECT_EQ(debutPixels, 54 + 4 * entrees);  // the palette fills the gap, whole
  const quint32 parLigne = ((b.largeur * b.bits + 31) / 32) * 4;
  EXPECT_EQ(quint32(octets_.size()) - debutPixels, parLigne * b.hauteur);

  const QImage image = QImage::fromData(octets_, "BMP");
  EXPECT_EQ(image.size(), QSize(b.largeur, b.hauteur));
  EXPECT_EQ(image.depth(), b.bits);
}

INSTANTIATE_TEST_SUITE_P(Images, BitmapTest,
                         ::testing::Values(Bitmap{"schema.bmp", 541, 339, 1},
                                           Bitmap{"about_24c16.bmp", 179, 159, 8},
                                           Bitmap{"about_pcf8582.bmp", 179, 159, 8}),
                         [](const auto& info) {
                           return QString::fromLatin1(info.param.nom).section('.', 0, 0).toStdString();
                         });

TEST(SchemaBitmapTest, PaletteIsBlackThenWhite) {
  const QByteArray b = ContenuRessource("schema.bmp");
  ASSERT_GE(b.size(), 62);
  EXPECT_EQ(b.mid(54, 8), QByteArray("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8));
}

// Two different chips, each a rendered picture with shading, not a flat
// drawing.
TEST(AboutBitmapsTest, TwoDifferentShadedPictures) {
  const QImage a = ImageInformation("about_24c16.bmp"), b = ImageInformation("about_pcf8582.bmp");
  EXPECT_NE(a, b);
  for (const QImage& i : {a, b}) {
    QSet<QRgb> couleurs;
    for (int y = 0; y < i.height(); ++y)
      for (int x = 0; x < i.width(); ++x) couleurs.insert(i.pixel(x, y));
    EXPECT_GT(couleurs.size(), 100);
  }
}

}  // namespace
}  // namespace zorbix::test
