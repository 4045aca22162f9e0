// The song-facts reader on real files: each format GStreamer's encoders make
// here, tagged with text beyond Latin, embedded lyrics and a cover. (SYLT in
// milliseconds and Vorbis comments are also played in the lyric e2e test.)
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyrics/lrc_file.h"
#include "playlist/song_facts.h"
#include "support/tagged_media.h"

namespace cantorel {
namespace {

using test::Media;

const QString kArtist = QStringLiteral("Ночной поезд");
const QString kTitle = QStringLiteral("夜の歌");
const QString kAlbum = QStringLiteral("Тени / 影");
const QString kGenre = QStringLiteral("Рок");
const QString kLrc = QStringLiteral("[00:01.00]Первая строка\n[00:02.60]二行目\n");

struct FormatCase {
  Media kind;
  const char *tagKind;
  int sampleRate;
  bool sylt;               // the synced lyric as SYLT frame timed in MPEG frames (else LRC text)
  const char *lyricField;  // for Ogg and FLAC
  const char *syncedSource;
};

class SongFactsFormats : public ::testing::TestWithParam<FormatCase> {
 protected:
  QTemporaryDir dir;
};

TEST_P(SongFactsFormats, TextStreamLyricAndCover) {
  const FormatCase &c = GetParam();
  const QString path = dir.path() + QStringLiteral("/song.") + test::mediaExtension(c.kind);
  ASSERT_TRUE(test::makeTone(c.kind, path)) << "no encoder for " << path.toStdString();
  test::SongTagSpec spec;
  spec.artist = kArtist;
  spec.album = kAlbum;
  spec.title = kTitle;
  spec.genre = kGenre;
  spec.track = 7;
  spec.year = 1988;
  spec.picture = test::tinyPng();
  spec.lyricField = QLatin1String(c.lyricField);
  spec.syltInFrames = c.sylt;
  if (c.sylt) {
    // Frames of 1152 samples at 44.1 kHz: 39 frames are 1018 ms, 99 are 2586 ms (shown as 0:01 and 0:03).
    spec.sylt = {{39, QStringLiteral("Первая строка")}, {99, QStringLiteral("二行目")}};
    spec.lyric = QStringLiteral("Просто текст\nwithout times");  // plain, in USLT
  } else {
    spec.lyric = kLrc;
  }
  ASSERT_TRUE(test::writeSongTag(c.kind, path, spec));

  const SongFacts f = ReadSongFacts(path, kFactsAll);
  ASSERT_TRUE(f.opened);
  EXPECT_EQ(f.tagKind, QLatin1String(c.tagKind));
  EXPECT_EQ(QStringList({f.artist, f.album, f.title, f.genre}),
            QStringList({kArtist, kAlbum, kTitle, kGenre}));
  EXPECT_EQ(QList<int>({f.track, f.year, f.sampleRate, f.channels}), QList<int>({7, 1988, c.sampleRate, 2}));
  EXPECT_GT(f.lengthMs, 100);

  // The synced lyric reads as an LRC file would, times to the second.
  EXPECT_EQ(f.synced.source, QString::fromUtf8(c.syncedSource));
  LyricLines lines;
  ASSERT_EQ(parseLrcBytes(f.synced.text.toUtf8(), lines), LyricStatus::Correct)
      << f.synced.text.toStdString();
  EXPECT_EQ(lines.PlLyrics, (QStringList{QStringLiteral("Первая строка"), QStringLiteral("二行目")}));
  EXPECT_EQ(lines.PlTimes, (QStringList{QStringLiteral("0:01"), QStringLiteral("0:03")}))
      << f.synced.text.toStdString();
  if (c.sylt) {
    EXPECT_EQ(f.plain.text, QStringLiteral("Просто текст\nwithout times"));
  }

  ASSERT_EQ(f.pictures.size(), 1);
  EXPECT_EQ(f.pictures[0].data, test::tinyPng());
}

INSTANTIATE_TEST_SUITE_P(
    EachFormat, SongFactsFormats,
    ::testing::Values(FormatCase{Media::Mp3v23, "ID3v2.3", 44100, true, "", "SYLT"},
                      FormatCase{Media::Mp3v24, "ID3v2.4", 44100, false, "", "USLT"},
                      FormatCase{Media::Flac, "Vorbis comment", 44100, false, "LYRICS", "LYRICS"},
                      FormatCase{Media::Opus, "Vorbis comment", 48000, false, "LYRICS", "LYRICS"},
                      FormatCase{Media::M4a, "MP4", 44100, false, "", "\u00A9lyr"}));

// A named pipe is refused unopened: opening it would block.
TEST(SongFactsRefuses, ANamedPipe) {
  QTemporaryDir dir;
  const QString fifo = dir.path() + QStringLiteral("/song.mp3");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(ReadSongFacts(fifo, kFactsAll).opened);
}

}  // namespace
}  // namespace cantorel
