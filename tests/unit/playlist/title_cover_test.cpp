// Path helpers on Windows-style paths from other desktops' playlists and on
// our own, display names and titles, and finding covers.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/cover.h"
#include "playlist/display_title.h"
#include "playlist/paths.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

QString S(const char *s) {
  return QString::fromUtf8(s);
}

TEST(PathParts, EitherSeparator) {
  const struct {
    QString (*part)(const QString &);
    const char *in, *out;
  } cases[] = {{AddBackslash, "C:\\music", "C:\\music\\"},
               {AddBackslash, "/home/m/", "/home/m/"},
               {AddBackslash, "", ""},
               {DirPart, "C:\\a/b\\c.mp3", "C:\\a/b\\"},
               {DirPart, "b.mp3", ""},
               {FilePart, "C:\\a\\b.mp3", "b.mp3"},
               {FilePart, "/m/", ""},
               {ExtPart, "C:\\a.b\\c", "b\\c"},
               {ExtPart, "/m/song.MP3", "MP3"},
               {StripExt, "C:\\a\\b.c.mp3", "C:\\a\\b.c"},
               {StripExt, "noext", "noext"}};
  for (const auto &c : cases) EXPECT_EQ(c.part(S(c.in)), S(c.out)) << c.in;
}

TEST(FriendlyNames, LeadingTrackNumbersUnderscoresAndDots) {
  const struct {
    const char *in;
    int friendly;
    const char *out;
  } cases[] = {{"C:\\m\\01 - My_Song.mp3", 1, "My Song"},
               {"C:\\m\\01 - My_Song.mp3", 0, "01 - My_Song.mp3"},
               {"/m/02-Tune.mp3", 1, "Tune"},
               {"C:\\m\\00 - Intro.mp3", 1, "00 - Intro"},
               {"C:\\m\\Mr.Big.mp3", 1, "Mr Big"},
               {"10 Years - Wake Up.mp3", 1, "10 Years - Wake Up"},
               {"  spaced  .mp3", 1, "spaced"},
               {"/m/a.b/c", 1, "c"}};  // a dot in a folder name
  for (const auto &c : cases) EXPECT_EQ(FriendlyName(S(c.in), c.friendly), S(c.out)) << c.in;
}

struct TitleCase {
  const char *title, *artist, *album;
  int friendly, showArtist, showAlbum;
  const char *want;
};

class DisplayTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(DisplayTitle, FromTagAndOptions) {
  const TitleCase c = GetParam();
  const TagInfo tag = test::makeTag(S(c.title), S(c.artist), S(c.album));
  EXPECT_EQ(
      TitleFromTag(tag, S(" /m/01 - My_Song.mp3 "), TitleOptions{c.friendly, c.showArtist, c.showAlbum}),
      S(c.want));
}

INSTANTIATE_TEST_SUITE_P(Tags, DisplayTitle,
                         ::testing::Values(TitleCase{"  Song  ", "A", "B", 1, 0, 0, "Song"},
                                           TitleCase{"", "", "", 1, 1, 0, "Unknown Artist - My Song"},
                                           TitleCase{"", "", "", 0, 0, 0, "01 - My_Song.mp3"},
                                           TitleCase{"S", "", "", 1, 0, 1, "Unknown Album - S"},
                                           TitleCase{"S", "Band", "Disc", 1, 1, 1, "Band - Disc - S"},
                                           // Only the value 1 turns the prefixes on.
                                           TitleCase{"S", "Band", "Disc", 1, -1, 2, "S"}));

TEST(DisplayTitleFile, ReadsTheFilesTag) {
  QTemporaryDir dir;
  const QString p = dir.path() + QStringLiteral("/02-Tune.mp3");
  test::writeAll(p, test::mp3Bytes(300));
  EXPECT_EQ(TitleFromFile(p, TitleOptions{1, 0, 0}), QStringLiteral("Tune"));
  test::writeAll(p, test::mp3Bytes(300, BuildTagRecord(test::makeTag(QStringLiteral("Named")))));
  EXPECT_EQ(TitleFromFile(p, TitleOptions{1, 0, 0}), QStringLiteral("Named"));
}

class FilesOnDisk : public ::testing::Test {
 protected:
  QString touch(const char *name) {
    test::writeAll(in(name), "x");
    return in(name);
  }
  QString in(const char *name) const { return dir.path() + QLatin1Char('/') + S(name); }
  QTemporaryDir dir;
};

TEST_F(FilesOnDisk, FileExistsTakesPlainFilesAndWildcards) {
  touch("song.mp3");
  QDir(dir.path()).mkdir(S("folder.mp3"));
  for (const char *yes : {"song.mp3", "*.mp3", "so?g.mp3"}) EXPECT_TRUE(FileExists(in(yes))) << yes;
  for (const char *no : {"folder.mp3", "*.ogg", ""}) EXPECT_FALSE(FileExists(in(no))) << no;
  EXPECT_FALSE(FileExists(QString()));
}

// A cover is looked for as "artist - album", "artist-album", then "album",
// each as JPG, GIF, then BMP.
TEST_F(FilesOnDisk, TagCoverPriorities) {
  const struct {
    const char *add, *artist, *album, *found;
  } steps[] = {{"Disc.bmp", " Band ", " Disc ", "Disc.bmp"},
               {"Band-Disc.gif", "Band", "Disc", "Band-Disc.gif"},
               {"Band - Disc.jpg", "Band", "Disc", "Band - Disc.jpg"},
               {"Solo.gif", "", "Solo", "Solo.gif"},
               {"Solo.jpg", "", "Solo", "Solo.jpg"},
               {"Solo.bmp", "", "Solo", "Solo.jpg"},
               {"x.jpg", "", "", nullptr}};
  for (const auto &s : steps) {
    touch(s.add);
    EXPECT_EQ(FindTagCover(dir.path(), S(s.artist), S(s.album)), s.found ? in(s.found) : QString()) << s.add;
  }
  const QString def = in("nocover.bmp");
  EXPECT_EQ(TagCoverOrFallback(dir.path(), S("A"), S("B"), S("/l/list.jpg"), def), S("/l/list.jpg"));
  EXPECT_EQ(TagCoverOrFallback(dir.path(), S("A"), S("B"), QString(), def), def);
}

TEST_F(FilesOnDisk, ChoosingWhatCoverToShow) {
  const QString jpg = touch("Front.JPG");
  const QString txt = touch("notes.txt");
  struct {
    QString x, last;
    bool prefs;
    CoverChoice::Action action;
    QString file;
  } cases[] = {
      {jpg, QString(), false, CoverChoice::Show, jpg},
      {jpg, jpg, false, CoverChoice::Keep, {}},       // same picture again
      {jpg, QString(), true, CoverChoice::Keep, {}},  // preferences open
      {QString(), jpg, false, CoverChoice::Clear, {}},
      {in("gone.jpg"), jpg, false, CoverChoice::Clear, {}},
      {txt, jpg, false, CoverChoice::Keep, {}},                 // not a picture by name
      {in("Front"), QString(), false, CoverChoice::Show, jpg},  // base name
      {in("Nothing"), jpg, false, CoverChoice::Clear, {}},
  };
  for (const auto &c : cases) {
    const CoverChoice got = ChooseCover(c.x, c.last, c.prefs);
    EXPECT_EQ(got.action, c.action) << qPrintable(c.x);
    EXPECT_EQ(got.File, c.file) << qPrintable(c.x);
  }
}

}  // namespace
}  // namespace cantorel
