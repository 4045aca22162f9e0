// The assistant's decisions without windows: the time check, plain text
// lines, list editing and the mark button's state table.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "lyrics/assistant_logic.h"
#include "lyrics/lyric_file.h"
#include "prefs/message_ids.h"

namespace cantorel {
namespace {

TEST(MarkTime, ExactlyDigitColonDigitDigit) {
  struct Case {
    const char *time;
    bool valid;
  };
  const Case cases[] = {{"0:00", true},   {"9:75", true},   {"3:45", true},   {"10:05", false},
                        {"0:7", false},   {"00:07", false}, {" 0:07", false}, {"0:07 ", false},
                        {"-0:07", false}, {"a:00", false},  {"0.07", false},  {"0:0x", false},
                        {"", false},      {"0:::", false}};
  for (const Case &c : cases) EXPECT_EQ(isValidMarkTime(QString::fromLatin1(c.time)), c.valid) << c.time;
  // Digits of other scripts are not the digits "0" to "9".
  EXPECT_FALSE(isValidMarkTime(QStringLiteral("\u0661:00")));
}

TEST(PlainLyric, SkipsBlankAndSpaceOnlyLinesKeepsLeadingSpaces) {
  const QByteArray text = "  first\r\n\r\n   \r\nsecond  \nthird\rlast";
  EXPECT_EQ(plainLyricLines(text), (QStringList{QStringLiteral("  first"), QStringLiteral("second  "),
                                                QStringLiteral("third"), QStringLiteral("last")}));
  // A single-byte file is read in its code page; UTF-8 as UTF-8.
  EXPECT_EQ(plainLyricLines("Canci\xf3n\r\n"), QStringList{QStringLiteral("Canci\u00f3n")});
  EXPECT_EQ(plainLyricLines("Canci\xc3\xb3n"), QStringList{QStringLiteral("Canci\u00f3n")});
  EXPECT_TRUE(plainLyricLines("\r\n \r\n").isEmpty());
}

TEST(PlainLyric, UnreadableFilesGiveNothing) {
  QStringList lines{QStringLiteral("stale")};
  EXPECT_FALSE(readPlainLyricFile(QStringLiteral("/nonexistent/lyric.txt"), &lines));
  EXPECT_TRUE(lines.isEmpty());
  EXPECT_FALSE(readPlainLyricFile(QStringLiteral("/tmp"), &lines));  // a folder
  EXPECT_FALSE(readPlainLyricFile(QString(), &lines));
}

TEST(AssistantList, AddInsertsBeforeTheSelectedEntryKeepingEveryTime) {
  AssistantLines l;
  EXPECT_TRUE(l.add(QStringLiteral("a")));
  EXPECT_TRUE(l.add(QStringLiteral("c")));
  l.times = {QStringLiteral("0:05"), QStringLiteral("0:09")};
  EXPECT_TRUE(l.add(QStringLiteral("b"), 1));  // before "c"
  EXPECT_TRUE(l.add(QStringLiteral("d"), 7));  // no such entry: at the end
  EXPECT_EQ(l.texts, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                  QStringLiteral("d")}));
  EXPECT_EQ(l.times, (QStringList{QStringLiteral("0:05"), QStringLiteral("0:00"), QStringLiteral("0:09"),
                                  QStringLiteral("0:00")}));
  EXPECT_TRUE(l.replace(0, QStringLiteral("A"), QStringLiteral("1:00")));
  EXPECT_FALSE(l.replace(4, QStringLiteral("x"), QStringLiteral("x")));
  EXPECT_FALSE(l.replace(-1, QStringLiteral("x"), QStringLiteral("x")));
  EXPECT_TRUE(l.remove(1));
  EXPECT_FALSE(l.remove(3));
  EXPECT_EQ(l.texts, (QStringList{QStringLiteral("A"), QStringLiteral("c"), QStringLiteral("d")}));
  EXPECT_EQ(l.times, (QStringList{QStringLiteral("1:00"), QStringLiteral("0:09"), QStringLiteral("0:00")}));
}

TEST(AssistantList, StopsAtTheEntriesALyricFileCanHold) {
  AssistantLines l;
  QStringList many;
  for (int i = 0; i < kMaxLyricEntries - 1; ++i) many << QStringLiteral("x");
  EXPECT_EQ(l.append(many), kMaxLyricEntries - 1);
  EXPECT_EQ(l.append({QStringLiteral("y"), QStringLiteral("z")}), 1);
  EXPECT_EQ(l.count(), kMaxLyricEntries);
  EXPECT_FALSE(l.add(QStringLiteral("w"), 0));
  EXPECT_EQ(l.times.size(), l.texts.size());
}

// The mark button through sequences of commands: every row of its table,
// and what a click does in each.
using S = TimingButtons::State;
using A = TimingButtons::Action;
using Step = std::function<void(TimingButtons &)>;

struct Row {
  const char *name;
  std::vector<Step> steps;
  S state;
  int caption;
  bool enabled;
  A click;
};

const Step start = [](TimingButtons &b) { b.started(); };
const Step pause = [](TimingButtons &b) { b.toggled(true, true); };
const Step resume = [](TimingButtons &b) { b.toggled(false, true); };
const Step mark = [](TimingButtons &b) { b.marked(false); };
const Step markLast = [](TimingButtons &b) { b.marked(true); };
const Step edit = [](TimingButtons &b) { b.editStarted(); };
const Step apply = [](TimingButtons &b) { b.editApplied(); };
const Step cancel = [](TimingButtons &b) { b.editCancelled(); };

TEST(MarkButton, StateTable) {
  const Row rows[] = {
      {"waiting", {}, S::Waiting, msg::AssistantMark, false, A::None},
      {"marking", {start}, S::Marking, msg::AssistantMark, true, A::Record},
      {"still marking", {start, mark, mark}, S::Marking, msg::AssistantMark, true, A::Record},
      {"paused", {start, pause}, S::Paused, msg::AssistantMark, false, A::None},
      {"resumed", {start, pause, resume}, S::Marking, msg::AssistantMark, true, A::Record},
      {"finished", {start, mark, markLast}, S::Finished, msg::AssistantMark, false, A::None},
      // Nothing is left to mark: playing again does not enable it.
      {"finished, played again",
       {start, markLast, pause, resume},
       S::Finished,
       msg::AssistantMark,
       false,
       A::None},
      {"editing", {start, mark, edit}, S::Editing, msg::AssistantApply, true, A::Apply},
      {"editing after the end", {start, markLast, edit}, S::Editing, msg::AssistantApply, true, A::Apply},
      {"after edit", {start, mark, edit, apply}, S::AfterEdit, msg::AssistantEdit, false, A::None},
      // A resume enables it in whatever caption it has; as "Edit" a click does nothing.
      {"after edit, resumed",
       {start, mark, edit, apply, pause, resume},
       S::Other,
       msg::AssistantEdit,
       true,
       A::None},
      {"cancel keeps the role", {start, mark, edit, cancel}, S::Editing, msg::AssistantApply, true, A::Apply},
      {"paused while editing", {start, mark, edit, pause}, S::Other, msg::AssistantApply, false, A::None},
  };
  for (const Row &r : rows) {
    TimingButtons b;
    for (const Step &s : r.steps) s(b);
    EXPECT_EQ(b.state(), r.state) << r.name;
    EXPECT_EQ(b.markCaption(), r.caption) << r.name;
    EXPECT_EQ(b.markEnabled(), r.enabled) << r.name;
    EXPECT_EQ(b.click(), r.click) << r.name;
  }
}

TEST(MarkButton, PlayButtonFinishCancelAndLists) {
  TimingButtons b;
  EXPECT_EQ(b.playCaption(), msg::AssistantPlay);
  EXPECT_FALSE(b.finishEnabled());
  b.started();
  EXPECT_EQ(b.playCaption(), msg::AssistantPause);
  b.toggled(true, true);
  EXPECT_EQ(b.playCaption(), msg::AssistantResume);
  b.toggled(false, true);
  EXPECT_EQ(b.playCaption(), msg::AssistantPause);
  // Neither paused nor playing (the player gave up): nothing changes.
  b.toggled(false, false);
  EXPECT_EQ(b.playCaption(), msg::AssistantPause);
  EXPECT_TRUE(b.markEnabled());
  b.marked(false);
  EXPECT_TRUE(b.finishEnabled());  // from the first mark on
  EXPECT_FALSE(b.cancelEnabled());
  b.editStarted();
  EXPECT_TRUE(b.cancelEnabled());
  EXPECT_FALSE(b.listsEnabled());
  EXPECT_TRUE(b.editFieldsEnabled());
  b.editApplied();
  EXPECT_FALSE(b.cancelEnabled());
  EXPECT_TRUE(b.listsEnabled());
  EXPECT_TRUE(b.finishEnabled());
}

// Taking back marks: the entries and the cursor step back together, down to
// nothing recorded; playback goes back three whole seconds, never before 0.
TEST(UndoMark, RemovesTheLastEntryAndMovesTheCursorBack) {
  AssistantLines rec;
  qint16 cursor = 0;
  EXPECT_FALSE(undoLastMark(rec, cursor));  // nothing recorded
  EXPECT_EQ(cursor, 0);
  rec.texts = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
  rec.times = {QStringLiteral("0:01"), QStringLiteral("0:04"), QStringLiteral("0:09")};
  cursor = 3;
  for (int left = 2; left >= 0; --left) {
    EXPECT_TRUE(undoLastMark(rec, cursor));
    EXPECT_EQ(cursor, left);
    EXPECT_EQ(rec.count(), left);
    EXPECT_EQ(rec.times.size(), left);
  }
  EXPECT_FALSE(undoLastMark(rec, cursor));
  EXPECT_EQ(cursor, 0);
}

TEST(UndoMark, SeeksBackThreeWholeSecondsNotBeforeTheStart) {
  struct Case {
    double elapsed;
    qint32 second;
  };
  // Halves go to the even second, as every seek step rounds.
  const Case cases[] = {{10.2, 7}, {10.5, 8}, {11.5, 8}, {3.5, 0}, {2.9, 0}, {-4, 0}, {605.4, 602}};
  for (const Case &c : cases) EXPECT_EQ(undoMarkSecond(c.elapsed), c.second) << c.elapsed;
  EXPECT_EQ(undoMarkSecond(std::nan("")), 0);
}

// Which states allow taking a mark back, and what the buttons show after it.
TEST(UndoMark, OnlyWhileTheMarkButtonMarks) {
  struct Case {
    const char *name;
    std::vector<Step> steps;
    bool canUndo;
  };
  const Case cases[] = {
      {"waiting", {}, true},  // with entries given: the count decides
      {"marking", {start, mark}, true},
      {"paused", {start, mark, pause}, true},
      {"finished", {start, mark, markLast}, true},
      {"editing", {start, mark, edit}, false},
      {"after edit", {start, mark, edit, apply}, false},
  };
  for (const Case &c : cases) {
    TimingButtons b;
    for (const Step &s : c.steps) s(b);
    EXPECT_EQ(b.canUndo(2), c.canUndo) << c.name;
    EXPECT_FALSE(b.canUndo(0)) << c.name;
  }

  // The last line was marked; taking it back while playing (played again)
  // lets it be marked anew.
  TimingButtons b;
  start(b);
  markLast(b);
  b.unmarked(1, true, false);
  EXPECT_EQ(b.state(), S::Marking);
  EXPECT_EQ(b.click(), A::Record);
  EXPECT_FALSE(b.complete());
  EXPECT_TRUE(b.finishEnabled());
  // Paused: nothing to mark until resumed.
  b.unmarked(1, true, true);
  EXPECT_EQ(b.state(), S::Paused);
  EXPECT_EQ(b.playCaption(), msg::AssistantResume);
  // Every mark taken back: finishing would write an empty lyric.
  b.unmarked(0, true, true);
  EXPECT_FALSE(b.finishEnabled());
}

}  // namespace
}  // namespace cantorel
