// readFileLimited: files up to the limit are read whole, larger ones refused.
// writeFileAtomically: a failure is reported, a replaced file keeps its mode.
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/atomic_file.h"

namespace cantorel {
namespace {

TEST(ReadFileLimited, ReadsUpToTheLimitAndRefusesMore) {
  QTemporaryDir dir;
  const QString p = dir.filePath(QStringLiteral("f"));
  struct {
    int size;
    qint64 limit;
    bool ok;
  } cases[] = {{10, 10, true}, {11, 10, false}, {5, 64 << 20, true}};
  for (const auto &c : cases) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(c.size, 'x'));
    f.close();
    QByteArray out;
    bool tooLarge = false;
    EXPECT_EQ(readFileLimited(p, c.limit, &out, &tooLarge), c.ok) << c.size;
    EXPECT_EQ(tooLarge, !c.ok) << c.size;
    EXPECT_EQ(out, c.ok ? QByteArray(c.size, 'x') : QByteArray()) << c.size;
  }
  QByteArray out;
  EXPECT_FALSE(readFileLimited(dir.filePath(QStringLiteral("none")), 10, &out));
}

// What a save that died before its rename left behind goes at the next start;
// nothing else in the folder does.
TEST(StaleTemporaryFiles, OnlyOursAndOnlyOldOnesAreRemoved) {
  QTemporaryDir dir;
  const QDateTime start = QDateTime::currentDateTime();
  const struct {
    const char *name;
    bool old;
    bool removed;
  } cases[] = {{".playlist.m3u.Ab12Cd", true, true},   {".cantorel.conf.xY9zQ0", true, true},
               {".playlist.m3u.Ab12Cd0", true, false}, {".other.txt.Ab12Cd", true, false},
               {"playlist.m3u.Ab12Cd", true, false},   {".cantorel.conf.Zz99Zz", false, false}};
  for (const auto &c : cases) {
    const QString p = dir.filePath(QString::fromLatin1(c.name));
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    if (c.old) {
      ASSERT_TRUE(f.open(QIODevice::Append));
      ASSERT_TRUE(f.setFileTime(start.addSecs(-60), QFileDevice::FileModificationTime));
    }
  }
  const QStringList targets{dir.filePath(QStringLiteral("playlist.m3u")),
                            dir.filePath(QStringLiteral("cantorel.conf"))};
  EXPECT_EQ(removeStaleTemporaryFiles(targets, start.addSecs(-1)), 2);
  for (const auto &c : cases)
    EXPECT_EQ(QFile::exists(dir.filePath(QString::fromLatin1(c.name))), !c.removed) << c.name;
}

TEST(WriteFileAtomically, ReportsFailureAndKeepsTheMode) {
  QTemporaryDir dir;
  const struct {
    const char *name;
    unsigned modeBefore;  // 0: no file before
    bool ok;
    unsigned modeAfter;
  } cases[] = {{"no-folder/f", 0, false, 0}, {"new", 0, true, 0644}, {"private", 0600, true, 0600}};
  for (const auto &c : cases) {
    const QString p = dir.filePath(QString::fromUtf8(c.name));
    if (c.modeBefore) {
      ASSERT_TRUE(writeFileAtomically(p, "old"));
      ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), c.modeBefore), 0);
    }
    QString error;
    EXPECT_EQ(writeFileAtomically(p, "new", &error), c.ok) << c.name;
    EXPECT_EQ(error.isEmpty(), c.ok) << c.name;
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_mode & 0777 : 0u, c.modeAfter)
        << c.name;
  }
}

}  // namespace
}  // namespace cantorel
