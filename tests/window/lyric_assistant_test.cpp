// The lyric assistant's two windows (offscreen), driven as a user would:
// lines typed or loaded, timed against a real song played through the
// transport and the null audio sink, corrected and saved.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include <cmath>
#include <functional>

#include "core/general.h"
#include "core/main_state.h"
#include "core/text_codec.h"
#include "e2e/media_files.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_assistant_window.h"
#include "lyrics/lyric_file.h"
#include "platform/desktop_services_gui.h"
#include "playback/transport.h"
#include "playlist/paths.h"
#include "playlist/playlist.h"
#include "playlist/playlist_commands_gui.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

void ensureApp() { test::ensureApp(); }

// File dialogs answered by the test, in order; an empty answer cancels.
class AnsweringDialogs : public PlaylistDialogs {
 public:
  QString openFile(const QString &title, const QString &filter, const QString &folder, int *) override {
    asked << title + u'|' + filter + u'|' + folder;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
  QString saveFile(const QString &, const QString &, const QString &) override { return QString(); }
  QString folder(const QString &) override { return QString(); }
  QStringList answers;
  QStringList asked;
};

class LyricAssistant : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApp();
    oldRecord = qgetenv("CANTOREL_RECORD_DESKTOP");
    qputenv("CANTOREL_RECORD_DESKTOP", dir.filePath(QStringLiteral("desktop.log")).toUtf8());
    // The shipped English texts.
    const QStringList lines =
        splitLines(decodeText(test::readAll(test::dataDir() + QStringLiteral("/messages_ENGLISH.txt"))));
    for (int n = 1; n < General::kMessageCount && n <= lines.size(); ++n)
      g.Messages[static_cast<size_t>(n)] = lines[n - 1];
    g.Path = dir.path();
    // Named as an MPEG file: only those keep the tag set below while they
    // play (the player clears it for files whose tag it does not read).
    // GStreamer finds the WAV inside by its content.
    song = dir.filePath(QStringLiteral("Luna song.mp3"));
    test::writeAll(song, test::makeWav(4.0, 8000, 1));
    pl.append(QStringLiteral("Luna"), song);
    st.TNum = 1;
    st.SongPath = song;
    g.Tag.setArtist(QStringLiteral("Ana"));
    g.Tag.setTitle(QStringLiteral("Luna"));
    g.SongTag = g.Tag;  // what the song is shown and its lyric named by
  }
  void TearDown() override { qputenv("CANTOREL_RECORD_DESKTOP", oldRecord); }

  QStringList messages() const {
    const QString log = QString::fromUtf8(test::readAll(dir.filePath(QStringLiteral("desktop.log"))));
    return log.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QString msgText(int n) const { return g.message(n); }
  QString file(const QString &name, const QByteArray &bytes) {
    const QString p = dir.filePath(name);
    test::writeAll(p, bytes);
    return p;
  }
  static QStringList items(const QListWidget *l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
  }
  static void press(QWidget *w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
  }
  // A key pressed and let go on a widget, as the keyboard sends it: the
  // shortcut check first, then the press and the release.
  static void type(QWidget *w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, bool repeat = false) {
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent over(QEvent::ShortcutOverride, key, mods, text, repeat);
    QApplication::sendEvent(w, &over);
    QKeyEvent down(QEvent::KeyPress, key, mods, text, repeat);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text, repeat);
    QApplication::sendEvent(w, &up);
  }
  double position() const { return g.Player ? g.Player->value("GetCurrentPosition").toDouble() : -1; }
  // The elapsed time as the main window's label shows it.
  QString elapsed() { return st.Playing ? transport.ElapsedText() : QString(); }
  // Lets events run until the label shows `text`; false after 5 s.
  bool waitForTime(const QString &text) {
    QElapsedTimer t;
    t.start();
    // The main window's timer keeps the elapsed time as the player reports it.
    while ((st.Elapsed = position(), elapsed() != text)) {
      if (t.elapsed() > 5000) return false;
      QCoreApplication::processEvents();
      QThread::msleep(5);
    }
    return true;
  }

  QByteArray oldRecord;
  QTemporaryDir dir;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{qEnvironmentVariable("CANTOREL_PLUGIN_DIR")};
  TransportHost transportHost;
  Transport transport{g, st, pl, plugins, transportHost};
  QtDesktopServices desktop;
  AnsweringDialogs dialogs;
  int keptBelow = 0;
  QStringList remembered;
  QString song;
  AssistantHost host{g,
                     st,
                     lyric,
                     transport,
                     desktop,
                     dialogs,
                     [this] { ++keptBelow; },
                     [] { return false; },
                     [this](const QString &folder) { remembered << folder; }};
};

TEST_F(LyricAssistant, WholeTimingRun) {
  plugins.ScanInputPlugins(g);
  ASSERT_FALSE(g.InputPluginTable.isEmpty());

  // Text step: a plain text file, then a line by Enter that is deleted again.
  LyricTextDialog text(host);
  EXPECT_EQ(text.lyricList->count(), 0);
  EXPECT_FALSE(text.saveAndTimeButton->isEnabled());
  dialogs.answers << file(QStringLiteral("luna.txt"), "  One\r\n\r\n   \r\nTwo\r\nThree");
  text.loadTextButton->click();
  EXPECT_EQ(dialogs.asked.value(0),
            QStringLiteral("Open TXT file|TXT Files|*.TXT|All Files|*.*|") + dir.path());
  EXPECT_EQ(remembered, QStringList{DirPart(dir.filePath(QStringLiteral("luna.txt")))});
  EXPECT_EQ(items(text.lyricList),
            (QStringList{QStringLiteral("  One"), QStringLiteral("Two"), QStringLiteral("Three")}));
  EXPECT_EQ(items(text.timeList), QStringList(3, QStringLiteral("0:00")));
  EXPECT_TRUE(text.saveAndTimeButton->isEnabled());
  text.lyricEdit->setText(QStringLiteral("Four"));
  press(text.lyricEdit, Qt::Key_Return);
  EXPECT_EQ(text.lyricList->count(), 4);
  EXPECT_TRUE(text.lyricEdit->text().isEmpty());
  text.timeList->setCurrentRow(3);  // a click in either list selects the entry in both
  EXPECT_EQ(text.lyricList->currentRow(), 3);
  text.deleteButton->click();
  EXPECT_EQ(text.lyricList->count(), 3);

  text.saveAndTimeButton->click();
  ASSERT_TRUE(text.goToTiming());
  const QString lyricFile = dir.filePath(QStringLiteral("Ana - Luna.qvl"));
  EXPECT_EQ(g.LastLyricFile, lyricFile);
  EXPECT_EQ(test::readAll(lyricFile),
            QByteArray("(QVL)\r\n  One\r\n0:00\r\nTwo\r\n0:00\r\nThree\r\n0:00\r\n"));
  EXPECT_EQ(lyric.PlLyrics.size(), 3);

  // Timing step: play, mark three lines as the song reaches them.
  st.TimeFlag = -1;  // remaining time shown: the timing step switches to elapsed
  LyricTimingDialog timing(host);
  EXPECT_EQ(st.TimeFlag, 0);
  EXPECT_EQ(timing.lyricEdit->text(), QStringLiteral("  One"));
  EXPECT_FALSE(timing.markButton->isEnabled());
  EXPECT_FALSE(timing.finishButton->isEnabled());
  EXPECT_EQ(timing.playButton->text(), msgText(msg::AssistantPlay));
  timing.playButton->click();
  EXPECT_EQ(timing.playButton->text(), msgText(msg::AssistantPause));
  ASSERT_TRUE(st.Playing);
  // Marked at once, before any tick showed a time: the player's position.
  timing.markButton->click();
  EXPECT_EQ(timing.recorded().times.value(0), QStringLiteral("0:00"));
  EXPECT_TRUE(timing.finishButton->isEnabled());
  EXPECT_EQ(timing.lyricEdit->text(), QStringLiteral("Two"));
  EXPECT_EQ(timing.lyricList->currentRow(), 0);

  // Pause and resume on the way.
  timing.playButton->click();
  EXPECT_EQ(timing.playButton->text(), msgText(msg::AssistantResume));
  EXPECT_FALSE(timing.markButton->isEnabled());
  timing.playButton->click();
  EXPECT_EQ(timing.playButton->text(), msgText(msg::AssistantPause));
  EXPECT_TRUE(timing.markButton->isEnabled());

  ASSERT_TRUE(waitForTime(QStringLiteral("0:01")));
  timing.markButton->click();
  ASSERT_TRUE(waitForTime(QStringLiteral("0:02")));
  timing.markButton->click();
  // The last line: playback stops, nothing is left to mark.
  EXPECT_FALSE(st.Playing);
  EXPECT_TRUE(timing.lyricEdit->text().isEmpty());
  EXPECT_FALSE(timing.markButton->isEnabled());
  EXPECT_EQ(items(timing.timeList),
            (QStringList{QStringLiteral("0:00"), QStringLiteral("0:01"), QStringLiteral("0:02")}));

  // Correct the second time: five characters are refused, 9:75 is taken.
  timing.lyricList->setCurrentRow(1);
  timing.editButton->click();
  EXPECT_EQ(timing.lyricEdit->text(), QStringLiteral("Two"));
  EXPECT_EQ(timing.timeEdit->text(), QStringLiteral("0:01"));
  EXPECT_EQ(timing.markButton->text(), msgText(msg::AssistantApply));
  EXPECT_FALSE(timing.lyricList->isEnabled());
  timing.timeEdit->setText(QStringLiteral("10:05"));
  timing.markButton->click();
  EXPECT_EQ(messages().value(0), QStringLiteral("message ") + msgText(msg::AssistantBadTime));
  EXPECT_EQ(timing.recorded().times.value(1), QStringLiteral("0:01"));
  EXPECT_EQ(timing.markButton->text(), msgText(msg::AssistantApply));
  timing.timeEdit->setText(QStringLiteral("9:75"));
  timing.markButton->click();
  EXPECT_EQ(items(timing.timeList),
            (QStringList{QStringLiteral("0:00"), QStringLiteral("9:75"), QStringLiteral("0:02")}));
  EXPECT_EQ(timing.markButton->text(), msgText(msg::AssistantEdit));
  EXPECT_FALSE(timing.markButton->isEnabled());
  EXPECT_TRUE(timing.lyricList->isEnabled());
  EXPECT_EQ(timing.lyricList->currentRow(), -1);

  timing.finishButton->click();
  EXPECT_EQ(timing.writtenFile(), lyricFile);
  EXPECT_EQ(test::readAll(lyricFile),
            QByteArray("(QVL)\r\n  One\r\n0:00\r\nTwo\r\n9:75\r\nThree\r\n0:02\r\n"));
  EXPECT_EQ(lyric.PlTimes,
            (QStringList{QStringLiteral("0:00"), QStringLiteral("9:75"), QStringLiteral("0:02")}));
  EXPECT_EQ(messages().size(), 1);
  transport.CleanUP();
}

// The timing step from the keyboard: Space marks wherever the focus is
// (never also pressing a focused button), Backspace and Ctrl+Z take marks
// back and go back three seconds, the speed slider sets the rate.
TEST_F(LyricAssistant, TimingKeysMarkUndoAndSetTheSpeed) {
  plugins.ScanInputPlugins(g);
  test::writeAll(song, test::makeWav(8.0, 8000, 1));
  st.Sliders[5].Value = 0.5;
  lyric.PlLyrics = {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")};
  g.LastLyricFile =
      file(QStringLiteral("keys.qvl"), "(QVL)\r\nOne\r\n0:00\r\nTwo\r\n0:00\r\nThree\r\n0:00\r\n");
  LyricTimingDialog w(host);
  EXPECT_TRUE(w.keysLabel->text().contains(QLatin1String("Space")));
  EXPECT_TRUE(w.keysLabel->text().contains(QLatin1String("Ctrl+Z")));
  EXPECT_EQ(w.rateSlider->value(), 100);

  // Before playing there is nothing to mark, and the focused play button is
  // not pressed by the key either; Enter presses it.
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(w.playButton->text(), msgText(msg::AssistantPlay));
  type(w.playButton, Qt::Key_Return);
  ASSERT_TRUE(st.Playing);

  // Marks from the focused play button (still playing after it), from the
  // list and from the slider; a held key marks once.
  ASSERT_TRUE(waitForTime(QStringLiteral("0:00")));
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(w.recorded().count(), 1);
  EXPECT_EQ(st.Paused, 0);
  EXPECT_EQ(w.playButton->text(), msgText(msg::AssistantPause));
  type(w.lyricList, Qt::Key_Space, Qt::NoModifier, true);
  EXPECT_EQ(w.recorded().count(), 1);
  ASSERT_TRUE(waitForTime(QStringLiteral("0:04")));
  type(w.rateSlider, Qt::Key_Space);
  EXPECT_EQ(items(w.lyricList), (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
  EXPECT_EQ(items(w.timeList), (QStringList{QStringLiteral("0:00"), QStringLiteral("0:04")}));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Three"));

  // Backspace: "Two" is the next line again, three seconds back.
  type(w.lyricList, Qt::Key_Backspace);
  EXPECT_EQ(items(w.lyricList), QStringList{QStringLiteral("One")});
  EXPECT_EQ(w.lyricList->currentRow(), 0);
  EXPECT_EQ(w.markCursor(), 1);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Two"));
  EXPECT_LT(position(), 2.6);
  EXPECT_TRUE(w.finishButton->isEnabled());
  // Ctrl+Z: nothing recorded any more, nothing to finish with.
  st.Elapsed = position();
  type(w.markButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 0);
  EXPECT_EQ(w.markCursor(), 0);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("One"));
  EXPECT_FALSE(w.finishButton->isEnabled());
  EXPECT_LT(position(), 1.0);
  EXPECT_TRUE(w.markButton->isEnabled());

  // All three marked: playback stops. Taking the last back plays on from
  // three seconds before, ready to mark it again.
  for (int i = 0; i < 3; ++i) type(w.markButton, Qt::Key_Space);
  EXPECT_EQ(st.Playing, 0);
  EXPECT_FALSE(w.markButton->isEnabled());
  type(w.timeList, Qt::Key_Backspace);
  EXPECT_EQ(st.Playing, -1);
  EXPECT_EQ(w.recorded().count(), 2);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Three"));
  EXPECT_TRUE(w.markButton->isEnabled());
  type(w.markButton, Qt::Key_Space);
  EXPECT_EQ(w.recorded().count(), 3);
  EXPECT_EQ(st.Playing, 0);

  // While an entry is edited its fields keep their keys, and marks cannot
  // be taken back.
  w.lyricList->setCurrentRow(0);
  w.editButton->click();
  w.timeEdit->setText(QStringLiteral("0:01"));
  type(w.timeEdit, Qt::Key_Backspace);
  type(w.timeEdit, Qt::Key_Z, Qt::ControlModifier);
  type(w.cancelEditButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 3);
  type(w.lyricEdit, Qt::Key_Space);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("One "));

  // The speed: as the main window's slider 5 (value = rate - 0.5).
  w.rateSlider->setValue(75);
  EXPECT_DOUBLE_EQ(st.Sliders[5].Value, 0.25);
  EXPECT_EQ(w.rateLabel->text(), QStringLiteral("75%"));
  transport.CleanUP();
}

TEST_F(LyricAssistant, CaptionsComeFromTheMessagesAsPlainText) {
  for (int n = 5; n <= 68; ++n) g.Messages[static_cast<size_t>(n)] = QStringLiteral("<b>m%1</b>").arg(n);
  auto m = [](int n) { return QStringLiteral("<b>m%1</b>").arg(n); };
  LyricTextDialog a(host);
  EXPECT_EQ(a.windowTitle(), m(7));
  const QPushButton *textButtons[] = {a.addButton, a.deleteButton, a.loadTextButton, a.modifyButton,
                                      a.closeButton, a.saveAndTimeButton, a.importButton};
  const int textCaptions[] = {16, 17, 36, 18, 15, 19, 68};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(textButtons[i]->text(), m(textCaptions[i])) << i;
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(a.helpLabels[static_cast<size_t>(i)]->text(), m(7 + i));
    EXPECT_EQ(a.helpLabels[static_cast<size_t>(i)]->textFormat(), Qt::PlainText);
  }
  EXPECT_FALSE(a.clearButton->text().isEmpty());

  LyricTimingDialog b(host);
  EXPECT_EQ(b.windowTitle(), m(20));
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(b.helpLabels[static_cast<size_t>(i)]->text(), m(21 + i));
    EXPECT_EQ(b.helpLabels[static_cast<size_t>(i)]->textFormat(), Qt::PlainText);
  }
  EXPECT_EQ(b.playButton->text(), m(28));
  EXPECT_EQ(b.cancelEditButton->text(), m(29));
  EXPECT_EQ(b.markButton->text(), m(30));
  EXPECT_EQ(b.editButton->text(), m(31));
  EXPECT_EQ(b.finishButton->text(), m(32));

  // Activating either window keeps the main window off the top layer.
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&a, &activate);
  QApplication::sendEvent(&b, &activate);
  EXPECT_EQ(keptBelow, 2);
}

TEST_F(LyricAssistant, OpensWithTheLyricFoundForTheSongOnly) {
  struct Case {
    QStringList texts, times;
    int shown;
    QStringList plain;  // untimed text found online
  };
  const QStringList plain{QStringLiteral("x"), QString(), QStringLiteral("y")};
  const Case cases[] = {
      {{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("0:05"), QStringLiteral("0:09")}, 2, plain},
      {{msgText(msg::LyricNotFound)}, {}, 0, {}},   // no lyric found
      {{msgText(msg::LyricEmptyText)}, {}, 0, {}},  // the song's lyric file was damaged
      {{}, {}, 0, {}},
      {plain, {}, 2, plain},  // offered without its blank line
  };
  for (const Case &c : cases) {
    lyric.PlLyrics = c.texts;
    lyric.PlTimes = c.times;
    host.g.PlainLyric = c.plain;
    LyricTextDialog w(host);
    EXPECT_EQ(w.lyricList->count(), c.shown);
    EXPECT_EQ(w.saveAndTimeButton->isEnabled(), c.shown > 0);
    if (!c.times.isEmpty())
      EXPECT_EQ(items(w.timeList), c.times);
    else
      EXPECT_TRUE(lyric.PlLyrics.isEmpty());
  }
  host.g.PlainLyric.clear();
}

TEST_F(LyricAssistant, TextStepEditing) {
  LyricTextDialog w(host);
  w.addButton->click();  // empty line
  w.deleteButton->click();  // nothing selected
  w.modifyButton->click();  // nothing selected
  EXPECT_EQ(messages(), (QStringList{QStringLiteral("message ") + msgText(msg::AssistantEmptyLine),
                                     QStringLiteral("message ") + msgText(msg::AssistantNothingToDelete),
                                     QStringLiteral("message ") + msgText(msg::AssistantNothingToModify)}));
  for (const char *t : {"a", "c"}) {
    w.lyricEdit->setText(QLatin1String(t));
    w.addButton->click();
  }
  // Inserting before the selected entry.
  w.lyricList->setCurrentRow(1);
  w.lyricEdit->setText(QStringLiteral("b"));
  press(w.lyricEdit, Qt::Key_Enter);
  EXPECT_EQ(items(w.lyricList), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
  EXPECT_EQ(w.lyricList->currentRow(), -1);

  // Modify: apply mode with the lists locked; an empty time becomes the placeholder.
  w.lyricList->setCurrentRow(2);
  w.modifyButton->click();
  EXPECT_TRUE(w.modifying());
  EXPECT_EQ(w.addButton->text(), msgText(msg::AssistantApply));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("c"));
  EXPECT_FALSE(w.lyricList->isEnabled());
  w.lyricEdit->setText(QStringLiteral("C"));
  w.timeEdit->setText(QStringLiteral("1:02"));
  w.addButton->click();
  EXPECT_EQ(w.lines().texts.value(2), QStringLiteral("C"));
  EXPECT_EQ(w.lines().times.value(2), QStringLiteral("1:02"));
  EXPECT_EQ(w.addButton->text(), msgText(msg::AssistantAdd));
  EXPECT_TRUE(w.lyricList->isEnabled());
  EXPECT_FALSE(w.closeButton->isEnabled());  // the close button stays off after a modification
  w.lyricList->setCurrentRow(0);
  w.modifyButton->click();
  w.timeEdit->clear();
  press(w.lyricEdit, Qt::Key_Return);
  EXPECT_EQ(w.lines().times.value(0), QStringLiteral("0:00"));
  // Modifying an entry deleted meanwhile changes nothing.
  w.lyricList->setCurrentRow(1);
  w.modifyButton->click();
  w.clearButton->click();
  EXPECT_FALSE(w.saveAndTimeButton->isEnabled());
  w.addButton->click();
  EXPECT_EQ(w.lines().count(), 0);
  EXPECT_FALSE(w.modifying());
}

TEST_F(LyricAssistant, ImportCopiesBesideTheSongAndLoadsIt) {
  const QByteArray good = "(QVL)\r\nHola\r\n0:03\r\n";
  const QString chosen = file(QStringLiteral("elsewhere.qvl"), good);
  const QString target = dir.filePath(QStringLiteral("Luna song.qvl"));
  // A file that is not a timed lyric replaces nothing.
  test::writeAll(target, "(QVL)\r\nold\r\n0:01\r\n");
  dialogs.answers << file(QStringLiteral("bad.qvl"), "not a lyric\r\n");
  LyricTextDialog w(host);
  w.importButton->click();
  EXPECT_EQ(messages().value(0), QStringLiteral("message ") + msgText(msg::LyricBadHeader));
  EXPECT_EQ(test::readAll(target), QByteArray("(QVL)\r\nold\r\n0:01\r\n"));

  dialogs.answers << chosen;
  w.importButton->click();
  EXPECT_TRUE(dialogs.asked.value(1).startsWith(
      QStringLiteral("Open TXT file|QVL Files|*.QVL|LRC Files|*.LRC|All Files|*.*|")));
  EXPECT_EQ(test::readAll(target), good);
  EXPECT_EQ(lyric.PlLyrics, QStringList{QStringLiteral("Hola")});
  EXPECT_EQ(lyric.PlTimes, QStringList{QStringLiteral("0:03")});
  EXPECT_FALSE(w.goToTiming());
  EXPECT_EQ(w.result(), QDialog::Rejected);
}

// An LRC file imported in the text step becomes the song's lyric in our own
// format; timed again, "Finish" saves both forms, and importing the LRC it
// wrote gives back every line and time.
TEST_F(LyricAssistant, LrcImportAndFinishSavesBothForms) {
  plugins.ScanInputPlugins(g);
  const QString target = dir.filePath(QStringLiteral("Luna song.qvl"));
  test::writeAll(target, "(QVL)\r\nold\r\n0:01\r\n");
  {
    // Not an LRC (no timed line): reported, nothing replaced.
    dialogs.answers << file(QStringLiteral("empty.lrc"), "[ar:Ana]\n[ti:Luna]\n");
    LyricTextDialog w(host);
    int closed = 0;
    QObject::connect(&w, &QDialog::finished, [&closed] { ++closed; });
    w.importButton->click();
    EXPECT_EQ(messages().value(0), QStringLiteral("message ") + msgText(msg::LyricNotFound));
    EXPECT_EQ(test::readAll(target), QByteArray("(QVL)\r\nold\r\n0:01\r\n"));
    EXPECT_EQ(closed, 0) << "the text step stays open";
  }
  // An LRC under another name is known by its content; word stamps go,
  // several stamps make several entries, ordered by time.
  const QByteArray lrc = "[ti:Luna]\r\n[00:07.10][00:01.20]Hola <00:01.80>mundo\r\n[00:04.00]Adios\r\n";
  for (const QString &name : {QStringLiteral("luna.lrc"), QStringLiteral("luna.txt")}) {
    dialogs.answers << file(name, lrc);
    LyricTextDialog w(host);
    int closed = 0;
    QObject::connect(&w, &QDialog::finished, [&closed] { ++closed; });
    w.importButton->click();
    EXPECT_EQ(test::readAll(target),
              QByteArray("(QVL)\r\nHola mundo\r\n0:01\r\nAdios\r\n0:04\r\nHola mundo\r\n0:07\r\n"))
        << name.toStdString();
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(lyric.PlTimes,
              (QStringList{QStringLiteral("0:01"), QStringLiteral("0:04"), QStringLiteral("0:07")}));
  }
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("luna.lrc"))), lrc) << "the LRC file is left as it is";

  // The assistant opens with the imported lines; they are timed again and
  // saved in both forms.
  LyricTextDialog text(host);
  EXPECT_EQ(items(text.lyricList), (QStringList{QStringLiteral("Hola mundo"), QStringLiteral("Adios"),
                                            QStringLiteral("Hola mundo")}));
  text.saveAndTimeButton->click();
  ASSERT_TRUE(text.goToTiming());
  LyricTimingDialog timing(host);
  EXPECT_FALSE(timing.saveLrcCheck->isChecked());
  timing.playButton->click();
  // Marks a little after each whole second: the LRC form keeps the position
  // of the press to the centisecond, our own form the second shown.
  QList<QPair<qint64, qint64>> pressed;  // the position just before and after each press
  for (double at : {0.1, 1.1, 2.1}) {
    QElapsedTimer t;
    t.start();
    while (position() < at && t.elapsed() < 5000) {
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
    st.Elapsed = position();
    const qint64 before = std::llround(position() * 1000);
    timing.markButton->click();
    pressed.append({before, std::llround(position() * 1000)});
  }
  timing.saveLrcCheck->setChecked(true);
  g.SubmitLyric = 1;  // asked for, with no address to send it to
  timing.finishButton->click();
  const QString qvl = dir.filePath(QStringLiteral("Ana - Luna.qvl"));
  const QString saved = dir.filePath(QStringLiteral("Ana - Luna.lrc"));
  EXPECT_EQ(timing.writtenFile(), qvl);
  EXPECT_EQ(timing.writtenLrcFile(), saved);
  const QByteArray body = "Hola mundo\r\n0:00\r\nAdios\r\n0:01\r\nHola mundo\r\n0:02\r\n";
  EXPECT_EQ(test::readAll(qvl), "(QVL)\r\n" + body);
  const QList<QByteArray> lrcLines = test::readAll(saved).split('\n');
  ASSERT_EQ(lrcLines.size(), 6);
  EXPECT_EQ(lrcLines.mid(0, 2), (QList<QByteArray>{"[ti:Luna]", "[ar:Ana]"}));
  for (int k = 0; k < 3; ++k) {
    const QByteArray &line = lrcLines[k + 2];
    EXPECT_TRUE(line.endsWith(k == 1 ? "]Adios" : "]Hola mundo")) << line.constData();
    const qint64 ms = line.mid(1, 2).toLongLong() * 60000 + line.mid(4, 2).toLongLong() * 1000 +
                      line.mid(7, 2).toLongLong() * 10;
    EXPECT_GE(ms, pressed[k].first - 10) << line.constData();
    EXPECT_LE(ms, pressed[k].second) << line.constData();
  }
  EXPECT_EQ(messages().value(1),
            QStringLiteral("message The lyric was not sent: there is no lyric service to send it to."));
  EXPECT_EQ(messages().size(), 2);

  // Back again: the LRC just written gives the same lines and times.
  dialogs.answers << saved;
  LyricTextDialog again(host);
  again.importButton->click();
  EXPECT_EQ(test::readAll(target), "(QVL)\r\n" + body);
  transport.CleanUP();
}

TEST_F(LyricAssistant, TimingEditNeedsASelectedLine) {
  lyric.PlLyrics = {QStringLiteral("x")};
  g.LastLyricFile = file(QStringLiteral("broken.qvl"), "(QVL)\r\nx\r\n\r\n");
  LyricTimingDialog w(host);
  // The reload of a damaged file is reported; marking goes on from the lines.
  EXPECT_EQ(messages().value(0), QStringLiteral("message ") + msgText(msg::LyricEmptyTime));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("x"));
  w.editButton->click();
  EXPECT_EQ(messages().value(1), QStringLiteral("message ") + msgText(msg::AssistantNothingToEdit));
}

// The command as the main window runs it: both steps modal, one after the
// other, then the song starts again with the lyric just written.
TEST_F(LyricAssistant, ShowLyricAssistantRunsBothStepsThenRestartsTheSong) {
  plugins.ScanInputPlugins(g);
  st.SongPath.clear();
  EXPECT_FALSE(ShowLyricAssistant(host, nullptr));  // no song loaded: nothing shown
  st.SongPath = song;
  // Whatever is still open after 5 s is closed, so the test cannot hang.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    while (QWidget *w = QApplication::activeModalWidget()) w->close();
  });
  guard.start(5000);
  QStringList seen;
  std::function<void()> drive = [&] {
    QWidget *w = QApplication::activeModalWidget();
    if (auto *text = qobject_cast<LyricTextDialog *>(w)) {
      seen << QStringLiteral("text");
      text->lyricEdit->setText(QStringLiteral("Only line"));
      text->addButton->click();
      text->saveAndTimeButton->click();
    } else if (auto *timing = qobject_cast<LyricTimingDialog *>(w)) {
      seen << QStringLiteral("timing");
      timing->playButton->click();
      timing->markButton->click();
      timing->finishButton->click();
      return;
    }
    QTimer::singleShot(20, drive);
  };
  QTimer::singleShot(0, drive);
  EXPECT_TRUE(ShowLyricAssistant(host, nullptr));
  EXPECT_EQ(seen, (QStringList{QStringLiteral("text"), QStringLiteral("timing")}));
  EXPECT_TRUE(guard.isActive());
  const QString lyricFile = dir.filePath(QStringLiteral("Ana - Luna.qvl"));
  EXPECT_EQ(test::readAll(lyricFile), QByteArray("(QVL)\r\nOnly line\r\n0:00\r\n"));
  EXPECT_TRUE(st.Playing);
  transport.CleanUP();
}

}  // namespace
}  // namespace cantorel
