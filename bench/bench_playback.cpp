// Playback costs through the shipped GStreamer plug-in and the silent output
// on the real clock:
//  - PlayItToFirstPosition: from PlayIt on a local MP3 to the first position
//    change the playback timer would see. Floor in the same run: PlayIt
//    alone (open, prepare, run) without waiting for sound.
//  - CpuWhilePlaying: share of one core used by the process while a
//    128 kbit/s stereo MP3 plays, with the host polling the position every
//    25 ms and the volume every 200 ms as the two timers do. Floor in the
//    same run: gst-launch-1.0 playing the same file into the same kind of
//    silent output, with nothing else.
// Needs lame and gst-launch-1.0 (scripts/setup.sh --test).
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <ctime>

#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"

namespace {

using namespace cantorel;

constexpr int kPlaySeconds = 5;

QString pluginDir() {
  const QString env = qEnvironmentVariable("CANTOREL_PLUGIN_DIR");
  if (!env.isEmpty()) return env;
  // build/bench/<program> -> build/lib/cantorel/plugins
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return QFileInfo(exe).absolutePath() + QLatin1String("/../lib/cantorel/plugins");
}

// A 60-second 128 kbit/s stereo MP3, made once.
const QString &sampleMp3() {
  static QTemporaryDir dir;
  static QString path = [] {
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("tone.mp3"));
    QProcess sox;
    sox.start(QStringLiteral("sox"),
              {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
               QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"), wav, QStringLiteral("synth"),
               QStringLiteral("60"), QStringLiteral("sine"), QStringLiteral("440")});
    sox.waitForFinished(60000);
    QProcess lame;
    lame.start(QStringLiteral("lame"),
               {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, mp3});
    lame.waitForFinished(60000);
    return QFileInfo::exists(mp3) ? mp3 : QString();
  }();
  return path;
}

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Player {
  Player() : host(pluginDir()), t(g, st, pl, host, quiet) {
    qputenv("CANTOREL_NULL_AUDIO", "1");
    st.Sliders[2].Value = 1;
    st.Sliders[5].Value = 0.5;
    g.Balance = 0.5f;
    host.ScanInputPlugins(g);
    pl.append(QStringLiteral("tone"), sampleMp3());
  }
  PluginHost host;
  General g;
  MainState st;
  Playlist pl;
  TransportHost quiet;
  Transport t;
};

void BM_PlayItToFirstPosition(benchmark::State &state) {
  if (sampleMp3().isEmpty()) return state.SkipWithError("lame or sox missing");
  Player p;
  const bool wait = state.range(0) != 0;
  for (auto _ : state) {
    p.st.TNum = 1;
    p.st.Paused = 0;
    QElapsedTimer clock;
    clock.start();
    p.t.PlayIt(0);
    if (!p.g.Player) return state.SkipWithError("qv_input_gst not found");
    if (wait) {
      const double start = p.g.Player->value("GetCurrentPosition").toDouble();
      while (p.g.Player->value("GetCurrentPosition").toDouble() == start && clock.elapsed() < 5000)
        QThread::usleep(200);
    }
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    p.t.StopIt();
  }
}
BENCHMARK(BM_PlayItToFirstPosition)
    ->Arg(0)
    ->ArgName("wait_for_sound")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayItToFirstPosition)
    ->Arg(1)
    ->ArgName("wait_for_sound")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_CpuWhilePlaying(benchmark::State &state) {
  if (sampleMp3().isEmpty()) return state.SkipWithError("lame or sox missing");
  Player p;
  double share = 0;
  for (auto _ : state) {
    p.st.TNum = 1;
    p.st.Paused = 0;
    p.t.PlayIt(0);
    if (!p.g.Player) return state.SkipWithError("qv_input_gst not found");
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    qint64 nextVolume = 0;
    while (clock.elapsed() < kPlaySeconds * 1000) {
      benchmark::DoNotOptimize(p.g.Player->value("GetCurrentPosition").toDouble());
      if (clock.elapsed() >= nextVolume) {
        benchmark::DoNotOptimize(p.t.ReadVolume());
        nextVolume += 200;
      }
      QThread::msleep(25);
    }
    share = (cpuSeconds() - cpu0) / (static_cast<double>(clock.elapsed()) / 1000.0);
    p.t.StopIt();
  }
  state.counters["cpu_pct_of_core"] = share * 100;
}
BENCHMARK(BM_CpuWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

void BM_CpuFloorGstLaunch(benchmark::State &state) {
  const QString launch = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
  if (sampleMp3().isEmpty() || launch.isEmpty())
    return state.SkipWithError("lame, sox or gst-launch-1.0 missing");
  double share = 0;
  for (auto _ : state) {
    const QByteArray exe = launch.toLocal8Bit();
    const QByteArray uri = "uri=file://" + sampleMp3().toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
      execl(exe.constData(), "gst-launch-1.0", "-q", "playbin", uri.constData(),
            "audio-sink=fakesink sync=true", "flags=2", static_cast<char *>(nullptr));
      _exit(127);
    }
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(kPlaySeconds);
    kill(pid, SIGTERM);
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    const double cpu = static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
                       static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
    share = cpu / (static_cast<double>(clock.elapsed()) / 1000.0);
  }
  state.counters["cpu_pct_of_core"] = share * 100;
}
BENCHMARK(BM_CpuFloorGstLaunch)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
