// "cantorel-tool playlist show|convert" run on playlists made here: its JSON
// must say what the core reader says, and what it writes must be the player's
// M3U text.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/display_title.h"
#include "playlist/entry_path.h"
#include "playlist/paths.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"
#include "tool_run.h"

namespace cantorel {
namespace {

using test::words;

class PlaylistTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char *d : {"home", "music/sub", "out"})
      ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
    test::writeAll(path("music/01 - Uno.mp3"), QByteArray(300, '\0'));
    test::writeAll(path("music/sub/Dos.mp3"), QByteArray(300, '\0'));
  }
  QString path(const char *rel) const { return dir.filePath(QString::fromUtf8(rel)); }
  test::ToolRun tool(const QStringList &args) { return test::runTool(args, path("home"), dir.path()); }

  // What the player reads, with the default title settings of an empty home.
  static Playlist read(const QString &file, bool *ok) {
    Playlist pl;
    const TitleOptions opt{1, 1, 0};
    *ok = PlRead(file, pl, [opt](const QString &p) { return TitleFromFile(p, opt); }, 1);
    return pl;
  }

  QTemporaryDir dir;
};

TEST_F(PlaylistTool, ShowSaysWhatTheReaderSays) {
  test::writeAll(path("music/list.m3u"),
                 "#EXTM3U\r\n01 - Uno.mp3\r\nSUB\\dos.MP3\r\n\r\nhttp://radio.example/live\r\n"
                 "gone.mp3\r\n");
  test::writeAll(path("music/list.jpg"), "not really a picture");
  test::writeAll(path("music/radio.pls"),
                 "[playlist]\nFile1=sub/Dos.mp3\nTitle1=x\nFile2=HTTPS://radio.example/b\nNumberOfEntries=2\n");
  test::writeAll(path("music/notes.txt"), "01 - Uno.mp3\n");
  for (const char *name : {"list.m3u", "radio.pls", "notes.txt", "missing.m3u"}) {
    SCOPED_TRACE(name);
    const QString file = path("music/") + QString::fromUtf8(name);
    bool ok = false;
    const Playlist pl = read(file, &ok);
    const bool accepted = ok && !file.endsWith(QLatin1String(".txt"));
    const test::ToolRun r = tool(words("playlist show --json") << file);
    const QJsonObject j = r.json();
    EXPECT_EQ(r.exitCode, accepted ? 0 : 1);
    EXPECT_EQ(j.value(QStringLiteral("accepted")).toBool(), accepted);
    EXPECT_EQ(j.value(QStringLiteral("name")).toString(), pl.Name);
    EXPECT_EQ(j.value(QStringLiteral("cover")).toString(), pl.PLCover);
    EXPECT_EQ(j.value(QStringLiteral("cover")).isNull(), pl.PLCover.isEmpty());
    const QJsonArray entries = j.value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), pl.count());
    EXPECT_EQ(j.value(QStringLiteral("entryCount")).toInt(), pl.count());
    for (int k = 0; k < pl.count(); ++k) {
      const QJsonObject e = entries[k].toObject();
      EXPECT_EQ(e.value(QStringLiteral("name")).toString(), pl.PlNames[k]);
      EXPECT_EQ(e.value(QStringLiteral("path")).toString(), pl.PlPath[k]);
      EXPECT_EQ(e.value(QStringLiteral("stream")).toBool(), IsStreamEntry(pl.PlPath[k]));
      EXPECT_EQ(e.value(QStringLiteral("exists")).toBool(),
                !IsStreamEntry(pl.PlPath[k]) && FileExists(pl.PlPath[k]));
    }
  }
  // The M3U entries as resolved: a friendly name, a case-insensitive match
  // of a path from another desktop, a stream and a missing file.
  const QJsonArray e = tool(words("playlist show --json") << path("music/list.m3u"))
                           .json()
                           .value(QStringLiteral("entries"))
                           .toArray();
  ASSERT_EQ(e.size(), 4);
  EXPECT_EQ(e[1].toObject().value(QStringLiteral("path")).toString(), path("music/sub/Dos.mp3"));
  EXPECT_TRUE(e[1].toObject().value(QStringLiteral("exists")).toBool());
  EXPECT_TRUE(e[2].toObject().value(QStringLiteral("stream")).toBool());
  EXPECT_FALSE(e[3].toObject().value(QStringLiteral("exists")).toBool());

  // The plain report shows entry text made harmless for a terminal.
  test::writeAll(path("music/esc.m3u"), "red\x1b[31m.mp3\r\n");
  const test::ToolRun plain = tool(words("playlist show") << path("music/esc.m3u"));
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_TRUE(plain.out.contains("red\\x1b[31m"));
  EXPECT_FALSE(plain.out.contains('\x1b'));
}

TEST_F(PlaylistTool, ConvertWritesAsThePlayerSaves) {
  test::writeAll(path("music/radio.pls"),
                 "[playlist]\nFile1=sub/Dos.mp3\nFile2=https://radio.example/b\nFile3=C:\\x\\y.mp3\n");
  const QString out = path("music/radio.m3u");
  test::ToolRun r = tool(words("playlist convert --json") << path("music/radio.pls") << out);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.json().value(QStringLiteral("written")).toBool());
  EXPECT_EQ(r.json().value(QStringLiteral("entryCount")).toInt(), 3);
  bool ok = false;
  const Playlist pl = read(path("music/radio.pls"), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(test::readAll(out), PlaylistText(out, pl));
  // Written beside the playlist, the entry is relative to it, so the result
  // reads back to the same paths.
  EXPECT_TRUE(test::readAll(out).startsWith("sub/Dos.mp3\r\n"));
  const Playlist back = read(out, &ok);
  EXPECT_EQ(back.PlPath, pl.PlPath);

  // What the reader leaves out is counted as skipped: a line too long to be a
  // path and the entries past the player's limit.
  QByteArray big = QByteArray(kMaxPlaylistLineChars + 1, 'x') + "\n";
  for (int i = 0; i < Playlist::kMaxReadEntries + 2; ++i) big += "t" + QByteArray::number(i) + ".mp3\n";
  test::writeAll(path("music/big.m3u"), big);
  r = tool(words("playlist convert --json") << path("music/big.m3u") << path("music/big-out.m3u"));
  EXPECT_EQ(r.json().value(QStringLiteral("entryCount")).toInt(), Playlist::kMaxReadEntries);
  EXPECT_EQ(r.json().value(QStringLiteral("skipped")).toInt(), 3);

  // A file the player does not read as a playlist leaves OUT alone.
  test::writeAll(path("music/notes.txt"), "01 - Uno.mp3\n");
  test::writeAll(path("out/keep.m3u"), "old\r\n");
  for (const char *in : {"music/notes.txt", "music/missing.m3u"}) {
    r = tool(words("playlist convert --json") << path(in) << path("out/keep.m3u"));
    EXPECT_EQ(r.exitCode, 1) << in;
    EXPECT_FALSE(r.json().value(QStringLiteral("written")).toBool()) << in;
    EXPECT_EQ(test::readAll(path("out/keep.m3u")), "old\r\n") << in;
  }
  // An OUT that cannot be written: failure, exit 1.
  r = tool(words("playlist convert") << path("music/radio.pls") << path("nofolder/x.m3u"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.startsWith("failed"));
}

TEST_F(PlaylistTool, UsageErrors) {
  for (const char *args : {"playlist", "playlist show", "playlist show a b", "playlist convert a",
                           "playlist convert a b c", "playlist show a --bogus", "playlist play a"})
    EXPECT_EQ(tool(words(args)).exitCode, 2) << args;
}

}  // namespace
}  // namespace cantorel
