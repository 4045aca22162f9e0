// Our timed-lyric format: the reader's statuses, the writer's bytes, the
// encodings found in the wild (here and in LRC), and what no reader opens.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/text_codec.h"
#include "lyric_test_util.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_file.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using test::crlfLines;

TEST(LyricReader, StatusListsAndStopLine) {
  const QByteArray oldHeader = crlfLines({"(QVD)", "h2", "h3", "h4", "h5", "h6", "h7"});
  const struct {
    QByteArray bytes;
    LyricStatus status;
    int texts, times;
    int line;  // where reading stopped
    const char *firstText, *firstTime;
  } cases[] = {
      {crlfLines({"(QVL)", "A", "0:12", "B", "0:17"}), LyricStatus::Correct, 2, 2, 5, "A", "0:12"},
      {oldHeader + crlfLines({"A", "0:03"}), LyricStatus::Correct, 1, 1, 9, "A", "0:03"},
      {"", LyricStatus::ReadError, 0, 0, 1, "", ""},
      {crlfLines({"(qvl)", "A", "0:01"}), LyricStatus::BadHeader, 0, 0, 1, "", ""},
      {crlfLines({"(QVL)", "A", "0:01", ""}), LyricStatus::EmptyText, 1, 1, 4, "A", "0:01"},
      {crlfLines({"(QVL)", "A", "0:01", "B"}), LyricStatus::MissingTime, 2, 1, 5, "A", "0:01"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    LyricLines lyric;
    lyric.PlLyrics << QStringLiteral("left over");
    int count = -1, line = -1;
    EXPECT_EQ(parseLyricBytes(c.bytes, lyric, &count, &line), c.status);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(lyric.PlLyrics.size(), c.texts);
    EXPECT_EQ(lyric.PlTimes.size(), c.times);
    EXPECT_EQ(count, c.texts);
    EXPECT_EQ(lyric.PlLyrics.value(0), QString::fromUtf8(c.firstText));
    EXPECT_EQ(lyric.PlTimes.value(0), QString::fromUtf8(c.firstTime));
  }
}

TEST(LyricReaderLimits, AtMost32767Entries) {
  QByteArray bytes = "(QVL)\r\n" + QByteArray("x\r\n0:00\r\n").repeated(kMaxLyricEntries);
  LyricLines lyric;
  int count = 0;
  EXPECT_EQ(parseLyricBytes(bytes, lyric, &count), LyricStatus::Correct);
  EXPECT_EQ(count, 32767);
  // One more overflows the 16-bit count: refused.
  EXPECT_EQ(parseLyricBytes(bytes + "x\r\n0:00\r\n", lyric, &count), LyricStatus::TooManyEntries);
}

// Pipes and huge files would block or flood a reader: every lyric reader
// refuses them unread.
TEST(LyricReaderFiles, OnlyPlainFilesAreReadByEveryReader) {
  QTemporaryDir dir;
  General g = test::lyricGeneral();
  LyricLines lyric;
  g.LyricLineCount = 2;
  const QString fifo = dir.filePath(QStringLiteral("pipe"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString huge = dir.filePath(QStringLiteral("huge"));
  test::writeAll(huge, "(QVL)\r\n[00:01.00]A\r\n0:01\r\n");
  ASSERT_TRUE(QFile::resize(huge, kMaxLyricFileBytes + 1));  // sparse: takes no disk
  for (const QString &path : {fifo, huge}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(ReadLyricFile(path, g, lyric), QStringLiteral("message 6"));
    EXPECT_EQ(g.LyricLineCount, 0);
    EXPECT_EQ(readLrcFile(path, lyric), LyricStatus::ReadError);
  }
}

TEST(LyricWriter, BytesAndRoundTrip) {
  const QString euro = QStringLiteral("Canción € ¿sí?");
  const struct {
    QStringList texts, times;
    QByteArray bytes;  // exactly what the file holds
  } cases[] = {
      {{euro, QStringLiteral(" B ")},
       {QStringLiteral("0:01"), QStringLiteral("1:05")},
       crlfLines({"(QVL)", "Canci\xf3n \x80 \xbfs\xed?", "0:01", " B ", "1:05"})},
      // Beyond Windows-1252: the whole file in UTF-8.
      {{QStringLiteral("歌詞"), euro},
       {QStringLiteral("0:01"), QStringLiteral("0:02")},
       crlfLines({"(QVL)", "歌詞", "0:01", "Canción € ¿sí?", "0:02"})},
  };
  QTemporaryDir dir;
  General g = test::lyricGeneral();
  const QString path = dir.filePath(QStringLiteral("song.qvl"));
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    ASSERT_TRUE(WriteLyricFile(path, c.texts, c.times));
    EXPECT_EQ(test::readAll(path), c.bytes);
    LyricLines back;
    EXPECT_EQ(ReadLyricFile(path, g, back), QStringLiteral("CORRECTO"));
    EXPECT_EQ(back.PlLyrics, c.texts);
    EXPECT_EQ(back.PlTimes, c.times);
  }
}

TEST(LyricWriter, LineBreaksInsideAnEntryCannotShiftTheFile) {
  const QByteArray bytes = encodeLyricFile({QStringLiteral("one\r\ntwo"), QStringLiteral("three")},
                                           {QStringLiteral("0:01\n"), QStringLiteral("0:02")});
  EXPECT_EQ(bytes, crlfLines({"(QVL)", "one  two", "0:01 ", "three", "0:02"}));
}

QByteArray utf16le(const QString &text) {
  QByteArray out("\xFF\xFE", 2);
  out.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
  return out;
}

// One lyric in every encoding found in the wild reads as the same text, in
// our own format and in LRC.
TEST(LyricEncodings, SameLyricInEveryEncoding) {
  const QString text = QStringLiteral("Canción € ¿sí? «ñandú»");
  const QString ours = QStringLiteral("(QVL)\r\n") + text + QStringLiteral("\r\n0:12\r\n");
  const QString lrc = QStringLiteral("[ti:") + text + QStringLiteral("]\r\n[00:12.30]") + text + u'\n';
  const struct {
    QByteArray (*encode)(const QString &);
    TextEncoding encoding;
  } encodings[] = {
      {[](const QString &s) -> QByteArray { return s.toUtf8(); }, TextEncoding::Utf8},
      {utf16le, TextEncoding::Utf16LeBom},
      {encodeWindows1252, TextEncoding::Legacy},
  };
  for (const auto &e : encodings) {
    SCOPED_TRACE(static_cast<int>(e.encoding));
    LyricLines lyric;
    ASSERT_EQ(parseLyricBytes(e.encode(ours), lyric), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics, QStringList{text});
    EXPECT_EQ(lyric.PlTimes, QStringList{QStringLiteral("0:12")});
    LrcDocument doc;
    ASSERT_EQ(parseLrcBytes(e.encode(lrc), lyric, &doc), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics, QStringList{text});
    EXPECT_EQ(doc.title, text);
    EXPECT_EQ(doc.encoding, e.encoding);
  }
}

}  // namespace
}  // namespace cantorel
