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
               {DirPart, "C:\\a/b\\c.mp3", "C:\\a/b\\"},
               {ExtPart, "C:\\a.b\\c", "b\\c"},
               {StripExt, "C:\\a\\b.c.mp3", "C:\\a\\b.c"}};
  for (const auto &c : cases) EXPECT_EQ(c.part(S(c.in)), S(c.out)) << c.in;
}

TEST(FriendlyNames, LeadingTrackNumbersUnderscoresAndDots) {
  const struct {
    const char *in;
    int friendly;
    const char *out;
  } cases[] = {{"C:\\m\\01 - My_Song.mp3", 1, "My Song"},
               {"C:\\m\\01 - My_Song.mp3", 0, "01 - My_Song.mp3"},
               {"C:\\m\\Mr.Big.mp3", 1, "Mr Big"},
               {"/m/a.b/c", 1, "c"}};  // a dot in a folder name
  for (const auto &c : cases) EXPECT_EQ(FriendlyName(S(c.in), c.friendly), S(c.out)) << c.in;
}

TEST(DisplayTitle, FromTagAndOptions) {
  const struct {
    const char *title, *artist, *album;
    int showArtist, showAlbum;
    const char *want;
  } cases[] = {{"  Song  ", "A", "B", 0, 0, "Song"},
               {"", "", "", 1, 0, "Unknown Artist - My Song"},
               {"S", "Band", "Disc", 1, 1, "Band - Disc - S"},
               {"S", "Band", "Disc", -1, 2, "S"}};  // only the value 1 turns a prefix on
  for (const auto &c : cases)
    EXPECT_EQ(TitleFromTag(test::makeTag(S(c.title), S(c.artist), S(c.album)), S(" /m/01 - My_Song.mp3 "),
                           TitleOptions{1, c.showArtist, c.showAlbum}),
              S(c.want));
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
               {"Solo.jpg", "", "Solo", "Solo.jpg"},
               {"Solo.bmp", "", "Solo", "Solo.jpg"}};
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
  struct {
    QString x, last;
    bool prefs;
    CoverChoice::Action action;
    QString file;
  } cases[] = {
      {jpg, QString(), false, CoverChoice::Show, jpg},
      {jpg, QString(), true, CoverChoice::Keep, {}},  // preferences open
      {in("gone.jpg"), jpg, false, CoverChoice::Clear, {}},
      {in("Front"), QString(), false, CoverChoice::Show, jpg},  // base name
  };
  for (const auto &c : cases) {
    const CoverChoice got = ChooseCover(c.x, c.last, c.prefs);
    EXPECT_EQ(got.action, c.action) << qPrintable(c.x);
    EXPECT_EQ(got.File, c.file) << qPrintable(c.x);
  }
}

}  // namespace
}  // namespace cantorel
