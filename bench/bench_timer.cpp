// The playback timer (`Timer1`):
//  - Timer1Tick: one tick over a player whose position moves 25 ms a tick,
//    with a timed lyric of a line a second (so one tick in 40 changes the
//    time text and shows a line). Report the median of the repetitions.
//    Floor in the same run: Timer1Idle, a tick with nothing playing.
//  - CpuWhilePlayingLyric: share of one core used by the process while a
//    WAV with its timed lyric plays through the shipped GStreamer plug-in and
//    the silent output, ticking every 25 ms. Floor in the same run:
//    CpuWhilePlayingNoTick, the same song with no tick at all.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

#include "lyrics/lyric_search.h"
#include "playback/playback_timer.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"

namespace cantorel {

class BenchPlayer : public QObject {
  Q_OBJECT
 public:
  Q_INVOKABLE double GetCurrentPosition() { return position; }
  double position = 0;
};

namespace {

constexpr int kPlaySeconds = 5;

QString pluginDir() {
  const QString env = qEnvironmentVariable("CANTOREL_PLUGIN_DIR");
  if (!env.isEmpty()) return env;
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return QFileInfo(exe).absolutePath() + QLatin1String("/../lib/cantorel/plugins");
}

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

QString lyricText(int lines) {
  QString t = QStringLiteral("(QVL)\r\n");
  for (int i = 1; i <= lines; ++i)
    t += QStringLiteral("Line %1 of the song\r\n").arg(i) + PlaybackTimer::timeText(i, false) +
         QStringLiteral("\r\n");
  return t;
}

void BM_Timer1Tick(benchmark::State &state) {
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  TransportHost thost;
  Transport transport(g, st, pl, plugins, thost);
  PlaybackTimerHost host;
  PlaybackTimer timer(g, st, pl, lyric, transport, host);
  auto obj = std::make_unique<BenchPlayer>();
  BenchPlayer *player = obj.get();
  g.Player = std::make_shared<PluginObject>(QStringLiteral("qv_bench.Processor"), std::move(obj));
  g.InputPluginName = QStringLiteral("qv_bench");
  for (int i = 1; i <= 3600; ++i) {
    lyric.PlTimes << PlaybackTimer::timeText(i, false);
    lyric.PlLyrics << QStringLiteral("Line %1 of the song").arg(i);
  }
  g.LyricActive = -1;
  g.LyricLineCount = static_cast<qint16>(lyric.PlTimes.size());
  st.Dev = QStringLiteral("DX");
  st.SongLen = 3600;
  st.Playing = -1;
  for (auto _ : state) {
    player->position += PlaybackTimer::kInterval;
    if (player->position >= 3590) {
      player->position = 0;
      g.LyricNext = 0;
    }
    timer.Timer1();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Timer1Tick)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_Timer1Idle(benchmark::State &state) {
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  TransportHost thost;
  Transport transport(g, st, pl, plugins, thost);
  PlaybackTimerHost host;
  PlaybackTimer timer(g, st, pl, lyric, transport, host);
  for (auto _ : state) timer.Timer1();
}
BENCHMARK(BM_Timer1Idle)->Repetitions(9)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// A stereo 16-bit WAV of a sine tone, and its lyric beside it.
QString sampleSong(const QTemporaryDir &dir, int seconds) {
  const QString path = dir.filePath(QStringLiteral("song.wav"));
  const int rate = 44100;
  QByteArray pcm;
  pcm.reserve(rate * seconds * 4);
  for (int i = 0; i < rate * seconds; ++i) {
    const auto v = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate));
    for (int c = 0; c < 2; ++c) {
      pcm.append(static_cast<char>(v & 0xFF));
      pcm.append(static_cast<char>((v >> 8) & 0xFF));
    }
  }
  auto le32 = [](quint32 v) {
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
  };
  QByteArray wav = "RIFF" + le32(36 + static_cast<quint32>(pcm.size())) + "WAVEfmt " + le32(16);
  wav += QByteArray("\x01\x00\x02\x00", 4) + le32(rate) + le32(rate * 4) + QByteArray("\x04\x00\x10\x00", 4);
  wav += "data" + le32(static_cast<quint32>(pcm.size())) + pcm;
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return QString();
  f.write(wav);
  QFile l(dir.filePath(QStringLiteral("song.qvl")));
  if (!l.open(QIODevice::WriteOnly)) return QString();
  l.write(lyricText(seconds).toLatin1());
  return path;
}

class LyricHost : public TransportHost {
 public:
  LyricHost(General &g, LyricLines &lyric) : g_(g), lyric_(lyric) {}
  void loadLyric(const QString &path) override { LoadLyricFor(path, g_, lyric_); }

 private:
  General &g_;
  LyricLines &lyric_;
};

void cpuWhilePlaying(benchmark::State &state, bool tick) {
  qputenv("CANTOREL_NULL_AUDIO", "1");
  QTemporaryDir dir;
  const QString song = sampleSong(dir, kPlaySeconds + 2);
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  st.Sliders[2].Value = 1;
  st.Sliders[5].Value = 0.5;
  g.Balance = 0.5f;
  PluginHost plugins(pluginDir());
  plugins.ScanInputPlugins(g);
  pl.append(QStringLiteral("song"), song);
  LyricHost thost(g, lyric);
  Transport transport(g, st, pl, plugins, thost);
  PlaybackTimerHost host;
  PlaybackTimer timer(g, st, pl, lyric, transport, host);
  double share = 0;
  for (auto _ : state) {
    st.TNum = 1;
    transport.PlayIt(0);
    if (!g.Player) return state.SkipWithError("qv_input_gst not found");
    if (!g.LyricActive) return state.SkipWithError("lyric not found");
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPlaySeconds * 1000) {
      if (tick) timer.Timer1();
      QThread::msleep(PlaybackTimer::kIntervalMs);
    }
    share = (cpuSeconds() - cpu0) / (static_cast<double>(clock.elapsed()) / 1000.0);
    if (tick) state.counters["lines_shown"] = g.LyricNext;
    transport.StopIt();
  }
  state.counters["cpu_pct_of_core"] = share * 100;
}

void BM_CpuWhilePlayingLyric(benchmark::State &state) {
  cpuWhilePlaying(state, true);
}
void BM_CpuWhilePlayingNoTick(benchmark::State &state) {
  cpuWhilePlaying(state, false);
}
BENCHMARK(BM_CpuWhilePlayingNoTick)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CpuWhilePlayingLyric)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace cantorel

#include "bench_timer.moc"
