// The assistant's rules that its window test does not reach in every case:
// the time check, the entry limit and the undo seek. The
// buttons and lists are checked by driving the windows
// (tests/window/lyric_assistant_test.cpp).
#include <gtest/gtest.h>

#include <cmath>

#include "lyrics/assistant_logic.h"
#include "lyrics/lyric_file.h"

namespace cantorel {
namespace {

TEST(MarkTime, ExactlyDigitColonDigitDigit) {
  const struct {
    const char *time;
    bool valid;
  } cases[] = {{"9:75", true}, {"10:05", false}, {"0:7", false}, {" 0:07", false}, {"0.07", false}};
  for (const auto &c : cases) EXPECT_EQ(isValidMarkTime(QString::fromLatin1(c.time)), c.valid) << c.time;
}

TEST(AssistantList, StopsAtTheEntriesALyricFileCanHold) {
  AssistantLines l;
  EXPECT_EQ(l.append(QStringList(kMaxLyricEntries - 1, QStringLiteral("x"))), kMaxLyricEntries - 1);
  EXPECT_EQ(l.append({QStringLiteral("y"), QStringLiteral("z")}), 1);
  EXPECT_FALSE(l.add(QStringLiteral("w"), 0));
  EXPECT_EQ(l.count(), kMaxLyricEntries);
  EXPECT_EQ(l.times.size(), l.texts.size());
}

// Taking a mark back goes back three whole seconds, halves to the even
// second as every seek step rounds, never before the start.
TEST(UndoMark, SeeksBackThreeWholeSecondsNotBeforeTheStart) {
  const struct {
    double elapsed;
    qint32 second;
  } cases[] = {{10.2, 7}, {10.5, 8}, {11.5, 8}, {2.9, 0}, {std::nan(""), 0}};
  for (const auto &c : cases) EXPECT_EQ(undoMarkSecond(c.elapsed), c.second) << c.elapsed;
}

}  // namespace
}  // namespace cantorel
