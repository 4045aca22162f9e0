// The lyric search (candidate order, passes, letter case, the song's tag)
// and the naming of new lyric files, whose names from tag fields must stay
// in their folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyric_test_util.h"
#include "lyrics/lyric_search.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using test::crlfLines;

QString S(const char *s) {
  return QString::fromUtf8(s);
}

TagInfo tag(const QString &artist, const QString &album, const QString &title) {
  TagInfo t;
  t.Artist = artist;
  t.Album = album;
  t.Title = title;
  return t;
}

// A music folder, a lyric folder and a stand-in for the current folder, all
// inside one temporary folder.
class LyricSearchFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *d : {"music", "lyrics", "cwd"}) ASSERT_TRUE(QDir(root.path()).mkpath(S(d)));
    music = root.filePath(QStringLiteral("music")) + u'/';
    lyrics = root.filePath(QStringLiteral("lyrics")) + u'/';
    cwd = root.filePath(QStringLiteral("cwd"));
    song = music + QStringLiteral("Song.mp3");
    test::writeAll(song, "not really audio");
    g.SongTag = tag(S("Ana"), S("Sol"), S("Luna"));
  }
  static void writeLyric(const QString &path, const char *line) {
    test::writeAll(path, crlfLines({"(QVL)", line, "0:01"}));
  }
  QString first() const { return lyric.PlLyrics.value(0); }

  QTemporaryDir root;
  QString music, lyrics, cwd, song;
  General g = test::lyricGeneral();
  LyricLines lyric;
};

// The candidates in the order they are tried (a name without a folder is
// taken in the current folder): each wins while it is readable; broken, the
// next one wins.
TEST_F(LyricSearchFiles, CandidatesTriedInOrderAndBrokenOnesSkipped) {
  QStringList order;
  for (const char *name : {"Ana - Sol - Luna.qvl", "Ana - Luna.qvl", "Sol - Luna.qvl", "Song.qvl"})
    order << QDir(cwd).filePath(S(name)) << music + S(name);
  for (int k = 0; k < 8; ++k) writeLyric(order[k], QByteArray::number(k + 1).constData());
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k + 1);
    EXPECT_EQ(findLyricFile(song, g.SongTag, g, lyric, cwd).file, order[k]);
    EXPECT_EQ(first(), QString::number(k + 1));
    test::writeAll(order[k], crlfLines({"(QVL)", "no time"}));
  }
  EXPECT_FALSE(findLyricFile(song, g.SongTag, g, lyric, cwd).found);
}

// Which file wins as files appear, from the weakest to the strongest: LRC
// files by the same names after every file of our own format, the lyric
// folder before the song's. Until one is found, the failure text of our own
// format is the only line.
TEST_F(LyricSearchFiles, FoldersAndFormatsInTheirOrder) {
  g.LyricPath = lyrics.chopped(1);  // typed without its final separator: still that folder
  // A broken lyric beside the song: its status, and none of its lines.
  test::writeAll(music + S("Song.qvl"), crlfLines({"(QVL)", "A", "0:01", ""}));
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 4")});
  const struct {
    QString file;
    QByteArray bytes;
    const char *first;  // the line loaded afterwards
  } steps[] = {
      {music + S("Song.LRC"), "[00:01.00]lrc beside, other case\n", "lrc beside, other case"},
      {music + S("Ana - Luna.qvl"), crlfLines({"(QVL)", "ours beside", "0:01"}), "ours beside"},
      {lyrics + S("Sol - Luna.qvl"), crlfLines({"(QVL)", "ours in the lyric folder", "0:01"}),
       "ours in the lyric folder"},
  };
  for (const auto &step : steps) {
    SCOPED_TRACE(step.first);
    test::writeAll(step.file, step.bytes);
    EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
    EXPECT_EQ(first(), S(step.first));
    EXPECT_EQ(g.LyricLineCount, 1);
  }
}

TEST_F(LyricSearchFiles, LetterCaseOfNamesFromOtherDesktops) {
  g.SongTag = TagInfo();
  writeLyric(music + QStringLiteral("SONG.QVL"), "upper case");
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("upper case"));
  // The exact name wins over a name in other letters.
  writeLyric(music + QStringLiteral("Song.qvl"), "exact");
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("exact"));
}

TEST_F(LyricSearchFiles, TheWritePathIsCreatedButNeverTruncated) {
  const QString path = LyricWritePath(song, TagInfo());
  EXPECT_EQ(path, music + QStringLiteral("Song.qvl"));
  EXPECT_TRUE(QFileInfo(path).isFile());
  writeLyric(path, "kept");
  EXPECT_EQ(LyricWritePath(song, TagInfo()), path);
  EXPECT_EQ(test::readAll(path), crlfLines({"(QVL)", "kept", "0:01"}));
}

// New lyric files are named from the tag, beside the song, even for tags
// that try to leave its folder; the search finds what was written.
TEST_F(LyricSearchFiles, NewLyricNamesStayInTheSongsFolderAndAreFound) {
  const struct {
    QString artist, album, title;
    const char *name;
  } cases[] = {
      {S("AC/DC"), S("Back\\in"), S("Black"), "AC_DC - Back_in - Black.qvl"},
      {S("../../cwd/x"), S("../lyrics"), S(".."), ".._.._cwd_x - .._lyrics - ...qvl"},
      {QString::fromUtf8("Ana\0/../../x", 12), S("/"), S("Luna\r\n"), "Ana - _ - Luna__.qvl"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    g.SongTag = tag(c.artist, c.album, c.title);
    const QString path = LyricWritePath(song, g.SongTag);
    EXPECT_EQ(path, music + S(c.name));
    ASSERT_TRUE(WriteLyricFile(path, {S(c.name)}, {QStringLiteral("0:01")}));
    EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
    EXPECT_EQ(first(), S(c.name));
  }
}

}  // namespace
}  // namespace cantorel
