// An LRC lyric with an offset, found beside its song by the lyric search,
// played through the GStreamer plug-in and the null sink: its lines reach the
// visualization plug-in in the seconds their stamps name once the offset is
// applied, word stamps gone, a gap clearing the display. A song with no
// lyric on disk gets its lyric from the online service (on loopback) while
// it plays.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyric_playback_support.h"
#include "media_files.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

TEST(LrcPlayback, LinesArriveInTheSecondsTheirStampsNameAfterTheOffset) {
  QTemporaryDir dir;
  const QString song = dir.filePath(QStringLiteral("Song.wav"));
  test::writeAll(song, test::makeWav(3.2, 22050, 1));
  // A positive offset shows lines sooner: 2.2 s -> 1.2 s ("0:01"),
  // 3.4 s -> 2.4 s ("0:02"), 4.0 s -> 3.0 s ("0:03").
  test::writeAll(dir.filePath(QStringLiteral("Song.lrc")),
                 "[ar:Someone]\n[ti:Song]\n[offset: +1000]\n"
                 "[00:02.20]<00:02.20>first <00:02.70>line\n[00:03.40]second line\n[00:04.00]\n");
  Playlist pl;
  pl.append(QStringLiteral("Song"), song);

  const test::LyricRun run = test::playWithLyrics(pl);

  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.found, QList<bool>{true});
  test::expectLinesInTheirSeconds(
      run, {QStringLiteral("first line"), QStringLiteral("second line"), QStringLiteral(" ")},
      {QStringLiteral("0:01"), QStringLiteral("0:02"), QStringLiteral("0:03")}, {0, 0, 0});
}

TEST(LrcPlayback, LyricFromTheOnlineServiceArrivesInStep) {
  QTemporaryDir dir;
  // No tag: artist and title come from the file name.
  const QString song = dir.filePath(QStringLiteral("The Band - Song One.wav"));
  test::writeAll(song, test::makeWav(3.2, 22050, 1));
  test::ensureCoreApp();
  test::LoopbackHttpServer server;
  const QByteArray body =
      R"({"artistName":"The Band","trackName":"Song One","syncedLyrics":"[00:01.10]first\n[00:02.30]second"})";
  server.setResponse(test::LoopbackHttpServer::answer(
      200, body, {"Content-Type: application/json", "Content-Length: " + QByteArray::number(body.size())}));
  Playlist pl;
  pl.append(QStringLiteral("Song"), song);

  const test::LyricRun run = test::playWithLyrics(pl, server.url(QString()));

  EXPECT_TRUE(run.ended);
  EXPECT_EQ(run.found, QList<bool>{false});  // nothing on disk when it started
  ASSERT_EQ(server.requests().size(), 1) << server.requests().value(1).path.constData();
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("The Band - Song One.lrc"))));
  test::expectLinesInTheirSeconds(run, {QStringLiteral("first"), QStringLiteral("second")},
                                  {QStringLiteral("0:01"), QStringLiteral("0:02")}, {0, 0});
}

}  // namespace
}  // namespace cantorel
