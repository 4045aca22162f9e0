// MPEG header facts, the ID3v1 tag reader and writer.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

using test::makeTag;
using test::mp3Bytes;
using test::readAll;
using test::writeAll;

// What the reader takes from the last bytes of a file: the tag at the very
// end, else the first "tag" word of any case (older writers put it there).
TEST(TagParse, FromTheLastBytes) {
  QByteArray zeros = BuildTagRecord(makeTag(QString(), QStringLiteral("Artist"), {}, 5, 79));
  zeros.replace(3, 30, QByteArray("Abc").append(QByteArray(27, '\0')));
  QByteArray shifted(256, ' ');
  shifted.replace(100, 9, "tAGSongXY");
  QByteArray codePages = BuildTagRecord(TagInfo());
  codePages.replace(3, 6, "Gr\xC3\xBC\xC3\x9F");  // UTF-8
  codePages.replace(33, 4, "Caf\xE9");            // Windows-1252
  const struct {
    QByteArray tail;
    const char *tag;  // found, title, artist, track, genre
  } cases[] = {{QByteArray(128, '\x11') + zeros, "1|Abc|Artist|5|79"},
               {shifted, "1|SongXY||32|32"},
               {codePages, "1|Gr\u00fc\u00df|Caf\u00e9|0|80"},
               {QByteArray(256, 'x'), "0|||0|80"}};
  for (const auto &c : cases) {
    const TagInfo t = ParseTag(c.tail);
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5")
                  .arg(int(t.Found))
                  .arg(t.Title.trimmed(), t.Artist.trimmed())
                  .arg(t.Track)
                  .arg(t.Genre),
              QString::fromUtf8(c.tag));
    EXPECT_EQ(t.Title.size(), 30) << c.tag;  // zeros and missing bytes as blanks
  }
}

TEST(TrackText, EmptyOrTextIsZeroAndOutOfRangeIsRefused) {
  struct {
    const char *text;
    bool ok;
    int track;
  } cases[] = {{"", true, 0}, {" 7", true, 7}, {"255", true, 255}, {"256", false, 0}, {"-1", false, 0}};
  for (const auto &c : cases) {
    int track = -99;
    EXPECT_EQ(ParseTrackText(QString::fromLatin1(c.text), &track), c.ok) << c.text;
    EXPECT_EQ(track, c.ok ? c.track : -99) << c.text;
  }
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
      // Windows-1252 bytes that would read as UTF-8 ("Ã©" is C3 A9): UTF-8.
      {QStringLiteral("\u00C3\u00A9"), "\xC3\x83\xC2\xA9"},
      // "a" and 11 three-byte characters: "a" and nine fit in 30 bytes.
      {QLatin1Char('a') + QString(11, QChar(0x65E5)), "a" + QString(9, QChar(0x65E5)).toUtf8()},
  };
  for (const auto &c : cases) {
    const QByteArray r = BuildTagRecord(makeTag(c.typed));
    EXPECT_EQ(r.mid(3, 30).trimmed(), c.bytes) << qPrintable(c.typed);
    EXPECT_EQ(ParseTag(r).Title.trimmed(), c.typed.left(10)) << qPrintable(c.typed);
  }
  QByteArray old = BuildTagRecord(makeTag(QStringLiteral("x"), QStringLiteral("y")));
  old.replace(3, 5, QByteArray(" \x81\x00q\x90", 5));  // odd bytes around the text
  TagInfo edited = ParseTag(old);
  edited.setYear(QStringLiteral("1990"));
  const QByteArray r = BuildTagRecord(edited, old);
  EXPECT_EQ(r.left(93), old.left(93));
  EXPECT_EQ(r.mid(93, 4), "1990");
}

class TagFile : public ::testing::Test {
 protected:
  QString file(const QByteArray &bytes, const QString &name = QStringLiteral("song.mp3")) {
    const QString p = dir.path() + QLatin1Char('/') + name;
    writeAll(p, bytes);
    return p;
  }
  QTemporaryDir dir;
};

// Header facts come only from an MPEG frame header, at the start or after
// an ID3v2 block; other bytes (a WAV's, say) give none.
TEST_F(TagFile, HeaderOnlyFromAFrameHeader) {
  QByteArray v2("ID3\x03\x00\x00\x00\x00\x01\x00", 10);  // 128-byte body
  v2 += QByteArray(128, '\0');
  const struct {
    QByteArray head;
    const char *bitrate, *channels;
  } cases[] = {{v2 + QByteArray("\xFF\xFB\xE4\xC0", 4), "320", "mono"},
               {QByteArray("RIFF\x24\x10\x00\x00WAVE", 12), "", ""}};
  for (const auto &c : cases) {
    const Mp3Info info = ReadMp3Info(file(c.head + QByteArray(300, 0)));
    EXPECT_TRUE(info.HeaderRead) << c.bitrate;
    EXPECT_EQ(info.FrameHeader, *c.bitrate != 0) << c.bitrate;
    EXPECT_EQ(info.Header.Bitrate + info.Header.Channels,
              QLatin1String(c.bitrate) + QLatin1String(c.channels));
  }
}

// Files too short and named pipes (which must neither block nor be written)
// are not read, and a failed write leaves them as they were.
TEST_F(TagFile, WhatIsNoTaggableFileIsLeftAsItWas) {
  const QString fifo = dir.path() + QStringLiteral("/pipe.mp3");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(ReadMp3Info(fifo).HeaderRead);
  EXPECT_EQ(WriteIdTag(fifo, makeTag(QStringLiteral("x"))), TagWriteResult::Failed);
  const QString shortFile = file(QByteArray(255, 'T'));
  EXPECT_FALSE(ReadMp3Info(shortFile).HeaderRead);
  EXPECT_EQ(WriteIdTag(shortFile, makeTag(QStringLiteral("x"))), TagWriteResult::TooShort);
  EXPECT_EQ(readAll(shortFile), QByteArray(255, 'T'));
}

TEST_F(TagFile, WriteAppendsWhenTheTagWordIsOnlyInTheAudio) {
  // "tag" inside the last 256 bytes but no tag at the end: the audio must
  // stay as it is and the tag goes after it; a second save replaces it.
  QByteArray audio = mp3Bytes(400);
  audio.replace(audio.size() - 100, 3, "tag");
  const QString p = file(audio);
  EXPECT_EQ(WriteIdTag(p, makeTag(QStringLiteral("Appended"))), TagWriteResult::Added);
  EXPECT_EQ(ReadMp3Info(p).Tag.Title.trimmed(), QStringLiteral("Appended"));
  EXPECT_EQ(WriteIdTag(p, makeTag(QStringLiteral("Again"))), TagWriteResult::Updated);
  EXPECT_EQ(readAll(p), audio + BuildTagRecord(makeTag(QStringLiteral("Again"))));
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
  EXPECT_EQ(readAll(p), audio);
}

}  // namespace
}  // namespace cantorel
