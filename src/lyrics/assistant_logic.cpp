#include "lyrics/assistant_logic.h"

#include <QFileInfo>

#include "core/atomic_file.h"
#include "core/text_codec.h"
#include "lyrics/lyric_file.h"
#include "playback/transport.h"
#include "prefs/message_ids.h"

namespace cantorel {

bool isValidMarkTime(const QString &time) {
  const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
  return time.size() == 4 && digit(time[0]) && time[1] == u':' && digit(time[2]) && digit(time[3]);
}

QStringList plainLyricLines(const QByteArray &bytes) {
  QStringList out;
  for (const QString &line : splitLines(decodeText(bytes))) {
    bool blank = true;
    for (const QChar c : line) {
      if (c != u' ') {
        blank = false;
        break;
      }
    }
    if (!blank) out.append(line);
  }
  return out;
}

bool readPlainLyricFile(const QString &path, QStringList *lines) {
  lines->clear();
  // Only plain files: a pipe or a device would block or never end.
  if (path.isEmpty() || !QFileInfo(path).isFile()) return false;
  QByteArray bytes;
  if (!readFileLimited(path, kMaxLyricFileBytes, &bytes)) return false;
  *lines = plainLyricLines(bytes);
  return true;
}

bool AssistantLines::add(const QString &text, int before) {
  // A lyric file holds at most this many entries; one more could not be read back.
  if (count() >= kMaxLyricEntries) return false;
  if (valid(before)) {
    texts.insert(before, text);
    times.insert(before, placeholderTime());
  } else {
    texts.append(text);
    times.append(placeholderTime());
  }
  return true;
}

int AssistantLines::append(const QStringList &lines) {
  int added = 0;
  for (const QString &line : lines) {
    if (!add(line)) break;
    ++added;
  }
  return added;
}

bool AssistantLines::replace(int i, const QString &text, const QString &time) {
  if (!valid(i)) return false;
  texts[i] = text;
  times[i] = time;
  return true;
}

bool AssistantLines::remove(int i) {
  if (!valid(i)) return false;
  texts.removeAt(i);
  times.removeAt(i);
  return true;
}

bool undoLastMark(AssistantLines &recorded, qint16 &cursor) {
  if (recorded.count() == 0) return false;
  recorded.remove(recorded.count() - 1);
  if (cursor > 0) --cursor;
  return true;
}

qint32 undoMarkSecond(double elapsed) {
  const double s = Transport::roundEven(elapsed - kUndoMarkSeconds);
  if (!(s > 0)) return 0;  // also for a position that is not a number
  return s >= 2147483647.0 ? 2147483647 : static_cast<qint32>(s);
}

void TimingButtons::unmarked(int remaining, bool playing, bool paused) {
  complete_ = false;
  // As before the first mark: nothing recorded, nothing to finish with.
  finishEnabled_ = remaining > 0;
  if (playing && !paused) {
    play_ = Play::Pause;
    markEnabled_ = true;
  } else {
    if (playing) play_ = Play::Resume;
    markEnabled_ = false;
  }
}

void TimingButtons::started() {
  play_ = Play::Pause;
  markEnabled_ = !(mark_ == Mark::Mark && complete_);
}

void TimingButtons::toggled(bool paused, bool playing) {
  if (paused) {
    play_ = Play::Resume;
    markEnabled_ = false;
  } else if (playing) {
    play_ = Play::Pause;
    // Enabled again in whatever role it has, except that nothing is left to
    // mark once the last line was recorded.
    markEnabled_ = !(mark_ == Mark::Mark && complete_);
  }
}

void TimingButtons::marked(bool complete) {
  finishEnabled_ = true;
  if (complete) {
    complete_ = true;
    markEnabled_ = false;
  }
}

void TimingButtons::editStarted() {
  mark_ = Mark::Apply;
  markEnabled_ = true;
  cancelEnabled_ = true;
  editFields_ = true;
  listsEnabled_ = false;
}

void TimingButtons::editApplied() {
  cancelEnabled_ = false;
  listsEnabled_ = true;
  mark_ = Mark::Edit;
  markEnabled_ = false;
}

void TimingButtons::editCancelled() {
  listsEnabled_ = true;
  cancelEnabled_ = false;
}

int TimingButtons::playCaption() const {
  switch (play_) {
    case Play::Start:
      return msg::AssistantPlay;
    case Play::Pause:
      return msg::AssistantPause;
    case Play::Resume:
      return msg::AssistantResume;
  }
  return msg::AssistantPlay;
}

int TimingButtons::markCaption() const {
  switch (mark_) {
    case Mark::Mark:
      return msg::AssistantMark;
    case Mark::Apply:
      return msg::AssistantApply;
    case Mark::Edit:
      return msg::AssistantEdit;
  }
  return msg::AssistantMark;
}

TimingButtons::State TimingButtons::state() const {
  switch (mark_) {
    case Mark::Apply:
      return markEnabled_ ? State::Editing : State::Other;
    case Mark::Edit:
      return markEnabled_ ? State::Other : State::AfterEdit;
    case Mark::Mark:
      break;
  }
  if (markEnabled_) return State::Marking;
  if (complete_) return State::Finished;
  if (play_ == Play::Resume) return State::Paused;
  if (play_ == Play::Start) return State::Waiting;
  return State::Other;
}

TimingButtons::Action TimingButtons::click() const {
  if (!markEnabled_) return Action::None;
  if (mark_ == Mark::Mark) return Action::Record;
  if (mark_ == Mark::Apply) return Action::Apply;
  return Action::None;
}

}  // namespace cantorel

#include "core/general.h"

namespace cantorel {

QString assistantText(const General &g, int message) {
  const QString text = g.message(message);
  if (!text.isEmpty()) return text;
  switch (message) {
    case msg::AssistantEmptyLine:
      return QStringLiteral("The line is empty.");
    case msg::LyricNotFound:
      return QStringLiteral("No lyric was found for this song.");
    case msg::AssistantTextCaption:
      return QStringLiteral("Lyric Assistant - Lyric Text");
    case msg::AssistantNothingToDelete:
      return QStringLiteral("Select a line first.");
    case msg::AssistantNothingToModify:
      return QStringLiteral("Select a line first.");
    case msg::AssistantClose:
      return QStringLiteral("Close");
    case msg::AssistantAdd:
      return QStringLiteral("Add");
    case msg::AssistantDelete:
      return QStringLiteral("Delete");
    case msg::AssistantModify:
      return QStringLiteral("Modify");
    case msg::AssistantSaveAndTime:
      return QStringLiteral("Next Step");
    case msg::AssistantTimingCaption:
      return QStringLiteral("Lyric Assistant - Timing");
    case msg::AssistantPlay:
      return QStringLiteral("Play");
    case msg::AssistantCancelEdit:
      return QStringLiteral("Cancel");
    case msg::AssistantMark:
      return QStringLiteral("Mark");
    case msg::AssistantEdit:
      return QStringLiteral("Edit");
    case msg::AssistantFinish:
      return QStringLiteral("Finish");
    case msg::AssistantPause:
      return QStringLiteral("Pause");
    case msg::AssistantResume:
      return QStringLiteral("Resume");
    case msg::AssistantApply:
      return QStringLiteral("Apply");
    case msg::AssistantLoadText:
      return QStringLiteral("Load Text File...");
    case msg::AssistantNothingToEdit:
      return QStringLiteral("Select a recorded line first.");
    case msg::AssistantBadTime:
      return QStringLiteral("This time is not valid. Type it as m:ss.");
    case msg::AssistantImport:
      return QStringLiteral("Import Timed Lyric...");
    default:
      return QString();
  }
}

}  // namespace cantorel
