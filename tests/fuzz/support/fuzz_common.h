#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace cantorel::fuzz {

inline void writeFile(const QString &path, const QByteArray &data) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(data);
}

}  // namespace cantorel::fuzz
