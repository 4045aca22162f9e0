// Files exchanged with other programs: ID3v1 tags written and read by the
// id3v2 tool, and an M3U of ours played by mpg123. The MP3s are encoded at
// test time with lame.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
#include "playlist/playlist_file.h"
#include "support/tagged_media.h"
#include "unit/playlist/playlist_test_util.h"

namespace cantorel {
namespace {

// Runs a program (bounded), returning its output; fails the test on a hang.
QString run(const QString &program, const QStringList &args, int *exitCode = nullptr) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  EXPECT_TRUE(p.waitForFinished(20000)) << qPrintable(program);
  if (exitCode) *exitCode = p.exitCode();
  return QString::fromLocal8Bit(p.readAll());
}

class Interop : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *tool : {"lame", "id3v2", "mpg123"})
      if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
        GTEST_SKIP() << tool << " is not installed (scripts/setup.sh --test)";
    mp3 = dir.filePath(QStringLiteral("song.mp3"));
    ASSERT_TRUE(test::makeTone(test::Media::Mp3v24, mp3));
  }
  QTemporaryDir dir;
  QString mp3;
};

TEST_F(Interop, TagsWrittenById3v2ReadHereAndOursReadThere) {
  run(QStringLiteral("id3v2"),
      QStringLiteral("-1 -t Hello -a Band -A Disc -y 1999 -c Comment -T 5 -g 17").split(u' ') << mp3);
  const Mp3Info info = ReadMp3Info(mp3);
  ASSERT_TRUE(info.Tag.Found);
  QStringList fields;
  for (const QString &f : {info.Tag.Title, info.Tag.Artist, info.Tag.Album, info.Tag.Year, info.Tag.Comment})
    fields << f.trimmed();
  EXPECT_EQ(fields.join(u'|'), QStringLiteral("Hello|Band|Disc|1999|Comment"));
  EXPECT_EQ(info.Tag.Track, 5);
  EXPECT_EQ(GenreList()[GenreListIndex(info.Tag.Genre)], QStringLiteral("Rock"));
  EXPECT_EQ(info.Header.SampleRate + info.Header.Channels, QStringLiteral("44jstereo"));

  TagInfo t = test::makeTag(QStringLiteral("Our Title"), QStringLiteral("Our Artist"),
                            QStringLiteral("Our Album"), 7, 9);
  t.setYear(QStringLiteral("2024"));
  t.setComment(QStringLiteral("Saved here"));
  const qint64 size = QFileInfo(mp3).size();
  ASSERT_EQ(WriteIdTag(mp3, t), TagWriteResult::Updated);  // in place of theirs
  EXPECT_EQ(QFileInfo(mp3).size(), size);
  const QString out = run(QStringLiteral("id3v2"), {QStringLiteral("-l"), mp3});
  for (const char *want : {"Title  : Our Title", "Artist: Our Artist", "Album  : Our Album", "Year: 2024",
                           "Genre: Metal (9)", "Comment: Saved here", "Track: 7"})
    EXPECT_TRUE(out.contains(QString::fromLatin1(want))) << want << "\n" << qPrintable(out);
}

TEST_F(Interop, PlaylistWrittenHerePlaysInMpg123) {
  QDir().mkpath(dir.filePath(QStringLiteral("sub dir")));
  const QString second = dir.filePath(QStringLiteral("sub dir/second.mp3"));
  const QString outside =
      dir.filePath(QStringLiteral("../")) + QFileInfo(dir.path()).fileName() + QStringLiteral("-other.mp3");
  ASSERT_TRUE(QFile::copy(mp3, second));
  ASSERT_TRUE(QFile::copy(mp3, outside));
  Playlist pl;
  for (const QString &p : {mp3, second, outside}) pl.append(p, p);
  const QString list = dir.filePath(QStringLiteral("list.m3u"));
  ASSERT_TRUE(WritePL(list, pl));
  int code = -1;
  const QString out = run(QStringLiteral("mpg123"),
                          {QStringLiteral("-t"), QStringLiteral("-v"), QStringLiteral("-@"), list}, &code);
  QFile::remove(outside);
  EXPECT_EQ(code, 0) << qPrintable(out);
  for (int i = 1; i <= 3; ++i)
    EXPECT_TRUE(out.contains(QStringLiteral("Playing MPEG stream %1 of 3").arg(i))) << qPrintable(out);
  EXPECT_FALSE(out.contains(QStringLiteral("error"), Qt::CaseInsensitive)) << qPrintable(out);
}

}  // namespace
}  // namespace cantorel
