// The main window's player wiring (offscreen, real GStreamer plug-in with the
// silent output): the demo song's lyric fills the lyric box, the timer's
// lines reach the box and the line label, a tag save of the playing song, and
// keys on the window.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "app/main_window.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "e2e/media_files.h"
#include "platform/folders.h"
#include "playback/transport.h"
#include "playlist/mp3_info.h"
#include "playlist/playlist_commands_gui.h"
#include "playlist/track_info_window.h"
#include "plugins/plugin_object.h"
#include "skin/skin_face_widget.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

// A double click with the left button on a line of a list, as the mouse
// sends it: press, release, double click, release.
void doubleClickRow(QListWidget *list, int row) {
  list->scrollToItem(list->item(row));
  const QPointF at = list->visualItemRect(list->item(row)).center();
  const QPointF global = list->viewport()->mapToGlobal(at);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &e);
  }
}

class MainWindowPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    oldRecord = qgetenv("CANTOREL_RECORD_DESKTOP");
    qputenv("CANTOREL_RECORD_DESKTOP", dir.filePath(QStringLiteral("desktop.log")).toUtf8());
    for (const char *f : {"demo.mid", "demo.qvl"})
      QFile::copy(test::dataDir() + QLatin1String("/demo/") + QLatin1String(f),
                  dir.filePath(QLatin1String(f)));
    window = std::make_unique<MainWindow>(g, settings, folders);
    window->loadSkin(window->defaultSkinFile());
  }
  void TearDown() override { qputenv("CANTOREL_RECORD_DESKTOP", oldRecord); }
  // The input plug-ins found and the demo song (with its lyric) in the playlist.
  void addDemo() {
    window->discoverInputPlugins();
    window->playlist().append(QStringLiteral("demo"), dir.filePath(QStringLiteral("demo.mid")));
  }
  QByteArray oldRecord;
  QTemporaryDir dir;
  General g;
  SettingsStore store{dir.filePath(QStringLiteral("cantorel.conf"))};
  Settings settings{store};
  Folders folders{dir.filePath(QStringLiteral("user")), test::dataDir(),
                  qEnvironmentVariable("CANTOREL_PLUGIN_DIR"), dir.filePath(QStringLiteral("cantorel.conf"))};
  std::unique_ptr<MainWindow> window;
};

// Saving the playing song's tag after its entry moved in the playlist: the
// same file plays on from the same place, its lyric and title untouched.
TEST_F(MainWindowPlayer, TagSaveReopensTheSameFileWhereItWas) {
  MainWindow &w = *window;
  w.discoverInputPlugins();
  // A WAV (a tag at its end is harmless) with the demo's lyric beside it.
  const QString song = dir.filePath(QStringLiteral("song.wav"));
  test::writeAll(song, test::makeWav(30, 8000, 1));
  QFile::copy(dir.filePath(QStringLiteral("demo.qvl")), dir.filePath(QStringLiteral("song.qvl")));
  w.playlist().append(QStringLiteral("song"), song);
  w.playlist().append(QStringLiteral("demo"), dir.filePath(QStringLiteral("demo.mid")));
  w.transport().PlayIt(0);
  w.transport().PlayFrom(10);
  ASSERT_EQ(g.LyricNext, 3);
  const QString title = w.skin().labelText(2);
  w.playlist().PlMoveEntry(1, -1);  // the demo is entry 1 now
  w.playlistCommands().ShowInfo();
  TrackInfoWindow *info = w.playlistCommands().infoWindow();
  ASSERT_TRUE(info);
  info->editCheck->setChecked(true);
  info->yearEdit->setText(QStringLiteral("2024"));
  info->saveTag();
  EXPECT_EQ(w.state().SongPath, song);
  EXPECT_EQ(w.state().Playing, -1);
  EXPECT_EQ(w.state().Paused, 0);
  EXPECT_NEAR(g.Player->value("GetCurrentPosition").toDouble(), 10, 0.5);
  EXPECT_EQ(g.LyricNext, 3);
  EXPECT_EQ(w.skin().face()->lyricBox()->currentRow(), 2);
  EXPECT_EQ(w.skin().labelText(2), title);
  EXPECT_EQ(ReadMp3Info(song).Tag.Year, QStringLiteral("2024"));
  w.runCommand(10);
}

// The demo song's lyric fills the lyric box, the tick's lines reach the box
// and the line label, and a double click on a line plays from its time. Its
// lines are at 0:01, 0:05, 0:09, 0:13, 0:17 and 0:21.
TEST_F(MainWindowPlayer, DemoLyricFollowsThePlayAndADoubleClickPlaysFromALine) {
  addDemo();
  MainWindow &w = *window;
  w.show();
  w.enableTimer1(true);
  w.transport().PlayIt(0);
  ASSERT_EQ(w.state().Playing, -1);
  QListWidget *box = w.skin().face()->lyricBox();
  ASSERT_EQ(box->count(), 6);
  const auto position = [&] { return g.Player->value("GetCurrentPosition").toDouble(); };
  ASSERT_TRUE(test::spinUntil([&] { return box->currentRow() == 0 && box->isVisible(); }));
  EXPECT_EQ(w.skin().face()->lyricLine()->text(), QStringLiteral("Twinkle, twinkle, little star,"));

  // Forward to the fourth line: the line before it is current until the
  // next tick shows 0:13 and with it the line.
  doubleClickRow(box, 3);
  EXPECT_EQ(g.LyricNext, 3);
  EXPECT_EQ(box->currentRow(), 2);
  ASSERT_TRUE(test::spinUntil([&] { return box->currentRow() == 3; }));
  EXPECT_EQ(w.state().LastShownTime, QStringLiteral("0:13"));
  EXPECT_GE(position(), 12.9);
  // The same line again while its second is still shown: it shows again
  // and the next line is the one after it.
  doubleClickRow(box, 3);
  ASSERT_TRUE(test::spinUntil([&] { return box->currentRow() == 3 && g.LyricNext == 4; }));

  // Back to the second line while paused: the position moves, the line
  // shows, playback stays paused.
  w.transport().PauseIt();
  ASSERT_EQ(w.state().Paused, -1);
  doubleClickRow(box, 1);
  ASSERT_TRUE(test::spinUntil(
      [&] { return box->currentRow() == 1 && w.state().LastShownTime == QLatin1String("0:05"); }));
  EXPECT_NEAR(position(), 5.0, 0.5);
  EXPECT_EQ(w.state().Paused, -1);
  w.runCommand(10);
}

// Keys on the window itself (a skin without lists leaves the focus there)
// reach the skin: Space plays.
TEST_F(MainWindowPlayer, KeysOnTheWindowReachTheSkin) {
  addDemo();
  MainWindow &w = *window;
  w.show();
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(&w, &space);
  EXPECT_EQ(w.state().Playing, -1);
  w.runCommand(10);
}

}  // namespace
}  // namespace cantorel
