#include "core/command_line.h"

namespace cantorel {

CommandLineRequest parseCommandLine(const QString &commandLine) {
  CommandLineRequest r;
  if (commandLine.isEmpty()) return r;
  const qsizetype add = commandLine.indexOf(QLatin1String("/ADD"));
  if (add >= 0) {
    r.kind = CommandLineRequest::Kind::Add;
    r.path = commandLine.mid(add + 5);
  } else {
    r.kind = CommandLineRequest::Kind::Play;
    r.path = commandLine;
  }
  r.path.remove(QLatin1Char('"'));
  return r;
}

QString joinArguments(const QStringList &args) {
  QStringList parts;
  for (const QString &a : args) {
    if (a.contains(QLatin1Char(' ')) && !a.startsWith(QLatin1Char('"')))
      parts << QLatin1Char('"') + a + QLatin1Char('"');
    else
      parts << a;
  }
  return parts.join(QLatin1Char(' '));
}

}  // namespace cantorel
