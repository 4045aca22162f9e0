// "cantorel-tool tag show|set": each command reaches the player's tag reader
// and writer, says so in its exit status, and answers in the documented
// shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace cantorel {
namespace {

TEST(TagTool, CommandsAnswerAsTheReaderAndTheWriter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char *d : {"home", "music"}) ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  // An MPEG frame header (128 kbit/s, 44.1 kHz, joint stereo) and silence.
  test::writeAll(dir.filePath(QStringLiteral("music/song.mp3")),
                 QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(600, '\0'));
  test::writeAll(dir.filePath(QStringLiteral("music/short.mp3")), QByteArray(100, '\0'));

  test::runToolCases(
      {
          {"tag set --json --title Luna --track 9 --genre rock {d}/music/song.mp3",
           0,
           {{"outcome", "added"}}},
          {"tag set --json --track 256 {d}/music/song.mp3",
           1,
           {{"outcome", "refused"}, {"written", "false"}}},
          {"tag show --json {d}/music/song.mp3",
           0,
           {{"header/bitrate", "~128"},
            {"tag/title", "Luna"},
            {"tag/track", "9"},
            {"tag/genreName", "Rock"}}},
          {"tag show --json {d}/music/short.mp3", 1, {{"read", "false"}}},
          {"tag write a", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
