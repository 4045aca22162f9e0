// The clock timer: snooze countdown and time, the weekly schedule walked
// minute by minute over a simulated week, and the schedule file.
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
  // Chosen a moment ago (still negative); in the second row the first tick
  // after choosing falls on second 00, where it must not fire at once.
  for (const int second : {30, 59}) {
    host = Host();
    g.Snooze = 1;
    g.SnoozeMinutes = -5;
    at(2026, 12, 7, 10, 0, second, 900);
    if (second == 30) cs.tick();
    runMinutes(1);
    EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], QStringLiteral("04")) << second;
    runMinutes(3);
    EXPECT_EQ(host.hides, 0) << second;
    runMinutes(1);
    EXPECT_EQ(host.hides, 1) << second;
    EXPECT_EQ(g.Snooze, 0) << second;
    runMinutes(60);
    EXPECT_EQ(host.hides, 1) << second;
  }
}

TEST_F(ClockScheduleTest, WeekOfScheduleEntries) {
  cs.AutoList << QStringLiteral("D 07:00 08:00 1") << QStringLiteral("N 09:00 10:00 2")
              << QStringLiteral("R 11:00 12:00 3") << QStringLiteral("E 06:00 22:15 4") << QStringLiteral("x")
              << QStringLiteral("U 05:00");
  g.SnoozeHide = 0;
  at(2026, 12, 6, 23, 59, 30);  // Sunday night; the walk starts on Monday
  cs.MakeDayStr();
  QMap<QString, QStringList> firedOn;  // date -> off times that fired
  for (int m = 0; m < 7 * 24 * 60; ++m) {
    const int before = cs.fireCount();
    runMinutes(1);
    if (cs.fireCount() > before)
      firedOn[clock.t.date().toString(QStringLiteral("ddd"))]
          << clock.t.time().toString(QStringLiteral("HH:mm"));
  }
  EXPECT_EQ(firedOn[QStringLiteral("Tue")], (QStringList{QStringLiteral("08:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(firedOn[QStringLiteral("Thu")],
            (QStringList{QStringLiteral("08:00"), QStringLiteral("12:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(firedOn[QStringLiteral("Sat")], (QStringList{QStringLiteral("10:00"), QStringLiteral("22:15")}));
  EXPECT_EQ(cs.fireCount(), 15);
  EXPECT_EQ(host.hides, 0);  // firing hides only with "SnoozeHide"
}

TEST_F(ClockScheduleTest, SnoozeAtATimeAndTheScheduleNeedTheTimerFunctions) {
  at(2026, 12, 7, 10, 0, 10, 300);
  // Waking only when the timer asks keeps every minute step. A snooze at a time
  // and the schedule do nothing while the timer functions are off; once on,
  // the snooze fires once in its minute every day and stays on.
  g.Snooze = 1;
  g.SnoozeMode = 1;
  g.SnoozeTime = QStringLiteral("07:30");
  cs.AutoList << QStringLiteral("E 07:00 08:00 1");
  for (g.Auto = 0; g.Auto < 2; ++g.Auto) {
    for (const QDateTime end = clock.t.addDays(1); clock.t < end;) {
      clock.t = clock.t.addMSecs(cs.nextTickMs(clock.t));
      cs.tick();
    }
    EXPECT_EQ(host.labels[ClockSchedule::kSnoozeLabel], g.Auto ? QStringLiteral("07:30") : QString());
  }
  EXPECT_EQ(host.hides, 2);  // one snooze and one off time, on the second day
  EXPECT_EQ(g.Snooze, 1);
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
