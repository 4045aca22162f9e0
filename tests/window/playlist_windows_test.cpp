// The file information window, the cover window and the playlist commands
// with their dialogs answered by the test (offscreen).
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QUrl>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "app/main_window.h"
#include "core/general.h"
#include "core/main_state.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/desktop_services_gui.h"
#include "platform/folders.h"
#include "playlist/playlist_commands_gui.h"
#include "playlist/playlist_file.h"
#include "playlist/track_info_window.h"
#include "support/test_support.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

QString S(const char *s) {
  return QString::fromUtf8(s);
}

// Messages shown go to a file (CANTOREL_RECORD_DESKTOP) instead of a box.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    oldRecord = qgetenv("CANTOREL_RECORD_DESKTOP");
    qputenv("CANTOREL_RECORD_DESKTOP", dir.filePath(S("desktop.log")).toUtf8());
  }
  void TearDown() override { qputenv("CANTOREL_RECORD_DESKTOP", oldRecord); }
  QString file(const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(S(name)), bytes);
    return dir.filePath(S(name));
  }
  QByteArray oldRecord;
  QTemporaryDir dir;
  General g;
  MainState st;
  QtDesktopServices desktop;
};

using InfoWindow = WindowTest;

TEST_F(InfoWindow, FollowsTheSongUntilEditingAndShowsThePathAsText) {
  g.Tag = test::makeTag(S("Song"), S("Band"), S("Disc"), 5, 0);
  g.Tag.Found = true;
  st.SongPath = S("/m/a.mp3");
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_EQ(w.titleEdit->text(), S("Song"));
  g.Tag.clear();
  st.SongPath = S("/m/b.mp3");
  w.editCheck->setChecked(true);
  w.followPlayingFile();
  EXPECT_EQ(w.filePath(), S("/m/a.mp3"));  // editing: stays
  w.editCheck->setChecked(false);
  // A path too long for the field keeps both ends; the tip has it whole, as text.
  st.SongPath = S("/home/<b>me</b>/") + QString(300, u'x') + S("/last song.mp3");
  w.show();
  w.followPlayingFile();
  EXPECT_TRUE(w.fileNameValue->text().endsWith(S("song.mp3")));
  EXPECT_EQ(QTextDocumentFragment::fromHtml(w.fileNameValue->toolTip()).toPlainText(), st.SongPath);
}

// Saving needs editing switched on; a track number past 255 or a file too
// short for a tag is refused and the file stays. (How the playing song is let
// go and resumed is checked on the main window.)
TEST_F(InfoWindow, SaveWritesTheTagAndRefusesWhatItCannotWrite) {
  const QByteArray audio = test::mp3Bytes(600);
  st.SongPath = file("s.mp3", audio);
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_FALSE(w.saveButton->isEnabled());
  w.editCheck->setChecked(true);
  w.titleEdit->setText(S("New title"));
  w.trackEdit->setText(S("300"));
  w.saveTag();
  EXPECT_EQ(test::readAll(st.SongPath), audio);
  w.trackEdit->setText(S("12"));
  w.saveTag();
  const Mp3Info info = ReadMp3Info(st.SongPath);
  EXPECT_EQ(info.Tag.Title.trimmed(), S("New title"));
  EXPECT_EQ(info.Tag.Track, 12);

  st.SongPath = file("short.mp3", QByteArray(200, 'x'));
  w.editCheck->setChecked(false);
  w.followPlayingFile();
  w.editCheck->setChecked(true);
  w.saveTag();
  EXPECT_EQ(test::readAll(st.SongPath), QByteArray(200, 'x'));
}

// Dialogs that answer from a queue; an empty answer is a cancel.
class ScriptedDialogs : public PlaylistDialogs {
 public:
  QStringList answers;
  QString next(const QString &) { return answers.isEmpty() ? QString() : answers.takeFirst(); }
  QString openFile(const QString &title, const QString &, const QString &, int *) override {
    return next(title);
  }
  QString saveFile(const QString &title, const QString &, const QString &) override { return next(title); }
  QString folder(const QString &prompt) override { return next(prompt); }
};

class Commands : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    cmd = std::make_unique<PlaylistCommands>(nullptr, g, st, settings, folders, desktop, pl);
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    cmd->setDialogs(std::move(d));
  }
  Playlist pl;
  SettingsStore store{dir.filePath(S("cantorel.conf"))};
  Settings settings{store};
  Folders folders{dir.filePath(S("user")), test::dataDir(), QString(), dir.filePath(S("cantorel.conf"))};
  std::unique_ptr<PlaylistCommands> cmd;
  ScriptedDialogs *dialogs = nullptr;
};

TEST_F(Commands, LoadClearsFirstAndSaveAddsTheExtension) {
  const QString list = file("lists/party.m3u", "a.mp3\r\nb.mp3\r\n");
  pl.append(S("old"), S("/old.mp3"));
  cmd->PlLoad();  // cancelled
  EXPECT_EQ(pl.count(), 1);
  g.ClearPLFirst = 1;
  dialogs->answers << list;
  cmd->PlLoad();
  EXPECT_EQ(pl.PlPath, (QStringList{dir.filePath(S("lists/a.mp3")), dir.filePath(S("lists/b.mp3"))}));

  dialogs->answers << dir.filePath(S("mine"));
  cmd->PlSave();
  EXPECT_EQ(test::readAll(dir.filePath(S("mine.m3u"))), QByteArray("lists/a.mp3\r\nlists/b.mp3\r\n"));
}

TEST_F(Commands, OpenedFileIsAddedAndTheSelectionFollowsEdits) {
  const QString song = file("01 - My_Song.mp3", test::mp3Bytes());
  g.ValidExt = S("mp3");
  dialogs->answers << song;
  ASSERT_TRUE(cmd->OpenMediaFile());
  cmd->PlAddOpened();
  EXPECT_EQ(pl.PlPath, QStringList{song});
  EXPECT_FALSE(cmd->OpenMediaFile());  // cancelled
  EXPECT_TRUE(st.AddName.isEmpty());

  for (const char *n : {"b", "c"}) pl.append(S(n), S(n));
  int selection = 2;
  cmd->onSelection([&] { return selection; }, [&](int i) { selection = i; });
  cmd->PlRemoveSelected();  // the last entry
  EXPECT_EQ(pl.PlPath.mid(1), QStringList{S("b")});
  EXPECT_EQ(selection, 1);
}

TEST_F(Commands, FilesDroppedOnTheMainWindowAreAdded) {
  g.ValidExt = S("mp3");
  const QString song = file("d/Tune.mp3", test::mp3Bytes());
  MainWindow w(g, settings, folders);
  QMimeData data;
  data.setUrls(
      {QUrl::fromLocalFile(song), QUrl::fromLocalFile(dir.filePath(S("d"))), QUrl(S("https://not.a/file"))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_EQ(w.playlist().PlPath, (QStringList{song, song}));
}

}  // namespace
}  // namespace cantorel
