// MPEG header bytes, the ID3v1 tag reader and writer.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

using test::makeTag;
using test::mp3Bytes;
using test::readBytes;
using test::writeBytes;

TEST(Mp3Header, TablesPickTheCellOfTheBits) {
  struct {
    unsigned char third, fourth;
    const char *bitrate, *rate, *channels;
  } cases[] = {{0x90, 0xC4, "128", "44", "mono"},
               {0x00, 0x00, "144", "44", "stereo"},
               {0xE4, 0x40, "320", "48", "jstereo"},
               {0xF8, 0x80, "", "32", "dualch"},
               {0x1C, 0x00, "16", "??", "stereo"}};
  for (const auto &c : cases) {
    const Mp3Header h = HeaderFromBytes(c.third, c.fourth);
    EXPECT_EQ(h.Bitrate, QLatin1String(c.bitrate)) << int(c.third);
    EXPECT_EQ(h.SampleRate, QLatin1String(c.rate)) << int(c.third);
    EXPECT_EQ(h.Channels, QLatin1String(c.channels)) << int(c.fourth);
  }
}

TEST(Genre, ListAndByteValues) {
  ASSERT_EQ(GenreList().size(), 81);
  EXPECT_EQ(GenreList()[GenreListIndex(0)], QStringLiteral("Blues"));
  EXPECT_EQ(GenreList()[GenreListIndex(79)], QStringLiteral("Hard Rock"));
  for (int b : {80, 254, 255}) EXPECT_EQ(GenreListIndex(b), 0) << b;
  EXPECT_EQ(GenreByteForIndex(0), 254);
  EXPECT_EQ(GenreByteForIndex(-1), 254);
  EXPECT_EQ(GenreByteForIndex(80), 79);
  EXPECT_EQ(GenreList()[34], QStringLiteral("Intrumental"));  // the program's own spelling
}

TEST(TagRecord, FieldsAtTheirWidths) {
  TagInfo t = makeTag(QStringLiteral("A title that is longer than thirty characters"), QStringLiteral("Art"),
                      QStringLiteral("Alb"), 12, 254);
  t.setYear(QStringLiteral("1999"));
  t.setComment(QStringLiteral("c"));
  const QByteArray r = BuildTagRecord(t);
  ASSERT_EQ(r.size(), 128);
  EXPECT_EQ(r.left(3), "TAG");
  EXPECT_EQ(r.mid(3, 30), "A title that is longer than th");
  EXPECT_EQ(r.mid(33, 30), QByteArray("Art") + QByteArray(27, ' '));
  EXPECT_EQ(r.mid(93, 4), "1999");
  EXPECT_EQ(r.mid(97, 29), QByteArray("c") + QByteArray(27, ' ') + QByteArray(1, '\0'));
  // A full comment keeps all 29 characters.
  t.setComment(QString(40, QLatin1Char('z')));
  EXPECT_EQ(BuildTagRecord(t).mid(97, 29), QByteArray(29, 'z'));
  EXPECT_EQ(static_cast<unsigned char>(r[126]), 12);
  EXPECT_EQ(static_cast<unsigned char>(r[127]), 254);
}

TEST(TagParse, RealTagIsReadExactlyAndZerosDropped) {
  QByteArray tag = BuildTagRecord(makeTag(QString(), QStringLiteral("Artist"), {}, 5, 79));
  tag.replace(3, 30, QByteArray("Abc").append(QByteArray(27, '\0')));
  const TagInfo t = ParseTag(QByteArray(128, '\x11') + tag);
  EXPECT_TRUE(t.Found);
  EXPECT_EQ(t.Title.trimmed(), QStringLiteral("Abc"));
  EXPECT_EQ(t.Title.size(), 30);
  EXPECT_EQ(t.Artist.trimmed(), QStringLiteral("Artist"));
  EXPECT_EQ(t.Track, 5);
  EXPECT_EQ(t.Genre, 79);
}

TEST(TagParse, RealTagWinsOverAnEarlierTagWord) {
  const QByteArray tail = QByteArray(50, ' ') + "Tagline in audio" + QByteArray(62, ' ') +
                          BuildTagRecord(makeTag(QStringLiteral("Real")));
  EXPECT_EQ(TagStartInTail(tail), 128);
  EXPECT_EQ(ParseTag(tail).Title.trimmed(), QStringLiteral("Real"));
}

TEST(TagParse, WithoutARealTagTheFirstTagWordIsTaken) {
  // Files tagged by older writers at a shifted place still read.
  QByteArray tail(256, '\x01');
  tail.replace(100, 9, "tAGSongXY");
  const TagInfo t = ParseTag(tail);
  EXPECT_TRUE(t.Found);
  EXPECT_TRUE(t.Title.startsWith(QStringLiteral("SongXY")));
  EXPECT_EQ(t.Track, 1);
  // Near the end only part of the fields exist.
  QByteArray shortTail(256, '\x01');
  shortTail.replace(250, 6, "TAGabc");
  const TagInfo s = ParseTag(shortTail);
  EXPECT_EQ(s.Title.trimmed(), QStringLiteral("abc"));
  EXPECT_EQ(s.Artist.trimmed(), QString());
  EXPECT_EQ(s.Genre, TagInfo::kClearedGenre);
}

TEST(TagParse, NoTagGivesTheClearedRecord) {
  const TagInfo t = ParseTag(QByteArray(256, 'x'));
  EXPECT_FALSE(t.Found);
  EXPECT_EQ(t.Title, QString(30, QLatin1Char(' ')));
  EXPECT_EQ(t.Genre, 80);
  EXPECT_EQ(t.Track, 0);
}

TEST(TagParse, TextIsUtf8WhenValidElseWindowsCodePage) {
  TagInfo t;
  QByteArray tag = BuildTagRecord(t);
  tag.replace(3, 6, "Gr\xC3\xBC\xC3\x9F");  // UTF-8
  tag.replace(33, 4, "Caf\xE9");            // Windows-1252
  const TagInfo r = ParseTag(tag);
  EXPECT_EQ(r.Title.trimmed(), QStringLiteral("Gr\u00fc\u00df"));
  EXPECT_EQ(r.Artist.trimmed(), QStringLiteral("Caf\u00e9"));
}

TEST(TrackText, EmptyOrTextIsZeroAndOutOfRangeIsRefused) {
  struct {
    const char *text;
    bool ok;
    int track;
  } cases[] = {{"", true, 0},      {"abc", true, 0},  {"12", true, 12}, {" 7", true, 7},
               {"255", true, 255}, {"256", false, 0}, {"-1", false, 0}, {"1e9", false, 0}};
  for (const auto &c : cases) {
    int track = -99;
    EXPECT_EQ(ParseTrackText(QString::fromLatin1(c.text), &track), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(track, c.track) << c.text;
    }
  }
}

class TagFile : public ::testing::Test {
 protected:
  QString file(const QByteArray &bytes) {
    const QString p = dir.path() + QStringLiteral("/song.mp3");
    writeBytes(p, bytes);
    return p;
  }
  QTemporaryDir dir;
};

TEST_F(TagFile, ReadsHeaderAndTag) {
  const QString p = file(mp3Bytes(400, BuildTagRecord(makeTag(QStringLiteral("T"), QStringLiteral("A")))));
  const Mp3Info info = ReadMp3Info(p);
  EXPECT_TRUE(info.HeaderRead);
  EXPECT_EQ(info.Header.Bitrate, QStringLiteral("128"));
  EXPECT_EQ(info.Header.Channels, QStringLiteral("jstereo"));
  EXPECT_EQ(info.Tag.Artist.trimmed(), QStringLiteral("A"));
}

// Header facts come only from an MPEG frame header, at the start or after
// an ID3v2 block; other bytes (a WAV's, say) give none.
TEST_F(TagFile, HeaderOnlyFromAFrameHeader) {
  QByteArray v2("ID3\x03\x00\x00\x00\x00\x01\x00", 10);  // 128-byte body
  v2 += QByteArray(128, '\0');
  const struct {
    const char *name;
    QByteArray head;
    const char *bitrate, *channels;
  } cases[] = {{"afterId3v2", v2 + QByteArray("\xFF\xFB\xE4\xC0", 4), "320", "mono"},
               {"wav", QByteArray("RIFF\x24\x10\x00\x00WAVE", 12), "", ""},
               {"id3v2ThenNoFrame", v2 + QByteArray("RIFF", 4), "", ""},
               {"reservedRate", QByteArray("\xFF\xFB\x9C\x44", 4), "", ""}};
  for (const auto &c : cases) {
    const Mp3Info info = ReadMp3Info(file(c.head + QByteArray(300, 0)));
    EXPECT_TRUE(info.HeaderRead) << c.name;
    EXPECT_EQ(info.FrameHeader, *c.bitrate != 0) << c.name;
    EXPECT_EQ(info.Header.Bitrate, QLatin1String(c.bitrate)) << c.name;
    EXPECT_EQ(info.Header.Channels, QLatin1String(c.channels)) << c.name;
  }
}

TEST_F(TagFile, ShortMissingAndSpecialFilesAreNotRead) {
  EXPECT_FALSE(ReadMp3Info(file(QByteArray(255, 'T'))).HeaderRead);
  // A named pipe must neither block nor be written.
  const QString fifo = dir.path() + QStringLiteral("/pipe.mp3");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(ReadMp3Info(fifo).HeaderRead);
  EXPECT_EQ(WriteIdTag(fifo, makeTag({})), TagWriteResult::Failed);
  EXPECT_FALSE(ReadMp3Info(dir.path() + QStringLiteral("/none.mp3")).HeaderRead);
  EXPECT_FALSE(ReadMp3Info(dir.path()).HeaderRead);  // a folder
}

TEST_F(TagFile, WriteAppendsWhenTheTagWordIsOnlyInTheAudio) {
  // "tag" inside the last 256 bytes but no tag at the end: the audio must
  // stay as it is and the tag goes after it.
  QByteArray audio = mp3Bytes(400);
  audio.replace(audio.size() - 100, 3, "tag");
  const QString p = file(audio);
  EXPECT_EQ(WriteIdTag(p, makeTag(QStringLiteral("Appended"))), TagWriteResult::Added);
  const QByteArray after = readBytes(p);
  EXPECT_EQ(after.left(audio.size()), audio);
  EXPECT_EQ(after.size(), audio.size() + 128);
  EXPECT_EQ(ReadMp3Info(p).Tag.Title.trimmed(), QStringLiteral("Appended"));
  // A second save replaces that tag in place.
  EXPECT_EQ(WriteIdTag(p, makeTag(QStringLiteral("Again"))), TagWriteResult::Updated);
  EXPECT_EQ(readBytes(p).size(), audio.size() + 128);
  EXPECT_EQ(readBytes(p).left(audio.size()), audio);
  EXPECT_EQ(ReadMp3Info(p).Tag.Title.trimmed(), QStringLiteral("Again"));
}

TEST_F(TagFile, ShortFilesAndFailuresLeaveTheFileAsItWas) {
  const QString p = file(QByteArray(200, 'a'));
  EXPECT_EQ(WriteIdTag(p, makeTag(QStringLiteral("x"))), TagWriteResult::TooShort);
  EXPECT_EQ(readBytes(p), QByteArray(200, 'a'));
  EXPECT_EQ(WriteIdTag(dir.path() + QStringLiteral("/none.mp3"), makeTag({})), TagWriteResult::Failed);
  EXPECT_EQ(WriteIdTag(dir.path(), makeTag({})), TagWriteResult::Failed);
  EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/none.mp3")));
}

TEST_F(TagFile, AppendThatCannotGrowTheFileIsUndone) {
  // A file-size limit at the file's current size makes the append fail part
  // way, as a full disk would.
  const QByteArray audio = mp3Bytes(400);
  const QString p = file(audio);
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = old;
  lim.rlim_cur = static_cast<rlim_t>(audio.size() + 10);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
  const TagWriteResult r = WriteIdTag(p, makeTag(QStringLiteral("x")));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(r, TagWriteResult::Failed);
  EXPECT_EQ(readBytes(p), audio);
}

// Edited text is written in the Windows code page only when it reads back the
// same; otherwise as UTF-8, cut at a character boundary. Unchanged fields keep
// their bytes, whatever they are.
TEST(TagRecord, EditedTextReadsBackAndUnchangedBytesStay) {
  const struct {
    QString typed;
    QByteArray bytes;  // the field's bytes, blanks aside
  } cases[] = {
      {QStringLiteral("Caf\u00e9"), "Caf\xE9"},
      {QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442"),
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      // Windows-1252 bytes that would read as UTF-8 ("Ã©" is C3 A9): UTF-8.
      {QStringLiteral("\u00C3\u00A9"), "\xC3\x83\xC2\xA9"},
      // 11 three-byte characters: ten fit in 30 bytes.
      {QString(11, QChar(0x65E5)), QString(10, QChar(0x65E5)).toUtf8()},
  };
  for (const auto &c : cases) {
    const QByteArray r = BuildTagRecord(makeTag(c.typed));
    EXPECT_EQ(r.mid(3, 30).trimmed(), c.bytes) << qPrintable(c.typed);
    // Read back as typed, at most cut to the field.
    EXPECT_TRUE(c.typed.startsWith(ParseTag(r).Title.trimmed())) << qPrintable(c.typed);
    EXPECT_GE(ParseTag(r).Title.trimmed().size(), qMin<qsizetype>(c.typed.size(), 10)) << qPrintable(c.typed);
  }
  QByteArray old = BuildTagRecord(makeTag(QStringLiteral("x"), QStringLiteral("y")));
  old.replace(3, 5, QByteArray(" \x81\x00q\x90", 5));  // odd bytes around the text
  const TagInfo shown = ParseTag(old);
  TagInfo edited = shown;
  edited.setYear(QStringLiteral("1990"));
  const QByteArray r = BuildTagRecord(edited, old);
  EXPECT_EQ(r.left(93), old.left(93));
  EXPECT_EQ(r.mid(93, 4), "1990");
}

}  // namespace
}  // namespace cantorel
