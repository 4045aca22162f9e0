// Sliders, snapping, digit display texts and glyphs.
#include <gtest/gtest.h>

#include "skin/skin_logic.h"

using namespace cantorel;

namespace {
SkinSlider horizontal(int trackHeight = 0) {
  SkinSlider s;
  s.TrackLeft = 10;
  s.TrackTop = 5;
  s.TrackWidth = 100;
  s.TrackHeight = trackHeight;
  s.KnobWidth = 8;
  s.KnobHeight = 8;
  s.Visible = true;
  return s;
}
}  // namespace

TEST(SkinSlider, DragOnAnEmptyTrackAndPlacingKnobsAndBars) {
  SkinSlider empty = horizontal();
  empty.TrackWidth = 0;
  int left = 10;
  EXPECT_EQ(DragSliderKnob(empty, 40, 0, left), 0.0);
  SkinSlider s = horizontal();
  EXPECT_TRUE(PlaceSliderKnob(s, 2, 0.5));
  EXPECT_EQ(s.KnobLeft, 60);
  SkinSlider v = horizontal(40);
  PlaceSliderKnob(v, 2, 0.0);
  EXPECT_EQ(v.KnobTop, 45);  // upright: the bottom is empty
  EXPECT_TRUE(PlaceSliderKnob(s, 2, std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(s.KnobLeft, 10);
}

TEST(SkinWindow, SnappingUsesTheDistancesInTwips) {
  const QRect area(0, 0, 1000 * 15, 700 * 15);
  const int w = 300 * 15, h = 200 * 15;
  const struct {
    QPoint dropped;
    QPoint snapped;
  } cases[] = {
      {{3000, 700 * 15 - h - 100}, {3000, 700 * 15 - h - 15}},
      {{1000 * 15 - w + 239, 3000}, {1000 * 15 - w, 3000}},
      {{1000 * 15 - w + 240, 3000}, {1000 * 15 - w + 240, 3000}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SnapPosition(QRect(c.dropped, QSize(w, h)), area), c.snapped)
        << c.dropped.x() << "," << c.dropped.y();
}

TEST(DigitText, Formats) {
  const QTime now(14, 5, 9);
  const struct {
    int format;
    QVariant value;
    int timeFmt;
    const char *text;
    const char *label9;
  } cases[] = {
      {0, 75, 0, "01:15", ""},
      {1, 0, 0, "02:05", "PM"},
      {2, 0, 1, "14:05", "09"},
      {3, 12.34, 0, "012.3", ""},
  };
  for (const auto &c : cases) {
    QString l9;
    EXPECT_EQ(DigitText(c.format, c.value, c.timeFmt, now, &l9), QString::fromLatin1(c.text)) << c.format;
    EXPECT_EQ(l9, QString::fromLatin1(c.label9)) << c.format;
  }
}

// The cell of the resource picture each character is drawn from: digits
// (style 0, leading zeros blank), or a grid of characters (styles 1 to 3).
TEST(DigitGlyphs, CellsOfEachStyle) {
  const struct {
    int format, style;
    const char *text;
    bool clock24;
    const char *cells;  // "row,column" of each glyph
  } cases[] = {{0, 0, "00:05", false, "0,10 0,0 0,12 0,0 0,5"},
               {1, 0, "09:05", true, "0,0 0,9 0,12 0,0 0,5"},
               {-4, 1, "a\xe9", false, "4,1 0,0 0,0 0,0"},  // outside 32..127 and past the text: blank
               {-4, 3, "z5:#", false, "0,25 1,5 1,12 1,28"}};
  for (const auto &c : cases) {
    DigitDisplay d;
    d.DigitWidth = 9;
    d.SepWidth = 4;
    d.Format = c.format;
    d.Style = c.style;
    QStringList cells;
    for (const GlyphCell &g : GlyphCells(d, QString::fromLatin1(c.text), c.clock24))
      cells << QStringLiteral("%1,%2").arg(g.row).arg(g.col);
    EXPECT_EQ(cells.join(u' '), QLatin1String(c.cells)) << c.text;
  }
  DigitDisplay d;
  d.Style = 1;
  d.Format = -32768;
  EXPECT_EQ(GlyphCells(d, QString(), false).size(), 255);  // bounded
}
