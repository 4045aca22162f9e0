// Window shapes: colour keys worked out on scanlines and polygon outlines.
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
  t.MultiOutline = true;
  t.OutlineExpected = t.OutlineFilled = 8;
  t.OutlinePoints = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {10, 10}, {30, 10}, {30, 30}, {10, 30}, {}};
  t.OutlineCounts = {4, 4};
  const QRegion r = OutlineRegion(t, &ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(r.contains(QPoint(5, 5)));
  EXPECT_FALSE(r.contains(QPoint(15, 15)));  // covered twice: out
  for (const QList<int> &counts : {QList<int>{4, 3}, QList<int>{9, -1}}) {
    t.OutlineCounts = counts;
    OutlineRegion(t, &ok);
    EXPECT_FALSE(ok);
  }
}
