#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cantorel {

// The time a new line gets until it is timed.
inline const QString &placeholderTime() {
  static const QString s = QStringLiteral("0:00");
  return s;
}

// A time typed into the timing step: exactly a digit, ":", a digit, a digit
// ("9:75" passes, the seconds are not limited further; "10:05" and "0:7" do
// not).
bool isValidMarkTime(const QString &time);

// The lines of a plain lyric text, in order: every line that holds more than
// spaces, kept exactly as it is (leading spaces included).
QStringList plainLyricLines(const QByteArray &bytes);
// The same from a file; false when it cannot be read (nothing is returned
// then). Files larger than a lyric file may be are refused.
bool readPlainLyricFile(const QString &path, QStringList *lines);

// The lyric lines of the assistant and their times, paired by index (the two
// list boxes of both steps).
struct AssistantLines {
  QStringList texts;
  QStringList times;

  int count() const { return static_cast<int>(texts.size()); }
  bool valid(int i) const { return i >= 0 && i < count(); }
  // Adds a line with the placeholder time: before entry `before` when that
  // is an entry, else at the end. False (nothing added) when the list holds
  // as many entries as a lyric file can.
  bool add(const QString &text, int before = -1);
  // Adds every line at the end; returns how many fitted.
  int append(const QStringList &lines);
  // Replaces entry `i`; false when there is no such entry.
  bool replace(int i, const QString &text, const QString &time);
  bool remove(int i);
  void clear() {
    texts.clear();
    times.clear();
  }
};

// Taking back the last mark of the timing step: the last recorded entry goes
// and the mark cursor moves back to its line, so it is marked again next.
// False (nothing changed) when nothing was recorded.
bool undoLastMark(AssistantLines &recorded, qint16 &cursor);
// How far playback goes back when a mark is taken back, so the line can be
// heard coming again.
inline constexpr int kUndoMarkSeconds = 3;
// The second to seek to then: kUndoMarkSeconds before `elapsed`, in whole
// seconds as every seek step (halves to even), never before the start.
qint32 undoMarkSecond(double elapsed);

// The buttons of the timing step whose roles change: the play button
// (start / pause / resume) and the mark button (mark / apply / edit caption),
// with the other controls that follow them. Events come in as the window's
// commands run; the window shows what this reports.
class TimingButtons {
 public:
  enum class Play { Start, Pause, Resume };
  enum class Mark { Mark, Apply, Edit };  // captions of the mark button
  // The rows of the mark button's table.
  enum class State { Waiting, Marking, Paused, Finished, Editing, AfterEdit, Other };
  // What a click on the mark button does.
  enum class Action { None, Record, Apply };

  // The play button was clicked in its start role and playback was started.
  void started();
  // The play button toggled pause; the transport now reports these flags.
  void toggled(bool paused, bool playing);
  // A line was recorded; `complete` when it was the last one.
  void marked(bool complete);
  // The last mark was taken back, `remaining` recorded entries are left; the
  // transport now reports these flags.
  void unmarked(int remaining, bool playing, bool paused);
  void editStarted();
  void editApplied();
  void editCancelled();

  Play play() const { return play_; }
  int playCaption() const;  // message number
  Mark mark() const { return mark_; }
  int markCaption() const;  // message number
  bool markEnabled() const { return markEnabled_; }
  bool finishEnabled() const { return finishEnabled_; }
  bool cancelEnabled() const { return cancelEnabled_; }
  bool editFieldsEnabled() const { return editFields_; }
  bool listsEnabled() const { return listsEnabled_; }
  bool complete() const { return complete_; }
  State state() const;
  Action click() const;
  // Whether the last mark can be taken back: something was recorded and the
  // mark button still marks. Once an edit has begun, the recorded lines no
  // longer follow the mark cursor (and marking does not resume).
  bool canUndo(int recorded) const { return mark_ == Mark::Mark && recorded > 0; }

 private:
  Play play_ = Play::Start;
  Mark mark_ = Mark::Mark;
  bool markEnabled_ = false;
  bool finishEnabled_ = false;
  bool cancelEnabled_ = false;
  bool editFields_ = false;
  bool listsEnabled_ = true;
  bool complete_ = false;
};

}  // namespace cantorel

namespace cantorel {

struct General;

// A text of the assistant by message number; a short English text when the
// language file leaves it empty, so no button is ever blank.
QString assistantText(const General &g, int message);

}  // namespace cantorel
