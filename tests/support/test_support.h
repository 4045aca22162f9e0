#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace cantorel::test {

// Folders of the build, from the test environment.
QString buildDir();
QString sourceDir();
QString dataDir();
QString programPath(const QString &name);  // bin/<name> in the build tree

// Whole-file helpers.
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &data);

}  // namespace cantorel::test
