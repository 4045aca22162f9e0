// "cantorel-tool playlist show|convert": each command reaches the player's
// playlist reader and writer, says so in its exit status, and answers in the
// documented shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/playlist_file.h"

#include "tool_run.h"

namespace cantorel {
namespace {

TEST(PlaylistTool, CommandsAnswerAsTheReaderAndTheWriter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char *d : {"home", "music/sub", "out"})
    ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  put("music/sub/Dos.mp3", QByteArray(300, '\0'));
  put("music/list.m3u", "#EXTM3U\r\nsub/Dos.mp3\r\nhttp://radio.example/live\r\ngone.mp3\r\n");
  put("music/list.jpg", "not really a picture");
  put("music/radio.pls", "[playlist]\nFile1=sub/Dos.mp3\nTitle1=x\nFile2=HTTPS://radio.example/b\n");
  put("music/notes.txt", "sub/Dos.mp3\n");
  put("music/esc.m3u", "red\x1b[31m.mp3\r\n");
  put("out/keep.m3u", "old\r\n");
  // A line too long to be a path, and two entries past the player's limit.
  QByteArray big = QByteArray(kMaxPlaylistLineChars + 1, 'x') + "\n";
  for (int i = 0; i < Playlist::kMaxReadEntries + 2; ++i) big += "t" + QByteArray::number(i) + ".mp3\n";
  put("music/big.m3u", big);

  test::runToolCases(
      {
          {"playlist show --json {d}/music/list.m3u",
           0,
           {{"kind", "m3u"},
            {"name", "list"},
            {"cover", "{d}/music/list.jpg"},
            {"entryCount", "3"},
            {"entries/0/path", "{d}/music/sub/Dos.mp3"},
            {"entries/0/exists", "true"},
            {"entries/1/stream", "true"},
            {"entries/2/exists", "false"}}},
          {"playlist show --json {d}/music/radio.pls", 0, {{"kind", "pls"}, {"entryCount", "2"}}},
          {"playlist show --json {d}/music/notes.txt", 1, {{"accepted", "false"}, {"kind", "null"}}},
          {"playlist show {d}/music/esc.m3u", 0, {{"@out", "~red\\x1b[31m"}}},
          // Written as the player saves: relative to the new list, read back the same.
          {"playlist convert --json {d}/music/radio.pls {d}/music/radio.m3u", 0, {{"written", "true"}}},
          {"playlist show --json {d}/music/radio.m3u", 0, {{"entries/0/path", "{d}/music/sub/Dos.mp3"}}},
          {"playlist convert --json {d}/music/big.m3u {d}/out/big.m3u", 0, {{"skipped", "3"}}},
          // What the player does not read as a playlist leaves OUT alone.
          {"playlist convert --json {d}/music/missing.m3u {d}/out/keep.m3u", 1, {{"written", "false"}}},
          {"playlist show --json {d}/out/keep.m3u", 0, {{"entries/0/path", "{d}/out/old"}}},
          {"playlist convert {d}/music/radio.pls {d}/nofolder/x.m3u", 1, {{"@out", "~failed"}}},
          {"playlist show a b", 2, {}},
          {"playlist play a", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
