#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace cantorel::test {

QString buildDir() { return qEnvironmentVariable("CANTOREL_BUILD_DIR"); }
QString sourceDir() { return qEnvironmentVariable("CANTOREL_SOURCE_DIR"); }
QString dataDir() { return qEnvironmentVariable("CANTOREL_DATA_DIR"); }
QString programPath(const QString &name) { return buildDir() + QLatin1String("/bin/") + name; }

QByteArray readAll(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

void writeAll(const QString &path, const QByteArray &data) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
  f.write(data);
}

namespace {

// A "VmXxx:" figure of /proc/self/status, in KiB.
qint64 statusKiB(const char *field) {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray &line : f.readAll().split('\n'))
    if (line.startsWith(field)) return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
  return -1;
}

}  // namespace

qint64 peakMemoryGrowthKiB(const std::function<void()> &run) {
  QFile reset(QStringLiteral("/proc/self/clear_refs"));
  if (reset.open(QIODevice::WriteOnly)) reset.write("5");  // the peak starts again from now
  reset.close();
  const qint64 before = statusKiB("VmRSS:");
  run();
  return statusKiB("VmHWM:") - before;
}

}  // namespace cantorel::test
