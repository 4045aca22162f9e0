#include "core/command_line.h"

#include <QDir>

namespace cantorel {

namespace {
const QByteArray kShow = QByteArrayLiteral("SHOW");
const QByteArray kPlay = QByteArrayLiteral("PLAY ");
const QByteArray kAdd = QByteArrayLiteral("ADD ");
}  // namespace

CommandLineRequest parseArguments(const QStringList &args, const QString &workingDir) {
  CommandLineRequest r;
  const bool add = !args.isEmpty() && args.first() == QLatin1String("/ADD");
  const QString path = args.mid(add ? 1 : 0).join(QLatin1Char(' '));
  if (path.isEmpty()) return r;
  r.kind = add ? CommandLineRequest::Kind::Add : CommandLineRequest::Kind::Play;
  r.path = path.contains(QLatin1String("://")) || !QDir::isRelativePath(path)
               ? path
               : QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
  return r;
}

QByteArray encodeHandOff(const CommandLineRequest &request) {
  switch (request.kind) {
    case CommandLineRequest::Kind::None:
      return kShow + '\n';
    case CommandLineRequest::Kind::Play:
      return kPlay + request.path.toUtf8().toPercentEncoding() + '\n';
    case CommandLineRequest::Kind::Add:
      return kAdd + request.path.toUtf8().toPercentEncoding() + '\n';
  }
  return QByteArray();
}

bool decodeHandOff(const QByteArray &line, CommandLineRequest *request) {
  const QByteArray l = line.endsWith('\n') ? line.chopped(1) : line;
  CommandLineRequest r;
  if (l == kShow) {
    *request = r;
    return true;
  }
  QByteArray encoded;
  if (l.startsWith(kPlay)) {
    r.kind = CommandLineRequest::Kind::Play;
    encoded = l.mid(kPlay.size());
  } else if (l.startsWith(kAdd)) {
    r.kind = CommandLineRequest::Kind::Add;
    encoded = l.mid(kAdd.size());
  } else {
    return false;
  }
  r.path = QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
  if (r.path.isEmpty()) return false;
  *request = r;
  return true;
}

}  // namespace cantorel
