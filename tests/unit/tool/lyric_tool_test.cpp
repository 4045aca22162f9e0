// "cantorel-tool lyric check|find": each command reaches the player's reader
// or search, says so in its exit status, and answers in the documented shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "tool_run.h"

namespace cantorel {
namespace {

TEST(LyricTool, CommandsAnswerAsTheReaderAndTheSearch) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char *d : {"home", "music", "lyrics"}) ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  put("music/good.qvl", "(QVL)\r\nUno\r\n0:12\r\nDos\r\n0:17\r\n");
  put("music/header.qvl", "(qvl)\r\nUno\r\n0:12\r\n");
  put("music/esc.qvl", "(QVL)\r\nred \x1b[31m\r\n0:01\r\n");
  put("music/song.lrc", "[ti:Luna]\n[offset:+500]\n[00:01.00][00:09.00]Uno\n[00:05.00]\n");
  put("music/content.txt", "\xEF\xBB\xBF[ar:Ana]\r\n[00:03.50]Tres\r\n");
  put("music/ours.txt", "(QVL)\r\n[00:01.00]\r\n0:01\r\n");
  put("music/Song.mp3", "x");
  put("music/Lrc.mp3", "x");
  put("music/Lrc.LRC", "[00:01.00]Uno\n[00:02.00]Dos\n");
  put("lyrics/Ana - Luna.qvl", "(QVL)\r\nUno\r\n0:01\r\n");
  TagInfo tag;
  tag.setArtist(QStringLiteral("Ana"));
  tag.setTitle(QStringLiteral("Luna"));
  put("music/Tagged.mp3", QByteArray(300, '\0') + BuildTagRecord(tag));
  put("home/cantorel.conf", "[Cantorel v4.0/config]\nLyricPath=" + dir.filePath(QStringLiteral("lyrics/")).toUtf8() +
                                "\n");

  test::runToolCases(
      {
          {"lyric check --json {d}/music/good.qvl",
           0,
           {{"format", "qvl"}, {"accepted", "true"}, {"message", "0"}, {"line", "5"}, {"entryCount", "2"},
            {"entries/1/text", "Dos"}, {"entries/1/time", "0:17"}}},
          {"lyric check --json {d}/music/header.qvl", 1, {{"accepted", "false"}, {"message", "1"}, {"line", "1"}}},
          {"lyric check --json {d}/music/missing.qvl",
           1,
           {{"message", "6"}, {"reason", "the file does not exist"}}},
          {"lyric check {d}/music/esc.qvl", 0, {{"@out", "~accepted"}, {"@out", "~red \\x1b[31m"}}},
          // LRC by its name or by its content; our format stays ours.
          {"lyric check --json {d}/music/song.lrc",
           0,
           {{"format", "lrc"}, {"offset", "500"}, {"tags", "[2]"}, {"stamps", "[3]"}, {"entries", "[3]"},
            {"entries/0/text", "Uno"}, {"warnings", "[0]"}}},
          {"lyric check --json {d}/music/content.txt", 0, {{"format", "lrc"}, {"tags/0/value", "Ana"}}},
          {"lyric check --json {d}/music/ours.txt", 0, {{"format", "qvl"}}},
          // The lyric folder from the settings, the tag from the command line.
          {"lyric find --json --artist Ana --title Luna {d}/music/Song.mp3",
           0,
           {{"found", "true"}, {"lyricDir", "{d}/lyrics/"}, {"file", "{d}/lyrics/Ana - Luna.qvl"},
            {"format", "qvl"}, {"entryCount", "1"}, {"passes", "[1]"}, {"passes/0/candidates/0/used", "false"}}},
          // The tag read from the song; the folder from the command line.
          {"lyric find --json --lyric-dir {d}/music/ {d}/music/Tagged.mp3",
           1,
           {{"found", "false"}, {"tag/artist", "Ana"}, {"passes", "[2]"}, {"lrcPasses", "[3]"},
            {"passes/1/candidates", "[8]"}, {"failureText", "~"}}},
          {"lyric find --json {d}/music/Tagged.mp3", 0, {{"file", "{d}/lyrics/Ana - Luna.qvl"}}},
          {"lyric find --json {d}/music/Lrc.mp3",
           0,
           {{"file", "{d}/music/Lrc.LRC"}, {"format", "lrc"}, {"entryCount", "2"}, {"lrcPasses", "[2]"}}},
          {"", 2, {}},  // no command at all
          {"lyric", 2, {}},
          {"lyric check", 2, {}},
          {"lyric check a --bogus", 2, {}},
          {"lyric find a b", 2, {}},
          {"lyric find a --lyric-dir", 2, {}},
          {"lyric sing", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
