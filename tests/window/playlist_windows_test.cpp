// The file information window, the cover window and the playlist commands
// with their dialogs answered by the test (offscreen).
#include <QApplication>
#include <QBuffer>
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
  QStringList messages() const {
    return QString::fromUtf8(test::readAll(dir.filePath(S("desktop.log")))).split(u'\n', Qt::SkipEmptyParts);
  }
  QString file(const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(S(name)), bytes);
    return dir.filePath(S(name));
  }
  QString picture(const char *name) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    EXPECT_TRUE(img.save(dir.filePath(S(name))));
    return dir.filePath(S(name));
  }
  QByteArray oldRecord;
  QTemporaryDir dir;
  General g;
  MainState st;
  QtDesktopServices desktop;
};

using InfoWindow = WindowTest;

TEST_F(InfoWindow, ShowsTheTagRecordAndFollowsTheSongUntilEditing) {
  g.Tag = test::makeTag(S("Song"), S("Band"), S("Disc"), 5, 0);
  g.Tag.Found = true;
  g.Facts.tagKind = S("ID3v2.4");
  g.Facts.title = S("夜の歌");
  g.Facts.lengthMs = 205400;
  g.Facts.sampleRate = 44100;
  g.Facts.channels = 2;
  st.SongPath = S("/m/a.mp3");
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_EQ(w.titleEdit->text(), S("Song"));  // ID3v1, editable; the modern tag beside it
  EXPECT_EQ(w.modernTitleEdit->text(), S("夜の歌"));
  EXPECT_TRUE(w.modernTitleEdit->isReadOnly());
  EXPECT_EQ(w.streamFactsLabel->text(), S("3:25, 44.1 kHz, 2 channels"));
  EXPECT_EQ(w.trackEdit->text(), S("05"));
  EXPECT_EQ(w.genreCombo->currentText(), S("Blues"));
  EXPECT_TRUE(w.followTimer->isActive());

  g.Tag.clear();
  st.SongPath = S("/m/b.mp3");
  w.editCheck->setChecked(true);
  w.followPlayingFile();
  EXPECT_EQ(w.filePath(), S("/m/a.mp3"));  // editing: stays
  w.editCheck->setChecked(false);
  w.followPlayingFile();
  EXPECT_EQ(w.filePath(), S("/m/b.mp3"));
  EXPECT_EQ(w.trackEdit->text() + w.genreCombo->currentText(), S("Unknown"));  // no tag, no track number

  // A path too long for the field keeps both ends; the tip has it whole, as text.
  st.SongPath = S("/home/<b>me</b>/") + QString(300, u'x') + S("/last song.mp3");
  w.show();
  w.followPlayingFile();
  EXPECT_TRUE(w.fileNameValue->text().startsWith(S("/home/")));
  EXPECT_TRUE(w.fileNameValue->text().endsWith(S("song.mp3")));
  EXPECT_TRUE(w.fileNameValue->text().contains(QChar(0x2026)));
  EXPECT_EQ(QTextDocumentFragment::fromHtml(w.fileNameValue->toolTip()).toPlainText(), st.SongPath);
}

// The information window comes up beside the main window, never off the screen.
TEST(PlaceBeside, RightThenLeftThenInside) {
  const QRect screen(1920, 0, 1280, 1024);  // a second screen
  const struct {
    QRect main;
    QPoint at;
  } rows[] = {{{2000, 100, 300, 200}, {2308, 100}},   // room on the right
              {{2700, 100, 300, 200}, {2292, 100}},   // none on the right: left
              {{1920, 900, 1280, 200}, {2800, 724}},  // room on neither side, low on the screen
              {{2000, -50, 300, 200}, {2308, 0}}};    // above the screen's top
  for (const auto &r : rows)
    EXPECT_EQ(PlaceBeside(r.main, QSize(400, 300), screen), r.at) << r.main.x() << "," << r.main.y();
}

// Saving needs editing switched on; a track number past 255 or a file too
// short for a tag is refused and the file stays. (How the playing song is let
// go and resumed is checked on the main window.)
TEST_F(InfoWindow, SaveAddsThenUpdatesAndRefusesWhatItCannotWrite) {
  g.Messages[52] = S("Tag");
  const QByteArray audio = test::mp3Bytes(600);
  st.SongPath = file("s.mp3", audio);
  st.Playing = -1;
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_FALSE(w.saveButton->isEnabled());
  w.editCheck->setChecked(true);
  EXPECT_TRUE(w.saveButton->isEnabled());
  w.titleEdit->setText(S("New title"));
  w.trackEdit->setText(S("300"));
  w.saveTag();
  EXPECT_EQ(test::readAll(st.SongPath), audio);

  w.trackEdit->setText(S("12"));
  w.genreCombo->setCurrentIndex(0);
  w.saveTag();
  w.saveTag();
  const Mp3Info info = ReadMp3Info(st.SongPath);
  EXPECT_EQ(info.Tag.Title.trimmed(), S("New title"));
  EXPECT_EQ(info.Tag.Track, 12);
  EXPECT_EQ(info.Tag.Genre, 254);
  EXPECT_EQ(g.Tag.Title.trimmed(), S("New title"));
  const QStringList m = messages();
  ASSERT_EQ(m.size(), 3);
  EXPECT_TRUE(m[0].contains(S("255")));
  EXPECT_EQ(m.mid(1), (QStringList{S("message Tag Added!"), S("message Tag Updated!")}));

  st.SongPath = file("short.mp3", QByteArray(200, 'x'));
  w.editCheck->setChecked(false);
  w.followPlayingFile();
  w.editCheck->setChecked(true);
  w.saveTag();
  EXPECT_EQ(test::readAll(st.SongPath), QByteArray(200, 'x'));
  EXPECT_EQ(messages().size(), 3);
}

TEST_F(InfoWindow, CoverFromTheSongsTagThenTheShownFields) {
  const QString jpg = picture("Band - Disc.jpg");
  st.SongPath = dir.filePath(S("x.mp3"));
  g.Tag = test::makeTag(S("S"), S("Band"), S("Disc"));
  TrackInfoWindow w(g, st, desktop, {});
  EXPECT_FALSE(w.coverLabel->pixmap().isNull());
  w.albumEdit->clear();
  w.showCover();
  EXPECT_TRUE(w.coverLabel->pixmap().isNull());
  g.Facts.pictures.append(EmbeddedPicture{test::readAll(jpg), S("image/jpeg"), 3});
  w.showCover();
  EXPECT_FALSE(w.coverLabel->pixmap().isNull());
}

TEST_F(WindowTest, CoverWindowKeepsASquareCentred) {
  CoverWindow w(S("Cover"), QString());
  w.resize(400, 200);
  w.show();
  QApplication::processEvents();
  EXPECT_EQ(w.pictureLabel->geometry(), QRect(100, 0, 200, 200));
  w.resize(150, 300);
  QApplication::processEvents();
  EXPECT_EQ(w.pictureLabel->geometry(), QRect(0, 75, 150, 150));
  EXPECT_FALSE(w.setPicture(file("bad.jpg", "not a picture")));
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
    cmd = std::make_unique<PlaylistCommands>(nullptr, g, st, settings, folders, desktop, pl);
    auto d = std::make_unique<ScriptedDialogs>();
    dialogs = d.get();
    cmd->setDialogs(std::move(d));
    cmd->onChanged([this] { ++changes; });
  }
  Playlist pl;
  SettingsStore store{dir.filePath(S("cantorel.conf"))};
  Settings settings{store};
  Folders folders{dir.filePath(S("user")), test::dataDir(), QString(), dir.filePath(S("cantorel.conf"))};
  std::unique_ptr<PlaylistCommands> cmd;
  ScriptedDialogs *dialogs = nullptr;
  int changes = 0;
};

TEST_F(Commands, LoadClearsFirstRemembersTheFolderAndCancelChangesNothing) {
  const QString list = file("lists/party.m3u", "a.mp3\r\nb.mp3\r\n");
  pl.append(S("old"), S("/old.mp3"));
  cmd->PlLoad();  // cancelled
  EXPECT_EQ(pl.count(), 1);
  EXPECT_TRUE(settings.text(key::Path).isEmpty());
  g.ClearPLFirst = 1;
  dialogs->answers << list;
  cmd->PlLoad();
  EXPECT_EQ(pl.PlPath, (QStringList{dir.filePath(S("lists/a.mp3")), dir.filePath(S("lists/b.mp3"))}));
  EXPECT_EQ(pl.Name, S("party.m3u"));  // friendly names off
  EXPECT_EQ(settings.text(key::Path), dir.filePath(S("lists/")));
  EXPECT_EQ(dialogs->titles.last(), S("Load Playlist"));
  EXPECT_GT(changes, 0);

  dialogs->answers << dir.filePath(S("mine"));
  g.FriendlyNames = 1;
  cmd->PlSave();
  EXPECT_EQ(test::readAll(dir.filePath(S("mine.m3u"))), QByteArray("lists/a.mp3\r\nlists/b.mp3\r\n"));
  EXPECT_EQ(pl.Name, S("mine"));
}

TEST_F(Commands, OpenedFileIsAddedAndTheSelectionFollowsEdits) {
  const QString song = file("01 - My_Song.mp3", test::mp3Bytes());
  g.FriendlyNames = 1;
  g.ValidExt = S("mp3");
  st.TNum = 0;
  dialogs->answers << song;
  ASSERT_TRUE(cmd->OpenMediaFile());
  EXPECT_EQ(st.AddName, S("01 - My_Song.mp3"));
  EXPECT_EQ(settings.text(key::Path), dir.path() + QLatin1Char('/'));
  cmd->PlAddOpened();
  EXPECT_EQ(pl.PlNames, QStringList{S("My Song")});
  EXPECT_EQ(st.TNum, 1);
  EXPECT_FALSE(cmd->OpenMediaFile());  // cancelled
  EXPECT_TRUE(st.AddName.isEmpty());

  for (const char *n : {"b", "c"}) pl.append(S(n), S(n));
  int selection = 2;
  cmd->onSelection([&] { return selection; }, [&](int i) { selection = i; });
  cmd->PlMoveEntry(-1);
  EXPECT_EQ(pl.PlPath.mid(1), (QStringList{S("c"), S("b")}));
  EXPECT_EQ(selection, 1);
  selection = 2;  // the last entry
  cmd->PlRemoveSelected();
  EXPECT_EQ(pl.PlPath.mid(1), QStringList{S("c")});
  EXPECT_EQ(selection, 1);
}

TEST_F(Commands, CoversGoToTheCoverAreaAndTheUnopenedCoverWindowClearingEmptiesBoth) {
  QList<bool> area;  // what the skin's cover area was given: a picture or none
  cmd->onCover([&](const QPixmap &p) { area << !p.isNull(); });
  const QString pic = picture("front.jpg");
  cmd->LoadCover(pic);
  EXPECT_EQ(st.LastCover, pic);
  EXPECT_EQ(area, QList<bool>{true});
  EXPECT_FALSE(cmd->coverWindow()->isVisible());  // shown when the user opens it
  EXPECT_TRUE(cmd->coverWindow()->hasPicture());
  // A picture that does not decode leaves the shown one.
  cmd->LoadCover(file("broken.jpg", "nope"));
  EXPECT_EQ(st.LastCover, pic);
  EXPECT_EQ(area.size(), 1);
  cmd->PlClear();
  EXPECT_TRUE(st.LastCover.isEmpty());
  EXPECT_EQ(area, (QList<bool>{true, false}));
  EXPECT_FALSE(cmd->coverWindow()->hasPicture());
  // Nothing found from the tag and no playlist picture: the shipped default.
  cmd->LoadTagCover(dir.path(), S("Nobody"), S("Nothing"));
  EXPECT_TRUE(st.LastCover.endsWith(S("nocover.bmp"))) << qPrintable(st.LastCover);
  EXPECT_TRUE(cmd->coverWindow()->hasPicture());
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
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_EQ(w.playlist().PlPath, (QStringList{song, song}));
  EXPECT_EQ(w.findChild<QListWidget *>(S("PlNames"))->count(), 2);

  QMimeData text;
  text.setText(S("no files"));
  QDragEnterEvent none(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &none);
  EXPECT_FALSE(none.isAccepted());
}

}  // namespace
}  // namespace cantorel
