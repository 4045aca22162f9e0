#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>

namespace cantorel {

// A colour as the skin file gives it: red + green * 256 + blue * 65536.
using SkinColor = quint32;
inline int skinRed(SkinColor c) {
  return static_cast<int>(c & 0xFF);
}
inline int skinGreen(SkinColor c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
inline int skinBlue(SkinColor c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// One hot area of the window; its slot number is its command code.
struct SkinButton {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  qint16 SrcX = 0, SrcY = 0;  // pressed image in the resource picture
  QChar KeyChar = QLatin1Char(' ');
  QString Tag;
  QString ToolTip;
  bool Visible = false;
};

struct SkinLabel {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  SkinColor ForeColor = 0;
  QString FontName;
  int FontSize = 8;
  bool Bold = false, Italic = false, Underline = false;
  QString ToolTip;
  bool Visible = false;
};

// A row of glyphs cut from the resource picture.
struct DigitDisplay {
  qint16 SrcX = 0, SrcY = 0, DigitWidth = 0, DigitHeight = 0, SepWidth = 0;
  qint16 Style = 0, GlyphGap = 0, Format = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // the area Dig(n)
  QString ToolTip;
  bool Visible = false;
};

// A slider's track and knob; its value lives in MainState::Sliders.
struct SkinSlider {
  qint16 TrackLeft = 0, TrackTop = 0, TrackWidth = 0, TrackHeight = 0;
  qint16 KnobSrcX = 0, KnobSrcY = 0, KnobWidth = 0, KnobHeight = 0;
  qint16 Drawn = 0;
  // Where the knob (or, for slider 4, the bar) is now.
  int KnobLeft = 0, KnobTop = 0, KnobW = 0, KnobH = 0;
  QString ToolTip;
  bool Visible = false;
  bool vertical() const { return TrackHeight != 0; }
};

struct SkinLight {
  int Left = -10, Top = 0, Width = 0, Height = 0;
  SkinColor FillColor = 0;
  qint16 ShapeKind = 0;  // 0 rectangle, 1 square, 2 oval, 3 circle, 4/5 rounded
  bool Declared = false;
};

// The playlist box, the lyric box and the lyric line label.
struct SkinBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  SkinColor ForeColor = 0, BackColor = 0xFFFFFF;
  int FontSize = 8;
  QString FontName;
  QString ToolTip;
  bool Visible = false;
};

// What the window does with pictures while a skin loads, in file order. The
// reader decides everything it can without a picture; the window replays
// these steps on real images.
struct PictureStep {
  enum Kind { LoadBackground, LoadResource, ReadWork, SizeWork, CopyWork, UseWork, ColorKey };
  Kind kind = LoadBackground;
  int n = 0;                                     // work picture
  QString path;                                  // LoadBackground, LoadResource, ReadWork
  int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;  // sizes, blocks, colour
};

// Every table a skin fills. Lives with the window; a new skin changes it in
// place (some entries survive a load on purpose, see SkinReader).
struct SkinTables {
  static constexpr int kButtons = 120;
  static constexpr int kLabels = 50;
  static constexpr int kDisplays = 6;
  static constexpr int kSliders = 5;
  static constexpr int kLights = 18;
  static constexpr int kKeyStrings = 20;

  // SkinLayout
  QString Description;
  QString SkinFolder;
  QString BitmapFolder;
  std::array<QPoint, 3> WindowSizes{};  // width, height in twips
  qint16 HoverMode = 0;
  qint32 StartPosition = 0;
  SkinColor BackColor = 0;
  QList<QPoint> OutlinePoints;
  QList<int> OutlineCounts;
  qint16 OutlineExpected = 0;
  qint16 OutlineFilled = 0;
  bool MultiOutline = false;
  std::array<QString, kKeyStrings + 1> KeyStrings;  // 1..20

  std::array<SkinButton, kButtons + 1> Btn;      // 1..120
  std::array<SkinLabel, kLabels + 1> Lbl;        // 1..50
  std::array<DigitDisplay, kDisplays + 1> Dig;   // 1..6
  std::array<SkinSlider, kSliders + 1> Sliders;  // 1..5
  std::array<SkinLight, kLights + 1> Ind;        // 1..18
  SkinBox PlNames, PlLyrics, LyricLine;
  SkinBox Cover;

  QList<PictureStep> Pictures;  // of the last load
};

}  // namespace cantorel
