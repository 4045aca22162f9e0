#include "playback/clock_schedule.h"

#include <cmath>

#include "core/atomic_file.h"
#include "core/text_codec.h"

namespace cantorel {

namespace {

constexpr qint64 kMaxAutoListBytes = 1 << 20;
const QString kDayLetters = QStringLiteral("UMTWRFS");
const QString kDayNames = QStringLiteral("SunMonTueWedThuFriSat");
const QString kMonthNames = QStringLiteral("JanFebMarAprMayJunJulAugSepOctNovDec");

// Sunday = 1 .. Saturday = 7.
int weekdayNumber(const QDate &d) { return d.dayOfWeek() % 7 + 1; }

QString twoDigits(int v) { return v >= 0 && v < 10 ? QLatin1Char('0') + QString::number(v) : QString::number(v); }

QString spaced(int v) { return v >= 0 ? QLatin1Char(' ') + QString::number(v) : QString::number(v); }

}  // namespace

bool ClockSchedule::dayMatches(QChar code, QChar dayLetter) {
  if (code == u'E') return true;
  if (code == u'D') return QStringLiteral("MTWRF").contains(dayLetter);
  if (code == u'N') return QStringLiteral("US").contains(dayLetter);
  return code == dayLetter;
}

QString ClockSchedule::clockText(const QTime &t, bool twentyFourHour) {
  if (twentyFourHour) return t.toString(QStringLiteral("HH:mm")) + QLatin1String("   ");
  int h = t.hour() % 12;
  if (h == 0) h = 12;
  return twoDigits(h) + QLatin1Char(':') + twoDigits(t.minute()) +
         (t.hour() < 12 ? QLatin1String(" AM") : QLatin1String(" PM"));
}

QString ClockSchedule::dateText(const QDate &d) {
  const int w = weekdayNumber(d);
  return kDayNames.mid(3 * (w - 1), 3) + QLatin1Char(' ') + kMonthNames.mid(3 * (d.month() - 1), 3) +
         QLatin1Char(' ') + spaced(d.day()) + QLatin1Char(',') + spaced(d.year());
}

void ClockSchedule::MakeDayStr() {
  const QDate today = clock_.now().date();
  host_.setLabel(kDateLabel, dateText(today));
  host_.setLabel(kMonthLabel, kMonthNames.mid(3 * (today.month() - 1), 3));
  DayLetter = kDayLetters[weekdayNumber(today) - 1];
}

void ClockSchedule::tick() {
  const QDateTime now = clock_.now();
  if (g_.ScrollName == 1) host_.SetDD(kTitleDisplay, st_.SongName);

  if (now.time().second() != 0) {
    if (g_.Auto != 1 || g_.Snooze != 1)
      setSnoozeLabel(QString());
    else if (g_.SnoozeMinutes < 0)
      snoozeLabel();
  } else {
    const qint64 minute = now.toSecsSinceEpoch() / 60;
    if (minute != lastMinute_) {
      lastMinute_ = minute;
      minuteStep(now);
    }
  }

  followVolume(host_.ReadVolume());
}

void ClockSchedule::followVolume(double volume) {
  // The volume slider follows changes made outside the program. The player
  // keeps the volume in 1/65535 steps: a smaller difference is the slider's
  // own value read back, not a change.
  if (volume >= 0 && std::abs(volume - st_.Sliders[2].Value) > 1e-4) {
    st_.Sliders[2].Value = volume;
    host_.setVolumeSlider(volume);
  }
}

void ClockSchedule::snoozeLabel() {
  g_.SnoozeMinutes = std::abs(g_.SnoozeMinutes);
  if (g_.Snooze == 1) setSnoozeLabel(g_.SnoozeMode != 0 ? g_.SnoozeTime : twoDigits(g_.SnoozeMinutes));
}

void ClockSchedule::setSnoozeLabel(const QString &text) {
  snoozeShown_ = !text.isEmpty();
  host_.setLabel(kSnoozeLabel, text);
}

int ClockSchedule::nextTickMs(const QDateTime &now) {
  if (g_.ScrollName == 1 || host_.ReadVolume() >= 0) return kStepMs;
  // Past the boundary by a little, so a clock that runs a few milliseconds
  // apart from the timer's still reads the new second.
  constexpr int kPastBoundaryMs = 20;
  const int msOfSecond = now.time().msec();
  const bool armed = g_.Auto == 1 && g_.Snooze == 1;
  if ((armed && g_.SnoozeMinutes < 0) || (!armed && snoozeShown_)) return 1000 - msOfSecond + kPastBoundaryMs;
  return (60 - now.time().second()) * 1000 - msOfSecond + kPastBoundaryMs;
}

void ClockSchedule::minuteStep(const QDateTime &now) {
  const QString clock = clockText(now.time(), g_.TimeFmt != 0);
  host_.setLabel(kClockLabel, clock);
  host_.SetDD(kClockDisplay, clock);
  if (now.time().hour() == 0 && now.time().minute() == 0) MakeDayStr();
  if (g_.Auto != 1) return;

  const QString hhmm = now.time().toString(QStringLiteral("HH:mm"));
  if (g_.Snooze == 1) {
    if (g_.SnoozeMode != 0) {
      setSnoozeLabel(g_.SnoozeTime);
      if (hhmm == g_.SnoozeTime.left(5)) fire();
    } else {
      // A countdown chosen a moment ago is still negative: it starts now.
      g_.SnoozeMinutes = std::abs(g_.SnoozeMinutes) - 1;
      setSnoozeLabel(twoDigits(g_.SnoozeMinutes));
      if (g_.SnoozeMinutes < 1) {
        fire();
        g_.Snooze = 0;
      }
    }
  }

  for (const QString &entry : AutoList) {
    if (entry.isEmpty() || !dayMatches(entry[0], DayLetter)) continue;
    // The on time (characters 3-7) and the preset (15 on) have no effect.
    if (entry.mid(8, 5) == hhmm) fire();
  }
}

void ClockSchedule::fire() {
  ++fires_;
  if (g_.SnoozeHide == 1) host_.hideMainWindow();
}

bool ClockSchedule::ReadAutoList(const QString &file) {
  QByteArray bytes;
  if (!readFileLimited(file, kMaxAutoListBytes, &bytes)) return false;
  for (const QString &line : splitLines(decodeText(bytes)))
    if (!line.trimmed().isEmpty()) AutoList.append(line);
  return true;
}

bool ClockSchedule::WriteAutoList(const QString &file, QString *error) const {
  QByteArray out;
  for (const QString &e : AutoList) out += encodeWindows1252(e) + "\r\n";
  return writeFileAtomically(file, out, error);
}

}  // namespace cantorel
