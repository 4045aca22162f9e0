#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "core/general.h"
#include "core/main_state.h"
#include "platform/clock.h"

namespace cantorel {

// What the 200 ms clock timer changes on the main window.
class ClockScheduleHost {
 public:
  virtual ~ClockScheduleHost() = default;
  virtual void setLabel(int number, const QString &text) {}
  virtual void SetDD(int display, const QString &text) {}
  // The snooze or a schedule off time fired with "SnoozeHide" on.
  virtual void hideMainWindow() {}
  // Output volume 0..1 as the player reports it now, and moving slider 2.
  virtual double ReadVolume() { return -1; }
  virtual void setVolumeSlider(double value) {}
};

// `Timer2`: the clock and date, the title scroll, the snooze countdown and the
// weekly on/off schedule.
//
// A schedule entry is one line: day code, blank, on time "hh:mm", blank, off
// time "hh:mm", blank, preset number. Day codes: "E" every day, "D" Monday to
// Friday, "N" Saturday and Sunday, or the letter of one day from "UMTWRFS"
// (Sunday first). Only the off time acts: it fires like the snooze.
class ClockSchedule {
 public:
  // Label numbers on the main window.
  static constexpr int kClockLabel = 3;
  static constexpr int kSnoozeLabel = 5;
  static constexpr int kDateLabel = 6;
  static constexpr int kMonthLabel = 7;
  static constexpr int kClockDisplay = 3;
  static constexpr int kTitleDisplay = 6;

  ClockSchedule(General &g, MainState &st, const Clock &clock, ClockScheduleHost &host)
      : g_(g), st_(st), clock_(clock), host_(host) {}

  // One tick of `Timer2`.
  void tick();
  // Moves the volume slider to the output's volume `volume` (0..1) when it
  // was changed outside the program; a negative volume is unknown. The tick
  // does this with the host's ReadVolume; while an entry plays the playback
  // timer may do it in its own ticks instead.
  void followVolume(double volume);
  // Milliseconds from `now` until the next tick that has something to do.
  // The title scroll steps (and the volume knob follows the output) every
  // 200 ms; a snooze label to show or clear wants the next second; anything
  // else (clock, date, snooze countdown, schedule) changes only when a minute
  // starts. Ticks land just after the second or minute begins.
  int nextTickMs(const QDateTime &now);
  static constexpr int kStepMs = 200;
  // Date texts and today's letter; at start and at midnight.
  void MakeDayStr();

  // The schedule file: blank lines skipped, the others kept exactly as read.
  bool ReadAutoList(const QString &file);
  // Written whole, one entry a line with CR LF, replacing the file atomically.
  // False (the old file kept) with the reason in `error` when it fails.
  bool WriteAutoList(const QString &file, QString *error = nullptr) const;

  static bool dayMatches(QChar code, QChar dayLetter);
  // "hh:mm   " in 24-hour form, "hh:mm AM"/"hh:mm PM" in 12-hour form.
  static QString clockText(const QTime &t, bool twentyFourHour);
  static QString dateText(const QDate &d);

  QStringList AutoList;
  QChar DayLetter;
  int fireCount() const { return fires_; }

 private:
  void minuteStep(const QDateTime &now);
  void snoozeLabel();
  void setSnoozeLabel(const QString &text);
  void fire();

  General &g_;
  MainState &st_;
  const Clock &clock_;
  ClockScheduleHost &host_;
  qint64 lastMinute_ = -1;  // minute (since the epoch) whose step has run
  int fires_ = 0;
  bool snoozeShown_ = false;  // the snooze label holds a text
};

}  // namespace cantorel
