// Files exchanged with other programs: ID3v1 tags written and read by the
// id3v2 tool. The MP3 is encoded at test time with lame.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "support/tagged_media.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

// Runs id3v2 (bounded), returning its output; fails the test on a hang.
QString run(const QStringList &args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(QStringLiteral("id3v2"), args);
  EXPECT_TRUE(p.waitForFinished(20000));
  return QString::fromLocal8Bit(p.readAll());
}

class Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *tool : {"lame", "id3v2"})
      if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
        GTEST_SKIP() << tool << " is not installed (scripts/setup.sh --test)";
    mp3 = dir.filePath(QStringLiteral("song.mp3"));
    ASSERT_TRUE(test::makeTone(test::Media::Mp3v24, mp3));
  }
  QTemporaryDir dir;
  QString mp3;
};

TEST_F(Interop, TagsWrittenById3v2ReadHereAndOursReadThere) {
  run(QStringLiteral("-1 -t Hello -a Band -A Disc -y 1999 -c Comment -T 5 -g 17").split(u' ') << mp3);
  const Mp3Info info = ReadMp3Info(mp3);
  ASSERT_TRUE(info.Tag.Found);
  QStringList fields;
  for (const QString &f : {info.Tag.Title, info.Tag.Artist, info.Tag.Album, info.Tag.Year, info.Tag.Comment})
    fields << f.trimmed();
  EXPECT_EQ(fields.join(u'|'), QStringLiteral("Hello|Band|Disc|1999|Comment"));
  EXPECT_EQ(info.Tag.Track, 5);
  EXPECT_EQ(GenreList()[GenreListIndex(info.Tag.Genre)], QStringLiteral("Rock"));

  TagInfo t = test::makeTag(QStringLiteral("Our Title"), QStringLiteral("Our Artist"),
                            QStringLiteral("Our Album"), 7, 9);
  t.setYear(QStringLiteral("2024"));
  t.setComment(QStringLiteral("Saved here"));
  const qint64 size = QFileInfo(mp3).size();
  ASSERT_EQ(WriteIdTag(mp3, t), TagWriteResult::Updated);  // in place of theirs
  EXPECT_EQ(QFileInfo(mp3).size(), size);
  const QString out = run({QStringLiteral("-l"), mp3});
  for (const char *want : {"Title  : Our Title", "Artist: Our Artist", "Album  : Our Album", "Year: 2024",
                           "Genre: Metal (9)", "Comment: Saved here", "Track: 7"})
    EXPECT_TRUE(out.contains(QString::fromLatin1(want))) << want << "\n" << qPrintable(out);
}

}  // namespace
}  // namespace cantorel
