// A playlist of three songs, each with its timed lyric, played from end to
// end through the GStreamer plug-in and the null sink, driven by a real
// 25 ms timer: every line reaches the visualization plug-in once, in order,
// in the second its time names, and the playlist stops back at its start.
#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

#include "lyrics/lyric_search.h"
#include "media_files.h"
#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

qint64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct Shown {
  qint64 ns;
  QString text;
  double elapsed;
};

class Host : public TransportHost, public PlaybackTimerHost {
 public:
  Host(General &g, MainState &st, LyricLines &lyric) : g_(g), st_(st), lyric_(lyric) {}
  void enableTimer1(bool on) override { timerOn = on; }
  void setLabel(int n, const QString &t) override {
    if (n == 1 && !t.isEmpty()) times.append({nowNs(), t, st_.Elapsed});
  }
  void loadLyric(const QString &path) override {
    found.append(LoadLyricFor(path, g_, lyric_));
    starts.append(nowNs());
    if (timer) timer->lyricLoaded();
  }
  void lyricResync(const QString &t) override {
    if (timer) timer->LyricResync(t);
  }

  PlaybackTimer *timer = nullptr;
  bool timerOn = false;
  QList<Shown> times;
  QList<bool> found;
  QList<qint64> starts;

 private:
  General &g_;
  MainState &st_;
  LyricLines &lyric_;
};

TEST(LyricPlayback, EveryLineArrivesInItsSecondAcrossAPlaylist) {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "e2e";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
  }
  QTemporaryDir dir;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;
  PluginHost input(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  input.ScanInputPlugins(g);
  PluginHost vis(test::buildDir() + QLatin1String("/tests/plugins"));
  vis.ApplyVisPlugin(g, QStringLiteral("qv_lyricclock.so"));
  ASSERT_TRUE(g.VisPlugin);

  // Three songs of 2.2 seconds; lines at 0:01 and 0:02 of each.
  QStringList expectedLines;
  QStringList expectedTimes;
  for (const char *name : {"one", "two", "three"}) {
    const QString base = dir.filePath(QString::fromLatin1(name));
    test::writeAll(base + QLatin1String(".wav"), test::makeWav(2.2, 22050, 1));
    const QString a = QString::fromLatin1(name) + QLatin1String(" starts");
    const QString b = QString::fromLatin1(name) + QLatin1String(" goes on");
    test::writeAll(base + QLatin1String(".qvl"),
                   (QStringLiteral("(QVL)\r\n") + a + QStringLiteral("\r\n0:01\r\n") + b +
                    QStringLiteral("\r\n0:02\r\n"))
                       .toUtf8());
    pl.append(QString::fromLatin1(name), base + QLatin1String(".wav"));
    expectedLines << a << b;
    expectedTimes << QStringLiteral("0:01") << QStringLiteral("0:02");
  }

  Host host(g, st, lyric);
  Transport transport(g, st, pl, input, host);
  PlaybackTimer timer(g, st, pl, lyric, transport, host);
  host.timer = &timer;

  QEventLoop loop;
  QTimer timer1;
  timer1.setTimerType(Qt::PreciseTimer);
  timer1.setInterval(PlaybackTimer::kIntervalMs);
  QObject::connect(&timer1, &QTimer::timeout, [&] {
    if (host.timerOn) timer.Timer1();
    if (!st.Playing) loop.quit();
  });
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound, never reached when all is well
  transport.PlayIt(0);
  ASSERT_EQ(st.Playing, -1);
  timer1.start();
  loop.exec();

  // The playlist ended: back at entry 1, stopped.
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(st.TNum, 1);
  EXPECT_EQ(host.found, (QList<bool>{true, true, true}));

  const QStringList lines = g.VisPlugin->value("Lines").toStringList();
  const QVariantList arrived = g.VisPlugin->value("Times").toList();
  ASSERT_EQ(lines, expectedLines);
  ASSERT_EQ(arrived.size(), lines.size());
  for (int i = 0; i < lines.size(); ++i) {
    const qint64 at = arrived[i].toLongLong();
    // The time text on show when the line arrived is the line's own time,
    // and the position behind it rounds to that second.
    const Shown *shown = nullptr;
    for (const Shown &s : host.times)
      if (s.ns <= at) shown = &s;
    ASSERT_TRUE(shown) << i;
    EXPECT_EQ(shown->text, expectedTimes[i]) << lines[i].toStdString();
    const double second = PlaybackTimer::timeSeconds(expectedTimes[i]);
    EXPECT_GE(shown->elapsed, second - 0.5) << lines[i].toStdString();
    EXPECT_LE(shown->elapsed, second + 0.5) << lines[i].toStdString();
    // Audio cannot run ahead of the clock: never before its second began.
    const qint64 start = host.starts[i / 2];
    EXPECT_GE(at - start, static_cast<qint64>((second - 0.5) * 1e9) - 30'000'000) << lines[i].toStdString();
  }
}

}  // namespace
}  // namespace cantorel
