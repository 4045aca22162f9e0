// The lyric search (candidate order, passes, letter case, the song's tag)
// and the naming of new lyric files, whose names from tag fields must stay
// in their folder.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/tagged_media.h"

#include "lyric_test_util.h"
#include "lyrics/lyric_search.h"
#include "playlist/paths.h"
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
  g.LyricActive = -1;
  g.LyricPath = lyrics.chopped(1);  // typed without its final separator: still that folder
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(g.LyricActive, 0);
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 6")});
  EXPECT_TRUE(lyric.PlTimes.isEmpty());
  // A broken lyric beside the song: its status, and none of its lines.
  test::writeAll(music + S("Song.qvl"), crlfLines({"(QVL)", "A", "0:01", ""}));
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 4")});
  EXPECT_EQ(g.LyricLineCount, 0);
  const struct {
    QString file;
    QByteArray bytes;
    const char *first;  // the line loaded afterwards
  } steps[] = {
      {music + S("Song.LRC"), "[00:01.00]lrc beside, other case\n", "lrc beside, other case"},
      {music + S("Song.lrc"), "[00:01.00]lrc beside\n", "lrc beside"},
      {lyrics + S("Ana - Luna.lrc"), "[ar:Ana]\n[00:02.00]lrc in the lyric folder\n",
       "lrc in the lyric folder"},
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
    EXPECT_NE(g.LyricActive, 0);
  }
  // An LRC without a timed line is no lyric.
  QFile::remove(music + S("Ana - Luna.qvl"));
  QFile::remove(lyrics + S("Sol - Luna.qvl"));
  for (const QString &f :
       QStringList{music + S("Song.LRC"), music + S("Song.lrc"), lyrics + S("Ana - Luna.lrc")})
    test::writeAll(f, "[ar:Ana]\nno stamps\n");
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 4")});
}

// A plain lyric in the song's own tag, when no file holds a timed one, is
// shown untimed.
TEST_F(LyricSearchFiles, PlainEmbeddedLyricIsShownUntimed) {
  ASSERT_TRUE(test::makeTone(test::Media::Mp3v24, song));
  test::SongTagSpec spec;
  spec.lyric = S("plain one\nplain two");
  ASSERT_TRUE(test::writeSongTag(test::Media::Mp3v24, song, spec));
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(g.LyricActive, 0);
  EXPECT_EQ(lyric.PlLyrics, (QStringList{S("plain one"), S("plain two")}));
  EXPECT_TRUE(lyric.PlTimes.isEmpty());
}

TEST_F(LyricSearchFiles, LetterCaseOfNamesFromOtherDesktops) {
  g.SongTag = TagInfo();
  writeLyric(music + QStringLiteral("SONG.QVL"), "upper case");
  writeLyric(music + QStringLiteral("song.QVL"), "mixed case");  // the first name in code order wins
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
  EXPECT_EQ(LyricWritePath(root.filePath(QStringLiteral("gone/Song.mp3")), TagInfo()), QString());
  ASSERT_TRUE(QDir(music).mkdir(QStringLiteral("Dir.qvl")));
  EXPECT_EQ(LyricWritePath(music + QStringLiteral("Dir.mp3"), TagInfo()), QString());
}

// New lyric files are named from the tag, beside the song, even for tags
// that try to leave its folder; the search finds what was written (except a
// name of the artist alone, which it never tries).
TEST_F(LyricSearchFiles, NewLyricNamesStayInTheSongsFolderAndAreFound) {
  const struct {
    QString artist, album, title;
    const char *name;
    bool found;
  } cases[] = {
      {S("Ana"), S(""), S(""), "Ana.qvl", false},
      {S(" Ana "), S(""), S("Luna"), "Ana - Luna.qvl", true},
      {S(""), S("Sol"), S("Luna"), "Song.qvl", true},
      {S("AC/DC"), S("Back\\in"), S("Black"), "AC_DC - Back_in - Black.qvl", true},
      {S("../../cwd/x"), S("../lyrics"), S(".."), ".._.._cwd_x - .._lyrics - ...qvl", true},
      {QString::fromUtf8("Ana\0/../../x", 12), S("/"), S("Luna\r\n"), "Ana - _ - Luna__.qvl", true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    g.SongTag = tag(c.artist, c.album, c.title);
    const QString path = LyricWritePath(song, g.SongTag);
    EXPECT_EQ(path, music + S(c.name));
    ASSERT_TRUE(WriteLyricFile(path, {S(c.name)}, {QStringLiteral("0:01")}));
    EXPECT_EQ(LoadLyricFor(song, g, lyric, cwd), c.found);
    EXPECT_EQ(first(), c.found ? S(c.name) : S("message 6"));
  }
  // Nothing was written anywhere but beside the song.
  QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    EXPECT_EQ(DirPart(f), music) << qPrintable(f);
  }
}

}  // namespace
}  // namespace cantorel
