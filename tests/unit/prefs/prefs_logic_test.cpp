// Schedule entries, clock times and documents of the preferences window.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playback/clock_schedule.h"
#include "prefs/prefs_logic.h"

namespace cantorel {
namespace {

struct TimeCase {
  const char *typed;
  const char *stored;  // empty: refused
};

class ClockTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(ClockTimeTest, NormalizesOrRefuses) {
  EXPECT_EQ(NormalizeClockTime(QString::fromLatin1(GetParam().typed)), QString::fromLatin1(GetParam().stored));
}

INSTANTIATE_TEST_SUITE_P(Times, ClockTimeTest,
                         ::testing::Values(TimeCase{"7:30", "07:30"}, TimeCase{"07:30", "07:30"},
                                           TimeCase{" 8:00 ", "08:00"}, TimeCase{"0:00", "00:00"},
                                           TimeCase{"23:59", "23:59"}, TimeCase{"24:00", ""},
                                           TimeCase{"12:60", ""}, TimeCase{"7:3", ""}, TimeCase{"", ""},
                                           TimeCase{"ab:cd", ""}, TimeCase{"123:45", ""},
                                           TimeCase{"7:30pm", ""}));

struct EntryCase {
  const char *day, *on, *off, *preset;
  ScheduleEntryResult::Outcome outcome;
  const char *entry;
};

class ScheduleEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ScheduleEntryTest, Builds) {
  const EntryCase &c = GetParam();
  const auto r = MakeScheduleEntry(QString::fromLatin1(c.day), QString::fromLatin1(c.on), QString::fromLatin1(c.off),
                                   QString::fromLatin1(c.preset));
  EXPECT_EQ(r.outcome, c.outcome);
  EXPECT_EQ(r.entry, QString::fromLatin1(c.entry));
}

using O = ScheduleEntryResult::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Entries, ScheduleEntryTest,
    ::testing::Values(EntryCase{"R - Thursday", "7:30", "8:00", "3", O::Added, "R 07:30 08:00 03"},
                      EntryCase{"E - Every Day", "00:00", "00:00", "1", O::Ignored, ""},
                      EntryCase{"E - Every Day", "0:00", "00:00", "1", O::Ignored, ""},
                      EntryCase{"D - Weekday", "00:00", "22:15", "12abc", O::Added, "D 00:00 22:15 12"},
                      EntryCase{"N - Weekend", "9:00", "10:00", "", O::Added, "N 09:00 10:00 00"},
                      EntryCase{"N - Weekend", "9:00", "10:00", "123", O::Added, "N 09:00 10:00 123"},
                      EntryCase{"M - Monday", "7:3", "8:00", "1", O::BadTime, ""},
                      EntryCase{"M - Monday", "07:30", "25:00", "1", O::BadTime, ""}));

// An entry the editor stores is one the clock's schedule check reads: the
// off time sits at characters 9 to 13 as "hh:mm".
TEST(ScheduleEntry, FieldsSitWhereTheClockReadsThem) {
  const auto r = MakeScheduleEntry(QStringLiteral("U - Sunday"), QStringLiteral("6:05"), QStringLiteral("7:45"),
                                   QStringLiteral("2"));
  ASSERT_EQ(r.outcome, O::Added);
  EXPECT_TRUE(ClockSchedule::dayMatches(r.entry.at(0), QLatin1Char('U')));
  EXPECT_EQ(r.entry.mid(2, 5), QStringLiteral("06:05"));
  EXPECT_EQ(r.entry.mid(8, 5), QStringLiteral("07:45"));
}

TEST(ScheduleEntry, SelectionAfterDelete) {
  EXPECT_EQ(SelectionAfterDelete(2, 2), 1);   // last of three deleted: new last
  EXPECT_EQ(SelectionAfterDelete(0, 2), 0);   // first deleted: the next one moves up
  EXPECT_EQ(SelectionAfterDelete(0, 0), -1);  // only entry deleted: nothing selected
}

TEST(Documents, ReadFromTheFirstFolderHoldingThem) {
  QTemporaryDir user, install;
  QFile f(QDir(install.path()).filePath(QStringLiteral("credits.txt")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("Caf\xc3\xa9 team\r\n");
  f.close();
  const QStringList folders{user.path(), install.path()};
  EXPECT_EQ(ReadDocument(folders, 3), QStringLiteral("Caf\u00e9 team\r\n"));
  EXPECT_EQ(ReadDocument(folders, 0), QStringLiteral("Could not open file!"));
  EXPECT_EQ(ReadDocument(folders, 7), QStringLiteral("Could not open file!"));
}

TEST(Documents, AllFourShipWithTheProgram) {
  const QStringList folders{qEnvironmentVariable("CANTOREL_DATA_DIR")};
  for (int i = 0; i < 4; ++i) {
    const QString text = ReadDocument(folders, i);
    EXPECT_NE(text, QStringLiteral("Could not open file!")) << DocumentFileName(i).toStdString();
    EXPECT_GT(text.size(), 200);
  }
}

}  // namespace
}  // namespace cantorel
