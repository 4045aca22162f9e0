// The timed-lyric reader's statuses and the writer's bytes.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "lyric_test_util.h"
#include "lyrics/lyric_file.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using test::crlfLines;

struct ReadCase {
  const char *what;
  QByteArray bytes;
  LyricStatus status;
  int texts;
  int times;
  int line;                         // where reading stopped
  const char *firstText = nullptr;  // checked when given (UTF-8)
  const char *firstTime = nullptr;
};

class LyricReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LyricReader, StatusAndLists) {
  const ReadCase &c = GetParam();
  LyricLines lyric;
  lyric.PlLyrics << QStringLiteral("left over");
  int count = -1, line = -1;
  EXPECT_EQ(parseLyricBytes(c.bytes, lyric, &count, &line), c.status);
  EXPECT_EQ(line, c.line);
  EXPECT_EQ(lyric.PlLyrics.size(), c.texts);
  EXPECT_EQ(lyric.PlTimes.size(), c.times);
  EXPECT_EQ(count, c.texts);
  if (c.firstText) {
    EXPECT_EQ(lyric.PlLyrics.value(0), QString::fromUtf8(c.firstText));
  }
  if (c.firstTime) {
    EXPECT_EQ(lyric.PlTimes.value(0), QString::fromUtf8(c.firstTime));
  }
}

const QByteArray kQvdHeader = crlfLines({"(QVD)", "h2", "h3", "h4", "h5", "h6", "h7"});

INSTANTIATE_TEST_SUITE_P(
    Files, LyricReader,
    ::testing::Values(
        ReadCase{"two entries", crlfLines({"(QVL)", "A", "0:12", "B", "0:17"}), LyricStatus::Correct, 2, 2, 5,
                 "A", "0:12"},
        ReadCase{"header only", crlfLines({"(QVL)"}), LyricStatus::Correct, 0, 0, 1},
        ReadCase{"header without line end", "(QVL)", LyricStatus::Correct, 0, 0, 1},
        ReadCase{"last line without line end", "(QVL)\r\nA\r\n0:01", LyricStatus::Correct, 1, 1, 3, "A",
                 "0:01"},
        ReadCase{"LF line ends", "(QVL)\nA\n0:01\n", LyricStatus::Correct, 1, 1, 3, "A", "0:01"},
        ReadCase{"lone CR line ends", "(QVL)\rA\r0:01\r", LyricStatus::Correct, 1, 1, 3, "A", "0:01"},
        ReadCase{"lines never trimmed", crlfLines({"(QVL)", " A \t", " 0:07"}), LyricStatus::Correct, 1, 1, 3,
                 " A \t", " 0:07"},
        ReadCase{"times never checked", crlfLines({"(QVL)", "A", "00:12", "B", "0:12"}), LyricStatus::Correct,
                 2, 2, 5, "A", "00:12"},
        ReadCase{"Windows-1252 text", crlfLines({"(QVL)", "Canci\xf3n \x80", "0:01"}), LyricStatus::Correct,
                 1, 1, 3, "Canción €"},
        ReadCase{"UTF-8 with byte-order mark", "\xEF\xBB\xBF(QVL)\r\nCanción\r\n0:01\r\n",
                 LyricStatus::Correct, 1, 1, 3, "Canción"},
        ReadCase{"old header of seven lines", kQvdHeader, LyricStatus::Correct, 0, 0, 7},
        ReadCase{"old header with entries", kQvdHeader + crlfLines({"A", "0:03"}), LyricStatus::Correct, 1, 1,
                 9, "A"},
        ReadCase{"old header cut short", crlfLines({"(QVD)", "h2", "h3", "h4", "h5", "h6"}),
                 LyricStatus::ReadError, 0, 0, 7},
        ReadCase{"empty file", "", LyricStatus::ReadError, 0, 0, 1},
        ReadCase{"lower-case header", crlfLines({"(qvl)", "A", "0:01"}), LyricStatus::BadHeader, 0, 0, 1},
        ReadCase{"header with trailing space", crlfLines({"(QVL) ", "A", "0:01"}), LyricStatus::BadHeader, 0,
                 0, 1},
        ReadCase{"empty first line", crlfLines({"", "(QVL)"}), LyricStatus::BadHeader, 0, 0, 1},
        ReadCase{"trailing empty line", crlfLines({"(QVL)", "A", "0:01", ""}), LyricStatus::EmptyText, 1, 1,
                 4},
        ReadCase{"empty text", crlfLines({"(QVL)", "A", "0:01", "", "0:02"}), LyricStatus::EmptyText, 1, 1,
                 4},
        ReadCase{"empty time", crlfLines({"(QVL)", "A", "", "B", "0:02"}), LyricStatus::EmptyTime, 1, 0, 3},
        ReadCase{"last text without time", crlfLines({"(QVL)", "A", "0:01", "B"}), LyricStatus::MissingTime,
                 2, 1, 5}),
    [](const ::testing::TestParamInfo<ReadCase> &info) {
      std::string name;
      for (const char *p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

QByteArray entries(int n) {
  QByteArray b = "(QVL)\r\n";
  b.reserve(n * 12 + 8);
  for (int k = 0; k < n; ++k) b += "x\r\n0:00\r\n";
  return b;
}

TEST(LyricReaderLimits, AtMost32767Entries) {
  LyricLines lyric;
  int count = 0;
  EXPECT_EQ(parseLyricBytes(entries(kMaxLyricEntries), lyric, &count), LyricStatus::Correct);
  EXPECT_EQ(count, 32767);
  // One more entry overflows the 16-bit count: refused with a message of its
  // own (not "no lyric found"), or message 6 from a language file without it.
  EXPECT_EQ(parseLyricBytes(entries(kMaxLyricEntries + 1), lyric, &count), LyricStatus::TooManyEntries);
  EXPECT_EQ(count, 32767);
  General g;
  g.Messages[6] = QStringLiteral("none");
  EXPECT_EQ(lyricStatusText(LyricStatus::TooManyEntries, g), QStringLiteral("none"));
  g.Messages[187] = QStringLiteral("too long");
  EXPECT_EQ(lyricStatusText(LyricStatus::TooManyEntries, g), QStringLiteral("too long"));
}

TEST(LyricReaderFiles, StatusTextsAndCounters) {
  QTemporaryDir dir;
  General g = test::lyricGeneral();
  LyricLines lyric;
  const QString good = dir.filePath(QStringLiteral("good.qvl"));
  const QString bad = dir.filePath(QStringLiteral("bad.qvl"));
  test::writeAll(good, crlfLines({"(QVL)", "A", "0:12", "B", "0:17"}));
  test::writeAll(bad, crlfLines({"(QVL)", "A", "0:12", "B"}));

  g.LyricNext = 5;
  EXPECT_EQ(ReadLyricFile(good, g, lyric), QStringLiteral("CORRECTO"));
  EXPECT_EQ(g.LyricLineCount, 2);
  EXPECT_EQ(g.LyricNext, 0);
  EXPECT_EQ(lyric.PlTimes, (QStringList{QStringLiteral("0:12"), QStringLiteral("0:17")}));

  EXPECT_EQ(ReadLyricFile(bad, g, lyric), QStringLiteral("message 3"));
  EXPECT_EQ(g.LyricLineCount, 2);
  EXPECT_EQ(ReadLyricFile(dir.filePath(QStringLiteral("missing.qvl")), g, lyric),
            QStringLiteral("message 6"));
  EXPECT_EQ(g.LyricLineCount, 0);
  EXPECT_TRUE(lyric.PlLyrics.isEmpty());
}

TEST(LyricReaderFiles, ThingsThatAreNotPlainFilesFailAtOnce) {
  QTemporaryDir dir;
  LyricLines lyric;
  const QString folder = dir.filePath(QStringLiteral("folder.qvl"));
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_EQ(readLyricFileStatus(folder, lyric), LyricStatus::ReadError);
  // A named pipe nobody writes to would block a plain open forever.
  const QString fifo = dir.filePath(QStringLiteral("pipe.qvl"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_EQ(readLyricFileStatus(fifo, lyric), LyricStatus::ReadError);
  EXPECT_EQ(readLyricFileStatus(QStringLiteral("/dev/zero"), lyric), LyricStatus::ReadError);
  EXPECT_EQ(readLyricFileStatus(QString(), lyric), LyricStatus::ReadError);
  // Larger than any lyric: refused unread (a sparse file takes no disk).
  const QString huge = dir.filePath(QStringLiteral("huge.qvl"));
  test::writeAll(huge, "(QVL)\r\n");
  ASSERT_TRUE(QFile::resize(huge, kMaxLyricFileBytes + 1));
  EXPECT_EQ(readLyricFileStatus(huge, lyric), LyricStatus::ReadError);
}

struct WriteCase {
  const char *what;
  QStringList texts;
  QStringList times;
  QByteArray bytes;  // exactly what the file holds
};

TEST(LyricWriter, BytesAndRoundTrip) {
  const QString euro = QStringLiteral("Canción € ¿sí?");
  const QString japanese = QStringLiteral("歌詞");
  // "Ã©" in Windows-1252 is the bytes C3 A9, which read as UTF-8 "é": such a
  // text is written as UTF-8 so it reads back unchanged.
  const QString lookalike = QStringLiteral("Ã©");
  const WriteCase cases[] = {
      {"empty lyric", {}, {}, "(QVL)\r\n"},
      {"plain",
       {QStringLiteral("A"), QStringLiteral(" B ")},
       {QStringLiteral("0:12"), QStringLiteral("1:05")},
       crlfLines({"(QVL)", "A", "0:12", " B ", "1:05"})},
      {"Windows-1252",
       {euro},
       {QStringLiteral("0:01")},
       crlfLines({"(QVL)", "Canci\xf3n \x80 \xbfs\xed?", "0:01"})},
      {"beyond Windows-1252",
       {japanese, euro},
       {QStringLiteral("0:01"), QStringLiteral("0:02")},
       crlfLines({"(QVL)", "歌詞", "0:01", "Canción € ¿sí?", "0:02"})},
      {"lookalike of UTF-8", {lookalike}, {QStringLiteral("0:01")}, crlfLines({"(QVL)", "Ã©", "0:01"})},
  };
  QTemporaryDir dir;
  General g = test::lyricGeneral();
  for (const WriteCase &c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = dir.filePath(QString::fromUtf8(c.what) + QLatin1String(".qvl"));
    ASSERT_TRUE(WriteLyricFile(path, c.texts, c.times));
    EXPECT_EQ(test::readAll(path), c.bytes);
    LyricLines back;
    EXPECT_EQ(ReadLyricFile(path, g, back), QStringLiteral("CORRECTO"));
    EXPECT_EQ(back.PlLyrics, c.texts);
    EXPECT_EQ(back.PlTimes, c.times);
    // Reading and writing again gives the same bytes.
    ASSERT_TRUE(WriteLyricFile(path, back.PlLyrics, back.PlTimes));
    EXPECT_EQ(test::readAll(path), c.bytes);
  }
}

TEST(LyricWriter, LineBreaksInsideAnEntryCannotShiftTheFile) {
  const QByteArray bytes = encodeLyricFile({QStringLiteral("one\r\ntwo"), QStringLiteral("three")},
                                           {QStringLiteral("0:01\n"), QStringLiteral("0:02")});
  EXPECT_EQ(bytes, crlfLines({"(QVL)", "one  two", "0:01 ", "three", "0:02"}));
  LyricLines lyric;
  EXPECT_EQ(parseLyricBytes(bytes, lyric), LyricStatus::Correct);
  EXPECT_EQ(lyric.PlTimes.value(1), QStringLiteral("0:02"));
  EXPECT_FALSE(WriteLyricFile(QString(), {}, {}));
}

}  // namespace
}  // namespace cantorel
