// Editing the playlist and adding files, folders and playlist files.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/playlist_add.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

// Moving (by -1 or +1) or removing (delta 0) entry `index`: the entries left
// and the selection after.
TEST(PlaylistEdit, MoveAndRemoveStayWithinTheList) {
  const struct {
    const char *before;
    int index, delta, selection;
    const char *after;
  } cases[] = {{"abc", 0, +1, 1, "bac"}, {"abc", 0, -1, 0, "abc"}, {"abc", 2, +1, 2, "abc"},
               {"abc", 2, 0, 1, "ab"},   {"abc", 1, 0, 1, "ac"},   {"abc", 3, 0, 2, "abc"},
               {"a", 0, 0, -1, ""}};
  for (const auto &c : cases) {
    Playlist pl;
    for (const QChar n : QString::fromLatin1(c.before)) pl.append(n, n + QStringLiteral(".mp3"));
    EXPECT_EQ(c.delta ? pl.PlMoveEntry(c.index, c.delta) : pl.PlRemove(c.index), c.selection) << c.index;
    EXPECT_EQ(pl.PlNames.join(QString()), QString::fromLatin1(c.after)) << c.index << c.delta;
    EXPECT_EQ(pl.PlPath.join(QString()).remove(QStringLiteral(".mp3")), QString::fromLatin1(c.after));
  }
}

TEST(ValidExtension, WordsOfTheListOrThreeCharactersFoundAnywhere) {
  const QString list = QStringLiteral("mp2 mp3 mpa wav mid rmi flac");
  struct {
    const char *name;
    bool valid;
  } cases[] = {{"a.MP3", true}, {"c.mpeg", false}, {"d", false}, {"i.fla", true}};
  for (const auto &c : cases)
    EXPECT_EQ(HasValidExtension(QString::fromLatin1(c.name), list), c.valid) << c.name;
  // What the input plug-ins declare joins the list a scan uses.
  InputPluginInfo gst;
  gst.Extensions = QStringLiteral("Audio|*.ogg;*.OPUS;*.m4a|Other|*.ogg;*.*");
  EXPECT_EQ(DeclaredExtensions({gst}),
            (QStringList{QStringLiteral("ogg"), QStringLiteral("opus"), QStringLiteral("m4a")}));
  EXPECT_TRUE(HasValidExtension(QStringLiteral("k.opus"), ScanExtensions(list, {gst})));
}

class TreeScan : public ::testing::Test {
 protected:
  void touch(const QString &rel) { test::writeAll(dir.path() + QLatin1Char('/') + rel, "x"); }
  QString scan(const QString &folder) {
    Playlist pl;
    PlAddTree(folder, pl, QStringLiteral("mp3 wav"), {});
    return pl.PlPath.join(QLatin1Char('|')).replace(dir.path() + QLatin1Char('/'), QString());
  }
  QTemporaryDir dir;
};

TEST_F(TreeScan, FoldersBreadthFirstFilesInNameOrderLinksOnce) {
  for (const char *f : {"b/deep/z.mp3", "a/y.WAV", "top2.mp3", "Top1.mp3", "b/x.mp3", "a/skip.txt",
                        ".hidden.mp3", ".hid/h.mp3", "c.mpeg"})
    touch(QString::fromLatin1(f));
  ASSERT_TRUE(QFile::link(dir.path(), dir.path() + QStringLiteral("/b/loop")));  // back to a parent
  EXPECT_EQ(scan(dir.path()), QStringLiteral("Top1.mp3|top2.mp3|a/y.WAV|b/x.mp3|b/deep/z.mp3"));
  EXPECT_EQ(scan(QString()), QString());
  EXPECT_EQ(scan(dir.path() + QStringLiteral("/none")), QString());
}

TEST_F(TreeScan, AddOpenedHandlesFilesFoldersAndPlaylists) {
  touch(QStringLiteral("d/a.mp3"));
  touch(QStringLiteral("d/b.mp3"));
  test::writeAll(dir.path() + QStringLiteral("/l.m3u"), "d/b.mp3\r\nhttp://s/\r\n");
  const struct {
    QString path, name;
    int count, trackNumber;
  } steps[] = {{dir.path() + QStringLiteral("/l.m3u"), QStringLiteral("l.m3u"), 2, 0},
               {dir.path() + QStringLiteral("/d"), QStringLiteral("d"), 4, 0},
               {dir.path() + QStringLiteral("/d/a.mp3"), QStringLiteral("a.mp3"), 5, 1},
               {QStringLiteral("https://radio/x.mp3"), QStringLiteral("Commandline"), 6, 1}};
  Playlist pl;
  qint16 tNum = 0;
  for (const auto &s : steps) {
    PlAddOpened(
        s.path, s.name, pl, QStringLiteral("mp3"), [](const QString &) { return QStringLiteral("read"); },
        tNum);
    EXPECT_EQ(pl.count(), s.count) << qPrintable(s.path);
    EXPECT_EQ(tNum, s.trackNumber) << qPrintable(s.path);  // only a single file sets it
  }
  EXPECT_EQ(pl.PlPath[4], dir.path() + QStringLiteral("/d/a.mp3"));
  EXPECT_EQ(pl.PlNames.last(), QStringLiteral("https://radio/x.mp3"));  // a stream is not read
}

}  // namespace
}  // namespace cantorel
