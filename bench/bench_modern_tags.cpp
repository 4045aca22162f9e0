// Adding a folder of 2,000 songs with modern tags (a third each MP3 with
// ID3v2.4, FLAC with a Vorbis comment and Opus), every display title read
// through the song-facts reader, next to the floor of opening each file,
// reading its first 4 KiB and closing it, in the same run. The files are made
// once per run: a short tone per format from GStreamer's encoders, copied and
// tagged with TagLib.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <vector>

#include <benchmark/benchmark.h>

#include "playlist/display_title.h"
#include "playlist/playlist_add.h"

namespace {

using namespace cantorel;

constexpr int kFiles = 2000;

bool makeTone(const QString &encoder, int rate, const QString &path) {
  QProcess p;
  p.start(QStringLiteral("gst-launch-1.0"),
          QStringLiteral("-q -e audiotestsrc num-buffers=5 samplesperbuffer=%1 ! audio/x-raw,rate=%2,channels=2 ! "
                         "audioconvert ! %3 ! filesink")
                  .arg(rate / 10)
                  .arg(rate)
                  .arg(encoder)
                  .split(u' ') +
              QStringList{QStringLiteral("location=") + path});
  return p.waitForFinished(30000) && p.exitCode() == 0;
}

struct Library {
  QTemporaryDir dir;
  QStringList files;
  bool ok = true;

  Library() {
    const struct {
      const char *ext, *encoder;
      int rate;
    } kinds[] = {{"mp3", "lamemp3enc", 44100}, {"flac", "flacenc", 44100}, {"opus", "opusenc ! oggmux", 48000}};
    QStringList bases;
    for (const auto &k : kinds) {
      bases << dir.filePath(QStringLiteral("base.") + QLatin1String(k.ext));
      ok = ok && makeTone(QLatin1String(k.encoder), k.rate, bases.last());
    }
    const QString folder = dir.filePath(QStringLiteral("library"));
    QDir().mkpath(folder);
    for (int i = 0; i < kFiles && ok; ++i) {
      const QString base = bases[i % 3];
      const QString f = folder + QStringLiteral("/%1 song.").arg(i, 4, 10, QLatin1Char('0')) + base.section(u'.', -1);
      ok = QFile::copy(base, f);
      TagLib::FileRef ref(QFile::encodeName(f).constData(), false);
      if (!ok || ref.isNull()) break;
      ref.tag()->setArtist(TagLib::String("Артист " + std::to_string(i / 20), TagLib::String::UTF8));
      ref.tag()->setAlbum("Album");
      ref.tag()->setTitle(TagLib::String("曲 " + std::to_string(i), TagLib::String::UTF8));
      ok = ref.save();
      files << f;
    }
  }
};

Library &library() {
  static Library l;
  return l;
}

void BM_AddFolder2000Modern(benchmark::State &state) {
  Library &lib = library();
  if (!lib.ok) {
    state.SkipWithError("could not make the songs (gst-launch-1.0 and its encoders)");
    return;
  }
  const TitleOptions options{1, 1, 0};
  const EntryTitleFn title = [&options](const QString &p) { return TitleFromFile(p, options); };
  qint64 longestGapNs = 0;
  for (auto _ : state) {
    // The stretches between two chances for the window to handle events.
    QElapsedTimer gap;
    gap.start();
    const YieldFn yield = [&] {
      longestGapNs = std::max(longestGapNs, gap.nsecsElapsed());
      gap.restart();
    };
    Playlist pl;
    PlAddTree(lib.dir.filePath(QStringLiteral("library")), pl, QStringLiteral("mp3 flac opus"), title, yield);
    if (pl.count() != kFiles || !pl.PlNames.first().startsWith(QStringLiteral("Артист 0 - 曲 0")))
      state.SkipWithError("wrong entries");
    benchmark::DoNotOptimize(pl);
  }
  state.counters["longest_ms_without_events"] = double(longestGapNs) / 1e6;
}
BENCHMARK(BM_AddFolder2000Modern)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the least work that could find each tag at the start of a file.
void BM_AddFolder2000Floor_OpenPreadClose(benchmark::State &state) {
  Library &lib = library();
  std::vector<QByteArray> names;
  for (const QString &f : lib.files) names.push_back(QFile::encodeName(f));
  static char buf[4096];
  for (auto _ : state) {
    for (const QByteArray &n : names) {
      const int fd = ::open(n.constData(), O_RDONLY | O_CLOEXEC);
      benchmark::DoNotOptimize(::pread(fd, buf, sizeof buf, 0));
      ::close(fd);
    }
  }
}
BENCHMARK(BM_AddFolder2000Floor_OpenPreadClose)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
