// The file information window, the cover window and the playlist commands
// with their dialogs answered by the test (offscreen).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTimer>
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
#include "playlist/cover_window.h"
#include "playlist/track_info_window.h"
#include "playlist/playlist_commands_gui.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

void ensureApp() { test::ensureApp(); }

// Messages shown go to a file (CANTOREL_RECORD_DESKTOP) instead of a box.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApp();
    oldRecord = qgetenv("CANTOREL_RECORD_DESKTOP");
    qputenv("CANTOREL_RECORD_DESKTOP", dir.filePath(QStringLiteral("desktop.log")).toUtf8());
  }
  void TearDown() override { qputenv("CANTOREL_RECORD_DESKTOP", oldRecord); }
  QByteArray oldRecord;
  QStringList messages() const {
    const QString log = QString::fromUtf8(test::readAll(dir.filePath(QStringLiteral("desktop.log"))));
    return log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QString file(const QString &name, const QByteArray &bytes) {
    const QString p = dir.filePath(name);
    test::writeBytes(p, bytes);
    return p;
  }
  QTemporaryDir dir;
  General g;
  MainState st;
  QtDesktopServices desktop;
};

using InfoWindow = WindowTest;

TEST_F(InfoWindow, CaptionsGenresAndFollowTimer) {
  g.Messages[143] = QStringLiteral("Info <b>x</b>");
  g.Messages[155] = QStringLiteral("Store");
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Info <b>x</b>"));
  EXPECT_EQ(w.saveButton->text(), QStringLiteral("Store"));
  EXPECT_EQ(w.currentButton->text(), QStringLiteral("Current"));  // English when the text is missing
  EXPECT_EQ(w.hintLabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(w.genreCombo->count(), 81);
  EXPECT_EQ(w.genreCombo->itemText(80), QStringLiteral("Hard Rock"));
  EXPECT_TRUE(w.followTimer->isActive());
  EXPECT_FALSE(w.saveButton->isEnabled());
  w.editCheck->setChecked(true);
  EXPECT_TRUE(w.saveButton->isEnabled());
}

TEST_F(InfoWindow, ShowsTheTagRecordAndFollowsTheSongUntilEditing) {
  g.Tag = test::makeTag(QStringLiteral("Song"), QStringLiteral("Band"), QStringLiteral("Disc"), 5, 0);
  g.Tag.Found = true;
  st.SongPath = QStringLiteral("/m/a.mp3");
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_EQ(w.titleEdit->text(), QStringLiteral("Song"));
  EXPECT_EQ(w.trackEdit->text(), QStringLiteral("05"));
  EXPECT_EQ(w.genreCombo->currentText(), QStringLiteral("Blues"));

  g.Tag.clear();
  st.SongPath = QStringLiteral("/m/b.mp3");
  w.editCheck->setChecked(true);
  w.followPlayingFile();
  EXPECT_EQ(w.filePath(), QStringLiteral("/m/a.mp3"));  // editing: stays
  w.editCheck->setChecked(false);
  w.followPlayingFile();
  EXPECT_EQ(w.filePath(), QStringLiteral("/m/b.mp3"));
  EXPECT_EQ(w.trackEdit->text(), QString());  // no tag, no track number
  EXPECT_EQ(w.genreCombo->currentText(), QStringLiteral("Unknown"));

  // A path too long for the field keeps both ends; the tip has it whole, as text.
  st.SongPath = QStringLiteral("/home/<b>me</b>/") + QString(300, u'x') + QStringLiteral("/last song.mp3");
  w.show();
  w.followPlayingFile();
  EXPECT_TRUE(w.fileNameValue->text().startsWith(QStringLiteral("/home/")));
  EXPECT_TRUE(w.fileNameValue->text().endsWith(QStringLiteral("song.mp3")));
  EXPECT_TRUE(w.fileNameValue->text().contains(QChar(0x2026)));
  EXPECT_EQ(QTextDocumentFragment::fromHtml(w.fileNameValue->toolTip()).toPlainText(), st.SongPath);
}

// The information window comes up beside the main window, never off the screen.
TEST(PlaceBeside, RightThenLeftThenInside) {
  const QRect screen(1920, 0, 1280, 1024);  // a second screen
  const QSize size(400, 300);
  const struct {
    QRect main;
    QPoint at;
  } rows[] = {{{2000, 100, 300, 200}, {2308, 100}},   // room on the right
              {{2700, 100, 300, 200}, {2292, 100}},   // none on the right: left
              {{1920, 900, 1280, 200}, {2800, 724}},  // room on neither side, low on the screen
              {{2000, -50, 300, 200}, {2308, 0}}};    // above the screen's top
  for (const auto &r : rows)
    EXPECT_EQ(PlaceBeside(r.main, size, screen), r.at) << r.main.x() << "," << r.main.y();
}

TEST_F(InfoWindow, SaveAddsThenUpdatesAndRefusesABadTrack) {
  g.Messages[52] = QStringLiteral("Tag");
  const QByteArray audio = test::mp3Bytes(600);
  st.SongPath = file(QStringLiteral("s.mp3"), audio);
  st.Playing = -1;
  int released = 0, resumed = 0;
  TrackInfoWindow::PlayerAccess player;
  player.release = [&] {
    ++released;
    return 12.5;
  };
  player.resume = [&](const QString &, double pos, bool play) {
    EXPECT_EQ(pos, 12.5);
    EXPECT_TRUE(play);
    ++resumed;
  };
  TrackInfoWindow w(g, st, desktop, player);
  w.editCheck->setChecked(true);
  w.titleEdit->setText(QStringLiteral("New title"));
  w.trackEdit->setText(QStringLiteral("300"));
  w.saveTag();
  EXPECT_EQ(test::readBytes(st.SongPath), audio);
  EXPECT_EQ(released, 0);

  w.trackEdit->setText(QStringLiteral("12"));
  w.genreCombo->setCurrentIndex(0);
  w.saveTag();
  w.saveTag();
  const Mp3Info info = ReadMp3Info(st.SongPath);
  EXPECT_EQ(info.Tag.Title.trimmed(), QStringLiteral("New title"));
  EXPECT_EQ(info.Tag.Track, 12);
  EXPECT_EQ(info.Tag.Genre, 254);
  EXPECT_EQ(g.Tag.Title.trimmed(), QStringLiteral("New title"));
  EXPECT_EQ(released, 2);
  EXPECT_EQ(resumed, 2);
  EXPECT_TRUE(w.followTimer->isActive());
  const QStringList m = messages();
  ASSERT_EQ(m.size(), 3);
  EXPECT_TRUE(m[0].contains(QStringLiteral("255")));
  EXPECT_EQ(m[1], QStringLiteral("message Tag Added!"));
  EXPECT_EQ(m[2], QStringLiteral("message Tag Updated!"));
}

TEST_F(InfoWindow, SavingAShortFileDoesNothing) {
  st.SongPath = file(QStringLiteral("s.mp3"), QByteArray(200, 'x'));
  TrackInfoWindow w(g, st, desktop, {});
  w.saveTag();
  EXPECT_EQ(test::readBytes(st.SongPath), QByteArray(200, 'x'));
  EXPECT_TRUE(messages().isEmpty());
}

TEST_F(InfoWindow, CoverFromTheShownFields) {
  QImage img(8, 8, QImage::Format_RGB32);
  img.fill(Qt::red);
  ASSERT_TRUE(img.save(dir.filePath(QStringLiteral("Band - Disc.jpg"))));
  st.SongPath = dir.filePath(QStringLiteral("x.mp3"));
  g.Tag = test::makeTag(QStringLiteral("S"), QStringLiteral("Band"), QStringLiteral("Disc"));
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_FALSE(w.coverLabel->pixmap().isNull());
  w.albumEdit->clear();
  w.showCover();
  EXPECT_TRUE(w.coverLabel->pixmap().isNull());
}

TEST_F(WindowTest, CoverWindowKeepsASquareCentred) {
  CoverWindow w(QStringLiteral("Cover"), QString());
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Cover"));
  w.resize(400, 200);
  w.show();
  QApplication::processEvents();
  EXPECT_EQ(w.pictureLabel->geometry(), QRect(100, 0, 200, 200));
  w.resize(150, 300);
  QApplication::processEvents();
  EXPECT_EQ(w.pictureLabel->geometry(), QRect(0, 75, 150, 150));
  EXPECT_FALSE(w.setPicture(file(QStringLiteral("bad.jpg"), "not a picture")));
}

// Dialogs that answer from a queue; an empty answer is a cancel.
class ScriptedDialogs : public PlaylistDialogs {
 public:
  QStringList answers;
  QStringList titles;
  QString next(const QString &title) {
    titles << title;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
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
    store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("cantorel.conf")));
    settings = std::make_unique<Settings>(*store);
    folders = std::make_unique<Folders>(dir.filePath(QStringLiteral("user")), test::dataDir(), QString(),
                                        dir.filePath(QStringLiteral("cantorel.conf")));
    cmd = std::make_unique<PlaylistCommands>(nullptr, g, st, *settings, *folders, desktop, pl);
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    cmd->setDialogs(std::move(d));
    cmd->onChanged([this] { ++changes; });
  }
  Playlist pl;
  std::unique_ptr<SettingsStore> store;
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Folders> folders;
  std::unique_ptr<PlaylistCommands> cmd;
  ScriptedDialogs *dialogs = nullptr;
  int changes = 0;
};

TEST_F(Commands, LoadClearsFirstRemembersTheFolderAndCancelChangesNothing) {
  const QString list = file(QStringLiteral("lists/party.m3u"), "a.mp3\r\nb.mp3\r\n");
  pl.append(QStringLiteral("old"), QStringLiteral("/old.mp3"));
  cmd->PlLoad();  // cancelled
  EXPECT_EQ(pl.count(), 1);
  EXPECT_TRUE(settings->text(key::Path).isEmpty());
  g.ClearPLFirst = 1;
  dialogs->answers << list;
  cmd->PlLoad();
  EXPECT_EQ(pl.PlPath, (QStringList{dir.filePath(QStringLiteral("lists/a.mp3")),
                                    dir.filePath(QStringLiteral("lists/b.mp3"))}));
  EXPECT_EQ(pl.Name, QStringLiteral("party.m3u"));  // friendly names off
  EXPECT_EQ(settings->text(key::Path), dir.filePath(QStringLiteral("lists/")));
  EXPECT_EQ(dialogs->titles.last(), QStringLiteral("Load Playlist"));
  EXPECT_GT(changes, 0);
}

TEST_F(Commands, SaveWritesTheListAndNamesIt) {
  pl.append(QStringLiteral("a"), dir.filePath(QStringLiteral("a.mp3")));
  dialogs->answers << dir.filePath(QStringLiteral("mine"));
  g.FriendlyNames = 1;
  cmd->PlSave();
  EXPECT_EQ(test::readBytes(dir.filePath(QStringLiteral("mine.m3u"))), QByteArray("a.mp3\r\n"));
  EXPECT_EQ(pl.Name, QStringLiteral("mine"));
}

TEST_F(Commands, OpenedFileIsAddedAndDroppedFilesToo) {
  const QString song = file(QStringLiteral("01 - My_Song.mp3"), test::mp3Bytes());
  g.FriendlyNames = 1;
  g.ValidExt = QStringLiteral("mp3");
  st.TNum = 0;
  dialogs->answers << song;
  ASSERT_TRUE(cmd->OpenMediaFile());
  EXPECT_EQ(st.AddName, QStringLiteral("01 - My_Song.mp3"));
  EXPECT_EQ(st.AddTitle, QStringLiteral("My Song"));
  EXPECT_EQ(settings->text(key::Path), dir.path() + QLatin1Char('/'));
  cmd->PlAddOpened();
  EXPECT_EQ(pl.PlNames, QStringList{QStringLiteral("My Song")});
  EXPECT_EQ(st.TNum, 1);
  cmd->dropFiles({song, dir.path()});  // a file and a folder
  EXPECT_EQ(pl.count(), 3);
  EXPECT_FALSE(cmd->OpenMediaFile());  // cancelled
  EXPECT_TRUE(st.AddName.isEmpty());
}

TEST_F(Commands, MoveAndRemoveFollowTheSelection) {
  for (const char *n : {"a", "b", "c"}) pl.append(QString::fromLatin1(n), QString::fromLatin1(n));
  int selection = 2;
  cmd->onSelection([&] { return selection; }, [&](int i) { selection = i; });
  cmd->PlMoveEntry(+1);  // the last entry cannot move down
  EXPECT_EQ(pl.PlNames.join(QString()), QStringLiteral("abc"));
  cmd->PlMoveEntry(-1);
  EXPECT_EQ(pl.PlNames.join(QString()), QStringLiteral("acb"));
  EXPECT_EQ(selection, 1);
  selection = 2;
  cmd->PlRemoveSelected();
  EXPECT_EQ(pl.PlPath, (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
  EXPECT_EQ(selection, 1);
}

TEST_F(Commands, CoversGoToTheCoverAreaAndTheUnopenedCoverWindowClearingEmptiesBoth) {
  QList<bool> area;  // what the skin's cover area was given: a picture or none
  cmd->onCover([&](const QPixmap &p) { area << !p.isNull(); });
  QImage img(8, 8, QImage::Format_RGB32);
  img.fill(Qt::blue);
  const QString pic = dir.filePath(QStringLiteral("front.jpg"));
  ASSERT_TRUE(img.save(pic));
  cmd->LoadCover(pic);
  EXPECT_EQ(st.LastCover, pic);
  EXPECT_EQ(area, QList<bool>{true});
  EXPECT_FALSE(cmd->coverWindow()->isVisible());  // shown when the user opens it
  EXPECT_TRUE(cmd->coverWindow()->hasPicture());
  // A picture that does not decode leaves the shown one.
  cmd->LoadCover(file(QStringLiteral("broken.jpg"), "nope"));
  EXPECT_EQ(st.LastCover, pic);
  EXPECT_EQ(area.size(), 1);
  cmd->PlClear();
  EXPECT_TRUE(st.LastCover.isEmpty());
  EXPECT_EQ(area, (QList<bool>{true, false}));
  EXPECT_FALSE(cmd->coverWindow()->hasPicture());
  // Nothing found from the tag and no playlist picture: the shipped default.
  cmd->LoadTagCover(dir.path(), QStringLiteral("Nobody"), QStringLiteral("Nothing"));
  EXPECT_TRUE(st.LastCover.endsWith(QStringLiteral("nocover.bmp"))) << qPrintable(st.LastCover);
  EXPECT_TRUE(cmd->coverWindow()->hasPicture());
}

TEST_F(Commands, FilesDroppedOnTheMainWindowAreAdded) {
  g.ValidExt = QStringLiteral("mp3");
  const QString song = file(QStringLiteral("d/Tune.mp3"), test::mp3Bytes());
  MainWindow w(g, *settings, *folders);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(song), QUrl::fromLocalFile(dir.filePath(QStringLiteral("d"))),
                QUrl(QStringLiteral("https://not.a/file"))});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_EQ(w.playlist().PlPath, (QStringList{song, song}));
  EXPECT_EQ(w.findChild<QListWidget *>(QStringLiteral("PlNames"))->count(), 2);

  QMimeData text;
  text.setText(QStringLiteral("no files"));
  QDragEnterEvent none(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &none);
  EXPECT_FALSE(none.isAccepted());
}

}  // namespace
}  // namespace cantorel
