#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace cantorel::test {

// Folders of the build, from the test environment.
QString buildDir();
QString sourceDir();
QString dataDir();
QString programPath(const QString &name);  // bin/<name> in the build tree

// Whole-file helpers.
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &data);

// How far the peak resident memory of this process rose above its size
// before `run`, in KiB (Linux: the peak is reset first).
qint64 peakMemoryGrowthKiB(const std::function<void()> &run);

}  // namespace cantorel::test
