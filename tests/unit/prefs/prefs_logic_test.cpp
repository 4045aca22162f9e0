// Schedule entries and clock times of the preferences window
// (the window itself: prefs_window_test).
#include <gtest/gtest.h>

#include "prefs/prefs_logic.h"

namespace cantorel {
namespace {

struct TimeCase {
  const char *typed;
  const char *stored;  // empty: refused
};

class ClockTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(ClockTimeTest, NormalizesOrRefuses) {
  EXPECT_EQ(NormalizeClockTime(QString::fromLatin1(GetParam().typed)),
            QString::fromLatin1(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(Times, ClockTimeTest,
                         ::testing::Values(TimeCase{" 7:30 ", "07:30"}, TimeCase{"23:59", "23:59"},
                                           TimeCase{"24:00", ""}, TimeCase{"12:60", ""}, TimeCase{"7:3", ""},
                                           TimeCase{"7:30pm", ""}));

struct EntryCase {
  const char *day, *on, *off, *preset;
  ScheduleEntryResult::Outcome outcome;
  const char *entry;
};

class ScheduleEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ScheduleEntryTest, Builds) {
  const EntryCase &c = GetParam();
  const auto r = MakeScheduleEntry(QString::fromLatin1(c.day), QString::fromLatin1(c.on),
                                   QString::fromLatin1(c.off), QString::fromLatin1(c.preset));
  EXPECT_EQ(r.outcome, c.outcome);
  EXPECT_EQ(r.entry, QString::fromLatin1(c.entry));
}

using O = ScheduleEntryResult::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Entries, ScheduleEntryTest,
    ::testing::Values(EntryCase{"R - Thursday", "7:30", "8:00", "3", O::Added, "R 07:30 08:00 03"},
                      EntryCase{"E - Every Day", "00:00", "00:00", "1", O::Ignored, ""},
                      EntryCase{"D - Weekday", "00:00", "22:15", "12abc", O::Added, "D 00:00 22:15 12"},
                      EntryCase{"N - Weekend", "9:00", "10:00", "123", O::Added, "N 09:00 10:00 123"},
                      EntryCase{"M - Monday", "07:30", "25:00", "1", O::BadTime, ""}));

}  // namespace
}  // namespace cantorel
