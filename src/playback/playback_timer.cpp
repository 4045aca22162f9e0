#include "playback/playback_timer.h"

#include <algorithm>
#include <cmath>

#include "playback/transport.h"
#include "plugins/plugin_object.h"
#include "plugins/vis_calls.h"

namespace cantorel {

namespace {

// Restores a flag when the scope ends, however it ends.
class Flag {
 public:
  explicit Flag(bool &f) : f_(f) { f_ = true; }
  ~Flag() { f_ = false; }
  Flag(const Flag &) = delete;
  Flag &operator=(const Flag &) = delete;

 private:
  bool &f_;
};

qint32 wholeSeconds(double v) {
  const double r = Transport::roundEven(v);
  if (r > 2147483647.0) return 2147483647;
  if (r < -2147483647.0) return -2147483647;
  return static_cast<qint32>(r);
}

}  // namespace

qint32 PlaybackTimer::timeSeconds(const QString &text) {
  const qsizetype colon = text.indexOf(u':');
  if (colon <= 0 || colon == text.size() - 1 || text.size() > 12) return -1;
  qint64 minutes = 0, seconds = 0;
  for (qsizetype i = 0; i < colon; ++i) {
    const QChar c = text.at(i);
    if (c < u'0' || c > u'9') return -1;
    minutes = minutes * 10 + (c.unicode() - u'0');
  }
  for (qsizetype i = colon + 1; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c < u'0' || c > u'9') return -1;
    seconds = seconds * 10 + (c.unicode() - u'0');
  }
  const qint64 total = minutes * 60 + seconds;
  return total > 2147483647 ? -1 : static_cast<qint32>(total);
}

int PlaybackTimer::compareLyricTimes(const QString &a, const QString &b) {
  const qint32 x = timeSeconds(a), y = timeSeconds(b);
  if (x >= 0 && y >= 0) return x < y ? -1 : (x > y ? 1 : 0);
  // Anything else (the "-" remaining-time texts among them) by its characters.
  return QString::compare(a, b, Qt::CaseSensitive);
}

QString PlaybackTimer::timeText(qint32 seconds, bool remaining) {
  if (seconds < 0) seconds = 0;
  const qint32 m = seconds / 60;
  const qint32 s = seconds - 60 * m;
  QString t;
  t.reserve(12);
  if (remaining) t += u'-';
  t += QString::number(m);
  t += u':';
  t += QChar(u'0' + s / 10);
  t += QChar(u'0' + s % 10);
  return t;
}

void PlaybackTimer::setDisplay1(qint32 value) {
  if (display1Shown_ && display1_ == value) return;
  display1Shown_ = true;
  display1_ = value;
  host_.setDisplay(1, value);
}

void PlaybackTimer::lyricLoaded() {
  countdownShown_ = false;
  display1Shown_ = false;
  // The new entry's first second is shown (and its line at "0:00" found)
  // even when the entry before was left on the same time text.
  st_.LastShownTime.clear();
  lyricSeconds_ = -1;
}

void PlaybackTimer::Timer1(int periods) {
  if (inTick_) return;
  periods = std::max(1, periods);
  // 1. Pending events run outside the guard: a command among them may open
  // a modal window, whose own event loop keeps ticking meanwhile.
  if (!pumping_) {
    Flag pumping(pumping_);
    host_.pumpEvents();
  }
  if (inTick_) return;
  Flag busy(inTick_);

  // An entry that could not be played: the next one is due after a moment.
  if (transport_.failedEntryDue()) {
    EndOfEntry();
    return;
  }
  // A player that failed while playing (the error is reported, not thrown).
  if (st_.Playing) {
    ticks_ += periods;
    if (ticks_ >= kErrorPollTicks) {
      ticks_ %= kErrorPollTicks;
      if (transport_.checkPlayerError()) return;
    }
  }

  // 2.
  if (st_.SongLen == 0 || !st_.Playing) return;

  // 3. Position. A picture entry counts its time by ticks; the sum is kept
  // to whole milliseconds so 200 ticks make exactly 5 seconds.
  if (st_.Dev != QLatin1String("Delay")) {
    if (g_.Player) st_.Elapsed = g_.Player->value("GetCurrentPosition").toDouble();
  } else if (!st_.Paused) {
    st_.Elapsed = std::round((st_.Elapsed + kInterval * periods) * 1000.0) / 1000.0;
  }
  standing_ = st_.Elapsed == lastElapsed_;
  lastElapsed_ = st_.Elapsed;

  // 4.
  st_.Remain = st_.SongLen - st_.Elapsed;
  st_.TimeDisp = wholeSeconds(st_.TimeFlag ? st_.Remain : st_.Elapsed);

  // 5. Countdown to the next lyric line.
  if (g_.LyricActive) {
    const int n = g_.LyricNext;
    const bool known = n >= 0 && n < lyric_.PlTimes.size();
    // A stamped line counts down to its stamp, the moment it is shown.
    const double next = !known                ? -1
                        : lyric_.stamped()    ? static_cast<double>(lyric_.PlStampsMs.at(n)) / 1000.0
                                              : timeSeconds(lyric_.PlTimes.at(n));
    if (next >= 0) st_.TimeDispK = wholeSeconds(next - st_.Elapsed);
    if (!countdownShown_ || countdown_ != st_.TimeDispK) {
      countdownShown_ = true;
      countdown_ = st_.TimeDispK;
      // A line whose time has passed counts down no further than 0:00.
      host_.setLabel(30, timeText(st_.TimeDispK, true));
    }
    setDisplay1(st_.TimeDispK);
  }

  // 6-7. The time text, built only when its second changed.
  const bool remaining = st_.TimeFlag != 0;
  if (st_.TimeDisp != textSeconds_ || remaining != textRemaining_ || text_.isEmpty()) {
    textSeconds_ = st_.TimeDisp;
    textRemaining_ = remaining;
    text_ = timeText(st_.TimeDisp, remaining);
  }
  if (text_ != st_.LastShownTime) {
    host_.setLabel(1, text_);
    setDisplay1(st_.TimeDisp);
    st_.LastShownTime = text_;
    if (!remaining) LyricAdvance(text_);
  }
  // The lyric follows the elapsed time whichever time the display shows: the
  // remaining time's "-m:ss" texts never match a line, and the lyric would
  // stand still for as long as the remaining time is shown.
  if (remaining) {
    const qint32 elapsed = wholeSeconds(st_.Elapsed);
    if (elapsed != lyricSeconds_) {
      lyricSeconds_ = elapsed;
      LyricAdvance(timeText(elapsed, false));
    }
  }
  if (lyric_.stamped()) advanceToStamps();

  // 8. Position slider, in steps of 1/10000.
  if (host_.positionSliderFree() && st_.SongLen > 0) {
    const double v = std::floor(st_.Elapsed / st_.SongLen * 10000.0) / 10000.0;
    if (v != slider_) {
      slider_ = v;
      st_.Sliders[1].Value = v;
      host_.placePositionSlider(v);
    }
  }

  // 9. Intro scan: every entry plays for "TimeIntro" seconds.
  if (st_.Intro && st_.Elapsed > g_.TimeIntro) EndOfEntry();
  // 10. A-B loop: one seek back to A per pass. A loop whose B is not after
  // A never seeks (the buttons keep B after A; this guards older states).
  if (st_.RptB > 0 && st_.RptB > st_.RptA) {
    if (st_.Elapsed < st_.RptB) {
      loopSought_ = false;
    } else if (!loopSought_) {
      loopSought_ = true;
      transport_.PlayFrom(st_.RptA);
    }
  }
  if (st_.Elapsed >= 1.0) transport_.entryPlays();
  // 11.
  if (st_.Playing && st_.SongLen != 0 && st_.Elapsed >= st_.SongLen) EndOfEntry();
}

namespace {

// The first moment at or after `at` of a change that comes once a second,
// at `offset` past each whole second.
double nextOnTheSecond(double at, double offset) {
  return offset + std::ceil(at - offset);
}

}  // namespace

int PlaybackTimer::nextTickMs() const {
  // A failure's pause and a picture's time are counted in periods.
  if (transport_.failurePending() || st_.Dev == QLatin1String("Delay")) return kIntervalMs;
  // Nothing moves: only the question for errors is due.
  if (!st_.Playing || st_.Paused || st_.SongLen <= 0) return kErrorPollMs;
  // A position that stands still (the player still starting, or stalled)
  // says nothing about when it moves on.
  if (standing_) return kIntervalMs;
  // The time display showed the time in this tick while a lyric counts down
  // on it: the next tick shows the countdown again.
  if (g_.LyricActive && display1Shown_ && display1_ != st_.TimeDispK) return kIntervalMs;

  const double e = st_.Elapsed;
  double due = std::max(e, st_.SongLen);  // the end of the entry
  const auto atOrAfter = [&](double at) {
    if (at >= e && at < due) due = at;
  };
  // Whole seconds of the elapsed time turn at the half (they are rounded);
  // the lyric follows them in either mode. The remaining time turns at the
  // half of its own seconds.
  atOrAfter(nextOnTheSecond(e, 0.5));
  if (st_.TimeFlag != 0) atOrAfter(nextOnTheSecond(e, st_.SongLen - 0.5));
  if (g_.LyricActive) {
    const int n = g_.LyricNext;
    if (n >= 0 && n < lyric_.PlTimes.size()) {
      const double next = lyric_.stamped() ? static_cast<double>(lyric_.PlStampsMs.at(n)) / 1000.0
                                           : timeSeconds(lyric_.PlTimes.at(n));
      if (next >= 0) atOrAfter(nextOnTheSecond(e, next - 0.5));  // the countdown
      if (lyric_.stamped()) atOrAfter(next);                       // the line itself
    }
  }
  // From the position to the clock, at the rate the entry plays.
  const double speed = st_.Sliders[5].Value + 0.5;
  const double rate = std::isfinite(speed) ? std::clamp(speed, 0.5, 1.5) : 1.0;
  if (st_.Intro) atOrAfter(g_.TimeIntro);
  if (st_.RptB > 0 && st_.RptB > st_.RptA) atOrAfter(st_.RptB);
  atOrAfter(1.0);  // the entry counts as played
  if (host_.positionSliderFree()) {
    // The knob's value moves in steps of 1/10000 of the length; the skin says
    // at which value it reaches its next pixel. On a short entry that is many
    // times a second: the knob then moves a few pixels at a time, twice a
    // second of the entry's time (kKnobStepMs), in step with the time
    // display, which turns on one of them; the two share a wake-up. A tick
    // due anyway within a step of the pixel (a lyric line, the countdown)
    // moves the knob without a wake-up of its own.
    const double steps = std::floor(e / st_.SongLen * 10000.0);
    const double wanted = host_.nextPositionSliderValue(steps / 10000.0);
    if (wanted <= 1.0) {
      const double pixel = std::max(std::ceil(wanted * 10000.0 - 1e-6), steps + 1) / 10000.0 * st_.SongLen;
      constexpr double step = kKnobStepMs / 1000.0;
      if (due > pixel + step) atOrAfter(std::ceil(pixel / step - 1e-9) * step);
    }
  }

  // A millisecond late rather than early (and not one more for the rounding
  // error of the sums above).
  const double ms = std::ceil((due - e) / rate * 1000.0 - 1e-6) + 1;
  // A position the player reports as no number gets the old period.
  if (!std::isfinite(ms)) return kIntervalMs;
  return static_cast<int>(std::clamp(ms, 1.0, static_cast<double>(kErrorPollMs)));
}

void PlaybackTimer::EndOfEntry() {
  if (!st_.Repeat) {
    if (st_.Shuffle) {
      const int n = pl_.count();
      st_.TNum = static_cast<qint16>(std::min(32767, static_cast<int>(g_.Rng.generateDouble() * n) + 1));
    } else if (st_.TNum < 32767) {
      ++st_.TNum;
    }
  }
  transport_.PlayIt(0);
  if (st_.STP) transport_.StopIt();
}

void PlaybackTimer::showNextLine() {
  const int next = g_.LyricNext;
  host_.selectLyricLine(next);
  if (!g_.VisPluginName.isEmpty() && next < lyric_.PlLyrics.size())
    ShowLyricOnPlugin(g_, lyric_.PlLyrics.at(next));
  g_.LyricNext = static_cast<qint16>(next + 1);
}

void PlaybackTimer::LyricAdvance(const QString &timeText) {
  if (g_.LyricActive && g_.LyricNext >= 1) host_.showLyricBox();
  // Stamped lines follow the position itself (advanceToStamps).
  if (lyric_.stamped()) return;
  const int next = g_.LyricNext;
  if (next < 0 || next >= lyric_.PlTimes.size() || lyric_.PlTimes.at(next) != timeText) return;
  showNextLine();
}

void PlaybackTimer::advanceToStamps() {
  // The position to the millisecond, so a line stamped 12.80 s is not shown
  // by a position of 12.7996 s.
  const qint64 at = std::llround(st_.Elapsed * 1000.0);
  // Every line whose stamp was reached is shown in turn (a tick late after a
  // stall must not hold the lyric back); the last one stays.
  while (g_.LyricNext >= 0 && g_.LyricNext < lyric_.PlStampsMs.size() &&
         lyric_.PlStampsMs.at(g_.LyricNext) <= at)
    showNextLine();
}

void PlaybackTimer::LyricResync(const QString &timeText) {
  const int count = std::min<qsizetype>(g_.LyricLineCount, lyric_.PlTimes.size());
  int next = 0;
  if (lyric_.stamped()) {
    // The seek lands on a whole second: the line stamped at or before it is
    // the current one, a line stamped exactly there is shown by the next tick.
    const qint64 at = static_cast<qint64>(std::max(0, timeSeconds(timeText))) * 1000;
    while (next < count && lyric_.PlStampsMs.at(next) < at) ++next;
  } else {
    while (next < count && compareLyricTimes(lyric_.PlTimes.at(next), timeText) < 0) ++next;
  }
  g_.LyricNext = static_cast<qint16>(next);
  if (next >= 2)
    host_.selectLyricLine(next - 1);
  else if (next == 1)
    host_.selectLyricLine(0);
  // The countdown shows the new next line.
  countdownShown_ = false;
  // The next tick shows its time afresh and advances from there. A seek that
  // lands in the second already shown (a line replayed just after it began)
  // would otherwise never offer that time again, and the lyric would stop.
  st_.LastShownTime.clear();
  lyricSeconds_ = -1;
}

}  // namespace cantorel
