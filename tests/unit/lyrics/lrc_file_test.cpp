// LRC files: the variants found in real collections, what the author is
// warned about, and the writer.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>

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

struct ParseCase {
  const char *what;
  QByteArray bytes;
  QStringList expected;  // "text@time"; empty: the file is refused
};

class LrcParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(LrcParse, Entries) {
  const ParseCase &c = GetParam();
  LyricLines lyric;
  lyric.PlLyrics << QStringLiteral("left over");
  const LyricStatus s = parseLrcBytes(c.bytes, lyric);
  EXPECT_EQ(s, c.expected.isEmpty() ? LyricStatus::ReadError : LyricStatus::Correct);
  EXPECT_EQ(pairs(lyric), c.expected);
  EXPECT_EQ(lyric.PlLyrics.size(), lyric.PlTimes.size());
  EXPECT_EQ(lyric.stamped(), !c.expected.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Variants, LrcParse,
    ::testing::Values(
        ParseCase{"hundredths", "[00:12.34]Hello\n[00:17.80]World\n", utf8List({"Hello@0:12", "World@0:18"})},
        ParseCase{"no fraction and one minute digit", "[0:12]A\n[1:05]B", utf8List({"A@0:12", "B@1:05"})},
        ParseCase{"milliseconds", "[00:12.345]A\n[00:13.5]B\n", utf8List({"A@0:12", "B@0:14"})},
        // The display rounds halves to even: 12.5 s still shows 0:12.
        ParseCase{"half seconds round to even", "[00:12.50]A\n[00:13.50]B\n[00:14.501]C\n",
                  utf8List({"A@0:12", "B@0:14", "C@0:15"})},
        ParseCase{"colon before the hundredths", "[00:12:34]A\n[01:02:99]B\n",
                  utf8List({"A@0:12", "B@1:03"})},
        ParseCase{"hours", "[01:02:03.45]A\n", utf8List({"A@62:03"})},
        ParseCase{"ten minutes and more", "[10:15.00]A\n[125:00.00]B\n", utf8List({"A@10:15", "B@125:00"})},
        // The latest stamp is one whose time can be written back; a late
        // offset cannot push a line past it.
        ParseCase{"latest stamp", "[99999:59.00]A\n[99999:59.01]B\n[100000:00]C\n", utf8List({"A@99999:59"})},
        ParseCase{"negative offset stops at the latest time", "[offset:-9000]\n[99999:55.00]A\n",
                  utf8List({"A@99999:59"})},
        ParseCase{"several stamps on one line, ordered by time",
                  "[00:05.00]One\n[00:10.00][00:30.00]Chorus\n[00:20.00]Two\n",
                  utf8List({"One@0:05", "Chorus@0:10", "Two@0:20", "Chorus@0:30"})},
        ParseCase{"offset shows lines sooner", "[offset:+2000]\n[00:05.00]A\n[00:10.47]B\n",
                  utf8List({"A@0:03", "B@0:08"})},
        ParseCase{"offset with a blank and no sign", "[offset: 1500]\n[00:05.00]A\n", utf8List({"A@0:04"})},
        ParseCase{"negative offset shows lines later", "[offset:-3000]\n[00:05.00]A\n", utf8List({"A@0:08"})},
        ParseCase{"offset after the lines still counts", "[00:05.00]A\n[offset:1000]\n",
                  utf8List({"A@0:04"})},
        ParseCase{"never before 0:00", "[offset:5000]\n[00:02.00]A\n[00:09.00]B\n",
                  utf8List({"A@0:00", "B@0:04"})},
        ParseCase{
            "ID tags are not lines",
            "[ar:Someone]\n[ti:Song]\n[al:Album]\n[by:me]\n[length: 03:45]\n[re:x]\n[ve:1]\n[00:01.00]A\n",
            utf8List({"A@0:01"})},
        ParseCase{"word stamps removed", "[00:01.00]<00:01.00>Hel<00:01.40>lo <00:01.80>world<00:02.10>\n",
                  utf8List({"Hello world@0:01"})},
        ParseCase{"blank text is a gap", "[00:01.00]A\n[00:04.00]\n[00:06.00]   \n[00:09.00]B\n",
                  utf8List({"A@0:01", " @0:04", " @0:06", "B@0:09"})},
        ParseCase{"text trimmed, brackets inside kept", "[00:01.00]  [Chorus] la la  \n",
                  utf8List({"[Chorus] la la@0:01"})},
        ParseCase{"same second kept apart on their stamps",
                  "[00:01.10]A\n[00:01.40]B\n[00:01.45]\n[00:03.00]C\n",
                  utf8List({"A@0:01", "B@0:01", " @0:01", "C@0:03"})},
        ParseCase{"CR LF and a byte-order mark", "\xEF\xBB\xBF[00:01.00]Canción\r\n[00:02.00]B\r\n",
                  utf8List({"Canción@0:01", "B@0:02"})},
        ParseCase{"Windows-1252", "[00:01.00]Canci\xf3n \x80\n", utf8List({"Canción €@0:01"})},
        ParseCase{"blanks before the stamp and between stamps", "  [00:01.00] [00:02.00] A\n",
                  utf8List({"A@0:01", "A@0:02"})},
        ParseCase{"malformed stamp skipped, the next counts", "[00:1x]A\n[00:02.00][0:99]B\n",
                  utf8List({"B@0:02"})},
        ParseCase{"untimed lines ignored", "Just text\n[Chorus]\n[00:02.00]B\n", utf8List({"B@0:02"})},
        ParseCase{"tags only", "[ar:Someone]\n[ti:Song]\n", {}},
        ParseCase{"our own format is not LRC", "(QVL)\r\nA\r\n0:01\r\n", {}}, ParseCase{"empty", "", {}},
        ParseCase{"unclosed bracket", "[00:01.00\n", {}}, ParseCase{"seconds past 59", "[00:60.00]A\n", {}},
        ParseCase{"four fraction digits", "[00:01.2345]A\n", {}},
        ParseCase{"negative stamp", "[-00:01.00]A\n", {}}),
    [](const ::testing::TestParamInfo<ParseCase> &info) {
      std::string name;
      for (const char *p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name;
    });

// Every line keeps its stamp (offset applied) for the player; kept in our
// whole-second format, lines of one second become one line and a gap gives
// way to a text.
TEST(LrcStamps, KeptPerLineAndJoinedForOurFormat) {
  const struct {
    QByteArray bytes;
    QList<qint64> stamps;
    QStringList joined;
  } cases[] = {
      {"[00:01.10]A\n[00:01.40]B\n[00:01.45]\n[00:03.00]C\n", {1100, 1400, 1450, 3000},
       utf8List({"A / B@0:01", "C@0:03"})},
      {"[00:01.10]\n[00:01.40]B\n", {1100, 1400}, utf8List({"B@0:01"})},
      {"[offset:+2000]\n[00:05.00]A\n[00:10.47]B\n", {3000, 8470}, utf8List({"A@0:03", "B@0:08"})},
  };
  for (const auto &c : cases) {
    LyricLines lyric;
    ASSERT_EQ(parseLrcBytes(c.bytes, lyric), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlStampsMs, c.stamps);
    joinSameSecond(lyric);
    EXPECT_EQ(pairs(lyric), c.joined);
    EXPECT_FALSE(lyric.stamped());
  }
}

TEST(LrcDocumentTest, TagsOffsetLengthAndEntries) {
  LyricLines lyric;
  LrcDocument doc;
  const QByteArray bytes =
      "[ti: Song ]\n[ar:Someone]\n[al:Album]\n[by:me]\n[offset:+250]\n[length:03:45.50]\n"
      "[00:12.00][00:40.00]Chorus\n[00:20.00]Verse\n";
  ASSERT_EQ(parseLrcBytes(bytes, lyric, &doc), LyricStatus::Correct);
  EXPECT_EQ(QStringList({doc.title, doc.artist, doc.album, doc.author}),
            QStringList({QStringLiteral("Song"), QStringLiteral("Someone"), QStringLiteral("Album"),
                         QStringLiteral("me")}));
  EXPECT_EQ(doc.offsetMs, 250);
  EXPECT_EQ(doc.lengthMs, 225500);
  EXPECT_EQ(doc.tags.size(), 6);
  // Entries by shown time, each with the line it came from.
  QStringList entries;
  for (const LrcEntry &e : doc.entries)
    entries << QStringLiteral("%1 %2 %3 %4").arg(e.stampMs).arg(e.shownMs).arg(e.time).arg(e.line);
  EXPECT_EQ(entries, QStringList({QStringLiteral("12000 11750 0:12 7"), QStringLiteral("20000 19750 0:20 8"),
                                  QStringLiteral("40000 39750 0:40 7")}));
  EXPECT_TRUE(doc.warnings.isEmpty());
}

struct WarnCase {
  const char *what;
  QByteArray bytes;
  QStringList expected;  // "line kind"
};

TEST(LrcDocumentTest, Warnings) {
  const WarnCase cases[] = {
      {"clean", "[00:01.00]A\n[00:02.00]B\n", {}},
      {"out of order", "[00:05.00]A\n[00:02.00]B\n[00:03.00]C\n", {QStringLiteral("2 out-of-order")}},
      // Repeated lines with several stamps are the usual compressed form.
      {"compressed chorus is in order", "[00:01.00][00:09.00]A\n[00:02.00]B\n", {}},
      {"duplicate stamp",
       "[00:01.00]A\n[00:04.00]B\n[00:04.00]C\n",
       {QStringLiteral("3 duplicate-stamp"), QStringLiteral("3 same-second")}},
      {"past length", "[length:00:30]\n[00:10.00]A\n[00:31.00]B\n", {QStringLiteral("3 past-length")}},
      {"mixed precision once",
       "[00:01.00]A\n[00:02.000]B\n[00:03]C\n",
       {QStringLiteral("2 mixed-precision")}},
      {"stamp left in the text",
       "[00:01.00]A <00:01.5 B\n[00:02.00]C [00:03.00] D\n",
       {QStringLiteral("1 word-stamp"), QStringLiteral("2 word-stamp")}},
      {"malformed stamp", "[00:01.00]A\n[0:1:2:3]B\n", {QStringLiteral("2 malformed-stamp")}},
      {"malformed tags",
       "[offset:soon]\n[length:long]\n[00:01.00]A\n",
       {QStringLiteral("1 malformed-tag"), QStringLiteral("2 malformed-tag")}},
  };
  for (const WarnCase &c : cases) {
    SCOPED_TRACE(c.what);
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
  QByteArray many;
  for (int k = 0; k <= kMaxLyricEntries; ++k) many += "[00:01]x\n";
  LyricLines lyric;
  LrcDocument doc;
  EXPECT_EQ(parseLrcBytes(many, lyric, &doc), LyricStatus::TooManyEntries);
  EXPECT_TRUE(doc.tooManyEntries);
  EXPECT_TRUE(lyric.PlLyrics.isEmpty());
  EXPECT_EQ(doc.warnings.size(), kMaxLrcWarnings);
  EXPECT_GT(doc.warningsDropped, 0);
  // One stamp fewer is read, every stamp a line of its own.
  many.chop(9);
  EXPECT_EQ(parseLrcBytes(many, lyric, &doc), LyricStatus::Correct);
  EXPECT_EQ(lyric.PlLyrics.size(), kMaxLyricEntries);
}

// Long lines of what the reader looks for (word stamps, brackets, stamps)
// are read in one pass: a reader that searched ahead from each of them would
// not finish.
TEST(LrcLimits, LongLinesOfMarksAreReadInOnePass) {
  const QByteArray lines[] = {
      "[00:01.00]" + QByteArray(2'000'000, '<'),
      "[00:01.00]" + QByteArray(2'000'000, '['),
      QByteArray(2'000'000, '['),
      "[00:01.00]" + QByteArray("<0:").repeated(600'000),
      QByteArray("[0:").repeated(600'000) + "]",
      QByteArray("[00:01]").repeated(300'000) + "x",
  };
  for (const QByteArray &line : lines) {
    LyricLines lyric;
    LrcDocument doc;
    parseLrcBytes(line, lyric, &doc);
    EXPECT_LE(lyric.PlLyrics.size(), 1);
    EXPECT_LE(doc.warnings.size(), kMaxLrcWarnings);
  }
}

TEST(LrcFiles, ThingsThatAreNotPlainFilesFailAtOnce) {
  QTemporaryDir dir;
  LyricLines lyric;
  LrcDocument doc;
  const QString good = dir.filePath(QStringLiteral("good.lrc"));
  test::writeAll(good, "[00:01.00]A\n");
  EXPECT_EQ(readLrcFile(good, lyric, &doc), LyricStatus::Correct);
  EXPECT_EQ(pairs(lyric), utf8List({"A@0:01"}));
  const QString fifo = dir.filePath(QStringLiteral("pipe.lrc"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString huge = dir.filePath(QStringLiteral("huge.lrc"));
  test::writeAll(huge, "[00:01.00]A\n");
  ASSERT_TRUE(QFile::resize(huge, kMaxLyricFileBytes + 1));
  for (const QString &path : {fifo, huge, dir.path(), QStringLiteral("/dev/zero"), QString(),
                              dir.filePath(QStringLiteral("missing.lrc"))}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(readLrcFile(path, lyric, &doc), LyricStatus::ReadError);
    EXPECT_TRUE(lyric.PlLyrics.isEmpty());
    EXPECT_TRUE(doc.entries.isEmpty());
  }
}

TEST(LrcDetect, NamesAndContent) {
  EXPECT_TRUE(isLrcFileName(QStringLiteral("/a/Song.LRC")));
  EXPECT_TRUE(isLrcFileName(QStringLiteral("x.lrc")));
  EXPECT_FALSE(isLrcFileName(QStringLiteral("x.qvl")));
  EXPECT_FALSE(isLrcFileName(QStringLiteral("lrc")));
  EXPECT_TRUE(looksLikeLrc("[ar:x]\n[ti:y]\n\n  [00:01.00]A\n"));
  const QString utf16 = QStringLiteral("[00:01]A");
  EXPECT_TRUE(looksLikeLrc(QByteArray("\xFF\xFE") +
                           QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)));
  EXPECT_FALSE(looksLikeLrc("(QVL)\r\n[00:01.00]\r\n0:01\r\n"));
  EXPECT_FALSE(looksLikeLrc("[ar:x]\nno stamps\n"));
}

TEST(LrcWriter, BytesTagsAndStamps) {
  TagInfo tag;
  tag.setTitle(QStringLiteral("Canción"));
  tag.setArtist(QStringLiteral("Someone"));
  // The album stays blank: its tag is left out.
  const QByteArray bytes =
      encodeLrcFile({QStringLiteral("Uno"), QStringLiteral(" "), QStringLiteral("two\nlines"),
                     QStringLiteral("late"), QStringLiteral("no time"), QStringLiteral("extra")},
                    {QStringLiteral("0:05"), QStringLiteral("0:09"), QStringLiteral("1:00"),
                     QStringLiteral("100:07"), QStringLiteral("-0:04")},
                    tag);
  EXPECT_EQ(bytes, QByteArray("[ti:Canción]\n[ar:Someone]\n[00:05.00]Uno\n[00:09.00]\n[01:00.00]two lines\n"
                              "[100:07.00]late\n"));
  EXPECT_EQ(encodeLrcFile({}, {}, TagInfo()), QByteArray());
}

TEST(LrcWriter, OurFormatThroughLrcAndBack) {
  QTemporaryDir dir;
  General g = test::lyricGeneral();
  const QStringList texts = utf8List({"Canción € ¿sí?", "歌詞", " ", "[Chorus]", "x / y", "last"});
  const QStringList times = utf8List({"0:00", "0:07", "0:09", "9:59", "10:00", "61:05"});
  const QString ours = dir.filePath(QStringLiteral("song.qvl"));
  const QString lrc = dir.filePath(QStringLiteral("song.lrc"));
  ASSERT_TRUE(WriteLyricFile(ours, texts, times));
  LyricLines first;
  ASSERT_EQ(ReadLyricFile(ours, g, first), QStringLiteral("CORRECTO"));
  TagInfo tag;
  tag.setTitle(QStringLiteral("Song"));
  QString error;
  ASSERT_TRUE(WriteLrcFile(lrc, first.PlLyrics, first.PlTimes, tag, &error)) << error.toStdString();
  LyricLines back;
  LrcDocument doc;
  ASSERT_EQ(readLrcFile(lrc, back, &doc), LyricStatus::Correct);
  EXPECT_EQ(back.PlLyrics, texts);
  EXPECT_EQ(back.PlTimes, times);
  EXPECT_EQ(doc.title, QStringLiteral("Song"));
  EXPECT_TRUE(doc.warnings.isEmpty());
  // And back into our format, byte for byte what it was.
  const QString again = dir.filePath(QStringLiteral("again.qvl"));
  ASSERT_TRUE(WriteLyricFile(again, back.PlLyrics, back.PlTimes));
  EXPECT_EQ(test::readAll(again), test::readAll(ours));
}

}  // namespace
}  // namespace cantorel
