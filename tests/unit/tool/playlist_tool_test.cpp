// "cantorel-tool playlist show|convert": each command reaches the player's
// playlist reader and writer, says so in its exit status, and answers in the
// documented shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace cantorel {
namespace {

TEST(PlaylistTool, CommandsAnswerAsTheReaderAndTheWriter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char *d : {"home", "music/sub"}) ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  test::writeAll(dir.filePath(QStringLiteral("music/sub/Dos.mp3")), "x");
  test::writeAll(dir.filePath(QStringLiteral("music/radio.pls")), "[playlist]\nFile1=sub/Dos.mp3\n");
  test::writeAll(dir.filePath(QStringLiteral("music/notes.txt")), "sub/Dos.mp3\n");

  test::runToolCases(
      {
          {"playlist show --json {d}/music/radio.pls",
           0,
           {{"kind", "pls"}, {"entryCount", "1"}, {"entries/0/exists", "true"}}},
          {"playlist show --json {d}/music/notes.txt", 1, {{"accepted", "false"}}},
          // Written as the player saves, read back the same.
          {"playlist convert --json {d}/music/radio.pls {d}/music/radio.m3u", 0, {{"written", "true"}}},
          {"playlist show --json {d}/music/radio.m3u", 0, {{"entries/0/path", "{d}/music/sub/Dos.mp3"}}},
          {"playlist convert --json {d}/music/missing.m3u {d}/music/radio.m3u", 1, {{"written", "false"}}},
          {"playlist play a", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
