#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

#include "lyrics/assistant_logic.h"

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

namespace cantorel {

struct General;
struct MainState;
struct LyricLines;
class Transport;
class DesktopServices;
class PlaylistDialogs;

// What the two assistant windows use of the main window.
struct AssistantHost {
  General &g;
  MainState &st;
  LyricLines &lyric;  // the main window's `PlLyrics` / `PlTimes`
  Transport &transport;
  DesktopServices &desktop;  // message boxes
  PlaylistDialogs &dialogs;  // open-file dialogs
  // Takes the main window off the always-on-top layer (called whenever an
  // assistant window is activated, so the main window cannot cover it).
  std::function<void()> keepMainBelow;
  // Replaces the connection test of the submission (tests); empty: `IsOnline`.
  std::function<bool()> onlineCheck;
  // Keeps the folder of a file chosen in a dialog as the "Path" setting
  // (written at once); empty: the folder is not kept.
  std::function<void(const QString &folder)> rememberFolder;
};

// Text step: the user builds the list of lyric lines, or imports a finished
// timed lyric.
class LyricTextDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LyricTextDialog(AssistantHost &host, QWidget *parent = nullptr);

  // Whether "Next Step" saved the lyric and the timing step should open.
  bool goToTiming() const { return goToTiming_; }
  const AssistantLines &lines() const { return lines_; }
  // Whether the add button is in its apply role (an entry is being modified).
  bool modifying() const { return modifying_; }

  // The button slots. The add button applies a modification while one is
  // open; "save and time" writes the lyric and opens the timing step; import
  // takes a finished timed lyric (ours or LRC) for the song.
  void onAddClicked();
  void onDeleteClicked();
  void onLoadTextClicked();  // lines from a plain text file
  void onModifyClicked();
  void onCloseClicked();
  void onSaveAndTimeClicked();
  void onClearClicked();
  void onImportClicked();

  QLineEdit *lyricEdit, *timeEdit;
  QListWidget *lyricList, *timeList;
  QPushButton *addButton, *deleteButton, *loadTextButton, *modifyButton, *closeButton, *saveAndTimeButton,
      *clearButton, *importButton;
  std::array<QLabel *, 8> helpLabels{};  // 1..7
  QGroupBox *lineGroup, *linesGroup, *filesGroup;

 protected:
  bool event(QEvent *e) override;
  void showEvent(QShowEvent *e) override;

 private:
  void populate();
  void refreshLists();
  int selected() const;
  void clearSelection();
  // The import of an LRC file: its lines and times become the song's lyric.
  void importLrc(const QString &file, const QString &target);

  AssistantHost &host_;
  AssistantLines lines_;
  bool modifying_ = false;
  bool goToTiming_ = false;
};

// Timing step: the song plays and each press of "Mark" records the next line
// with the time the main window shows.
class LyricTimingDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LyricTimingDialog(AssistantHost &host, QWidget *parent = nullptr);

  const AssistantLines &recorded() const { return recorded_; }
  const TimingButtons &buttons() const { return buttons_; }
  // Index of the next line to mark.
  int markCursor() const { return cursor_; }
  // The file "Finish" wrote (empty before, or when none could be made).
  QString writtenFile() const { return written_; }
  // The LRC file "Finish" wrote beside it (empty when none was asked for or
  // it could not be written).
  QString writtenLrcFile() const { return writtenLrc_; }

  void onPlayClicked();  // play / pause / resume
  void onFinishClicked();
  void onCancelEditClicked();
  void onEditClicked();
  void onMarkClicked();  // marks the next line, or applies an edit
  // Takes back the last mark (Backspace or Ctrl+Z): the entry goes, its line
  // is the next to mark again and playback goes back three seconds.
  void undoMark();

  QLineEdit *lyricEdit, *timeEdit;
  QListWidget *lyricList, *timeList;
  QPushButton *playButton, *finishButton, *cancelEditButton, *editButton, *markButton;
  std::array<QLabel *, 7> helpLabels{};  // 0..6
  QGroupBox *markingGroup, *recordedGroup;
  // The playback speed while timing (the main window's speed slider is out
  // of reach while this window is open), in percent, and its text.
  QSlider *rateSlider;
  QLabel *rateLabel;
  // The keys of the window, in one line.
  QLabel *keysLabel;
  // "Finish" also saves the lyric as an LRC file beside the song.
  QCheckBox *saveLrcCheck;

 protected:
  bool event(QEvent *e) override;
  bool eventFilter(QObject *watched, QEvent *e) override;

 private:
  // What a key pressed anywhere in the window does: it marks, takes a mark
  // back, presses the focused button, or goes to the widget with the focus.
  enum class Key { Mark, Undo, Press, Pass };
  Key keyRole(QObject *target, const QKeyEvent *e) const;
  void rateChanged(int percent);
  void populate();
  void markLine();
  void applyEdit();
  void showButtons();
  void refreshLists();
  int selected() const;
  void clearSelection();

  AssistantHost &host_;
  QStringList toMark_;  // the lines to mark, as the text step handed them over
  AssistantLines recorded_;
  // The player's position at each mark in milliseconds, paired with
  // `recorded_` by index (-1 once a time was edited by hand): the LRC form
  // keeps what was marked to the centisecond, where our own form keeps the
  // whole second the time display showed.
  QList<qint64> marksMs_;
  TimingButtons buttons_;
  qint16 cursor_ = 0;
  QString written_;
  QString writtenLrc_;
};

// The main window's "LoadLyric" command: with a song loaded, shows the text
// step and, when it saved the lyric, the timing step, both modal; then
// stops and restarts the current entry, which loads the lyric just written.
// Returns false (nothing shown) when no song is loaded.
bool ShowLyricAssistant(AssistantHost &host, QWidget *parent);

}  // namespace cantorel
