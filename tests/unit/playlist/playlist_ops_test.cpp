// Editing the playlist and adding files, folders and playlist files.
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "playlist/playlist_add.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

Playlist threeEntries() {
  Playlist pl;
  for (const char *n : {"a", "b", "c"})
    pl.append(QString::fromLatin1(n), QString::fromLatin1(n) + QStringLiteral(".mp3"));
  return pl;
}

struct MoveCase {
  int selected, delta, newSelection;
  const char *order;
};

class MoveEntry : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveEntry, SwapsOnlyWithinTheList) {
  const MoveCase c = GetParam();
  Playlist pl = threeEntries();
  EXPECT_EQ(pl.PlMoveEntry(c.selected, c.delta), c.newSelection);
  EXPECT_EQ(pl.PlNames.join(QString()), QString::fromLatin1(c.order));
  EXPECT_EQ(pl.PlPath.join(QString()).remove(QStringLiteral(".mp3")), QString::fromLatin1(c.order));
}

INSTANTIATE_TEST_SUITE_P(Playlist, MoveEntry,
                         ::testing::Values(MoveCase{0, +1, 1, "bac"}, MoveCase{2, -1, 1, "acb"},
                                           MoveCase{0, -1, 0, "abc"},     // first up
                                           MoveCase{2, +1, 2, "abc"},     // last down
                                           MoveCase{-1, +1, -1, "abc"}),  // no selection
                         [](const auto &info) { return "case" + std::to_string(info.index); });

struct RemoveCase {
  int index, newSelection;
  const char *left;
};

class RemoveEntry : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveEntry, RemovesAndFixesTheSelection) {
  const RemoveCase c = GetParam();
  Playlist pl = threeEntries();
  EXPECT_EQ(pl.PlRemove(c.index), c.newSelection);
  EXPECT_EQ(pl.PlNames.join(QString()), QString::fromLatin1(c.left));
  EXPECT_EQ(pl.PlNames.size(), pl.PlPath.size());
}

INSTANTIATE_TEST_SUITE_P(Playlist, RemoveEntry,
                         ::testing::Values(RemoveCase{2, 1, "ab"}, RemoveCase{0, 0, "bc"},
                                           RemoveCase{1, 1, "ac"}, RemoveCase{3, 2, "abc"},
                                           RemoveCase{-1, -1, "abc"}),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(PlaylistEdit, RemovingTheOnlyEntryLeavesNoSelection) {
  Playlist pl;
  pl.append(QStringLiteral("a"), QStringLiteral("a"));
  EXPECT_EQ(pl.PlRemove(0), -1);
}

TEST(PlaylistEdit, ClearForgetsEverything) {
  Playlist pl = threeEntries();
  pl.Name = QStringLiteral("x");
  pl.PLCover = QStringLiteral("c.jpg");
  pl.PlClear();
  EXPECT_EQ(pl.count(), 0);
  EXPECT_TRUE(pl.PlNames.isEmpty());
  EXPECT_EQ(pl.Name, QStringLiteral("untitled"));
  EXPECT_TRUE(pl.PLCover.isEmpty());
}

TEST(ValidExtension, WordsOfTheListOrThreeCharactersFoundAnywhere) {
  const QString list = QStringLiteral("mp2 mp3 mpa wav mid rmi flac");
  struct {
    const char *name;
    bool valid;
  } cases[] = {{"a.MP3", true},     {"b.Wav", true}, {"c.mpeg", false}, {"mp3", true},
               {"d", false},        {"x.p3 ", true}, {"x.p4 ", false},  {"e.3 m", true},  // substring rule
               {"f.tar.mid", true}, {".mp2", true},  {"g.mp", false},    {"h.FLAC", true},
               {"i.fla", true},     {"j.flacs", false}, {"k.opus", false}};
  for (const auto &c : cases)
    EXPECT_EQ(HasValidExtension(QString::fromLatin1(c.name), list), c.valid) << c.name;
  // What the input plug-ins declare joins the list a scan uses.
  InputPluginInfo gst;
  gst.Extensions = QStringLiteral("Audio|*.ogg;*.OPUS;*.m4a|Other|*.ogg;*.*");
  EXPECT_EQ(DeclaredExtensions({gst}), (QStringList{QStringLiteral("ogg"), QStringLiteral("opus"), QStringLiteral("m4a")}));
  EXPECT_TRUE(HasValidExtension(QStringLiteral("k.opus"), ScanExtensions(list, {gst})));
}

class TreeScan : public ::testing::Test {
 protected:
  void touch(const QString &rel) { test::writeBytes(dir.path() + QLatin1Char('/') + rel, "x"); }
  QStringList scan(const YieldFn &yield = {}) {
    Playlist pl;
    PlAddTree(dir.path(), pl, QStringLiteral("mp3 wav"), {}, yield);
    QStringList rel;
    for (const QString &p : pl.PlPath) rel << p.mid(dir.path().size() + 1);
    return rel;
  }
  QTemporaryDir dir;
};

TEST_F(TreeScan, FoldersBreadthFirstFilesInNameOrder) {
  for (const char *f : {"b/deep/z.mp3", "a/y.WAV", "top2.mp3", "Top1.mp3", "b/x.mp3", "a/skip.txt",
                        ".hidden.mp3", ".hid/h.mp3", "c.mpeg"})
    touch(QString::fromLatin1(f));
  EXPECT_EQ(scan(),
            (QStringList{QStringLiteral("Top1.mp3"), QStringLiteral("top2.mp3"), QStringLiteral("a/y.WAV"),
                         QStringLiteral("b/x.mp3"), QStringLiteral("b/deep/z.mp3")}));
}

TEST_F(TreeScan, LinkBackToAParentIsScannedOnce) {
  touch(QStringLiteral("sub/a.mp3"));
  ASSERT_TRUE(QFile::link(dir.path(), dir.path() + QStringLiteral("/sub/loop")));
  EXPECT_EQ(scan(), QStringList{QStringLiteral("sub/a.mp3")});
}

TEST_F(TreeScan, LetsEventsRunDuringALongScan) {
  for (int i = 0; i < 200; ++i) touch(QStringLiteral("f%1.mp3").arg(i));
  int yields = 0;
  // The scan yields every few milliseconds; each entry here takes one.
  Playlist pl;
  PlAddTree(
      dir.path(), pl, QStringLiteral("mp3"),
      [](const QString &p) {
        QThread::msleep(1);
        return p;
      },
      [&] { ++yields; });
  EXPECT_EQ(pl.count(), 200);
  EXPECT_GT(yields, 0);
}

TEST_F(TreeScan, MissingOrEmptyFolderAddsNothing) {
  Playlist pl;
  EXPECT_EQ(PlAddTree(QString(), pl, QStringLiteral("mp3"), {}), 0);
  EXPECT_EQ(PlAddTree(dir.path() + QStringLiteral("/none"), pl, QStringLiteral("mp3"), {}), 0);
}

TEST_F(TreeScan, AddOpenedHandlesFilesFoldersAndPlaylists) {
  touch(QStringLiteral("d/a.mp3"));
  touch(QStringLiteral("d/b.mp3"));
  test::writeBytes(dir.path() + QStringLiteral("/l.m3u"), "d/b.mp3\r\nhttp://s/\r\n");
  Playlist pl;
  qint16 tNum = 0;
  const auto add = [&](const QString &rel, const QString &name) {
    PlAddOpened(dir.path() + rel, name, pl, QStringLiteral("mp3"), {}, tNum);
  };
  add(QStringLiteral("/l.m3u"), QStringLiteral("l.m3u"));
  EXPECT_EQ(pl.count(), 2);
  EXPECT_EQ(tNum, 0);  // only a single file sets the track number
  add(QStringLiteral("/d"), QStringLiteral("d"));
  EXPECT_EQ(pl.count(), 4);
  add(QStringLiteral("/d/a.mp3"), QString());  // nothing chosen
  EXPECT_EQ(pl.count(), 4);
  add(QStringLiteral("/d/a.mp3"), QStringLiteral("a.mp3"));
  EXPECT_EQ(pl.count(), 5);
  EXPECT_EQ(tNum, 1);
  EXPECT_EQ(pl.PlPath.last(), dir.path() + QStringLiteral("/d/a.mp3"));
  PlAddOpened(
      QStringLiteral("https://radio/x.mp3"), QStringLiteral("Commandline"), pl, QStringLiteral("mp3"),
      [](const QString &) { return QStringLiteral("read"); }, tNum);
  EXPECT_EQ(pl.PlNames.last(), QStringLiteral("https://radio/x.mp3"));
}

}  // namespace
}  // namespace cantorel
