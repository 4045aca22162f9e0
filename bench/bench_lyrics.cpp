// Costs of the timed lyric when a song starts: reading a 2,000-line lyric
// (1,000 entries) and the whole search when the lyric is the last candidate
// (the song's own name beside it) in a folder of 500 songs, or not there at
// all. The floor for the read is opening and reading the same bytes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/general.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_search.h"

namespace {

using namespace cantorel;

QByteArray sampleLyric(int entries) {
  QByteArray b = "(QVL)\r\n";
  for (int k = 0; k < entries; ++k)
    b += "Una l\xednea de la canci\xf3n n\xfamero " + QByteArray::number(k) + "\r\n" +
         QByteArray::number(k / 60) + ":" + QByteArray::number(k % 60).rightJustified(2, '0') + "\r\n";
  return b;
}

void writeFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void BM_ReadLyric2000Lines(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("song.qvl"));
  writeFile(path, sampleLyric(1000));
  General g;
  LyricLines lyric;
  for (auto _ : state) benchmark::DoNotOptimize(ReadLyricFile(path, g, lyric));
}
BENCHMARK(BM_ReadLyric2000Lines)->Unit(benchmark::kMicrosecond);

void BM_ReadLyricFloor(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("song.qvl"));
  writeFile(path, sampleLyric(1000));
  for (auto _ : state) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(f.readAll());
  }
}
BENCHMARK(BM_ReadLyricFloor)->Unit(benchmark::kMicrosecond);

// A 2,000-line LRC file (tags, then one stamp per line, a few with word
// stamps), read as the search reads it; compare with BM_ReadLyric2000Lines
// and the floor above, which read about as many bytes.
QByteArray sampleLrc(int lines) {
  QByteArray b = "[ar:Alguien]\n[ti:La canci\xf3n]\n[offset:+250]\n";
  for (int k = 0; k < lines; ++k) {
    const int ms = k * 3130;  // a line every three seconds or so
    const QByteArray stamp = "[" + QByteArray::number(ms / 60000).rightJustified(2, '0') + ":" +
                             QByteArray::number(ms / 1000 % 60).rightJustified(2, '0') + "." +
                             QByteArray::number(ms % 1000 / 10).rightJustified(2, '0') + "]";
    b += stamp +
         (k % 10 == 0 ? "<00:00.00>Una <00:00.50>l\xednea " : "Una l\xednea de la canci\xf3n n\xfamero ") +
         QByteArray::number(k) + "\n";
  }
  return b;
}

void BM_ReadLrc2000Lines(benchmark::State &state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("song.lrc"));
  writeFile(path, sampleLrc(2000));
  LyricLines lyric;
  LrcDocument doc;
  for (auto _ : state) benchmark::DoNotOptimize(readLrcFile(path, lyric, &doc));
}
BENCHMARK(BM_ReadLrc2000Lines)->Unit(benchmark::kMicrosecond);

// state.range(0): 1 = the song's own lyric exists (found as candidate 8),
// 0 = no lyric anywhere (every candidate missed, folders listed once each).
void BM_LoadLyricForSong(benchmark::State &state) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("music"));
  QDir(dir.path()).mkpath(QStringLiteral("lyrics"));
  QDir(dir.path()).mkpath(QStringLiteral("cwd"));
  const QString music = dir.filePath(QStringLiteral("music/"));
  for (int k = 0; k < 500; ++k) writeFile(music + QStringLiteral("Track %1.mp3").arg(k), "x");
  const QString song = music + QStringLiteral("Track 250.mp3");
  if (state.range(0)) writeFile(music + QStringLiteral("Track 250.qvl"), sampleLyric(50));
  General g;
  g.LyricPath = dir.filePath(QStringLiteral("lyrics/"));
  g.Tag.Artist = QStringLiteral("Ana");
  g.Tag.Album = QStringLiteral("Sol");
  g.Tag.Title = QStringLiteral("Luna");
  LyricLines lyric;
  const QString cwd = dir.filePath(QStringLiteral("cwd"));
  for (auto _ : state) benchmark::DoNotOptimize(LoadLyricFor(song, g, lyric, cwd));
}
BENCHMARK(BM_LoadLyricForSong)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
