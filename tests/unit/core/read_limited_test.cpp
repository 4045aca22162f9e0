// readFileLimited: files up to the limit are read whole, larger ones refused.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
  } cases[] = {{0, 10, true}, {10, 10, true}, {11, 10, false}, {5, 64 << 20, true}};
  for (const auto &c : cases) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(c.size, 'x'));
    f.close();
    QByteArray out;
    bool tooLarge = false;
    EXPECT_EQ(readFileLimited(p, c.limit, &out, &tooLarge), c.ok) << c.size;
    EXPECT_EQ(tooLarge, !c.ok) << c.size;
    if (c.ok) {
      EXPECT_EQ(out, QByteArray(c.size, 'x'));
      EXPECT_LT(out.capacity(), 1 << 20);  // not sized by the limit
    }
  }
  QByteArray out;
  EXPECT_FALSE(readFileLimited(dir.filePath(QStringLiteral("none")), 10, &out));
}

}  // namespace
}  // namespace cantorel
