// Filling the playlist: adding a folder tree of 10,000 small tagged files
// (each file's tag is read for its display title), next to the floor of
// opening each file, reading its last 256 bytes and closing it; and reading
// an M3U of 32,766 entries naming those files.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "playlist/display_title.h"
#include "playlist/mp3_info.h"
#include "playlist/playlist_add.h"
#include "playlist/playlist_file.h"

namespace {

using namespace cantorel;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

// The tree, made once: kFolders folders of kFilesPerFolder tagged files, and
// a 32,766-line M3U beside them.
struct Tree {
  QTemporaryDir dir;
  QStringList files;
  QString m3u;

  Tree() {
    const QByteArray audio = QByteArray("\xFF\xFB\x90\x44", 4) + QByteArray(1500, '\x55');
    QByteArray list;
    for (int d = 0; d < kFolders; ++d) {
      const QString folder = QStringLiteral("Artist %1/Album").arg(d, 3, 10, QLatin1Char('0'));
      QDir().mkpath(dir.filePath(folder));
      for (int f = 0; f < kFilesPerFolder; ++f) {
        TagInfo t;
        t.setTitle(QStringLiteral("Song %1").arg(f));
        t.setArtist(QStringLiteral("Artist %1").arg(d));
        t.setAlbum(QStringLiteral("Album"));
        t.Track = f + 1;
        const QString rel = folder + QStringLiteral("/%1 - Song.mp3").arg(f + 1, 2, 10, QLatin1Char('0'));
        QFile out(dir.filePath(rel));
        if (out.open(QIODevice::WriteOnly)) out.write(audio + BuildTagRecord(t));
        files << dir.filePath(rel);
      }
    }
    for (int i = 0; i < Playlist::kMaxReadEntries; ++i)
      list += files[i % files.size()].mid(dir.path().size() + 1).toUtf8() + "\r\n";
    m3u = dir.filePath(QStringLiteral("all.m3u"));
    QFile out(m3u);
    if (out.open(QIODevice::WriteOnly)) out.write(list);
  }
};

Tree &tree() {
  static Tree t;
  return t;
}

const TitleOptions kOptions{1, 1, 0};

void BM_AddTree10k(benchmark::State &state) {
  Tree &t = tree();
  const EntryTitleFn title = [](const QString &p) { return TitleFromFile(p, kOptions); };
  for (auto _ : state) {
    Playlist pl;
    PlAddTree(t.dir.path(), pl, QStringLiteral("mp2 mp3 mpa wav mid rmi"), title, [] {});
    if (pl.count() != kFolders * kFilesPerFolder) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(pl);
  }
  state.counters["entries/s"] =
      benchmark::Counter(double(kFolders * kFilesPerFolder), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AddTree10k)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the least work that reads every tag.
void BM_AddTree10kFloor_OpenReadTailClose(benchmark::State &state) {
  Tree &t = tree();
  std::vector<QByteArray> names;
  for (const QString &f : t.files) names.push_back(QFile::encodeName(f));
  char buf[256];
  for (auto _ : state) {
    for (const QByteArray &n : names) {
      const int fd = ::open(n.constData(), O_RDONLY | O_CLOEXEC);
      const off_t size = ::lseek(fd, 0, SEEK_END);
      benchmark::DoNotOptimize(::pread(fd, buf, sizeof buf, size - 256));
      ::close(fd);
    }
  }
  state.counters["entries/s"] =
      benchmark::Counter(double(names.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AddTree10kFloor_OpenReadTailClose)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadM3U32766(benchmark::State &state) {
  Tree &t = tree();
  const EntryTitleFn title = [](const QString &p) { return TitleFromFile(p, kOptions); };
  for (auto _ : state) {
    Playlist pl;
    PlRead(t.m3u, pl, title);
    if (pl.count() != Playlist::kMaxReadEntries) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(pl);
  }
  state.counters["entries/s"] =
      benchmark::Counter(double(Playlist::kMaxReadEntries), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadM3U32766)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
