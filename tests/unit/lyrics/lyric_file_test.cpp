// Our timed-lyric format: the reader's statuses, the writer's bytes, the
// encodings found in the wild (here and in LRC), and what no reader opens.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/text_codec.h"
#include "lyric_test_util.h"
#include "lyrics/assistant_logic.h"
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
      {"(QVL)\r\nA\r\n0:01", LyricStatus::Correct, 1, 1, 3, "A", "0:01"},
      {"(QVL)\nA\r0:01\n", LyricStatus::Correct, 1, 1, 3, "A", "0:01"},
      // Neither trimmed nor checked: the file is taken as written.
      {crlfLines({"(QVL)", " A \t", "00:12"}), LyricStatus::Correct, 1, 1, 3, " A \t", "00:12"},
      {oldHeader + crlfLines({"A", "0:03"}), LyricStatus::Correct, 1, 1, 9, "A", "0:03"},
      {crlfLines({"(QVD)", "h2", "h3", "h4", "h5", "h6"}), LyricStatus::ReadError, 0, 0, 7, "", ""},
      {"", LyricStatus::ReadError, 0, 0, 1, "", ""},
      {crlfLines({"(qvl)", "A", "0:01"}), LyricStatus::BadHeader, 0, 0, 1, "", ""},
      {crlfLines({"(QVL)", "A", "0:01", ""}), LyricStatus::EmptyText, 1, 1, 4, "A", "0:01"},
      {crlfLines({"(QVL)", "A", "", "B", "0:02"}), LyricStatus::EmptyTime, 1, 0, 3, "A", ""},
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
  // One more overflows the 16-bit count: refused with a message of its own,
  // or message 6 from a language file without it.
  EXPECT_EQ(parseLyricBytes(bytes + "x\r\n0:00\r\n", lyric, &count), LyricStatus::TooManyEntries);
  EXPECT_EQ(count, 32767);
  General g;
  g.Messages[6] = QStringLiteral("none");
  EXPECT_EQ(lyricStatusText(LyricStatus::TooManyEntries, g), QStringLiteral("none"));
  g.Messages[187] = QStringLiteral("too long");
  EXPECT_EQ(lyricStatusText(LyricStatus::TooManyEntries, g), QStringLiteral("too long"));
}

// Pipes, devices, folders and huge files would block or flood a reader:
// every lyric reader refuses them unread.
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
  for (const QString &path : {fifo, huge, dir.path(), QStringLiteral("/dev/zero"), QString(),
                              dir.filePath(QStringLiteral("missing"))}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(ReadLyricFile(path, g, lyric), QStringLiteral("message 6"));
    EXPECT_EQ(g.LyricLineCount, 0);
    LrcDocument doc;
    doc.entries.append(LrcEntry{});
    EXPECT_EQ(readLrcFile(path, lyric, &doc), LyricStatus::ReadError);
    EXPECT_TRUE(lyric.PlLyrics.isEmpty());
    EXPECT_TRUE(doc.entries.isEmpty());
    QStringList plain{QStringLiteral("stale")};
    EXPECT_FALSE(readPlainLyricFile(path, &plain));
    EXPECT_TRUE(plain.isEmpty());
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
      // "Ã©" in Windows-1252 is C3 A9, which reads as UTF-8 "é": UTF-8 then.
      {{QStringLiteral("Ã©")}, {QStringLiteral("0:01")}, crlfLines({"(QVL)", "Ã©", "0:01"})},
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
  EXPECT_FALSE(WriteLyricFile(QString(), {}, {}));
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
      {[](const QString &s) -> QByteArray { return QByteArray("\xEF\xBB\xBF") + s.toUtf8(); },
       TextEncoding::Utf8Bom},
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

// The legacy code page the user chose (read as the settings test shows) is
// also what the writer uses, as long as it holds every character.
TEST(LyricEncodings, TheChosenCodePageWrites) {
  ASSERT_TRUE(setLegacyCodePage(QStringLiteral("cp1251")));
  EXPECT_EQ(encodeLyricFile({QStringLiteral("Песня")}, {QStringLiteral("0:01")}),
            QByteArray("(QVL)\r\n\xCF\xE5\xF1\xED\xFF\r\n0:01\r\n"));
  EXPECT_EQ(encodeLyricFile({QStringLiteral("Canción")}, {QStringLiteral("0:01")}),
            QByteArray("(QVL)\r\nCanción\r\n0:01\r\n"));
  // UTF-8 is no legacy code page: refused, and the default page is back.
  EXPECT_FALSE(setLegacyCodePage(QStringLiteral("utf-8")));
  EXPECT_EQ(legacyCodePage(), QStringLiteral("Windows-1252"));
}

}  // namespace
}  // namespace cantorel
