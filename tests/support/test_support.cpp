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

}  // namespace cantorel::test
