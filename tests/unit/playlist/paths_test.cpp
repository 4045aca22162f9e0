// Path helpers and the display-name rule, on Windows-style paths from other
// desktops' playlists and on our own.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/paths.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

QString S(const char *s) { return QString::fromUtf8(s); }

struct Case {
  const char *in;
  const char *out;
};

TEST(PathParts, EdgeCases) {
  for (const Case &c : {Case{"C:\\music", "C:\\music\\"}, Case{"C:\\music\\", "C:\\music\\"}, Case{"", ""},
                        Case{"/home/m", "/home/m/"}, Case{"/home/m/", "/home/m/"}, Case{"rel", "rel/"}})
    EXPECT_EQ(AddBackslash(S(c.in)), S(c.out)) << c.in;
  for (const Case &c : {Case{"C:\\a\\b.mp3", "C:\\a\\"}, Case{"b.mp3", ""}, Case{"/m/x/b.mp3", "/m/x/"},
                        Case{"C:\\a/b\\c.mp3", "C:\\a/b\\"}})
    EXPECT_EQ(DirPart(S(c.in)), S(c.out)) << c.in;
  for (const Case &c : {Case{"C:\\a\\b.mp3", "b.mp3"}, Case{"b.mp3", "b.mp3"}, Case{"", ""},
                        Case{"/m/", ""}, Case{"/m/x.ogg", "x.ogg"}})
    EXPECT_EQ(FilePart(S(c.in)), S(c.out)) << c.in;
  for (const Case &c : {Case{"C:\\a.b\\c", "b\\c"}, Case{"readme", "readme"}, Case{"/m/song.MP3", "MP3"}})
    EXPECT_EQ(ExtPart(S(c.in)), S(c.out)) << c.in;
  for (const Case &c : {Case{"C:\\a\\b.c.mp3", "C:\\a\\b.c"}, Case{"", ""}, Case{"noext", "noext"}})
    EXPECT_EQ(StripExt(S(c.in)), S(c.out)) << c.in;
}

TEST(PictureFiles, ExtensionsInAnyCase) {
  for (const char *yes : {"a.gif", "A.BMP", "c:\\x\\y.Jpg", "/covers/front.jpg"}) EXPECT_TRUE(IsPictureFile(S(yes)));
  for (const char *no : {"a.jpeg", "a.png", "jpg", "", "a.mp3"}) EXPECT_FALSE(IsPictureFile(S(no)));
}

TEST(FriendlyNames, FriendlyModeOn) {
  const Case cases[] = {
      {"C:\\m\\01 - My_Song.mp3", "My Song"},
      {"C:\\m\\02-Tune.mp3", "Tune"},
      {"C:\\m\\00 - Intro.mp3", "00 - Intro"},
      {"C:\\m\\Mr.Big.mp3", "Mr Big"},
      {"C:\\m\\track.wav", "track"},
      {"10 Years - Wake Up.mp3", "10 Years - Wake Up"},
      {"/home/ana/Music/03 - Blue_Moon.ogg", "Blue Moon"},
      {"  spaced  .mp3", "spaced"},
      // A dot near the end but inside a folder name: the name runs to the end.
      {"/m/a.b/c", "c"},
      {"", ""},
  };
  for (const Case &c : cases) EXPECT_EQ(FriendlyName(S(c.in), 1), S(c.out)) << c.in;
}

TEST(FriendlyNames, FriendlyModeOff) {
  EXPECT_EQ(FriendlyName(S("C:\\m\\01 - My_Song.mp3"), 0), S("01 - My_Song.mp3"));
  EXPECT_EQ(FriendlyName(S("/m/01 - My_Song.mp3"), 0), S("01 - My_Song.mp3"));
}

TEST(PickBits, TableCells) {
  const QString bitrates = S("free32  40  48  56  64  80  96  112 128 160 192 224 256 320 bad ");
  EXPECT_EQ(PickBits(0x90, 4, 7, 4, bitrates), S("128"));
  EXPECT_EQ(PickBits(0x00, 4, 7, 4, bitrates), S("free"));
  EXPECT_EQ(PickBits(0xF0, 4, 7, 4, bitrates), S("bad"));
  EXPECT_EQ(PickBits(0xF0, 4, 7, 4, S("short")), QString());  // past the end of the table
  EXPECT_EQ(PickBits(0xFF, 0, 31, 1, S("x")), QString());
}

class FilesOnDisk : public ::testing::Test {
 protected:
  QString make(const QString &name) {
    const QString p = dir_.filePath(name);
    test::writeAll(p, "x");
    return p;
  }
  QTemporaryDir dir_;
};

TEST_F(FilesOnDisk, FileExistsTakesPlainFilesAndWildcards) {
  make(S("song.mp3"));
  QDir(dir_.path()).mkdir(S("folder.mp3"));
  EXPECT_TRUE(FileExists(dir_.filePath(S("song.mp3"))));
  EXPECT_TRUE(FileExists(dir_.filePath(S("*.mp3"))));
  EXPECT_TRUE(FileExists(dir_.filePath(S("so?g.mp3"))));
  EXPECT_FALSE(FileExists(dir_.filePath(S("folder.mp3"))));
  EXPECT_FALSE(FileExists(dir_.filePath(S("*.ogg"))));
  EXPECT_FALSE(FileExists(QString()));
  EXPECT_FALSE(FileExists(dir_.path() + S("/")));
}

TEST_F(FilesOnDisk, FindImageFilePrefersJpgThenGifThenBmp) {
  make(S("Disc.bmp"));
  EXPECT_EQ(FindImageFile(dir_.filePath(S("Disc"))), dir_.filePath(S("Disc.bmp")));
  make(S("Disc.jpg"));
  EXPECT_EQ(FindImageFile(S("  ") + dir_.filePath(S("Disc")) + S(" ")), dir_.filePath(S("Disc.jpg")));
  make(S("Disc.GIF"));
  EXPECT_EQ(FindImageFile(dir_.filePath(S("Disc"))), dir_.filePath(S("Disc.jpg")));
  EXPECT_EQ(FindImageFile(dir_.filePath(S("None"))), QString());
  EXPECT_EQ(FindImageFile(QString()), QString());
}

}  // namespace
}  // namespace cantorel
