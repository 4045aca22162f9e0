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
#include "playlist/paths.h"
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
    host.keepMainBelow = [this] { ++keptBelow; };
    host.onlineCheck = [] { return false; };
    host.rememberFolder = [this](const QString &folder) { remembered << folder; };
  }
  const QStringList &messages() const { return desktop.messages; }
  QString msgText(int n) const { return g.message(n); }
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
  int keptBelow = 0;
  QStringList remembered;
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
  st.Sliders[5].Value = 0.5;
  st.TimeFlag = -1;  // remaining time shown: the timing step switches to elapsed
  lyric.PlLyrics = L("One|Two|Three");
  // The reload of a damaged file is reported; marking goes on from the lines.
  g.LastLyricFile = file(QStringLiteral("broken.qvl"), "(QVL)\r\nx\r\n\r\n");
  LyricTimingDialog w(host);
  EXPECT_EQ(st.TimeFlag, 0);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("One"));
  w.editButton->click();  // nothing recorded to edit
  EXPECT_EQ(messages(), (QStringList{msgText(msg::LyricEmptyTime), msgText(msg::AssistantNothingToEdit)}));
  EXPECT_FALSE(w.finishButton->isEnabled());
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&w, &activate);
  EXPECT_EQ(keptBelow, 1);

  // Before playing there is nothing to mark, and the focused play button is
  // not pressed by the key either; Enter presses it.
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(st.Playing, 0);
  type(w.playButton, Qt::Key_Return);
  ASSERT_TRUE(st.Playing);
  EXPECT_EQ(w.playButton->text(), msgText(msg::AssistantPause));
  // Marked at once, before any tick showed a time: the player's position.
  // The focused play button stays unpressed: still playing.
  type(w.playButton, Qt::Key_Space);
  EXPECT_EQ(items(w.timeList), L("0:00"));
  EXPECT_EQ(st.Paused, 0);
  EXPECT_TRUE(w.finishButton->isEnabled());
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Two"));
  // Nothing to mark while paused.
  w.playButton->click();
  EXPECT_EQ(w.playButton->text(), msgText(msg::AssistantResume));
  EXPECT_FALSE(w.markButton->isEnabled());
  w.playButton->click();
  EXPECT_TRUE(w.markButton->isEnabled());
  // A held key marks once; the slider passes Space on as well.
  type(w.lyricList, Qt::Key_Space, Qt::NoModifier, true);
  ASSERT_TRUE(waitForTime("0:04"));
  type(w.rateSlider, Qt::Key_Space);
  EXPECT_EQ(items(w.timeList), L("0:00|0:04"));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Three"));

  // Backspace: "Two" is the next line again, three seconds back. Ctrl+Z:
  // nothing recorded any more, nothing to finish with.
  type(w.lyricList, Qt::Key_Backspace);
  EXPECT_EQ(items(w.lyricList), L("One"));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Two"));
  EXPECT_LT(position(), 2.6);
  st.Elapsed = position();
  type(w.markButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 0);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("One"));
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
  EXPECT_FALSE(w.markButton->isEnabled());
  type(w.timeList, Qt::Key_Backspace);
  EXPECT_EQ(st.Playing, -1);
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Three"));
  ASSERT_TRUE(waitForTime("0:01"));
  type(w.markButton, Qt::Key_Space);
  EXPECT_EQ(st.Playing, 0);
  EXPECT_EQ(items(w.timeList), L("0:01|0:02|0:01"));

  // Correcting an entry: its fields keep their keys, marks cannot be taken
  // back meanwhile, and only an m:ss time is taken.
  w.lyricList->setCurrentRow(2);
  w.editButton->click();
  EXPECT_EQ(w.timeEdit->text(), QStringLiteral("0:01"));
  EXPECT_EQ(w.markButton->text(), msgText(msg::AssistantApply));
  EXPECT_FALSE(w.lyricList->isEnabled());
  type(w.timeEdit, Qt::Key_Backspace);
  type(w.cancelEditButton, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.recorded().count(), 3);
  type(w.lyricEdit, Qt::Key_Space);
  w.timeEdit->setText(QStringLiteral("10:05"));
  w.markButton->click();
  EXPECT_EQ(messages().value(2), msgText(msg::AssistantBadTime));
  w.timeEdit->setText(QStringLiteral("9:75"));
  w.markButton->click();
  EXPECT_EQ(items(w.lyricList), L("One|Two|Three "));
  EXPECT_EQ(items(w.timeList), L("0:01|0:02|9:75"));
  EXPECT_EQ(w.markButton->text(), msgText(msg::AssistantEdit));
  EXPECT_TRUE(w.lyricList->isEnabled());

  // The speed: as the main window's slider 5 (value = rate - 0.5).
  w.rateSlider->setValue(75);
  EXPECT_DOUBLE_EQ(st.Sliders[5].Value, 0.25);
  EXPECT_EQ(w.rateLabel->text(), QStringLiteral("75%"));

  // Both forms beside the song; a submission asked for with no address to
  // send it to is reported.
  w.saveLrcCheck->setChecked(true);
  g.SubmitLyric = 1;
  w.finishButton->click();
  EXPECT_EQ(w.writtenFile(), dir.filePath(QStringLiteral("Ana - Luna.qvl")));
  EXPECT_EQ(test::readAll(w.writtenFile()),
            QByteArray("(QVL)\r\nOne\r\n0:01\r\nTwo\r\n0:02\r\nThree \r\n9:75\r\n"));
  EXPECT_EQ(lyric.PlTimes, items(w.timeList));
  EXPECT_EQ(w.writtenLrcFile(), dir.filePath(QStringLiteral("Ana - Luna.lrc")));
  LyricLines back;
  LrcDocument doc;
  ASSERT_EQ(readLrcFile(w.writtenLrcFile(), back, &doc), LyricStatus::Correct);
  EXPECT_EQ(QStringList({doc.title, doc.artist}), L("Luna|Ana"));
  EXPECT_EQ(back.PlLyrics, L("One|Two|Three"));
  // The LRC form keeps where each mark was pressed to the centisecond (a time
  // typed by hand, its whole seconds); our own form the second shown.
  for (int k = 0; k < 2; ++k) {
    EXPECT_GE(doc.entries[k].stampMs, pressed[k].first - 10);
    EXPECT_LE(doc.entries[k].stampMs, pressed[k].second);
  }
  EXPECT_EQ(doc.entries[2].stampMs, 615000);
  EXPECT_EQ(messages().mid(3), L("The lyric was not sent: there is no lyric service to send it to."));
  transport.CleanUP();
}

TEST_F(LyricAssistant, OpensWithTheLyricFoundForTheSongOnly) {
  const struct {
    QStringList texts, times;
    int shown;
    QStringList plain;  // untimed text found online
  } cases[] = {
      {L("a|b"), L("0:05|0:09"), 2, L("x")},
      {{msgText(msg::LyricNotFound)}, {}, 0, {}},   // no lyric found
      {{msgText(msg::LyricEmptyText)}, {}, 0, {}},  // the song's lyric file was damaged
      {L("x||y"), {}, 2, L("x||y")},                // offered without its blank line
  };
  for (const auto &c : cases) {
    lyric.PlLyrics = c.texts;
    lyric.PlTimes = c.times;
    g.PlainLyric = c.plain;
    LyricTextDialog w(host);
    EXPECT_EQ(w.lyricList->count(), c.shown);
    EXPECT_EQ(w.saveAndTimeButton->isEnabled(), c.shown > 0);
    EXPECT_EQ(items(w.timeList), c.times.isEmpty() ? QStringList(c.shown, QStringLiteral("0:00")) : c.times);
  }
}

// The text step: lines typed, loaded from a text file, inserted, corrected
// and deleted, then saved beside the song for the timing step.
TEST_F(LyricAssistant, TextStepBuildsAndSavesTheLines) {
  g.Messages[msg::AssistantTextHelpFirst] = QStringLiteral("<b>help</b>");
  LyricTextDialog w(host);
  EXPECT_EQ(w.helpLabels[1]->text(), QStringLiteral("<b>help</b>"));
  EXPECT_EQ(w.helpLabels[1]->textFormat(), Qt::PlainText);
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&w, &activate);
  EXPECT_EQ(keptBelow, 1);
  EXPECT_FALSE(w.saveAndTimeButton->isEnabled());
  w.addButton->click();     // empty line
  w.deleteButton->click();  // nothing selected
  w.modifyButton->click();  // nothing selected
  EXPECT_EQ(messages(), (QStringList{msgText(msg::AssistantEmptyLine), msgText(msg::AssistantNothingToDelete),
                                     msgText(msg::AssistantNothingToModify)}));
  // A text file: blank and space-only lines left out.
  dialogs.answers << file(QStringLiteral("luna.txt"), "  One\r\n\r\n   \r\nThree");
  w.loadTextButton->click();
  EXPECT_EQ(remembered, QStringList{DirPart(dir.filePath(QStringLiteral("luna.txt")))});
  EXPECT_EQ(items(w.timeList), L("0:00|0:00"));
  EXPECT_TRUE(w.saveAndTimeButton->isEnabled());
  // Enter adds before the selected entry; a click in either list selects
  // the entry in both.
  w.timeList->setCurrentRow(1);
  w.lyricEdit->setText(QStringLiteral("Two"));
  type(w.lyricEdit, Qt::Key_Return);
  EXPECT_TRUE(w.lyricEdit->text().isEmpty());
  w.lyricEdit->setText(QStringLiteral("Four"));
  w.addButton->click();
  w.lyricList->setCurrentRow(3);
  w.deleteButton->click();
  EXPECT_EQ(items(w.lyricList), L("  One|Two|Three"));

  // Modify: apply mode with the lists locked; an empty time becomes the
  // placeholder.
  w.lyricList->setCurrentRow(2);
  w.modifyButton->click();
  EXPECT_EQ(w.addButton->text(), msgText(msg::AssistantApply));
  EXPECT_EQ(w.lyricEdit->text(), QStringLiteral("Three"));
  EXPECT_FALSE(w.lyricList->isEnabled());
  w.lyricEdit->setText(QStringLiteral("3"));
  w.timeEdit->setText(QStringLiteral("1:02"));
  w.addButton->click();
  EXPECT_EQ(w.addButton->text(), msgText(msg::AssistantAdd));
  EXPECT_TRUE(w.lyricList->isEnabled());
  EXPECT_FALSE(w.closeButton->isEnabled());  // the close button stays off after a modification
  w.lyricList->setCurrentRow(0);
  w.modifyButton->click();
  w.timeEdit->clear();
  w.lyricEdit->setText(QStringLiteral("1"));
  type(w.lyricEdit, Qt::Key_Return);

  w.saveAndTimeButton->click();
  EXPECT_TRUE(w.goToTiming());
  EXPECT_EQ(g.LastLyricFile, dir.filePath(QStringLiteral("Ana - Luna.qvl")));
  EXPECT_EQ(test::readAll(g.LastLyricFile), QByteArray("(QVL)\r\n1\r\n0:00\r\nTwo\r\n0:00\r\n3\r\n1:02\r\n"));
  EXPECT_EQ(lyric.PlLyrics, L("1|Two|3"));

  // Modifying an entry deleted meanwhile changes nothing.
  w.lyricList->setCurrentRow(1);
  w.modifyButton->click();
  w.clearButton->click();
  EXPECT_FALSE(w.saveAndTimeButton->isEnabled());
  w.addButton->click();
  EXPECT_EQ(w.lines().count(), 0);
  EXPECT_FALSE(w.modifying());
}

// Only a readable timed lyric replaces the one beside the song. An LRC file
// (known by its name or its content) is kept there in our own format: word
// stamps go, several stamps make several entries, ordered by time.
TEST_F(LyricAssistant, ImportReplacesTheSongsLyricOnlyWithATimedLyric) {
  const QString target = dir.filePath(QStringLiteral("Luna song.qvl"));
  const QByteArray old = "(QVL)\r\nold\r\n0:01\r\n";
  const QByteArray lrc = "[ti:Luna]\r\n[00:07.10][00:01.20]Hola <00:01.80>mundo\r\n[00:04.00]Adios\r\n";
  const QByteArray fromLrc = "(QVL)\r\nHola mundo\r\n0:01\r\nAdios\r\n0:04\r\nHola mundo\r\n0:07\r\n";
  const struct {
    const char *name;
    QByteArray bytes;
    int message;  // 0: imported
    QByteArray after;
    const char *firstTime;  // of the lyric loaded
  } cases[] = {
      {"bad.qvl", "not a lyric\r\n", msg::LyricBadHeader, old, ""},
      {"empty.lrc", "[ar:Ana]\n[ti:Luna]\n", msg::LyricNotFound, old, ""},
      {"elsewhere.qvl", "(QVL)\r\nHola\r\n0:03\r\n", 0, "(QVL)\r\nHola\r\n0:03\r\n", "0:03"},
      {"luna.lrc", lrc, 0, fromLrc, "0:01"},
      {"luna.txt", lrc, 0, fromLrc, "0:01"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    test::writeAll(target, old);
    dialogs.answers << file(QString::fromLatin1(c.name), c.bytes);
    const qsizetype before = messages().size();
    LyricTextDialog w(host);
    int closed = 0;
    QObject::connect(&w, &QDialog::finished, [&closed] { ++closed; });
    w.importButton->click();
    EXPECT_EQ(test::readAll(target), c.after);
    EXPECT_EQ(messages().mid(before), c.message ? QStringList{msgText(c.message)} : QStringList());
    EXPECT_EQ(closed, c.message ? 0 : 1);
    EXPECT_EQ(lyric.PlTimes.value(0), QLatin1String(c.firstTime));
  }
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("luna.txt"))), lrc) << "the LRC file is left as it is";
}

// The command as the main window runs it: both steps modal, one after the
// other (whether there is a song and the restart after it are the command
// dispatcher's, tested there).
TEST_F(LyricAssistant, ShowLyricAssistantRunsBothStepsThenRestartsTheSong) {
  plugins.ScanInputPlugins(g);
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
  EXPECT_EQ(seen, L("text|timing"));
  EXPECT_TRUE(guard.isActive());
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("Ana - Luna.qvl"))),
            QByteArray("(QVL)\r\nOnly line\r\n0:00\r\n"));
  transport.CleanUP();
}

}  // namespace
}  // namespace cantorel
