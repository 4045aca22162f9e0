// Window shapes: colour keys worked out on scanlines, polygon outlines, and
// the picture steps of composed skins.
#include <gtest/gtest.h>
#include <QRandomGenerator>

#include "skin/skin_picture_gui.h"

using namespace cantorel;

namespace {
constexpr SkinColor kMagenta = 255 + 255 * 65536;
QImage picture(int w, int h, QColor fill = Qt::gray) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}
}  // namespace

TEST(RegionFromPicture, PictureWithoutTheColourIsItsRectangle) {
  EXPECT_EQ(RegionFromPicture(picture(40, 20), kMagenta), QRegion(0, 0, 40, 20));
  EXPECT_TRUE(RegionFromPicture(QImage(), kMagenta).isEmpty());
  EXPECT_TRUE(RegionFromPicture(picture(8, 8, QColor(255, 0, 255)), kMagenta).isEmpty());
}

TEST(RegionFromPicture, SameAsTheMaskOfTheColour) {
  QImage img = picture(64, 48);
  QRandomGenerator rng(7);
  for (int i = 0; i < 400; ++i) img.setPixel(rng.bounded(64), rng.bounded(48), qRgb(255, 0, 255));
  // Pixel by pixel from the colour's mask, the slow and obvious way.
  const QImage mask = img.createMaskFromColor(qRgb(255, 0, 255), Qt::MaskOutColor);
  QRegion expected;
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      if (mask.pixelIndex(x, y) == 1) expected += QRect(x, y, 1, 1);
  EXPECT_EQ(RegionFromPicture(img, kMagenta), expected);
}

TEST(OutlineRegion, CompleteOutlinesOnly) {
  SkinTables t;
  bool ok = true;
  EXPECT_TRUE(OutlineRegion(t, &ok).isEmpty());
  EXPECT_FALSE(ok);
  t.OutlineExpected = 4;
  t.OutlineFilled = 4;
  t.OutlinePoints = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {}};
  const QRegion square = OutlineRegion(t, &ok);
  EXPECT_TRUE(ok);
  EXPECT_TRUE(square.contains(QPoint(5, 5)));
  EXPECT_FALSE(square.contains(QPoint(15, 5)));
  t.OutlineFilled = 3;
  OutlineRegion(t, &ok);
  EXPECT_FALSE(ok);
}

TEST(OutlineRegion, SeveralPolygonsUseEvenOdd) {
  SkinTables t;
  t.MultiOutline = true;
  t.OutlineExpected = t.OutlineFilled = 8;
  t.OutlinePoints = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {10, 10}, {30, 10}, {30, 30}, {10, 30}, {}};
  t.OutlineCounts = {4, 4};
  bool ok = false;
  const QRegion r = OutlineRegion(t, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(r.contains(QPoint(5, 5)));
  EXPECT_FALSE(r.contains(QPoint(15, 15)));  // covered twice: out
  EXPECT_TRUE(r.contains(QPoint(25, 25)));
  t.OutlineCounts = {4, 3};  // does not add up: no outline
  OutlineRegion(t, &ok);
  EXPECT_FALSE(ok);
  t.OutlineCounts = {9, -1};
  OutlineRegion(t, &ok);
  EXPECT_FALSE(ok);
}

TEST(PictureSteps, BlocksAreClippedAndMissingPicturesKeepTheOldOnes) {
  SkinPictures p;
  p.Background = picture(5, 5, Qt::green);
  p.Work[2] = picture(10, 10, Qt::blue);
  QList<PictureStep> steps;
  auto step = [](PictureStep::Kind k, int n, int a = 0, int b = 0, int c = 0, int d = 0, int e = 0,
                 int f = 0) {
    PictureStep s;
    s.kind = k;
    s.n = n;
    s.a = a, s.b = b, s.c = c, s.d = d, s.e = e, s.f = f;
    return s;
  };
  steps << step(PictureStep::SizeWork, 0, 8, 8)
        << step(PictureStep::CopyWork, 0, -5, -5, 100000, 100000, 2, 2)  // source and target clipped
        << step(PictureStep::CopyWork, 0, 50, 50, 5, 5, 0, 0)            // outside the source: nothing
        << step(PictureStep::CopyWork, 1, 0, 0, 5, 5, 0, 0);             // work 1 has no picture: nothing
  PictureStep missing;
  missing.kind = PictureStep::LoadResource;
  missing.path = QStringLiteral("/nonexistent/res.png");
  steps << missing << step(PictureStep::UseWork, 0) << step(PictureStep::ColorKey, 0, 0);
  const SkinShape shape = ApplyPictureSteps(steps, p);
  ASSERT_EQ(p.Background.size(), QSize(8, 8));
  EXPECT_EQ(QColor(p.Background.pixel(0, 0)), QColor(Qt::black));
  EXPECT_EQ(QColor(p.Background.pixel(7, 7)), QColor(Qt::blue));
  EXPECT_TRUE(p.Resource.isNull());
  EXPECT_TRUE(shape.hasRegion);
  for (const QImage &w : p.Work) EXPECT_TRUE(w.isNull());
}
