// The clock timer: snooze countdown and time, the weekly schedule walked
// minute by minute over a simulated week, date texts and the schedule file.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playback/clock_schedule.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class FakeClock : public Clock {
 public:
  QDateTime t;
  QDateTime now() const override { return t; }
};

class Host : public ClockScheduleHost {
 public:
  QMap<int, QString> labels;
  int hides = 0;
  double volume = -1;
  double slider = -1;
  void setLabel(int n, const QString &text) override { labels[n] = text; }
  void hideMainWindow() override { ++hides; }
  double ReadVolume() override { return volume; }
  void setVolumeSlider(double v) override { slider = v; }
};

class ClockScheduleTest : public ::testing::Test {
 protected:
  ClockScheduleTest() : cs(g, st, clock, host) {
    g.Auto = 1;
    g.SnoozeHide = 1;
    g.SnoozeTime = QStringLiteral("23:59");
  }
  void at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    clock.t = QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
  }
  // Ticks like the 200 ms timer through every second 00 and 01 of each
  // minute, up to and including `minutes` minutes from now.
  void runMinutes(int minutes) {
    for (int m = 0; m < minutes; ++m) {
      const QDateTime minuteStart = clock.t.addSecs(60 - clock.t.time().second());
      for (int ms : {0, 200, 400, 600, 800, 1000}) {
        clock.t = minuteStart.addMSecs(ms);
        cs.tick();
      }
    }
  }

  General g;
  MainState st;
  FakeClock clock;
  Host host;
  ClockSchedule cs;
};

TEST_F(ClockScheduleTest, SnoozeByMinutesCountsDownAndFiresOnce) {
  g.Snooze = 1;
  g.SnoozeMinutes = -30;  // just chosen in the preferences
  at(2026, 12, 7, 10, 0, 30);
  cs.tick();
  EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QStringLiteral("30"));
  runMinutes(29);
  EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QStringLiteral("01"));
  EXPECT_EQ(host.hides, 0);
  runMinutes(1);
  EXPECT_EQ(host.hides, 1);
  EXPECT_EQ(g.Snooze, 0);
  runMinutes(60);
  EXPECT_EQ(host.hides, 1);
}

TEST_F(ClockScheduleTest, SnoozeChosenJustBeforeAMinuteStartsCountingThere) {
  // The first tick after choosing falls on second 00: the countdown must not
  // fire at once.
  g.Snooze = 1;
  g.SnoozeMinutes = -5;
  at(2026, 12, 7, 10, 0, 59, 900);
  runMinutes(1);
  EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QStringLiteral("04"));
  EXPECT_EQ(host.hides, 0);
  runMinutes(4);
  EXPECT_EQ(host.hides, 1);
}

TEST_F(ClockScheduleTest, SnoozeAtATimeFiresOnceInItsMinuteEveryDay) {
  g.Snooze = 1;
  g.SnoozeMode = 1;
  g.SnoozeTime = QStringLiteral("07:30");
  at(2026, 12, 7, 0, 0, 30);
  runMinutes(2 * 24 * 60);
  EXPECT_EQ(host.hides, 2);
  EXPECT_EQ(g.Snooze, 1);
  EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QStringLiteral("07:30"));
}

TEST_F(ClockScheduleTest, NothingActsWhileTimerFunctionsAreOff) {
  g.Auto = 0;
  g.Snooze = 1;
  g.SnoozeMode = 1;
  g.SnoozeTime = QStringLiteral("07:30");
  cs.AutoList << QStringLiteral("E 07:00 08:00 1");
  at(2026, 12, 7, 7, 0, 30);
  runMinutes(120);
  EXPECT_EQ(cs.fireCount(), 0);
  EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QString());
  EXPECT_EQ(host.labels[ClockSchedule::kClockLabel], QStringLiteral("09:00 AM"));
}

TEST_F(ClockScheduleTest, WeekOfScheduleEntries) {
  cs.AutoList << QStringLiteral("D 07:00 08:00 1") << QStringLiteral("N 09:00 10:00 2")
              << QStringLiteral("R 11:00 12:00 3") << QStringLiteral("E 06:00 22:15 4")
              << QStringLiteral("x") << QStringLiteral("U 05:00");
  g.SnoozeHide = 0;
  at(2026, 12, 6, 23, 59, 30);  // Sunday night; the walk starts on Monday
  cs.MakeDayStr();
  QMap<QString, QStringList> firedOn;  // date -> off times that fired
  for (int m = 0; m < 7 * 24 * 60; ++m) {
    const int before = cs.fireCount();
    runMinutes(1);
    if (cs.fireCount() > before)
      firedOn[clock.t.date().toString(QStringLiteral("ddd"))] << clock.t.time().toString(QStringLiteral("HH:mm"));
  }
  const QStringList weekday{QStringLiteral("08:00"), QStringLiteral("22:15")};
  EXPECT_EQ(firedOn[QStringLiteral("Mon")], weekday);
  EXPECT_EQ(firedOn[QStringLiteral("Tue")], weekday);
  EXPECT_EQ(firedOn[QStringLiteral("Thu")],
            (QStringList{QStringLiteral("08:00"), QStringLiteral("12:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(firedOn[QStringLiteral("Sat")], (QStringList{QStringLiteral("10:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(firedOn[QStringLiteral("Sun")], (QStringList{QStringLiteral("10:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(cs.fireCount(), 15);
  EXPECT_EQ(host.hides, 0);  // firing hides only with "SnoozeHide"
}

TEST_F(ClockScheduleTest, DateAndClockTexts) {
  at(2026, 12, 5, 13, 7, 0);
  cs.MakeDayStr();
  EXPECT_EQ(host.labels[ClockSchedule::kDateLabel], QStringLiteral("Sat Dec  5, 2026"));
  EXPECT_EQ(host.labels[ClockSchedule::kMonthLabel], QStringLiteral("Dec"));
  EXPECT_EQ(cs.DayLetter, QLatin1Char('S'));
  EXPECT_EQ(ClockSchedule::clockText(QTime(0, 5), false), QStringLiteral("12:05 AM"));
  EXPECT_EQ(ClockSchedule::clockText(QTime(12, 0), false), QStringLiteral("12:00 PM"));
  EXPECT_EQ(ClockSchedule::clockText(QTime(13, 7), false), QStringLiteral("01:07 PM"));
  EXPECT_EQ(ClockSchedule::clockText(QTime(13, 7), true), QStringLiteral("13:07   "));
  for (auto [code, letter, match] : {std::tuple{'E', 'U', true}, {'D', 'F', true}, {'D', 'S', false},
                                     {'N', 'U', true}, {'N', 'M', false}, {'R', 'R', true}, {'R', 'T', false}})
    EXPECT_EQ(ClockSchedule::dayMatches(QLatin1Char(code), QLatin1Char(letter)), match) << code << letter;
}

TEST_F(ClockScheduleTest, VolumeSliderFollowsOutsideChanges) {
  at(2026, 12, 7, 10, 0, 10);
  // The player's own rounding of the slider's value is no change.
  for (auto [read, after] : {std::pair{0.8, 0.8}, {0.8 + 1e-5, 0.8}, {0.3, 0.3}}) {
    st.Sliders[2].Value = 0.8;
    host.slider = -1;
    host.volume = read;
    cs.tick();
    EXPECT_DOUBLE_EQ(st.Sliders[2].Value, after) << read;
    EXPECT_DOUBLE_EQ(host.slider, after == 0.8 ? -1 : after) << read;
  }
}

TEST_F(ClockScheduleTest, ScheduleFile) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("autolist.txt"));
  test::writeAll(file, "D 07:00 08:00 1\r\n\r\n   \r\n  E 06:00 22:15 4\nR 11:00 12:00 3");
  ASSERT_TRUE(cs.ReadAutoList(file));
  EXPECT_EQ(cs.AutoList, (QStringList{QStringLiteral("D 07:00 08:00 1"), QStringLiteral("  E 06:00 22:15 4"),
                                      QStringLiteral("R 11:00 12:00 3")}));
  ASSERT_TRUE(cs.WriteAutoList(file));
  EXPECT_EQ(test::readAll(file), QByteArray("D 07:00 08:00 1\r\n  E 06:00 22:15 4\r\nR 11:00 12:00 3\r\n"));
  EXPECT_FALSE(cs.ReadAutoList(dir.filePath(QStringLiteral("missing.txt"))));
}

}  // namespace
}  // namespace cantorel
