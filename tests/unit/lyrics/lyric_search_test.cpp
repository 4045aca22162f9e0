// The lyric search (candidate order, two passes, letter case) and the naming
// of new lyric files, whose names from tag fields must stay in their folder.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

struct CandidateCase {
  const char *base;
  const char *artist, *album, *title;
  std::vector<const char *> candidates;
};

TEST(LyricCandidates, Order) {
  const CandidateCase cases[] = {
      {"/m/x/Song.mp3",
       "Ana",
       "Sol",
       "Luna",
       {"Ana - Sol - Luna.qvl", "/m/x/Ana - Sol - Luna.qvl", "Ana - Luna.qvl", "/m/x/Ana - Luna.qvl",
        "Sol - Luna.qvl", "/m/x/Sol - Luna.qvl", "Song.qvl", "/m/x/Song.qvl"}},
      // Untagged: the separators stay; the song's own name beside it comes last.
      {"C:\\m\\a.b.mp3",
       "",
       "",
       "",
       {" -  - .qvl", "C:\\m\\ -  - .qvl", " - .qvl", "C:\\m\\ - .qvl", " - .qvl", "C:\\m\\ - .qvl",
        "a.b.qvl", "C:\\m\\a.b.qvl"}},
      // A lyric folder as base: its file name part is empty.
      {"/lyrics/",
       "  Ana ",
       "Sol  ",
       " Luna",
       {"Ana - Sol - Luna.qvl", "/lyrics/Ana - Sol - Luna.qvl", "Ana - Luna.qvl", "/lyrics/Ana - Luna.qvl",
        "Sol - Luna.qvl", "/lyrics/Sol - Luna.qvl", ".qvl", "/lyrics/.qvl"}},
      // No base: relative tag names only.
      {"",
       "Ana",
       "",
       "Luna",
       {"Ana -  - Luna.qvl", "Ana -  - Luna.qvl", "Ana - Luna.qvl", "Ana - Luna.qvl", " - Luna.qvl",
        " - Luna.qvl"}},
      {"/m/noext",
       "A",
       "B",
       "C",
       {"A - B - C.qvl", "/m/A - B - C.qvl", "A - C.qvl", "/m/A - C.qvl", "B - C.qvl", "/m/B - C.qvl",
        "noext.qvl", "/m/noext.qvl"}},
      // Separators from tags never become folders.
      {"/m/s.mp3",
       "AC/DC",
       "..\\..",
       "../x",
       {"AC_DC - .._.. - .._x.qvl", "/m/AC_DC - .._.. - .._x.qvl", "AC_DC - .._x.qvl", "/m/AC_DC - .._x.qvl",
        ".._.. - .._x.qvl", "/m/.._.. - .._x.qvl", "s.qvl", "/m/s.qvl"}},
  };
  for (const CandidateCase &c : cases) {
    QStringList expected;
    for (const char *e : c.candidates) expected << S(e);
    EXPECT_EQ(LyricCandidates(S(c.base), tag(S(c.artist), S(c.album), S(c.title))), expected) << c.base;
  }
}

// A music folder, a lyric folder and a stand-in for the current folder, all
// inside one temporary folder.
class LyricSearchFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    for (const char *d : {"music", "lyrics", "cwd"}) ASSERT_TRUE(QDir(root.path()).mkpath(S(d)));
    music = root.filePath(QStringLiteral("music")) + u'/';
    lyrics = root.filePath(QStringLiteral("lyrics")) + u'/';
    cwd = root.filePath(QStringLiteral("cwd"));
    song = music + QStringLiteral("Song.mp3");
    test::writeAll(song, "not really audio");
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

TEST_F(LyricSearchFiles, CandidatesTriedInOrderAndBrokenOnesSkipped) {
  g.Tag = tag(S("Ana"), S("Sol"), S("Luna"));
  const QStringList candidates = LyricCandidates(song, g.Tag);
  ASSERT_EQ(candidates.size(), 8);
  auto onDisk = [&](const QString &c) { return DirPart(c).isEmpty() ? QDir(cwd).filePath(c) : c; };
  for (int k = 0; k < 8; ++k) writeLyric(onDisk(candidates[k]), QByteArray::number(k + 1).constData());
  // Each candidate wins while it is readable; then it is broken and the next wins.
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k + 1);
    const LyricSearch r = findLyricFile(song, g.Tag, g, lyric, cwd);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.file, onDisk(candidates[k]));
    EXPECT_EQ(first(), QString::number(k + 1));
    EXPECT_EQ(FindLyric(song, g, lyric, cwd), QStringLiteral("True"));
    test::writeAll(onDisk(candidates[k]), crlfLines({"(QVL)", "no time"}));
  }
  // The status of the last candidate is the result.
  EXPECT_EQ(FindLyric(song, g, lyric, cwd), QStringLiteral("message 3"));
  QFile::remove(candidates[7]);
  EXPECT_EQ(FindLyric(song, g, lyric, cwd), QStringLiteral("message 6"));
}

TEST_F(LyricSearchFiles, LyricFolderFirstThenTheSongsFolder) {
  g.Tag = tag(S("Ana"), S("Sol"), S("Luna"));
  writeLyric(music + QStringLiteral("Song.qvl"), "beside the song");
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("beside the song"));

  writeLyric(lyrics + QStringLiteral("Ana - Luna.qvl"), "from the lyric folder");
  g.LyricPath = lyrics;
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("from the lyric folder"));
  EXPECT_NE(g.LyricActive, 0);
  EXPECT_EQ(g.LyricLineCount, 1);
  // A folder typed without its final separator is still that folder.
  g.LyricPath = lyrics.chopped(1);
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("from the lyric folder"));
}

TEST_F(LyricSearchFiles, NotFoundLeavesTheFailureTextAsTheOnlyLine) {
  g.LyricPath = lyrics;
  g.LyricActive = -1;
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(g.LyricActive, 0);
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 6")});
  EXPECT_TRUE(lyric.PlTimes.isEmpty());
  EXPECT_EQ(g.LyricLineCount, 0);

  // A broken lyric beside the song: its status, and none of its lines.
  test::writeAll(music + QStringLiteral("Song.qvl"), crlfLines({"(QVL)", "A", "0:01", ""}));
  EXPECT_FALSE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 4")});
}

// LRC files by the same names, after every file of our own format: which
// file wins as files appear, from the weakest to the strongest.
TEST_F(LyricSearchFiles, LrcAfterOurFormatInBothFolders) {
  g.Tag = tag(S("Ana"), S("Sol"), S("Luna"));
  g.LyricPath = lyrics;
  const struct {
    QString file;
    QByteArray bytes;
    const char *first;  // the line loaded afterwards
  } steps[] = {
      {music + S("Song.LRC"), "[00:01.00]lrc beside, other case\n", "lrc beside, other case"},
      {music + S("Song.lrc"), "[00:01.00]lrc beside\n", "lrc beside"},
      {lyrics + S("Ana - Luna.lrc"), "[ar:Ana]\n[00:02.00]lrc in the lyric folder\n",
       "lrc in the lyric folder"},
      // Broken, so the LRC in the lyric folder still wins over it.
      {music + S("Song.qvl"), crlfLines({"(QVL)", "A"}), "lrc in the lyric folder"},
      {music + S("Ana - Luna.qvl"), crlfLines({"(QVL)", "ours beside", "0:01"}), "ours beside"},
  };
  for (const auto &step : steps) {
    SCOPED_TRACE(step.first);
    test::writeAll(step.file, step.bytes);
    const LyricLoad load = loadLyric(song, g, lyric, cwd);
    ASSERT_TRUE(load.found);
    EXPECT_EQ(first(), S(step.first));
    EXPECT_EQ(g.LyricLineCount, 1);
    ASSERT_TRUE(load.used());
    EXPECT_EQ(load.used()->attempts.back().file, load.used()->file);
  }
  // The LRC passes were tried and recorded in order, each candidate once.
  QFile::remove(music + S("Ana - Luna.qvl"));
  const LyricLoad load = loadLyric(song, g, lyric, cwd);
  EXPECT_EQ(load.used(), &load.lrcLyricFolder);
  EXPECT_EQ(load.lrcLyricFolder.file, lyrics + S("Ana - Luna.lrc"));
  EXPECT_EQ(load.lrcLyricFolder.attempts.back().format, LyricFormat::Lrc);
  EXPECT_EQ(load.lrcLyricFolder.attempts.back().line, 2);
  EXPECT_EQ(load.song.attempts.size(), 8);
  EXPECT_TRUE(load.lrcSong.attempts.isEmpty());
  EXPECT_EQ(FindLyric(song, g, lyric, cwd), QStringLiteral("True"));
  EXPECT_EQ(first(), S("lrc beside"));

  // Nothing usable: the failure text is still that of our own format, and
  // an LRC without a timed line is no lyric.
  for (const QString &f :
       QStringList{music + S("Song.LRC"), music + S("Song.lrc"), lyrics + S("Ana - Luna.lrc")})
    test::writeAll(f, "[ar:Ana]\nno stamps\n");
  const LyricLoad none = loadLyric(song, g, lyric, cwd);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.used(), nullptr);
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("message 3")});
  EXPECT_EQ(none.lrcSong.attempts.size(), 8);
  EXPECT_EQ(LrcCandidates(song, g.Tag).last(), music + S("Song.lrc"));
}

TEST_F(LyricSearchFiles, LetterCaseOfNamesFromOtherDesktops) {
  writeLyric(music + QStringLiteral("SONG.QVL"), "upper case");
  writeLyric(music + QStringLiteral("song.QVL"), "mixed case");  // the first name in code order wins
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("upper case"));
  // The exact name wins over a name in other letters.
  writeLyric(music + QStringLiteral("Song.qvl"), "exact");
  EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
  EXPECT_EQ(first(), QStringLiteral("exact"));
  EXPECT_EQ(resolveLyricCandidate(QStringLiteral("song.Qvl"), music.chopped(1)),
            music + QStringLiteral("SONG.QVL"));
  EXPECT_EQ(resolveLyricCandidate(QStringLiteral("none.qvl"), cwd), cwd + QStringLiteral("/none.qvl"));
}

TEST_F(LyricSearchFiles, NewLyricNames) {
  const struct {
    const char *artist, *album, *title, *name;
  } cases[] = {
      {"Ana", "Sol", "Luna", "Ana - Sol - Luna.qvl"},
      {" Ana ", "", "Luna", "Ana - Luna.qvl"},
      {"Ana", "", "", "Ana.qvl"},
      {"", "Sol", "Luna", "Song.qvl"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(lyricFileNameFor(song, tag(S(c.artist), S(c.album), S(c.title))), S(c.name)) << c.name;
  EXPECT_EQ(lyricFileNameFor(QStringLiteral("C:\\m\\ spaced .mp3"), TagInfo()), QStringLiteral("spaced.qvl"));
  EXPECT_EQ(lyricFileNameFor(QStringLiteral("/m/noext"), TagInfo()), QStringLiteral("noext.qvl"));
}

TEST_F(LyricSearchFiles, LyricWritePathCreatesButNeverTruncates) {
  const QString path = LyricWritePath(song, TagInfo());
  EXPECT_EQ(path, music + QStringLiteral("Song.qvl"));
  EXPECT_TRUE(QFileInfo(path).isFile());
  EXPECT_EQ(QFileInfo(path).size(), 0);
  // An existing lyric stays whole until the writer replaces it.
  writeLyric(path, "kept");
  EXPECT_EQ(LyricWritePath(song, TagInfo()), path);
  EXPECT_EQ(test::readAll(path), crlfLines({"(QVL)", "kept", "0:01"}));

  EXPECT_EQ(LyricWritePath(QString(), TagInfo()), QString());
  EXPECT_EQ(LyricWritePath(root.filePath(QStringLiteral("gone/Song.mp3")), TagInfo()), QString());
  ASSERT_TRUE(QDir(music).mkdir(QStringLiteral("Dir.qvl")));
  EXPECT_EQ(LyricWritePath(music + QStringLiteral("Dir.mp3"), TagInfo()), QString());
}

// Tags that try to leave the song's folder: the writer stays beside the song
// and the finder finds what the writer wrote.
TEST_F(LyricSearchFiles, NamesFromTagsStayInTheSongsFolder) {
  const struct {
    QString artist, album, title;
    const char *name;
  } cases[] = {
      {S("AC/DC"), S("Back\\in"), S("Black"), "AC_DC - Back_in - Black.qvl"},
      {S("../../cwd/x"), S("../lyrics"), S("y"), ".._.._cwd_x - .._lyrics - y.qvl"},
      {S(".."), S(".."), S(".."), ".. - .. - ...qvl"},
      {S("/"), S("\\"), S("/etc/passwd"), "_ - _ - _etc_passwd.qvl"},
      {QString::fromUtf8("Ana\0/../../x", 12), S("Sol"), S("Luna\r\n"), "Ana - Sol - Luna__.qvl"},
      {S("  "), S(""), S("/"), "Song.qvl"},  // no artist: the song's own name, found as the last candidate
  };
  int k = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    g.Tag = tag(c.artist, c.album, c.title);
    const QString path = LyricWritePath(song, g.Tag);
    EXPECT_EQ(path, music + S(c.name));
    const QString line = QStringLiteral("line %1").arg(++k);
    ASSERT_TRUE(WriteLyricFile(path, {line}, {QStringLiteral("0:01")}));
    EXPECT_TRUE(LoadLyricFor(song, g, lyric, cwd));
    EXPECT_EQ(first(), line);
  }
  // Nothing was written anywhere but beside the song.
  QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    EXPECT_EQ(DirPart(f), music) << qPrintable(f);
  }
  EXPECT_EQ(QDir(music).entryList(QDir::Files | QDir::Hidden).size(), 1 + static_cast<int>(std::size(cases)));
}

}  // namespace
}  // namespace cantorel
