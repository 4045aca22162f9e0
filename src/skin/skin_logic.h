#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTime>
#include <QVariant>

#include "skin/skin_tables.h"

namespace cantorel {

// Knobs and bars. Slider 4 is a bar (its picture grows with the value); the
// others are knobs that move along their track.
constexpr int kBarSlider = 4;

// Puts slider n's knob (or bar) where `value` (0 to 1) says. Returns true
// when it moved, i.e. it has to be drawn again.
bool PlaceSliderKnob(SkinSlider &s, int n, double value);
// The smallest value above `value` at which PlaceSliderKnob draws slider n
// at another pixel (the knob moves, or the bar grows); above 1 when none
// does. The exact half-way value of a bar may still round back: the caller
// goes one step past it.
double NextKnobValue(const SkinSlider &s, int n, double value);

// A knob dragged by the pointer: `pointer` is the pointer's coordinate along
// the track in the knob's own coordinates, `grab` that coordinate at the
// press and `grabPos` the knob's position, updated to the new position. Returns the value, 0 to 1,
// exactly 0 or 1 at the ends of the track.
double DragSliderKnob(const SkinSlider &s, int pointer, int grab, int &grabPos);

// Where a window (all in twips) goes when it is dropped near the edges of the
// work area; the distance is 240 twips, the bottom keeps a gap of 15 twips.
constexpr int kSnapDistance = 240;
constexpr int kSnapBottomGap = 15;
QPoint SnapPosition(const QRect &windowTwips, const QRect &workAreaTwips);

// The window size (twips) for the expand and mini states.
QPoint WindowSizeFor(const SkinTables &t, int hFlag, int small);

// The text a digit display shows for a value (SetDD step 1). Formats 1 and 2
// read the clock `now`; what belongs in label 9 is put in `label9`.
QString DigitText(int format, const QVariant &value, int timeFmt, const QTime &now, QString *label9);

// Scrolling title (SetDD step 2): the part of the title shown at
// `scrollStart`, which moves on by one character per call. Titles that fit in
// `cells` characters stand still.
QString ScrollText(const QString &text, int cells, qint16 &scrollStart);

// One glyph of a digit display: its cell in the resource picture's grid and
// its width on the window.
struct GlyphCell {
  int row = 0, col = 0, width = 0;
  bool operator==(const GlyphCell &o) const { return row == o.row && col == o.col && width == o.width; }
};
// The glyphs that draw `text` on a display (SetDD step 3); `clock24` says the
// display shows a 24-hour clock, whose leading zeros are drawn.
QList<GlyphCell> GlyphCells(const DigitDisplay &d, const QString &text, bool clock24);

}  // namespace cantorel
