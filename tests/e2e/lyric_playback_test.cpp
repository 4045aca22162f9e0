// Songs with timed lyrics of every kind, played from end to end through the
// GStreamer plug-in and the null sink, driven by a real 25 ms timer: every
// line reaches the visualization plug-in once, in order, in the second its
// time names, and the playlist stops back at its start. The lyrics: our own
// format beside the song, an LRC file with an offset and word stamps, and a
// SYLT frame in an MP3.
#include <QEventLoop>
#include <QFile>
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
#include "support/gui_app.h"
#include "support/tagged_media.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

qint64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A time text shown on the main window, and when.
struct ShownTime {
  qint64 ns;
  QString text;
};

// The main window's part: the time label and the lyric of each entry;
// records what it saw.
class Host : public TransportHost, public PlaybackTimerHost {
 public:
  Host(General &g, LyricLines &lyric) : g_(g), lyric_(lyric) {}
  void enableTimer1(bool on) override { timerOn = on; }
  void setLabel(int n, const QString &t) override {
    if (n == 1 && !t.isEmpty()) times.append({nowNs(), t});
  }
  void loadLyric(const QString &path) override {
    found.append(LoadLyricFor(path, g_, lyric_));
    starts.append(nowNs());
    timer->lyricLoaded();
  }
  void lyricResync(const QString &t) override { timer->LyricResync(t); }

  PlaybackTimer *timer = nullptr;
  bool timerOn = false;
  QList<bool> found;     // per entry: whether a lyric was loaded
  QList<qint64> starts;  // per entry: when its lyric was loaded
  QList<ShownTime> times;

 private:
  General &g_;
  LyricLines &lyric_;
};

TEST(LyricPlayback, EveryKindOfLyricArrivesInItsSecondAcrossAPlaylist) {
  QTemporaryDir dir;
  const auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
  test::writeAll(path("one.wav"), test::makeWav(2.2, 22050, 1));
  test::writeAll(path("one.qvl"), "(QVL)\r\none starts\r\n0:01\r\none goes on\r\n0:02\r\n");
  // A positive offset shows lines sooner: 2.2 s -> 1.2 s ("0:01"),
  // 3.4 s -> 2.4 s ("0:02"), 4.0 s -> 3.0 s ("0:03"); the gap clears.
  test::writeAll(path("Song.wav"), test::makeWav(3.2, 22050, 1));
  test::writeAll(path("Song.lrc"),
                 "[ar:Someone]\n[ti:Song]\n[offset: +1000]\n"
                 "[00:02.20]<00:02.20>first <00:02.70>line\n[00:03.40]second line\n[00:04.00]\n");
  ASSERT_TRUE(test::makeTone(test::Media::Mp3v24, path("a.mp3"), 3.2));
  test::SongTagSpec sylt;
  sylt.title = QStringLiteral("Синхронно");
  sylt.sylt = {{1200, QStringLiteral("Первая")}, {2300, QStringLiteral("二番目")}};
  ASSERT_TRUE(test::writeSongTag(test::Media::Mp3v24, path("a.mp3"), sylt));
  test::ensureApp();
  Playlist pl;
  for (const char *name : {"one.wav", "Song.wav", "a.mp3"}) pl.append(QString::fromUtf8(name), path(name));

  General g;
  MainState st;
  LyricLines lyric;
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;
  PluginHost input(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  input.ScanInputPlugins(g);
  PluginHost vis(test::buildDir() + QLatin1String("/tests/plugins"));
  vis.ApplyVisPlugin(g, QStringLiteral("qv_lyricclock.so"));
  ASSERT_TRUE(g.VisPlugin) << "the test visualization plug-in did not load";
  Host host(g, lyric);
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
  ASSERT_EQ(st.Playing, -1) << "playback did not start";
  timer1.start();
  loop.exec();

  EXPECT_EQ(st.Playing, 0);  // ended by itself within the bound
  EXPECT_EQ(st.TNum, 1);
  EXPECT_EQ(host.found, (QList<bool>{true, true, true}));
  const struct {
    const char *line;
    const char *time;
    int entry;
  } expected[] = {
      {"one starts", "0:01", 0},  {"one goes on", "0:02", 0}, {"first line", "0:01", 1},
      {"second line", "0:02", 1}, {" ", "0:03", 1},           {"Первая", "0:01", 2},
      {"二番目", "0:02", 2},
  };
  const QStringList lines = g.VisPlugin->value("Lines").toStringList();
  const QVariantList arrived = g.VisPlugin->value("Times").toList();
  ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(expected))) << lines.join(u'|').toStdString();
  ASSERT_EQ(arrived.size(), lines.size());
  for (int i = 0; i < lines.size(); ++i) {
    const auto &e = expected[i];
    SCOPED_TRACE(e.line);
    EXPECT_EQ(lines[i], QString::fromUtf8(e.line));
    const qint64 at = arrived[i].toLongLong();
    // The time text on show when the line arrived is the line's own time.
    const ShownTime *shown = nullptr;
    for (const ShownTime &s : host.times)
      if (s.ns <= at) shown = &s;
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text, QLatin1String(e.time));
    const double second = PlaybackTimer::timeSeconds(QLatin1String(e.time));
    // Audio cannot run ahead of the clock: never before its second began.
    ASSERT_LT(e.entry, host.starts.size());
    EXPECT_GE(at - host.starts[e.entry], static_cast<qint64>((second - 0.5) * 1e9) - 30'000'000);
  }
}

}  // namespace
}  // namespace cantorel
