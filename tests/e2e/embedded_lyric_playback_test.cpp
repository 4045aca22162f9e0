// Lyrics embedded in the songs' tags, with no lyric file anywhere, played
// through the GStreamer plug-in and the null sink: an MP3 with a SYLT frame
// and an Ogg Vorbis song with LRC text in its LYRICS comment. Their lines
// reach the visualization plug-in in the seconds their times name.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyric_playback_support.h"
#include "support/tagged_media.h"

namespace cantorel {
namespace {

TEST(EmbeddedLyricPlayback, SyltAndLrcTextPlayInStep) {
  QTemporaryDir dir;
  const QString mp3 = dir.filePath(QStringLiteral("a.mp3"));
  const QString ogg = dir.filePath(QStringLiteral("b.ogg"));
  ASSERT_TRUE(test::makeTone(test::Media::Mp3v24, mp3, 3.2));
  ASSERT_TRUE(test::makeTone(test::Media::Vorbis, ogg, 3.2));
  test::SongTagSpec sylt;
  sylt.title = QStringLiteral("Синхронно");
  sylt.sylt = {{1200, QStringLiteral("Первая")}, {2300, QStringLiteral("二番目")}};
  ASSERT_TRUE(test::writeSongTag(test::Media::Mp3v24, mp3, sylt));
  test::SongTagSpec lrc;
  lrc.lyric = QStringLiteral("[ar:Someone]\n[00:01.10]from the comment\n[00:02.40]its second line\n");
  ASSERT_TRUE(test::writeSongTag(test::Media::Vorbis, ogg, lrc));
  Playlist pl;
  pl.append(QStringLiteral("a"), mp3);
  pl.append(QStringLiteral("b"), ogg);

  const test::LyricRun run = test::playWithLyrics(pl);

  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.found, (QList<bool>{true, true}));
  test::expectLinesInTheirSeconds(run,
                                  {QStringLiteral("Первая"), QStringLiteral("二番目"), QStringLiteral("from the comment"),
                                   QStringLiteral("its second line")},
                                  {QStringLiteral("0:01"), QStringLiteral("0:02"), QStringLiteral("0:01"),
                                   QStringLiteral("0:02")},
                                  {0, 0, 1, 1});
}

}  // namespace
}  // namespace cantorel
