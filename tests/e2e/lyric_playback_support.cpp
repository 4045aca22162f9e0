#include "lyric_playback_support.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

#include "lyrics/lyric_search.h"
#include "lyrics/online_lyrics.h"
#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "support/test_support.h"

namespace cantorel::test {

namespace {

qint64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

class Host : public TransportHost, public PlaybackTimerHost {
 public:
  Host(General &g, MainState &st, LyricLines &lyric, LyricRun &run)
      : g_(g), st_(st), lyric_(lyric), run_(run) {}
  void enableTimer1(bool on) override { timerOn = on; }
  void setLabel(int n, const QString &t) override {
    if (n == 1 && !t.isEmpty()) run_.times.append({nowNs(), t, st_.Elapsed});
  }
  void loadLyric(const QString &path) override {
    run_.found.append(LoadLyricFor(path, g_, lyric_));
    run_.starts.append(nowNs());
    if (timer) timer->lyricLoaded();
    if (online && !run_.found.back()) online->songWithoutLyric(path, false, st_.SongLen);
  }
  // As the main window does with a lyric the online step saved.
  void onlineLyricSaved(const QString &path) {
    if (!LoadLyricFor(path, g_, lyric_) || !timer) return;
    timer->lyricLoaded();
    timer->LyricResync(PlaybackTimer::timeText(qRound(st_.Elapsed), false));
  }
  void lyricResync(const QString &t) override {
    if (timer) timer->LyricResync(t);
  }

  PlaybackTimer *timer = nullptr;
  OnlineLyricStep *online = nullptr;
  bool timerOn = false;

 private:
  General &g_;
  MainState &st_;
  LyricLines &lyric_;
  LyricRun &run_;
};

}  // namespace

void ensureCoreApp() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "e2e";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
  }
}

LyricRun playWithLyrics(Playlist &pl, const QString &onlineBase) {
  ensureCoreApp();
  LyricRun run;
  General g;
  MainState st;
  LyricLines lyric;
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;
  PluginHost input(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  input.ScanInputPlugins(g);
  PluginHost vis(buildDir() + QLatin1String("/tests/plugins"));
  vis.ApplyVisPlugin(g, QStringLiteral("qv_lyricclock.so"));
  if (!g.VisPlugin) {
    ADD_FAILURE() << "the test visualization plug-in did not load";
    return run;
  }

  Host host(g, st, lyric, run);
  Transport transport(g, st, pl, input, host);
  PlaybackTimer timer(g, st, pl, lyric, transport, host);
  host.timer = &timer;
  g.LyricOnline = 1;
  OnlineLyricStep online(g);
  const QByteArray lyricUrl = qgetenv("CANTOREL_LYRIC_URL");
  const auto restoreUrl = qScopeGuard([&] { qputenv("CANTOREL_LYRIC_URL", lyricUrl); });
  if (!onlineBase.isEmpty()) {
    qputenv("CANTOREL_LYRIC_URL", onlineBase.toUtf8());
    host.online = &online;
    QObject::connect(&online, &OnlineLyricStep::lyricSaved, [&host](const QString &path) {
      host.onlineLyricSaved(path);
    });
  }

  QEventLoop loop;
  QTimer timer1;
  timer1.setTimerType(Qt::PreciseTimer);
  timer1.setInterval(PlaybackTimer::kIntervalMs);
  QObject::connect(&timer1, &QTimer::timeout, [&] {
    if (host.timerOn) timer.Timer1();
    if (!st.Playing) {
      run.ended = true;
      loop.quit();
    }
  });
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound, never reached when all is well
  transport.PlayIt(0);
  if (st.Playing != -1) {
    ADD_FAILURE() << "playback did not start";
    return run;
  }
  timer1.start();
  loop.exec();
  run.playing = st.Playing;
  run.tnum = st.TNum;
  run.lines = g.VisPlugin->value("Lines").toStringList();
  run.arrived = g.VisPlugin->value("Times").toList();
  return run;
}

void expectLinesInTheirSeconds(const LyricRun &run, const QStringList &lines, const QStringList &times,
                               const QList<int> &entryOf) {
  ASSERT_EQ(run.lines, lines);
  ASSERT_EQ(run.arrived.size(), lines.size());
  for (int i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i].toStdString());
    const qint64 at = run.arrived[i].toLongLong();
    // The time text on show when the line arrived is the line's own time,
    // and the position behind it rounds to that second.
    const ShownTime *shown = nullptr;
    for (const ShownTime &s : run.times)
      if (s.ns <= at) shown = &s;
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text, times[i]);
    const double second = PlaybackTimer::timeSeconds(times[i]);
    EXPECT_GE(shown->elapsed, second - 0.5);
    EXPECT_LE(shown->elapsed, second + 0.5);
    // Audio cannot run ahead of the clock: never before its second began.
    ASSERT_LT(entryOf[i], run.starts.size());
    const qint64 start = run.starts[entryOf[i]];
    EXPECT_GE(at - start, static_cast<qint64>((second - 0.5) * 1e9) - 30'000'000);
  }
}

}  // namespace cantorel::test
