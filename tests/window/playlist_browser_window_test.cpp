// The visual playlist browser, offscreen: paging, directory cards, selection,
// loading, the remembered folder, closing while busy and printing to PDF.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPrinter>
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

class VisLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    ASSERT_TRUE(dir.isValid());
    g.Messages[msg::BrowserFolderRead] = QStringLiteral("Pick one.");
    g.Messages[msg::BrowserFilling] = QStringLiteral("Loading...");
    g.Messages[msg::BrowserReady] = QStringLiteral("Ready.");
    g.Messages[msg::BrowserPageBefore] = QStringLiteral("Showing page ");
    g.Messages[msg::BrowserPageMiddle] = QStringLiteral(" of ");
    g.Messages[msg::BrowserPageAfter] = QStringLiteral(".");
    g.Messages[msg::BrowserLoad] = QStringLiteral("Load");
  }

  QString folder(const QString &name) {
    const QString p = dir.filePath(name);
    QDir().mkpath(p);
    return p;
  }
  // `count` playlists named "List NN.m3u" in `in`, each with two songs.
  void playlists(const QString &in, int count) {
    for (int i = 1; i <= count; ++i) {
      test::writeAll(in + QStringLiteral("/List %1.m3u").arg(i, 2, 10, QLatin1Char('0')),
                     "#EXTM3U\r\nC:\\Music\\song a.mp3\r\nsub/song b.mp3\r\n");
    }
  }
  std::unique_ptr<PlaylistBrowserWindow> open(const QString &start) {
    g.VisPLPath = start;
    auto w = std::make_unique<PlaylistBrowserWindow>(g, QString(), dir.path());
    w->show();
    return w;
  }
  static int visibleTiles(const PlaylistBrowserWindow &w) {
    int n = 0;
    for (const CoverTile *t : w.tiles) n += t->isVisible() ? 1 : 0;
    return n;
  }

  QTemporaryDir dir;
  General g;
};

TEST_F(VisLoader, SeventeenPlaylistsMakeTwoPages) {
  // An empty folder: nothing to load or print, and a hint where playlists come from.
  auto none = open(folder(QStringLiteral("none")));
  EXPECT_FALSE(none->loadButton->isEnabled());
  EXPECT_FALSE(none->printButton->isEnabled());
  EXPECT_TRUE(none->nameLabel->text().contains(QStringLiteral("Change Folder")));
  none.reset();
  const QString f = folder(QStringLiteral("lists"));
  playlists(f, 17);
  auto w = open(f);
  EXPECT_FALSE(w->busy);
  ASSERT_EQ(w->entries.size(), 17);
  EXPECT_EQ(w->lastPage, 1);
  EXPECT_EQ(visibleTiles(*w), 16);
  EXPECT_EQ(w->pageLabel->text(), QStringLiteral("Showing page 1 of 2."));
  EXPECT_EQ(w->nameLabel->text(), QStringLiteral("Ready."));
  EXPECT_EQ(w->tiles[0]->name(), QStringLiteral("List 01"));
  EXPECT_TRUE(w->printButton->isEnabled());
  EXPECT_FALSE(w->loadButton->isEnabled());  // until one is chosen

  EXPECT_FALSE(w->previousButton->isEnabled());
  w->prevPage();  // nothing before the first page
  EXPECT_EQ(w->page, 0);
  w->nextButton->click();
  EXPECT_EQ(w->page, 1);
  EXPECT_EQ(visibleTiles(*w), 1);
  EXPECT_TRUE(w->tiles[0]->isVisible());
  EXPECT_EQ(w->tiles[0]->name(), QStringLiteral("List 17"));
  EXPECT_EQ(w->pageLabel->text(), QStringLiteral("Showing page 2 of 2."));
  EXPECT_FALSE(w->nextButton->isEnabled());
  EXPECT_TRUE(w->previousButton->isEnabled());
  w->nextPage();  // nothing after the last page
  EXPECT_EQ(w->page, 1);
  w->previousButton->click();
  EXPECT_EQ(w->page, 0);
  EXPECT_EQ(visibleTiles(*w), 16);
}

TEST_F(VisLoader, SelectingShowsTheLinesAndLoadingHandsThePlaylistOver) {
  const QString f = folder(QStringLiteral("lists"));
  playlists(f, 2);
  auto w = open(f);
  w->selectEntry(1);
  EXPECT_TRUE(w->loadButton->isEnabled());
  EXPECT_EQ(w->selectedEntry, f + QStringLiteral("/List 02.m3u"));
  EXPECT_EQ(w->nameLabel->text(), QStringLiteral("List 02"));
  ASSERT_EQ(w->contentsList->count(), 3);  // the header line too
  EXPECT_EQ(w->contentsList->item(0)->text(), QStringLiteral("#EXTM3U"));
  EXPECT_EQ(w->contentsList->item(1)->text(), QStringLiteral("song a.mp3"));
  EXPECT_EQ(w->contentsList->item(2)->text(), QStringLiteral("song b.mp3"));
  w->selectEntry(7);  // an empty place of the grid: nothing changes
  EXPECT_EQ(w->selectedEntry, f + QStringLiteral("/List 02.m3u"));

  QStringList chosen;
  QObject::connect(w.get(), &PlaylistBrowserWindow::playlistChosen,
                   [&](const QString &p) { chosen.append(p); });
  w->loadButton->click();
  EXPECT_EQ(chosen, QStringList{f + QStringLiteral("/List 02.m3u")});
  EXPECT_FALSE(w->isVisible());
}

TEST_F(VisLoader, DirectoryCardsHideThePlaylistsAndLeadIntoTheirFolder) {
  const QString f = folder(QStringLiteral("top"));
  playlists(folder(QStringLiteral("top/Rock")), 3);
  playlists(folder(QStringLiteral("top/Jazz")), 1);
  test::writeAll(f + QStringLiteral("/Rock.DIR"), "");
  test::writeAll(f + QStringLiteral("/Jazz.dir"), "");
  auto w = open(f);
  ASSERT_EQ(w->entries.size(), 2);
  EXPECT_EQ(visibleTiles(*w), 2);
  w->selectEntry(1);
  ASSERT_EQ(w->contentsList->count(), 1);
  EXPECT_EQ(w->contentsList->item(0)->text(), QStringLiteral("This is a directory. Double-click to enter!"));

  int chosen = 0;
  QObject::connect(w.get(), &PlaylistBrowserWindow::playlistChosen, [&] { ++chosen; });
  w->loadSelected();
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(w->entries.size(), 3);
  EXPECT_TRUE(w->entries.at(0).endsWith(QStringLiteral("/Rock/List 01.m3u")));
  EXPECT_TRUE(w->isVisible());
}

TEST_F(VisLoader, RememberedFolderAndMissingFolder) {
  const QString a = folder(QStringLiteral("a"));
  const QString b = folder(QStringLiteral("b"));
  playlists(a, 1);
  playlists(b, 2);
  auto w = open(a);
  w->rememberFolderCheck->setChecked(true);
  w->setFolderPicker([&](const QString &) { return b; });
  w->folderButton->click();
  EXPECT_EQ(w->entries.size(), 2);
  EXPECT_EQ(g.VisPLPath, b + QLatin1Char('/'));
  // A folder that is not there leaves everything as it was.
  w->scanFolder(dir.filePath(QStringLiteral("gone")));
  EXPECT_EQ(w->entries.size(), 2);
  EXPECT_FALSE(w->busy);
  // The next opening starts where the last one was.
  w.reset();
  auto again = std::make_unique<PlaylistBrowserWindow>(g, QString(), dir.path());
  EXPECT_EQ(again->entries.size(), 2);
}

TEST_F(VisLoader, NamesFromFilesAreShownAsPlainText) {
  const QString f = folder(QStringLiteral("odd"));
  test::writeAll(f + QStringLiteral("/<b>bold<b>.m3u"), "<img src=x>\n");
  auto w = open(f);
  w->selectEntry(0);
  EXPECT_EQ(w->nameLabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(w->nameLabel->text(), QStringLiteral("<b>bold<b>"));
  EXPECT_EQ(w->contentsList->item(0)->text(), QStringLiteral("<img src=x>"));
  EXPECT_TRUE(w->tiles[0]->toolTip().contains(QStringLiteral("&lt;b&gt;bold")));
}

// Covers are filled while window events run: what the user does meanwhile
// (turning the page, choosing a playlist) must leave a consistent window.
TEST_F(VisLoader, EventsDuringAFillLeaveAConsistentWindow) {
  const QString f = folder(QStringLiteral("lists"));
  playlists(f, 17);
  auto w = open(f);
  w->nextPage();
  QTimer::singleShot(0, w.get(), [&] { w->prevPage(); });
  w->showPage();
  EXPECT_EQ(w->page, 0);
  EXPECT_EQ(visibleTiles(*w), 16);
  EXPECT_EQ(w->pageLabel->text(), QStringLiteral("Showing page 1 of 2."));
  EXPECT_FALSE(w->busy);

  // A playlist chosen mid-fill is handed over at once; the window closes
  // when the fill is done, not from under it.
  QStringList chosen;
  QObject::connect(w.get(), &PlaylistBrowserWindow::playlistChosen,
                   [&](const QString &p) { chosen.append(p); });
  bool visibleWhenChosen = false;
  QTimer::singleShot(0, w.get(), [&] {
    w->selectEntry(2);
    w->loadSelected();
    visibleWhenChosen = w->isVisible();
  });
  w->showPage();
  EXPECT_EQ(chosen, QStringList{f + QStringLiteral("/List 03.m3u")});
  EXPECT_TRUE(visibleWhenChosen);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(w->busy);
}

TEST_F(VisLoader, CloseIsRefusedWhileBusy) {
  const QString f = folder(QStringLiteral("lists"));
  auto w = open(f);
  w->busy = true;
  EXPECT_FALSE(w->close());
  w->cancelButton->click();
  EXPECT_TRUE(w->isVisible());
  w->busy = false;
  w->cancelButton->click();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(VisLoader, CoversColoursAndPrintingToPdf) {
  const QString f = folder(QStringLiteral("lists"));
  playlists(f, 2);
  QImage cover(40, 20, QImage::Format_RGB32);
  cover.fill(Qt::red);
  ASSERT_TRUE(cover.save(f + QStringLiteral("/List 01.jpg")));
  auto w = open(f);
  EXPECT_FALSE(w->findChildren<QLabel *>().isEmpty());
  // It starts in the desktop's colours; the button swaps to white on black and back.
  EXPECT_EQ(w->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
  w->coloursButton->click();
  EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::black));
  w->coloursButton->click();
  EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(w->contentsList->palette().color(QPalette::Text), QColor(Qt::black));

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = dir.filePath(QStringLiteral("browser.pdf"));
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(w->printTo(printer));
  const QByteArray bytes = test::readAll(pdf);
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_GT(bytes.size(), 1000);
}

TEST_F(VisLoader, MainWindowReplacesItsPlaylistWithTheChosenOne) {
  const QString f = folder(QStringLiteral("lists"));
  test::writeAll(f + QStringLiteral("/Party.m3u"), "one.mp3\r\ntwo.mp3\r\n");
  g.VisPLPath = f;
  SettingsStore store(dir.filePath(QStringLiteral("cantorel.conf")));
  Settings settings(store);
  Folders folders(dir.filePath(QStringLiteral("user")), test::dataDir(), QString(),
                  dir.filePath(QStringLiteral("cantorel.conf")));
  MainWindow main(g, settings, folders);
  main.playlist().append(QStringLiteral("old"), QStringLiteral("/old.mp3"));
  main.showPlaylistBrowser();
  QPointer<PlaylistBrowserWindow> browser = main.playlistBrowser();
  ASSERT_TRUE(browser);
  EXPECT_FALSE(browser->noCoverFile.isEmpty());  // the shipped picture
  ASSERT_EQ(browser->entries.size(), 1);
  browser->selectEntry(0);
  browser->loadSelected();
  // The first entry is played at once; as its file is missing, the player
  // marks it so and forgets its path.
  ASSERT_EQ(main.playlist().count(), 2);
  EXPECT_TRUE(main.playlist().PlNames.at(0).startsWith(QStringLiteral("one")));
  EXPECT_EQ(main.playlist().PlPath.at(1), f + QStringLiteral("/two.mp3"));
  EXPECT_EQ(main.state().TNum, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(browser);  // closed and gone; the next opening starts afresh
}

}  // namespace
}  // namespace cantorel
