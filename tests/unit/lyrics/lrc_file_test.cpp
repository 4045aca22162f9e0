// LRC files: the variants found in real collections, the entry limit and the
// writer.
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
      {"[00:12.345]A\n[00:13.5]B\n", utf8List({"A@0:12", "B@0:14"})},
      // The display rounds halves to even: 12.5 s still shows 0:12.
      {"[00:12.50]A\n[00:13.50]B\n[00:14.501]C\n", utf8List({"A@0:12", "B@0:14", "C@0:15"})},
      // The latest stamp is one whose time can be written back.
      {"[99999:59.00]A\n[99999:59.01]B\n[100000:00]C\n", utf8List({"A@99999:59"})},
      {"[00:05.00]One\n[00:10.00][00:30.00]Chorus\n[00:20.00]Two\n",
       utf8List({"One@0:05", "Chorus@0:10", "Two@0:20", "Chorus@0:30"})},
      // A positive offset shows lines sooner, a negative one later.
      {"[offset:-3000]\n[00:05.00]A\n", utf8List({"A@0:08"})},
      {"[ar:Someone]\n[00:01.00]  [Chorus] la la  \n", utf8List({"[Chorus] la la@0:01"})},
      {"Just text\n[00:1x]A\n[00:02.00][0:99]B\n", utf8List({"B@0:02"})},
      {"[ar:Someone]\n[ti:Song]\n", {}},
      {"[00:60.00]A\n", {}},
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

TEST(LrcLimits, AtMostTheEntriesOfALyricFile) {
  QByteArray many = QByteArray("[00:01]x\n").repeated(kMaxLyricEntries + 1);
  LyricLines lyric;
  EXPECT_EQ(parseLrcBytes(many, lyric), LyricStatus::TooManyEntries);
  EXPECT_TRUE(lyric.PlLyrics.isEmpty());
  many.chop(9);
  EXPECT_EQ(parseLrcBytes(many, lyric), LyricStatus::Correct);
  EXPECT_EQ(lyric.PlLyrics.size(), kMaxLyricEntries);
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
  QTemporaryDir dir;
  EXPECT_TRUE(WriteLrcFile(dir.filePath(QStringLiteral("song.lrc")), texts, times, tag));
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("song.lrc"))), bytes);
}

}  // namespace
}  // namespace cantorel
