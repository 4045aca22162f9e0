// The lyric assistant's two windows (offscreen), driven as a user would:
// lines typed or loaded, timed against a real song played through the
// transport and the null audio sink, corrected and saved.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
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
#include "platform/desktop_services.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "playlist/playlist_commands_gui.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

// File dialogs answered by the test, in order; an empty answer cancels.
class AnsweringDialogs : public PlaylistDialogs {
 public:
  QString openFile(const QString &, const QString &, const QString &, int *) override {
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
  QString saveFile(const QString &, const QString &, const QString &) override { return QString(); }
  QString folder(const QString &) override { return QString(); }
  QStringList answers;
};

// Message boxes recorded instead of shown.
struct RecordingDesktop : DesktopServices {
  bool openUrl(const QString &) override { return false; }
  void showMessage(const QString &text) override { messages << text; }
  QStringList messages;
};

class LyricAssistant : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
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
    host.onlineCheck = [] { return false; };
  }
  QString file(const QString &name, const QByteArray &bytes) {
    const QString p = dir.filePath(name);
    test::writeAll(p, bytes);
    return p;
  }
  // "a|b|c" as a list.
  static QStringList L(const char *joined) { return QString::fromUtf8(joined).split(u'|'); }
  static QStringList items(const QListWidget *l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
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
  // Lets events run until the main window's label would show `text` (its
  // timer keeps the elapsed time as the player reports it); false after 5 s.
  bool waitForTime(const char *text) {
    QElapsedTimer t;
    t.start();
    while ((st.Elapsed = position(), !st.Playing || transport.ElapsedText() != QLatin1String(text))) {
      if (t.elapsed() > 5000) return false;
      QCoreApplication::processEvents();
      QThread::msleep(5);
    }
    return true;
  }

  QTemporaryDir dir;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{qEnvironmentVariable("CANTOREL_PLUGIN_DIR")};
  TransportHost transportHost;
  Transport transport{g, st, pl, plugins, transportHost};
  RecordingDesktop desktop;
  AnsweringDialogs dialogs;
  QString song;
  // The hooks are set in SetUp.
  AssistantHost host{g, st, lyric, transport, desktop, dialogs, {}, {}, {}};
};

// The timing step, from the keyboard and the mouse: Space marks wherever the
// focus is (never also pressing a focused button), Backspace and Ctrl+Z take
// marks back and go back three seconds, an entry is corrected, and "Finish"
// saves the lyric in both forms.
TEST_F(LyricAssistant, TimingMarksUndoesCorrectsAndSavesBothForms) {
  plugins.ScanInputPlugins(g);
  test::writeAll(song, test::makeWav(8.0, 8000, 1));
  st.Sliders[5].Value = 0.5;  // normal speed
  lyric.PlLyrics = L("One|Two|Three");
  LyricTimingDialog w(host);
  // Before playing there is nothing to mark, and the focused play button is
  // not pressed by the key either; Enter presses it. Marked at once, before
  // any tick showed a time: the player's position.
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(st.Playing, 0);
  type(w.playButton, Qt::Key_Return);
  ASSERT_TRUE(st.Playing);
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(items(w.timeList), L("0:00"));
  EXPECT_EQ(st.Paused, 0);
  // A held key marks once; the slider passes Space on as well.
  type(w.lyricList, Qt::Key_Space, Qt::NoModifier, true);
  ASSERT_TRUE(waitForTime("0:04"));
  type(w.rateSlider, Qt::Key_Space);
  EXPECT_EQ(items(w.timeList), L("0:00|0:04"));

  // Backspace: "Two" is the next line again, three seconds back. Ctrl+Z:
  // nothing recorded any more, nothing to finish with.
  type(w.lyricList, Qt::Key_Backspace);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Two"));
  EXPECT_LT(position(), 2.6);
  st.Elapsed = position();
  type(w.markButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 0);
  EXPECT_FALSE(w.finishButton->isEnabled());
  EXPECT_LT(position(), 1.0);

  // The last line marked stops playback; taking it back plays on from three
  // seconds before, ready to mark it again.
  QList<QPair<qint64, qint64>> pressed;  // the position just before and after each mark
  const auto mark = [&] {
    const qint64 before = std::llround(position() * 1000);
    type(w.markButton, Qt::Key_Space);
    pressed.append({before, std::llround(position() * 1000)});
  };
  for (const char *t : {"0:01", "0:02"}) {
    ASSERT_TRUE(waitForTime(t));
    mark();
  }
  mark();
  EXPECT_EQ(st.Playing, 0);
  type(w.timeList, Qt::Key_Backspace);
  EXPECT_EQ(st.Playing, -1);
  ASSERT_TRUE(waitForTime("0:01"));
  type(w.markButton, Qt::Key_Space);
  EXPECT_EQ(items(w.timeList), L("0:01|0:02|0:01"));

  // Correcting an entry: marks cannot be taken back meanwhile, and only an
  // m:ss time is taken.
  w.lyricList->setCurrentRow(2);
  w.editButton->click();
  type(w.cancelEditButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 3);
  w.timeEdit->setText(QStringLiteral("10:05"));
  w.markButton->click();
  EXPECT_EQ(desktop.messages, QStringList{g.message(msg::AssistantBadTime)});
  w.timeEdit->setText(QStringLiteral("9:75"));
  w.markButton->click();
  EXPECT_EQ(items(w.timeList), L("0:01|0:02|9:75"));

  // Both forms beside the song.
  w.saveLrcCheck->setChecked(true);
  w.finishButton->click();
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("Ana - Luna.qvl"))),
            QByteArray("(QVL)\r\nOne\r\n0:01\r\nTwo\r\n0:02\r\nThree\r\n9:75\r\n"));
  LyricLines back;
  LrcDocument doc;
  ASSERT_EQ(readLrcFile(dir.filePath(QStringLiteral("Ana - Luna.lrc")), back, &doc), LyricStatus::Correct);
  EXPECT_EQ(back.PlLyrics, L("One|Two|Three"));
  // The LRC form keeps where each mark was pressed to the centisecond (a time
  // typed by hand, its whole seconds); our own form the second shown.
  for (int k = 0; k < 2; ++k) {
    EXPECT_GE(doc.entries[k].stampMs, pressed[k].first - 10);
    EXPECT_LE(doc.entries[k].stampMs, pressed[k].second);
  }
  EXPECT_EQ(doc.entries[2].stampMs, 615000);
  transport.CleanUP();
}

// The text step: lines loaded from a text file, inserted and corrected, then
// saved beside the song for the timing step.
TEST_F(LyricAssistant, TextStepBuildsAndSavesTheLines) {
  g.Messages[msg::AssistantTextHelpFirst] = QStringLiteral("<b>help</b>");
  LyricTextDialog w(host);
  EXPECT_EQ(w.helpLabels[1]->textFormat(), Qt::PlainText);
  // A text file: blank and space-only lines left out.
  dialogs.answers << file(QStringLiteral("luna.txt"), "  One\r\n\r\n   \r\nThree");
  w.loadTextButton->click();
  EXPECT_EQ(items(w.timeList), L("0:00|0:00"));
  // Enter adds before the selected entry.
  w.timeList->setCurrentRow(1);
  w.lyricEdit->setText(QStringLiteral("Two"));
  type(w.lyricEdit, Qt::Key_Return);
  // Modify: an empty time becomes the placeholder.
  w.lyricList->setCurrentRow(2);
  w.modifyButton->click();
  w.lyricEdit->setText(QStringLiteral("3"));
  w.timeEdit->setText(QStringLiteral("1:02"));
  w.addButton->click();
  w.lyricList->setCurrentRow(0);
  w.modifyButton->click();
  w.timeEdit->clear();
  w.lyricEdit->setText(QStringLiteral("1"));
  type(w.lyricEdit, Qt::Key_Return);

  w.saveAndTimeButton->click();
  EXPECT_TRUE(w.goToTiming());
  EXPECT_EQ(test::readAll(g.LastLyricFile), QByteArray("(QVL)\r\n1\r\n0:00\r\nTwo\r\n0:00\r\n3\r\n1:02\r\n"));
}

// Only a readable timed lyric replaces the one beside the song. An LRC file
// (known by its name or its content) is kept there in our own format: word
// stamps go, several stamps make several entries, ordered by time.
TEST_F(LyricAssistant, ImportReplacesTheSongsLyricOnlyWithATimedLyric) {
  const QString target = dir.filePath(QStringLiteral("Luna song.qvl"));
  const QByteArray old = "(QVL)\r\nold\r\n0:01\r\n";
  const QByteArray lrc = "[ti:Luna]\r\n[00:07.10][00:01.20]Hola <00:01.80>mundo\r\n[00:04.00]Adios\r\n";
  const struct {
    const char *name;
    QByteArray bytes, after;
  } cases[] = {
      {"bad.qvl", "not a lyric\r\n", old},
      {"empty.lrc", "[ar:Ana]\n[ti:Luna]\n", old},
      {"luna.txt", lrc, "(QVL)\r\nHola mundo\r\n0:01\r\nAdios\r\n0:04\r\nHola mundo\r\n0:07\r\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    test::writeAll(target, old);
    dialogs.answers << file(QString::fromLatin1(c.name), c.bytes);
    LyricTextDialog w(host);
    w.importButton->click();
    EXPECT_EQ(test::readAll(target), c.after);
  }
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("luna.txt"))), lrc) << "the LRC file is left as it is";
}

// The command as the main window runs it: both steps modal, one after the
// other.
TEST_F(LyricAssistant, ShowLyricAssistantRunsBothSteps) {
  plugins.ScanInputPlugins(g);
  // Whatever is still open after 5 s is closed, so the test cannot hang.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    while (QWidget *w = QApplication::activeModalWidget()) w->close();
  });
  guard.start(5000);
  std::function<void()> drive = [&] {
    QWidget *w = QApplication::activeModalWidget();
    if (auto *text = qobject_cast<LyricTextDialog *>(w)) {
      text->lyricEdit->setText(QStringLiteral("Only line"));
      text->addButton->click();
      text->saveAndTimeButton->click();
    } else if (auto *timing = qobject_cast<LyricTimingDialog *>(w)) {
      timing->playButton->click();
      timing->markButton->click();
      timing->finishButton->click();
      return;
    }
    QTimer::singleShot(20, drive);
  };
  QTimer::singleShot(0, drive);
  EXPECT_TRUE(ShowLyricAssistant(host, nullptr));
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("Ana - Luna.qvl"))),
            QByteArray("(QVL)\r\nOnly line\r\n0:00\r\n"));
  transport.CleanUP();
}

}  // namespace
}  // namespace cantorel
