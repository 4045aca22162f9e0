// Window shapes: colour keys worked out on scanlines, polygon outlines, and
// the picture steps of composed skins.
#include <gtest/gtest.h>
#include <QRandomGenerator>

#include "skin/skin_picture_gui.h"

using namespace cantorel;

namespace {
QImage picture(int w, int h, QColor fill = Qt::gray) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}
}  // namespace

// The shape is the picture less its pixels of the key colour: the same as
// the colour's mask, worked out pixel by pixel the slow and obvious way.
TEST(RegionFromPicture, SameAsTheMaskOfTheColour) {
  QImage speckled = picture(64, 48);
  QRandomGenerator rng(7);
  for (int i = 0; i < 400; ++i) speckled.setPixel(rng.bounded(64), rng.bounded(48), qRgb(255, 0, 255));
  for (const QImage &img : {speckled, picture(40, 20), picture(8, 8, QColor(255, 0, 255)), QImage()}) {
    const QImage mask = img.createMaskFromColor(qRgb(255, 0, 255), Qt::MaskOutColor);
    QRegion expected;
    for (int y = 0; y < mask.height(); ++y)
      for (int x = 0; x < mask.width(); ++x)
        if (mask.pixelIndex(x, y) == 1) expected += QRect(x, y, 1, 1);
    EXPECT_EQ(RegionFromPicture(img, 255 + 255 * 65536), expected) << img.width();
  }
}

// Complete outlines only; several polygons (their counts adding up to the
// points) combine even-odd.
TEST(OutlineRegion, CompleteOutlinesOnly) {
  SkinTables t;
  bool ok = true;
  EXPECT_TRUE(OutlineRegion(t, &ok).isEmpty());
  EXPECT_FALSE(ok);
  t.OutlineExpected = 4;
  t.OutlineFilled = 4;
  t.OutlinePoints = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {10, 10}, {30, 10}, {30, 30}, {10, 30}, {}};
  EXPECT_EQ(OutlineRegion(t, &ok).boundingRect(), QRect(0, 0, 10, 10));
  EXPECT_TRUE(ok);
  t.OutlineFilled = 3;
  OutlineRegion(t, &ok);
  EXPECT_FALSE(ok);
  t.MultiOutline = true;
  t.OutlineExpected = t.OutlineFilled = 8;
  t.OutlinePoints[2] = {20, 20};
  t.OutlinePoints[1] = {20, 0};
  t.OutlinePoints[3] = {0, 20};
  t.OutlineCounts = {4, 4};
  const QRegion r = OutlineRegion(t, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(r.contains(QPoint(5, 5)));
  EXPECT_FALSE(r.contains(QPoint(15, 15)));  // covered twice: out
  EXPECT_TRUE(r.contains(QPoint(25, 25)));
  for (const QList<int> &counts : {QList<int>{4, 3}, QList<int>{9, -1}}) {
    t.OutlineCounts = counts;
    OutlineRegion(t, &ok);
    EXPECT_FALSE(ok);
  }
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
