// When the playback timer wakes next: at the first change of what it shows
// or does, from the position its last tick read, at the entry's rate.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "support/test_support.h"

namespace cantorel {

// A player whose position is whatever the test says.
class SchedulePlayer : public QObject {
  Q_OBJECT
 public:
  explicit SchedulePlayer(const double *at) : at_(at) {}
  Q_INVOKABLE int Init(const QString &) { return 0; }
  Q_INVOKABLE void RenderFile(const QString &) {}
  Q_INVOKABLE void CurrentPosition(double) {}
  Q_INVOKABLE double GetCurrentPosition() { return *at_; }
  Q_INVOKABLE double Duration() { return 60; }
  Q_INVOKABLE void Rate(double) {}
  Q_INVOKABLE void SetVolume(int, qint32) {}
  Q_INVOKABLE void Run() {}
  Q_INVOKABLE void Pause() {}
  Q_INVOKABLE void CleanUP() {}
  Q_INVOKABLE void finish() {}

 private:
  const double *at_;
};

namespace {

// A position slider 1000 pixels long, when shown.
class ScheduleHost : public TransportHost, public PlaybackTimerHost {
 public:
  bool positionSliderFree() override { return slider; }
  double nextPositionSliderValue(double v) override { return (std::floor(v * 1000) + 1) / 1000; }
  bool slider = false;
};

TEST(TickSchedule, WakesAtTheFirstChange) {
  struct Case {
    const char *what;
    double at;                  // the position the tick read (s)
    double length = 60;         // of the entry (s)
    double speed = 0.5;         // slider 5: 0.5 is normal speed
    bool slider = false;        // the position slider is shown
    qint64 stamp = -1;          // the next LRC line's stamp (ms)
    qint16 remaining = 0;       // the time display shows the remaining time
    qint32 loopB = 0;           // the A-B loop's B (s)
    int expected;               // ms
  } cases[] = {
      {"the time display turns at the half second", 10.2, 60, 0.5, false, -1, 0, 0, 301},
      {"... sooner at one and a half times the speed", 10.2, 60, 1.0, false, -1, 0, 0, 201},
      {"the knob's next pixel, on the next whole or half second", 13.6, 600, 0.5, true, -1, 0, 0, 401},
      {"... however soon the pixel comes", 10.7, 60, 0.5, true, -1, 0, 0, 301},
      {"... or with a tick due within half a second of the pixel", 10.7, 60, 0.5, true, 11100, 0, 0, 401},
      {"an LRC line on its stamp", 10.2, 60, 0.5, false, 10350, 0, 0, 151},
      {"the countdown to a far line turns", 10.2, 60, 0.5, false, 15900, 0, 0, 201},
      {"the remaining time turns", 10.2, 59.9, 0.5, false, -1, -1, 0, 201},
      {"the loop's B point", 10.6, 60, 0.5, false, -1, 0, 11, 401},
      {"the end of the entry", 10.2, 10.3, 0.5, false, -1, 0, 0, 101},
  };
  for (const Case &c : cases) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.wav"));
    test::writeAll(path, "x");
    double at = 0;
    General g;
    MainState st;
    Playlist pl;
    LyricLines lyric;
    PluginHost plugins{QStringLiteral("/nonexistent")};
    plugins.registerClass(PluginKind::Input, QStringLiteral("qv_input_fake"),
                          [&at] { return std::make_unique<SchedulePlayer>(&at); });
    g.InputPluginTable = {{QStringLiteral("qv_input_fake"), QStringLiteral("Fake|*.wav"), {}, {}, {}}};
    ScheduleHost host;
    host.slider = c.slider;
    Transport transport{g, st, pl, plugins, host};
    PlaybackTimer timer{g, st, pl, lyric, transport, host};
    pl.append(QStringLiteral("a.wav"), path);
    st.Sliders[5].Value = c.speed;
    transport.PlayIt(0);
    st.SongLen = c.length;
    st.TimeFlag = c.remaining;
    st.RptB = c.loopB;
    if (c.stamp >= 0) {
      lyric.PlTimes = {QStringLiteral("0:00"), QStringLiteral("0:01")};
      lyric.PlLyrics = {QStringLiteral("one"), QStringLiteral("two")};
      lyric.PlStampsMs = {0, c.stamp};
      g.LyricActive = -1;
      g.LyricLineCount = 2;
      g.LyricNext = 1;
    }
    // Two ticks: the second sees the position move and the displays settled.
    at = c.at - 0.01;
    timer.Timer1();
    at = c.at;
    timer.Timer1();
    EXPECT_EQ(timer.nextTickMs(), c.expected) << c.what;
  }
}

// Where nothing moves, or time is counted in ticks, the timer keeps the old
// period or only asks the player for errors.
TEST(TickSchedule, PeriodsWhereThePositionSaysNothing) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a.wav"));
  test::writeAll(path, "x");
  double at = 0;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  plugins.registerClass(PluginKind::Input, QStringLiteral("qv_input_fake"),
                        [&at] { return std::make_unique<SchedulePlayer>(&at); });
  g.InputPluginTable = {{QStringLiteral("qv_input_fake"), QStringLiteral("Fake|*.wav"), {}, {}, {}}};
  ScheduleHost host;
  Transport transport{g, st, pl, plugins, host};
  PlaybackTimer timer{g, st, pl, lyric, transport, host};
  pl.append(QStringLiteral("a.wav"), path);
  st.Sliders[5].Value = 0.5;
  transport.PlayIt(0);
  at = 3;
  timer.Timer1();
  timer.Timer1();  // the position stood still
  EXPECT_EQ(timer.nextTickMs(), PlaybackTimer::kIntervalMs);
  transport.PauseIt();
  timer.Timer1();
  EXPECT_EQ(timer.nextTickMs(), PlaybackTimer::kErrorPollMs);
  // A picture counts its five seconds in periods.
  pl.append(QStringLiteral("p.bmp"), dir.filePath(QStringLiteral("p.bmp")));
  test::writeAll(dir.filePath(QStringLiteral("p.bmp")), "x");
  st.TNum = 2;
  transport.PlayIt(0);
  ASSERT_EQ(st.Dev, QStringLiteral("Delay"));
  timer.Timer1(4);
  EXPECT_DOUBLE_EQ(st.Elapsed, 0.1);
  EXPECT_EQ(timer.nextTickMs(), PlaybackTimer::kIntervalMs);
}

}  // namespace
}  // namespace cantorel

#include "tick_schedule_test.moc"
