// Schedule entries, clock times and documents of the preferences window
// (the window itself: prefs_window_test).
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "prefs/prefs_logic.h"
#include "support/test_support.h"

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
                         ::testing::Values(TimeCase{"7:30", "07:30"}, TimeCase{" 8:00 ", "08:00"},
                                           TimeCase{"23:59", "23:59"}, TimeCase{"24:00", ""},
                                           TimeCase{"12:60", ""}, TimeCase{"7:3", ""}, TimeCase{"ab:cd", ""},
                                           TimeCase{"123:45", ""}, TimeCase{"7:30pm", ""}));

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
                      EntryCase{"N - Weekend", "9:00", "10:00", "", O::Added, "N 09:00 10:00 00"},
                      EntryCase{"N - Weekend", "9:00", "10:00", "123", O::Added, "N 09:00 10:00 123"},
                      EntryCase{"M - Monday", "07:30", "25:00", "1", O::BadTime, ""}));

TEST(Documents, ReadFromTheFirstFolderHoldingThem) {
  QTemporaryDir user, install;
  test::writeAll(QDir(install.path()).filePath(QStringLiteral("credits.txt")), "Caf\xc3\xa9 team\r\n");
  const QStringList folders{user.path(), install.path()};
  EXPECT_EQ(ReadDocument(folders, 3), QStringLiteral("Caf\u00e9 team\r\n"));
  EXPECT_EQ(ReadDocument(folders, 0), QStringLiteral("Could not open file!"));
  EXPECT_EQ(ReadDocument(folders, 7), QStringLiteral("Could not open file!"));
}

}  // namespace
}  // namespace cantorel
