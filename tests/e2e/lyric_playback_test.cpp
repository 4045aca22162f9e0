// A playlist of three songs, each with its timed lyric, played from end to
// end through the GStreamer plug-in and the null sink, driven by a real
// 25 ms timer: every line reaches the visualization plug-in once, in order,
// in the second its time names, and the playlist stops back at its start.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyric_playback_support.h"
#include "media_files.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

TEST(LyricPlayback, EveryLineArrivesInItsSecondAcrossAPlaylist) {
  QTemporaryDir dir;
  Playlist pl;

  // Three songs of 2.2 seconds; lines at 0:01 and 0:02 of each.
  QStringList expectedLines;
  QStringList expectedTimes;
  QList<int> entryOf;
  int entry = 0;
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
    entryOf << entry << entry;
    ++entry;
  }

  const test::LyricRun run = test::playWithLyrics(pl);

  // The playlist ended: back at entry 1, stopped.
  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.playing, 0);
  EXPECT_EQ(run.tnum, 1);
  EXPECT_EQ(run.found, (QList<bool>{true, true, true}));
  test::expectLinesInTheirSeconds(run, expectedLines, expectedTimes, entryOf);
}

}  // namespace
}  // namespace cantorel
