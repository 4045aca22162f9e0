#include "playback/transport_host.h"

#include <QProcess>
#include <QStandardPaths>

namespace cantorel {

bool TransportHost::startDetached(const QString &program, const QStringList &args) {
  return QProcess::startDetached(program, args);
}

bool TransportHost::programExists(const QString &program) {
  return !QStandardPaths::findExecutable(program).isEmpty();
}

}  // namespace cantorel
