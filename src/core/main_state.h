#pragma once

#include <QString>

#include <array>

namespace cantorel {

// A slider of the main window: its value runs from 0 to 1.
struct SliderState {
  double Value = 0.0;
};

// The main window's own state, shared with the transport, the timers and the
// dispatcher. Flags hold 0 or -1 (true).
struct MainState {
  static constexpr int kSliderCount = 5;

  qint16 TNum = 1;  // 1-based index of the current playlist entry
  QString SongPath;
  QString SongName;
  QString Dev;  // "DX" (played through the player), "Delay" (shown only) or empty
  qint16 InternetFile = 0;
  double SongLen = 0;
  double Elapsed = 0;
  double Remain = 0;
  qint32 TimeDisp = 0;
  qint32 TimeDispK = 0;
  qint32 RptA = 0;
  qint32 RptB = 0;
  qint16 Playing = 0;
  qint16 Paused = 0;
  qint16 Intro = 0;
  qint16 STP = 0;
  qint16 Shuffle = 0;
  qint16 Random = 0;
  qint16 Repeat = 0;
  qint16 TimeFlag = 0;
  qint16 Mute = 0;
  int SavedVolume = 0;
  QString AddPath;
  QString AddName;
  QString AddTitle;
  QString LastCover;
  std::array<SliderState, kSliderCount + 1> Sliders{};  // index 1..5
  QString LastShownTime;
  QString Prg;
  QString Sect;
  qint16 TwipX = 15;
  qint16 TwipY = 15;
  QString PLCover;
  qint16 ScrollStart = 1;
  qint16 DragFlag = 0;
  qint16 SlideFlag = 0;
  qint16 LastIndex = 0;
  qint16 HFlag = 0;
  qint16 Small = 0;
  qint16 Light1Flag = 0;  // indicator flag of light 1
};

}  // namespace cantorel
