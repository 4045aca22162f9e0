// "cantorel-tool tag show|set": each command reaches the player's tag reader
// and writer, says so in its exit status, and answers in the documented
// shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "tool_run.h"

namespace cantorel {
namespace {

// A few MPEG frame headers (128 kbit/s, 44.1 kHz, joint stereo) and silence.
QByteArray audio(int bytes = 600) {
  QByteArray a(bytes, '\0');
  for (int i = 0; i + 4 <= bytes; i += 200) {
    a[i] = static_cast<char>(0xFF);
    a[i + 1] = static_cast<char>(0xFB);
    a[i + 2] = static_cast<char>(0x90);
    a[i + 3] = static_cast<char>(0x64);
  }
  return a;
}

TEST(TagTool, CommandsAnswerAsTheReaderAndTheWriter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char *d : {"home", "music"}) ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  TagInfo t;
  t.setTitle(QStringLiteral("red \x1b[31m"));
  t.setArtist(QStringLiteral("Ana"));
  t.Genre = 17;
  put("music/tagged.mp3", audio() + BuildTagRecord(t));
  put("music/short.mp3", audio(100));
  put("music/song.mp3", audio());
  put("music/tone.wav", QByteArray("RIFF\x24\x10\x00\x00WAVEfmt ", 16) + QByteArray(600, '\x11'));
  // The title options come from the user's settings; the command line replaces them.
  put("home/cantorel.conf", "[Cantorel v4.0/config]\nShowArtist=1\n");

  test::runToolCases(
      {
          {"tag show --json {d}/music/tagged.mp3",
           0,
           {{"read", "true"},
            {"header/source", "mpeg-header"},
            {"header/bitrate", "~128"},
            {"tag/found", "true"},
            {"tag/offset", "600"},
            {"tag/artist", "Ana"},
            {"tag/genreName", "Rock"},
            {"displayTitle", "~Ana - red"}}},
          {"tag show --json --show-artist 0 {d}/music/tagged.mp3", 0, {{"displayTitle", "red \x1b[31m"}}},
          {"tag show {d}/music/tagged.mp3", 0, {{"@out", "~red \\x1b[31m"}}},
          {"tag show --json {d}/music/short.mp3", 1, {{"read", "false"}}},
          {"tag show --json {d}/music/tone.wav", 0, {{"header/source", "none"}, {"tag/found", "false"}}},
          // Appended, then updated in place with the other fields kept.
          {"tag set --json --title Luna --artist Ana {d}/music/song.mp3", 0, {{"outcome", "added"}}},
          {"tag set --json --track 9 --genre rock --year 2001 {d}/music/song.mp3",
           0,
           {{"outcome", "updated"}}},
          {"tag set --json --track 256 {d}/music/song.mp3",
           1,
           {{"outcome", "refused"}, {"written", "false"}}},
          {"tag show --json {d}/music/song.mp3",
           0,
           {{"tag/title", "Luna"},
            {"tag/year", "2001"},
            {"tag/track", "9"},
            {"tag/genreName", "Rock"},
            {"tag/atEnd", "true"}}},
          {"tag set --title X {d}/music/short.mp3", 1, {{"@out", "too-short\n"}}},
          {"tag show a b", 2, {}},
          {"tag set a --genre Nonesuch", 2, {}},
          {"tag write a", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
