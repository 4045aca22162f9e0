// Display titles from tags, and finding covers.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/cover.h"
#include "playlist/display_title.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

struct TitleCase {
  const char *title, *artist, *album;
  int friendly, showArtist, showAlbum;
  const char *want;
};

class DisplayTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(DisplayTitle, FromTagAndOptions) {
  const TitleCase c = GetParam();
  const TagInfo tag =
      test::makeTag(QString::fromUtf8(c.title), QString::fromUtf8(c.artist), QString::fromUtf8(c.album));
  EXPECT_EQ(TitleFromTag(tag, QStringLiteral(" /m/01 - My_Song.mp3 "),
                         TitleOptions{c.friendly, c.showArtist, c.showAlbum}),
            QString::fromUtf8(c.want));
}

INSTANTIATE_TEST_SUITE_P(Tags, DisplayTitle,
                         ::testing::Values(TitleCase{"  Song  ", "A", "B", 1, 0, 0, "Song"},
                                           TitleCase{"", "", "", 1, 0, 0, "My Song"},
                                           TitleCase{"", "", "", 0, 0, 0, "01 - My_Song.mp3"},
                                           TitleCase{"", "", "", 1, 1, 0, "Unknown Artist - My Song"},
                                           TitleCase{"S", "", "", 1, 0, 1, "Unknown Album - S"},
                                           TitleCase{"S", "Band", "Disc", 1, 1, 1, "Band - Disc - S"},
                                           // Only the value 1 turns the prefixes on.
                                           TitleCase{"S", "Band", "Disc", 1, -1, 2, "S"}),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(DisplayTitleFile, ReadsTheFilesTag) {
  QTemporaryDir dir;
  const QString p = dir.path() + QStringLiteral("/02-Tune.mp3");
  test::writeBytes(p, test::mp3Bytes(300));
  EXPECT_EQ(TitleFromFile(p, TitleOptions{1, 0, 0}), QStringLiteral("Tune"));
  test::writeBytes(p, test::mp3Bytes(300, BuildTagRecord(test::makeTag(QStringLiteral("Named")))));
  EXPECT_EQ(TitleFromFile(p, TitleOptions{1, 0, 0}), QStringLiteral("Named"));
}

class Covers : public ::testing::Test {
 protected:
  QString touch(const QString &name) {
    const QString p = dir.path() + QLatin1Char('/') + name;
    test::writeBytes(p, "x");
    return p;
  }
  QString in(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
  QTemporaryDir dir;
};

TEST_F(Covers, TagCoverPriorities) {
  touch(QStringLiteral("Disc.bmp"));
  EXPECT_EQ(FindTagCover(dir.path(), QStringLiteral(" Band "), QStringLiteral(" Disc ")),
            in(QStringLiteral("Disc.bmp")));
  touch(QStringLiteral("Band-Disc.gif"));
  EXPECT_EQ(FindTagCover(dir.path(), QStringLiteral("Band"), QStringLiteral("Disc")),
            in(QStringLiteral("Band-Disc.gif")));
  touch(QStringLiteral("Band - Disc.jpg"));
  EXPECT_EQ(FindTagCover(dir.path(), QStringLiteral("Band"), QStringLiteral("Disc")),
            in(QStringLiteral("Band - Disc.jpg")));
  // JPG over GIF over BMP for the same name.
  touch(QStringLiteral("Solo.gif"));
  touch(QStringLiteral("Solo.jpg"));
  EXPECT_EQ(FindTagCover(dir.path(), QString(), QStringLiteral("Solo")), in(QStringLiteral("Solo.jpg")));
  EXPECT_EQ(FindTagCover(dir.path(), QString(), QString()), QString());
}

TEST_F(Covers, FallsBackToPlaylistPictureThenDefault) {
  const QString def = in(QStringLiteral("nocover.bmp"));
  EXPECT_EQ(TagCoverOrFallback(dir.path(), QStringLiteral("A"), QStringLiteral("B"),
                               QStringLiteral("/l/list.jpg"), def),
            QStringLiteral("/l/list.jpg"));
  EXPECT_EQ(TagCoverOrFallback(dir.path(), QStringLiteral("A"), QStringLiteral("B"), QString(), def), def);
}

TEST_F(Covers, ChoosingWhatToShow) {
  const QString jpg = touch(QStringLiteral("Front.JPG"));
  const QString txt = touch(QStringLiteral("notes.txt"));
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
      {in(QStringLiteral("gone.jpg")), jpg, false, CoverChoice::Clear, {}},
      {txt, jpg, false, CoverChoice::Keep, {}},                                 // not a picture by name
      {in(QStringLiteral("Front")), QString(), false, CoverChoice::Show, jpg},  // base name
      {in(QStringLiteral("Nothing")), jpg, false, CoverChoice::Clear, {}},
  };
  for (const auto &c : cases) {
    const CoverChoice got = ChooseCover(c.x, c.last, c.prefs);
    EXPECT_EQ(got.action, c.action) << qPrintable(c.x);
    EXPECT_EQ(got.File, c.file) << qPrintable(c.x);
  }
}

}  // namespace
}  // namespace cantorel
