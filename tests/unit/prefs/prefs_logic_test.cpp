// Schedule entries and clock times of the preferences window
// (the window itself: prefs_window_test).
#include <gtest/gtest.h>

#include "prefs/prefs_logic.h"

namespace cantorel {
namespace {

TEST(ClockTimeTest, NormalizesOrRefuses) {
  // An empty result: refused.
  const char *cases[][2] = {{" 7:30 ", "07:30"}, {"23:59", "23:59"}, {"24:00", ""},
                            {"12:60", ""},       {"7:3", ""},        {"7:30pm", ""}};
  for (const auto &c : cases)
    EXPECT_EQ(NormalizeClockTime(QString::fromLatin1(c[0])), QString::fromLatin1(c[1])) << c[0];
}

TEST(ScheduleEntryTest, Builds) {
  using O = ScheduleEntryResult::Outcome;
  const struct {
    const char *day, *on, *off, *preset;
    O outcome;
    const char *entry;
  } cases[] = {{"R - Thursday", "7:30", "8:00", "3", O::Added, "R 07:30 08:00 03"},
               {"E - Every Day", "00:00", "00:00", "1", O::Ignored, ""},
               {"D - Weekday", "00:00", "22:15", "12abc", O::Added, "D 00:00 22:15 12"},
               {"N - Weekend", "9:00", "10:00", "123", O::Added, "N 09:00 10:00 123"},
               {"M - Monday", "07:30", "25:00", "1", O::BadTime, ""}};
  for (const auto &c : cases) {
    const auto r = MakeScheduleEntry(QString::fromLatin1(c.day), QString::fromLatin1(c.on),
                                     QString::fromLatin1(c.off), QString::fromLatin1(c.preset));
    EXPECT_EQ(r.outcome, c.outcome) << c.day;
    EXPECT_EQ(r.entry, QString::fromLatin1(c.entry)) << c.day;
  }
}

}  // namespace
}  // namespace cantorel
