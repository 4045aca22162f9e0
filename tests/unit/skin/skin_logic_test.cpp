// Sliders, snapping, window sizes, digit display texts and glyphs.
#include <gtest/gtest.h>

#include "skin/skin_logic.h"

using namespace cantorel;

namespace {
SkinSlider horizontal() {
  SkinSlider s;
  s.TrackLeft = 10;
  s.TrackTop = 5;
  s.TrackWidth = 100;
  s.KnobWidth = 8;
  s.KnobHeight = 8;
  s.Visible = true;
  return s;
}
}  // namespace

TEST(SkinSlider, DragStopsAtTheEndsWithExactValues) {
  const SkinSlider s = horizontal();
  const struct {
    int pointer;
    double value;
    int pos;
  } cases[] = {{-500, 0.0, 10}, {500, 1.0, 110}, {50, 0.5, 60}, {0, 0.0, 10}};
  for (const auto &c : cases) {
    int grabPos = 10;  // knob at the start, grabbed at x = 0
    EXPECT_EQ(DragSliderKnob(s, c.pointer, 0, grabPos), c.value) << c.pointer;
    EXPECT_EQ(grabPos, c.pos);
  }
  SkinSlider v = s;
  v.TrackHeight = 50;
  int top = 5;
  EXPECT_EQ(DragSliderKnob(v, -100, 0, top), 1.0);  // the top end is full
  EXPECT_EQ(top, 5);
  SkinSlider empty = s;
  empty.TrackWidth = 0;
  int left = 10;
  EXPECT_EQ(DragSliderKnob(empty, 40, 0, left), 0.0);
}

TEST(SkinSlider, PlacingKnobsAndBars) {
  SkinSlider s = horizontal();
  EXPECT_TRUE(PlaceSliderKnob(s, 2, 0.5));
  EXPECT_EQ(s.KnobLeft, 60);
  EXPECT_FALSE(PlaceSliderKnob(s, 2, 0.505));  // same pixel: not redrawn
  SkinSlider v = s;
  v.TrackHeight = 40;
  PlaceSliderKnob(v, 2, 1.0);
  EXPECT_EQ(v.KnobTop, 5);
  PlaceSliderKnob(v, 2, 0.0);
  EXPECT_EQ(v.KnobTop, 45);
  SkinSlider bar = s;
  PlaceSliderKnob(bar, kBarSlider, 0.125);  // 12.5 rounds to even
  EXPECT_EQ(bar.KnobW, 12);
  SkinSlider vbar = v;
  PlaceSliderKnob(vbar, kBarSlider, 0.75);
  EXPECT_EQ(vbar.KnobH, 10);  // covers the empty part from the top
  SkinSlider hidden = s;
  hidden.Visible = false;
  EXPECT_FALSE(PlaceSliderKnob(hidden, 2, 0.3));
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
      {{3000, 200}, {3000, 0}},
      {{3000, 240}, {3000, 240}},
      {{-239, 3000}, {0, 3000}},
      {{3000, 700 * 15 - h - 100}, {3000, 700 * 15 - h - 15}},
      {{1000 * 15 - w + 239, 3000}, {1000 * 15 - w, 3000}},
      {{1000 * 15 - w + 240, 3000}, {1000 * 15 - w + 240, 3000}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SnapPosition(QRect(c.dropped, QSize(w, h)), area), c.snapped)
        << c.dropped.x() << "," << c.dropped.y();
}

TEST(SkinWindow, SizesFollowExpandAndMini) {
  SkinTables t;
  t.WindowSizes = {QPoint(1, 1), QPoint(2, 2), QPoint(3, 3)};
  EXPECT_EQ(WindowSizeFor(t, 0, 0), QPoint(1, 1));
  EXPECT_EQ(WindowSizeFor(t, 1, 0), QPoint(2, 2));
  EXPECT_EQ(WindowSizeFor(t, 1, 1), QPoint(3, 3));
  EXPECT_EQ(WindowSizeFor(t, 0, 1), QPoint(3, 3));
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
      {-3, 7, 0, "007", ""},
      {-1, 123, 0, "123", ""},
      {0, 75, 0, "01:15", ""},
      {0, 600.4, 0, "10:00", ""},
      {1, 0, 1, "14:05", "  "},
      {1, 0, 0, "02:05", "PM"},
      {2, 0, 1, "14:05", "09"},
      {3, 12.34, 0, "012.3", ""},
      {4, 1.5, 0, "001.500", ""},
      {7, QStringLiteral("Hello"), 0, "Hello", ""},
      {-3, QStringLiteral("abc"), 0, "abc", ""},
  };
  for (const auto &c : cases) {
    QString l9;
    EXPECT_EQ(DigitText(c.format, c.value, c.timeFmt, now, &l9), QString::fromLatin1(c.text)) << c.format;
    EXPECT_EQ(l9, QString::fromLatin1(c.label9)) << c.format;
  }
}

TEST(DigitText, TitleScrollsOneCharacterPerCallAndWrapsAround) {
  qint16 start = 1;
  EXPECT_EQ(ScrollText(QStringLiteral("abc"), -5, start), QStringLiteral("abc"));
  EXPECT_EQ(start, 1);
  QStringList shown;
  for (int i = 0; i < 11; ++i) shown << ScrollText(QStringLiteral("abcdef"), -4, start).left(4);
  EXPECT_EQ(shown, (QStringList{QStringLiteral("abcd"), QStringLiteral("bcde"), QStringLiteral("cdef"),
                                QStringLiteral("def "), QStringLiteral("ef  "), QStringLiteral("f  *"),
                                QStringLiteral("  * "), QStringLiteral(" *  "), QStringLiteral("*  a"),
                                QStringLiteral("  ab"), QStringLiteral("abcd")}));
}

TEST(DigitGlyphs, Style0BlanksLeadingZeros) {
  DigitDisplay d;
  d.DigitWidth = 9;
  d.SepWidth = 4;
  auto cols = [&](const QString &text, bool clock24 = false) {
    QList<int> out;
    for (const auto &g : GlyphCells(d, text, clock24)) out << g.col;
    return out;
  };
  d.Format = -3;
  EXPECT_EQ(cols(QStringLiteral("007")), (QList<int>{10, 10, 7}));
  d.Format = 0;
  EXPECT_EQ(cols(QStringLiteral("01:15")), (QList<int>{10, 1, 12, 1, 5}));
  EXPECT_EQ(cols(QStringLiteral("00:05")), (QList<int>{10, 0, 12, 0, 5}));
  EXPECT_EQ(GlyphCells(d, QStringLiteral("1:2"), false)[1].width, 4);
  d.Format = 1;
  EXPECT_EQ(cols(QStringLiteral("09:05"), true), (QList<int>{0, 9, 12, 0, 5}));
  d.Format = 3;
  EXPECT_EQ(cols(QStringLiteral("012.5")), (QList<int>{10, 1, 2, 11, 5}));
}

TEST(DigitGlyphs, GridStyles) {
  DigitDisplay d;
  d.DigitWidth = 5;
  d.Format = -4;
  d.Style = 1;
  auto cells = GlyphCells(d, QStringLiteral("a\xe9"), false);
  ASSERT_EQ(cells.size(), 4);
  EXPECT_EQ(cells[0], (GlyphCell{4, 1, 5}));  // 'a' = 97: its own cell
  EXPECT_EQ(cells[1], (GlyphCell{0, 0, 5}));  // outside 32..127: blank
  EXPECT_EQ(cells[3], (GlyphCell{0, 0, 5}));  // beyond the text: blank
  d.Style = 2;
  EXPECT_EQ(GlyphCells(d, QStringLiteral("a"), false)[0], (GlyphCell{2, 1, 5}));  // as 'A'
  d.Style = 3;
  const auto s3 = GlyphCells(d, QStringLiteral("z5:#"), false);
  EXPECT_EQ(s3[0], (GlyphCell{0, 25, 5}));
  EXPECT_EQ(s3[1], (GlyphCell{1, 5, 5}));
  EXPECT_EQ(s3[2], (GlyphCell{1, 12, 5}));
  EXPECT_EQ(s3[3], (GlyphCell{1, 28, 5}));
  d.Format = -32768;
  EXPECT_EQ(GlyphCells(d, QString(), false).size(), 255);  // bounded
}

TEST(DisplayTitle, ArtistAndAlbumInFront) {
  EXPECT_EQ(ComposeTitle(QString(), QString(), QString(), QStringLiteral(" song "), 1, 0),
            QStringLiteral("Unknown Artist - song"));
  EXPECT_EQ(ComposeTitle(QStringLiteral("T "), QStringLiteral("Ar"), QStringLiteral("Al"), QString(), 1, 1),
            QStringLiteral("Ar - Al - T"));
  EXPECT_EQ(ComposeTitle(QStringLiteral("T"), QString(), QString(), QString(), 0, 1),
            QStringLiteral("Unknown Album - T"));
}
