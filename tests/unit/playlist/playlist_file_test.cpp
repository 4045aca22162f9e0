// Playlist files: reading M3U and PLS, the entry path rules, writing M3U.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/entry_path.h"
#include "playlist/playlist_file.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

using test::readAll;
using test::writeAll;

// Titles of entries in tests: the path itself, so they can be checked.
const EntryTitleFn kPathTitle = [](const QString &p) -> QString { return QStringLiteral("T:") + p; };

class PlaylistFileTest : public ::testing::Test {
 protected:
  QString path(const QString &rel) const { return dir.path() + QLatin1Char('/') + rel; }
  // The entries read, joined by "|", with the playlist's folder as "@".
  QString read(const QString &name, const QByteArray &text, Playlist &pl) {
    writeAll(path(name), text);
    EXPECT_TRUE(PlRead(path(name), pl, kPathTitle));
    EXPECT_EQ(pl.PlNames.size(), pl.PlPath.size());
    return pl.PlPath.join(QLatin1Char('|')).replace(dir.path() + QLatin1Char('/'), QStringLiteral("@"));
  }
  QTemporaryDir dir;
};

TEST_F(PlaylistFileTest, ReadAddsExactlyTheseEntries) {
  const struct {
    const char *file;
    QByteArray text;
    const char *entries;
  } cases[] = {
      {"a.m3u", "#EXTM3U\r\n#EXTINF:123,Title\r\nsong.mp3\r\n", "@song.mp3"},
      {"a.m3u", " #x\n", "@#x"},  // only the untrimmed first character marks a comment
      {"a.m3u", "a.mp3\nb.mp3\r\nc.mp3\rd.mp3", "@a.mp3|@b.mp3|@c.mp3|@d.mp3"},
      {"a.m3u", "/music/a.mp3\nC:\\a\\b.mp3\n\\c\\d.mp3\nd:e\\f.mp3\n",
       "/music/a.mp3|/a/b.mp3|/c/d.mp3|/e/f.mp3"},
      {"a.m3u", "HtTp://host/x?y=1\nfile:///music/a%20b.mp3\n", "HtTp://host/x?y=1|/music/a b.mp3"},
      {"a.m3u8", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9.mp3\n", "@\xC3\xA9t\xC3\xA9.mp3"},
      {"a.m3u", "caf\xE9.mp3\n", "@caf\xC3\xA9.mp3"},  // single-byte text of older players
      {"a.pls",
       "[playlist]\nNumberOfEntries=3\nFile1=C:\\a\\b.mp3\nTitle1=x\nfile2=x.mp3\nFile3\nFile4=y=z.mp3\n"
       "  File5=w.mp3  \nFile6=\nVersion=2\n",
       "/a/b.mp3|@y=z.mp3|@w.mp3"},
  };
  for (const auto &c : cases) {
    Playlist pl;
    EXPECT_EQ(read(QString::fromLatin1(c.file), c.text, pl), QString::fromUtf8(c.entries))
        << c.text.constData();
  }
  Playlist none;
  EXPECT_FALSE(PlRead(path(QStringLiteral("none.m3u")), none, kPathTitle));
  EXPECT_EQ(ResolveEntry(QStringLiteral("a.mp3"), QStringLiteral("/l")), QStringLiteral("/l/a.mp3"));
  EXPECT_EQ(ResolveEntry(QStringLiteral("a.mp3"), QString()), QStringLiteral("a.mp3"));
}

TEST_F(PlaylistFileTest, TitlesPictureAndNameComeFromTheResolvedFiles) {
  // A tagged file in a subfolder of the playlist's folder: its title comes
  // from its own tag wherever the program runs.
  writeAll(path(QStringLiteral("sub/x.mp3")),
           test::mp3Bytes(300, BuildTagRecord(test::makeTag(QStringLiteral("Tagged")))));
  writeAll(path(QStringLiteral("My_List.jpg")), "x");
  writeAll(path(QStringLiteral("My_List.m3u")), "sub\\x.mp3\r\nhttp://radio/\r\n");
  Playlist pl;
  ASSERT_TRUE(PlRead(path(QStringLiteral("My_List.m3u")), pl,
                     [](const QString &p) { return ReadMp3Info(p).Tag.Title.trimmed(); }));
  EXPECT_EQ(pl.PlNames, (QStringList{QStringLiteral("Tagged"), QStringLiteral("http://radio/")}));
  EXPECT_EQ(pl.Name, QStringLiteral("My List"));
  EXPECT_EQ(pl.PLCover, path(QStringLiteral("My_List.jpg")));
}

TEST_F(PlaylistFileTest, WindowsEntriesFindFilesWhoseCaseDiffers) {
  writeAll(path(QStringLiteral("Music/Band/Song.mp3")), "x");
  Playlist pl;
  EXPECT_EQ(read(QStringLiteral("l.m3u"),
                 "music\\BAND\\song.MP3\r\n"   // Windows style: matched
                 "music/BAND/song.MP3\r\n"     // ours: exact names only
                 "music\\band\\gone.mp3\r\n",  // nothing to match
                 pl),
            QStringLiteral("@Music/Band/Song.mp3|@music/BAND/song.MP3|@music/band/gone.mp3"));
}

// Lines too long to be a path, and entries past the cap (which counts the
// entries already there), are left out and counted.
TEST_F(PlaylistFileTest, LongLinesAndEntriesPastTheCapAreLeftOutAndCounted) {
  const QByteArray huge(kMaxPlaylistLineChars + 1, 'x');
  writeAll(path(QStringLiteral("l.m3u")), "a.mp3\n" + huge + "\r\n#" + huge + "\rb.mp3\nc.mp3\n");
  Playlist pl;
  PlaylistReadReport report;
  ASSERT_TRUE(PlRead(path(QStringLiteral("l.m3u")), pl, kPathTitle, 1, &report));
  EXPECT_EQ(pl.count(), 3);
  EXPECT_EQ(report.longLines, 2);
  pl.PlClear();
  for (int i = 0; i < Playlist::kMaxReadEntries - 1; ++i) pl.append(QString(), QStringLiteral("x"));
  ASSERT_TRUE(PlRead(path(QStringLiteral("l.m3u")), pl, kPathTitle, 1, &report));
  EXPECT_EQ(pl.count(), Playlist::kMaxReadEntries);
  EXPECT_EQ(pl.PlPath.last(), path(QStringLiteral("a.mp3")));
  EXPECT_EQ(report.overCap, 2);
}

TEST(PlaylistWrite, RelativeToTheFolderSkippingUnusablePaths) {
  Playlist pl;
  for (const char *p : {"/m/a.mp3", "/m/sub/b.mp3", "/x.mp3", "", "/m/a**b.mp3", "http://h/s", "/mx/c.mp3",
                        "/m/#1.mp3", "/m/ pad.mp3", "/m/bad\nname"})
    pl.append(QStringLiteral("n"), QString::fromUtf8(p));
  EXPECT_EQ(PlaylistText(QStringLiteral("/m/list.m3u"), pl),
            QByteArray("a.mp3\r\nsub/b.mp3\r\n/x.mp3\r\nhttp://h/s\r\n/mx/c.mp3\r\n"
                       "/m/#1.mp3\r\n/m/ pad.mp3\r\n"));
}

}  // namespace
}  // namespace cantorel
