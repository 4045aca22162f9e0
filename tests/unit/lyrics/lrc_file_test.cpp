// LRC files: the variants found in real collections, what the author is
// warned about, and the writer.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lyric_test_util.h"
#include "lyrics/lrc_file.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

// "text@time" pairs, the way the player holds them.
QStringList pairs(const LyricLines &l) {
  QStringList out;
  for (qsizetype k = 0; k < l.PlLyrics.size(); ++k) out << l.PlLyrics[k] + u'@' + l.PlTimes.value(k);
  return out;
}

QStringList utf8List(std::initializer_list<const char *> items) {
  QStringList out;
  for (const char *s : items) out << QString::fromUtf8(s);
  return out;
}

TEST(LrcParse, Variants) {
  const struct {
    QByteArray bytes;
    QStringList expected;  // "text@time"; empty: the file is refused
  } cases[] = {
      {"[00:12.34]Hello\n[00:17.80]World\n", utf8List({"Hello@0:12", "World@0:18"})},
      {"[0:12]A\n[1:05]B", utf8List({"A@0:12", "B@1:05"})},
      {"[00:12.345]A\n[00:13.5]B\n", utf8List({"A@0:12", "B@0:14"})},
      // The display rounds halves to even: 12.5 s still shows 0:12.
      {"[00:12.50]A\n[00:13.50]B\n[00:14.501]C\n", utf8List({"A@0:12", "B@0:14", "C@0:15"})},
      {"[00:12:34]A\n[01:02:99]B\n", utf8List({"A@0:12", "B@1:03"})},
      {"[01:02:03.45]A\n[125:00.00]B\n", utf8List({"A@62:03", "B@125:00"})},
      // The latest stamp is one whose time can be written back; a late
      // offset cannot push a line past it.
      {"[99999:59.00]A\n[99999:59.01]B\n[100000:00]C\n", utf8List({"A@99999:59"})},
      {"[offset:-9000]\n[99999:55.00]A\n", utf8List({"A@99999:59"})},
      {"[00:05.00]One\n[00:10.00][00:30.00]Chorus\n[00:20.00]Two\n",
       utf8List({"One@0:05", "Chorus@0:10", "Two@0:20", "Chorus@0:30"})},
      // The offset shows lines sooner (a negative one later), wherever it
      // stands, never before 0:00.
      {"[offset:-3000]\n[00:05.00]A\n", utf8List({"A@0:08"})},
      {"[00:05.00]A\n[offset:1000]\n", utf8List({"A@0:04"})},
      {"[offset:5000]\n[00:02.00]A\n[00:09.00]B\n", utf8List({"A@0:00", "B@0:04"})},
      {"[ar:Someone]\n[ti:Song]\n[length: 03:45]\n[re:x]\n[00:01.00]A\n", utf8List({"A@0:01"})},
      {"[00:01.00]  [Chorus] la la  \n", utf8List({"[Chorus] la la@0:01"})},
      {"  [00:01.00] [00:02.00] A\n", utf8List({"A@0:01", "A@0:02"})},
      {"[00:1x]A\n[00:02.00][0:99]B\n", utf8List({"B@0:02"})},
      {"Just text\n[Chorus]\n[00:02.00]B\n", utf8List({"B@0:02"})},
      {"[ar:Someone]\n[ti:Song]\n", {}},
      {"(QVL)\r\nA\r\n0:01\r\n", {}},
      {"", {}},
      {"[00:60.00]A\n", {}},
      {"[00:01.2345]A\n", {}},
      {"[-00:01.00]A\n", {}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    LyricLines lyric;
    lyric.PlLyrics << QStringLiteral("left over");
    EXPECT_EQ(parseLrcBytes(c.bytes, lyric),
              c.expected.isEmpty() ? LyricStatus::ReadError : LyricStatus::Correct);
    EXPECT_EQ(pairs(lyric), c.expected);
    EXPECT_EQ(lyric.PlLyrics.size(), lyric.PlTimes.size());
  }
}

// Every line keeps its stamp (offset applied) for the player; kept in our
// whole-second format, lines of one second become one line and a gap gives
// way to a text.
TEST(LrcParse, StampsKeptPerLineAndJoinedForOurFormat) {
  const struct {
    QByteArray bytes;
    QList<qint64> stamps;
    QStringList joined;
  } cases[] = {
      {"[00:01.10]\n[00:01.40]A\n[00:01.45]B\n[00:01.48]\n[00:03.00]C\n",
       {1100, 1400, 1450, 1480, 3000},
       utf8List({"A / B@0:01", "C@0:03"})},
  };
  for (const auto &c : cases) {
    LyricLines lyric;
    ASSERT_EQ(parseLrcBytes(c.bytes, lyric), LyricStatus::Correct);
    EXPECT_TRUE(lyric.stamped());
    EXPECT_EQ(lyric.PlStampsMs, c.stamps);
    joinSameSecond(lyric);
    EXPECT_EQ(pairs(lyric), c.joined);
    EXPECT_FALSE(lyric.stamped());
  }
}

TEST(LrcDocumentTest, Warnings) {
  const struct {
    QByteArray bytes;
    QStringList expected;  // "line kind"
  } cases[] = {
      {"[00:05.00]A\n[00:02.00]B\n[00:03.00]C\n", utf8List({"2 out-of-order"})},
      {"[00:01.00]A\n[00:04.00]B\n[00:04.00]C\n", utf8List({"3 duplicate-stamp", "3 same-second"})},
      {"[length:00:30]\n[00:10.00]A\n[00:31.00]B\n", utf8List({"3 past-length"})},
      {"[00:01.00]A\n[00:02.000]B\n[00:03]C\n", utf8List({"2 mixed-precision"})},
      {"[00:01.00]A <00:01.5 B\n[00:02.00]C [00:03.00] D\n", utf8List({"1 word-stamp", "2 word-stamp"})},
      {"[offset:soon]\n[length:long]\n[00:01.00]A\n", utf8List({"1 malformed-tag", "2 malformed-tag"})},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes.toStdString());
    LyricLines lyric;
    LrcDocument doc;
    parseLrcBytes(c.bytes, lyric, &doc);
    QStringList got;
    for (const LrcWarning &w : doc.warnings) {
      got << QString::number(w.line) + u' ' + lrcWarningKindName(w.kind);
      EXPECT_FALSE(w.text.isEmpty());
    }
    EXPECT_EQ(got, c.expected);
  }
}

TEST(LrcLimits, EntriesAndWarningsAreBounded) {
  QByteArray many = QByteArray("[00:01]x\n").repeated(kMaxLyricEntries + 1);
  LyricLines lyric;
  LrcDocument doc;
  EXPECT_EQ(parseLrcBytes(many, lyric, &doc), LyricStatus::TooManyEntries);
  EXPECT_TRUE(lyric.PlLyrics.isEmpty());
  EXPECT_EQ(doc.warnings.size(), kMaxLrcWarnings);
  EXPECT_GT(doc.warningsDropped, 0);
  many.chop(9);
  EXPECT_EQ(parseLrcBytes(many, lyric, &doc), LyricStatus::Correct);
  EXPECT_EQ(lyric.PlLyrics.size(), kMaxLyricEntries);
}

// Long lines of what the reader looks for (word stamps, brackets, stamps)
// are read in one pass: a reader that searched ahead from each of them would
// not finish.
TEST(LrcLimits, LongLinesOfMarksAreReadInOnePass) {
  const QByteArray lines[] = {
      "[00:01.00]" + QByteArray(2'000'000, '<'),          QByteArray(2'000'000, '['),
      "[00:01.00]" + QByteArray("<0:").repeated(600'000), QByteArray("[0:").repeated(600'000) + "]",
      QByteArray("[00:01]").repeated(300'000) + "x",
  };
  for (const QByteArray &line : lines) {
    LyricLines lyric;
    LrcDocument doc;
    parseLrcBytes(line, lyric, &doc);
    EXPECT_LE(lyric.PlLyrics.size(), 1);
  }
}

TEST(LrcDetect, NamesAndContent) {
  EXPECT_TRUE(isLrcFileName(QStringLiteral("/a/Song.LRC")));
  const QString utf16 = QStringLiteral("[ar:x]\n\n  [00:01]A");
  EXPECT_TRUE(looksLikeLrc(QByteArray("\xFF\xFE") +
                           QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)));
  EXPECT_FALSE(looksLikeLrc("(QVL)\r\n[00:01.00]\r\n0:01\r\n"));
  EXPECT_FALSE(looksLikeLrc("[ar:x]\nno stamps\n"));
}

// Whole-second times as stamps, a gap as a stamp without text, the tag's
// title and artist; what the reader takes back.
TEST(LrcWriter, BytesTagsAndStampsReadBack) {
  TagInfo tag;
  tag.setTitle(QStringLiteral("Canción"));
  tag.setArtist(QStringLiteral("Someone"));
  const QStringList texts = utf8List({"Uno", " ", "[Chorus] two\nlines", "歌詞", "late", "no time", "extra"});
  const QStringList times = utf8List({"0:05", "0:09", "1:00", "9:59", "100:07", "-0:04"});
  const QByteArray bytes = encodeLrcFile(texts, times, tag);
  EXPECT_EQ(bytes,
            QByteArray("[ti:Canción]\n[ar:Someone]\n[00:05.00]Uno\n[00:09.00]\n[01:00.00][Chorus] two lines\n"
                       "[09:59.00]歌詞\n[100:07.00]late\n"));
  LyricLines back;
  ASSERT_EQ(parseLrcBytes(bytes, back), LyricStatus::Correct);
  EXPECT_EQ(back.PlLyrics, utf8List({"Uno", " ", "[Chorus] two lines", "歌詞", "late"}));
  EXPECT_EQ(back.PlTimes, times.mid(0, 5));
  QTemporaryDir dir;
  EXPECT_TRUE(WriteLrcFile(dir.filePath(QStringLiteral("song.lrc")), texts, times, tag));
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("song.lrc"))), bytes);
}

}  // namespace
}  // namespace cantorel
