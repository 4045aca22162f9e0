// The visual playlist browser, offscreen: paging, directory cards, selection,
// loading, the remembered folder and closing while busy.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "app/main_window.h"
#include "core/general.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/folders.h"
#include "prefs/message_ids.h"
#include "skin/playlist_browser_window.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

QString S(const char *s) {
  return QString::fromUtf8(s);
}

class VisLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    ASSERT_TRUE(dir.isValid());
    g.Messages[msg::BrowserReady] = S("Ready.");
    g.Messages[msg::BrowserPageBefore] = S("Page ");
    g.Messages[msg::BrowserPageMiddle] = S(" of ");
  }
  // A folder with `count` playlists named "List NN.m3u", each with two songs.
  QString folder(const char *name, int count = 0) {
    const QString p = dir.filePath(S(name));
    QDir().mkpath(p);
    for (int i = 1; i <= count; ++i)
      test::writeAll(p + S("/List %1.m3u").arg(i, 2, 10, QLatin1Char('0')),
                     "#EXTM3U\r\nC:\\Music\\song a.mp3\r\nsub/song b.mp3\r\n");
    return p;
  }
  std::unique_ptr<PlaylistBrowserWindow> open(const QString &start) {
    g.VisPLPath = start;
    auto w = std::make_unique<PlaylistBrowserWindow>(g, QString(), dir.path());
    w->show();
    chosen.clear();
    QObject::connect(w.get(), &PlaylistBrowserWindow::playlistChosen,
                     [this](const QString &p) { chosen << p; });
    return w;
  }
  // The names on the visible tiles, then the page line.
  static QString shown(const PlaylistBrowserWindow &w) {
    QStringList names;
    for (const CoverTile *t : w.tiles)
      if (t->isVisible()) names << t->name();
    return names.first() + S("..") + names.last() + S(" (%1) ").arg(names.size()) + w.pageLabel->text();
  }

  QTemporaryDir dir;
  General g;
  QStringList chosen;
};

TEST_F(VisLoader, PagesThenSelectingShowsTheLinesAndLoadingHandsThePlaylistOver) {
  const QString f = folder("lists", 17);
  auto w = open(f);
  EXPECT_EQ(shown(*w), S("List 01..List 16 (16) Page 1 of 2"));
  EXPECT_FALSE(w->loadButton->isEnabled());  // until one is chosen
  w->nextButton->click();
  EXPECT_EQ(shown(*w), S("List 17..List 17 (1) Page 2 of 2"));
  w->nextPage();  // nothing after the last page
  EXPECT_EQ(w->page, 1);
  w->selectEntry(5);  // an empty place of the grid: nothing changes
  EXPECT_FALSE(w->loadButton->isEnabled());
  w->previousButton->click();
  w->selectEntry(1);
  ASSERT_EQ(w->contentsList->count(), 3);  // the header line too
  EXPECT_EQ(w->contentsList->item(1)->text(), S("song a.mp3"));
  w->loadButton->click();
  EXPECT_EQ(chosen, QStringList{f + S("/List 02.m3u")});
  EXPECT_FALSE(w->isVisible());
}

TEST_F(VisLoader, DirectoryCardsHideThePlaylistsAndLeadIntoTheirFolder) {
  const QString f = folder("top");
  folder("top/Rock", 3);
  folder("top/Jazz", 1);
  test::writeAll(f + S("/Rock.DIR"), "");
  test::writeAll(f + S("/Jazz.dir"), "");
  auto w = open(f);
  EXPECT_EQ(w->entries.size(), 2);
  w->selectEntry(0);  // Jazz.dir: the letter case does not matter
  ASSERT_EQ(w->contentsList->count(), 1);
  w->loadSelected();
  EXPECT_TRUE(chosen.isEmpty());
  EXPECT_EQ(w->entries, QStringList{f + S("/Jazz/List 01.m3u")});
  EXPECT_TRUE(w->isVisible());
}

// The chosen folder is remembered for the next opening; one that is not
// there leaves everything as it was.
TEST_F(VisLoader, RememberedFolderAndMissingFolder) {
  const QString b = folder("b", 2);
  auto w = open(folder("a", 1));
  w->rememberFolderCheck->setChecked(true);
  w->setFolderPicker([&](const QString &) { return b; });
  w->folderButton->click();
  w->scanFolder(dir.filePath(S("gone")));
  EXPECT_EQ(w->entries.size(), 2);
  w.reset();
  EXPECT_EQ(PlaylistBrowserWindow(g, QString(), dir.path()).entries.size(), 2);
}

TEST_F(VisLoader, NamesFromFilesAreShownAsPlainText) {
  test::writeAll(folder("odd") + S("/<b>bold<b>.m3u"), "<img src=x>\n");
  auto w = open(folder("odd"));
  w->selectEntry(0);
  EXPECT_EQ(w->nameLabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(w->nameLabel->text(), S("<b>bold<b>"));
  EXPECT_EQ(w->contentsList->item(0)->text(), S("<img src=x>"));
  EXPECT_TRUE(w->tiles[0]->toolTip().contains(S("&lt;b&gt;bold")));
}

// Covers are filled while window events run: what the user does meanwhile
// (choosing a playlist, closing) must leave a consistent window.
TEST_F(VisLoader, EventsDuringAFillLeaveAConsistentWindow) {
  const QString f = folder("lists", 3);
  auto w = open(f);
  // A playlist chosen mid-fill is handed over at once; the window closes
  // when the fill is done, not from under it.
  bool visibleWhenChosen = false;
  QTimer::singleShot(0, w.get(), [&] {
    w->selectEntry(2);
    w->loadSelected();
    visibleWhenChosen = w->isVisible();
  });
  w->showPage();
  EXPECT_EQ(chosen, QStringList{f + S("/List 03.m3u")});
  EXPECT_TRUE(visibleWhenChosen);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(w->busy);

  w->show();
  w->busy = true;
  EXPECT_FALSE(w->close());
  w->cancelButton->click();
  EXPECT_TRUE(w->isVisible());
  w->busy = false;
  w->cancelButton->click();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(VisLoader, MainWindowReplacesItsPlaylistWithTheChosenOne) {
  const QString f = folder("lists");
  test::writeAll(f + S("/Party.m3u"), "one.mp3\r\ntwo.mp3\r\n");
  g.VisPLPath = f;
  SettingsStore store(dir.filePath(S("cantorel.conf")));
  Settings settings(store);
  Folders folders(dir.filePath(S("user")), test::dataDir(), QString(), dir.filePath(S("cantorel.conf")));
  MainWindow main(g, settings, folders);
  main.playlist().append(S("old"), S("/old.mp3"));
  main.showPlaylistBrowser();
  QPointer<PlaylistBrowserWindow> browser = main.playlistBrowser();
  ASSERT_TRUE(browser);
  browser->selectEntry(0);
  browser->loadSelected();
  // The first entry is played at once; as its file is missing, the player
  // marks it so and forgets its path.
  ASSERT_EQ(main.playlist().count(), 2);
  EXPECT_TRUE(main.playlist().PlNames.at(0).startsWith(S("one")));
  EXPECT_EQ(main.playlist().PlPath.at(1), f + S("/two.mp3"));
  EXPECT_EQ(main.state().TNum, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(browser);  // closed and gone; the next opening starts afresh
}

}  // namespace
}  // namespace cantorel
