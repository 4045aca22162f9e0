#pragma once

#include <QString>

#include "core/general.h"
#include "core/main_state.h"
#include "lyrics/lyric_file.h"
#include "playlist/playlist.h"

namespace cantorel {

class Transport;

// What the playback timer shows on the main window. Every member has a
// harmless default; the timer only calls a member when what it shows changes.
class PlaybackTimerHost {
 public:
  virtual ~PlaybackTimerHost() = default;
  // Lets pending window events run (the tick does this first).
  virtual void pumpEvents() {}
  virtual void setLabel(int number, const QString &text) {}
  // Digit display n shows a number of seconds (`SetDD`).
  virtual void setDisplay(int number, qint32 value) {}
  // Slider 1 is shown and not held by the user.
  virtual bool positionSliderFree() { return false; }
  virtual void placePositionSlider(double value) {}
  // The smallest value above `value` at which slider 1's knob is drawn
  // elsewhere (above 1 when it never moves again). Without a skin to ask,
  // every step of the value counts.
  virtual double nextPositionSliderValue(double value) { return value + 1e-4; }
  // The lyric box becomes visible; line `index` of it becomes the current one.
  virtual void showLyricBox() {}
  virtual void selectLyricLine(int index) {}
};

// `Timer1`: while an entry plays it reads the position, updates the time
// texts, the lyric countdown and the position slider, moves the timed lyric
// forward, and applies intro scan, the A-B loop and the end of the entry. It
// is a function of the shared state, so it runs the same under a real timer
// and under a test's fake player. A tick stands for periods of 25 ms: the
// real timer does not wake every period but at the moment the next thing on
// screen changes (nextTickMs).
class PlaybackTimer {
 public:
  static constexpr int kIntervalMs = 25;
  static constexpr double kInterval = 0.025;

  PlaybackTimer(General &g, MainState &st, Playlist &pl, LyricLines &lyric, Transport &transport,
                PlaybackTimerHost &host)
      : g_(g), st_(st), pl_(pl), lyric_(lyric), transport_(transport), host_(host) {}

  // One tick. It first lets pending events run; a tick started from there
  // (a modal window opened by a command keeps events running for as long
  // as it is open) does its work without letting events run again, so the
  // time and the lyric go on while such a window is open. A tick started
  // while another does its work returns at once. `periods` is the number of
  // 25 ms periods since the tick before: a picture entry counts its time by
  // them, and the player is asked for errors every kErrorPollTicks of them.
  void Timer1(int periods = 1);
  // Ticks between two questions to the player whether it failed.
  static constexpr int kErrorPollTicks = 20;
  static constexpr int kErrorPollMs = kErrorPollTicks * kIntervalMs;
  // The position knob alone wakes the tick only on these steps of the
  // entry's time, on the whole and half seconds: the time display turns on
  // the half second.
  static constexpr int kKnobStepMs = 500;
  // Milliseconds from the tick just run until the next one that changes
  // something, at the rate the entry plays: the next change of a time text,
  // of the lyric countdown or of the knob's pixel (on a kKnobStepMs step,
  // unless a tick is due soon after it anyway), the next lyric stamp, the
  // end of the intro, the loop's B point, the end of the entry. Every period
  // while a failure's pause is counted, for a picture entry, while the
  // position stands still, and for the one period the time display shows
  // the time in place of the lyric countdown; at most kErrorPollMs.
  int nextTickMs() const;
  // The shown time text changed: shows the next line when its time is that
  // text (a stamped lyric's lines follow the position instead).
  void LyricAdvance(const QString &timeText);
  // After a seek: the next line is the first one not before `timeText` (by its
  // stamp for a stamped lyric); the line before it becomes the current one.
  void LyricResync(const QString &timeText);
  // The entry ended: the next one (by repeat, shuffle or order) starts;
  // stop-after-track stops it at once.
  void EndOfEntry();
  // A new entry's lyric was loaded: the countdown and the time are shown afresh.
  void lyricLoaded();

  // Seconds of an "m:ss" time, or -1 when the text is not such a time.
  static qint32 timeSeconds(const QString &text);
  // Order of two lyric times for the resync: m:ss times by their value,
  // any other text by its characters. Negative when a sorts before b.
  static int compareLyricTimes(const QString &a, const QString &b);
  // "m:ss" of a number of seconds; "-" in front when `remaining`.
  static QString timeText(qint32 seconds, bool remaining);

 private:
  void setDisplay1(qint32 value);
  // Shows line `LyricNext` and moves on to the one after it.
  void showNextLine();
  // A stamped lyric: shows every line whose stamp the position has reached.
  void advanceToStamps();

  General &g_;
  MainState &st_;
  Playlist &pl_;
  LyricLines &lyric_;
  Transport &transport_;
  PlaybackTimerHost &host_;
  bool inTick_ = false;
  bool pumping_ = false;
  int ticks_ = 0;
  // The A-B loop sought back to A in this pass; the next seek waits until
  // the position was seen before B again.
  bool loopSought_ = false;
  // What is on the window now, so nothing is redrawn that did not change.
  qint32 textSeconds_ = -1;
  bool textRemaining_ = false;
  QString text_;
  qint32 lyricSeconds_ = -1;  // elapsed second last offered to the lyric while the remaining time shows
  bool countdownShown_ = false;
  qint32 countdown_ = 0;
  bool display1Shown_ = false;
  qint32 display1_ = 0;
  double slider_ = -1;
  // The position the tick before read, to tell a position standing still.
  double lastElapsed_ = -1;
  bool standing_ = true;
};

}  // namespace cantorel
