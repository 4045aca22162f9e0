#include "desktop/environment.h"

#include <QFile>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QSysInfo>

namespace cantorel {

QString OsName() { return QSysInfo::prettyProductName(); }

bool CanOpenFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly);
}

bool IsOnline(QString *connectionName) {
  if (QNetworkInformation::loadDefaultBackend()) {
    QNetworkInformation *info = QNetworkInformation::instance();
    const auto r = info->reachability();
    if (r != QNetworkInformation::Reachability::Unknown) {
      if (connectionName) *connectionName = info->backendName();
      return r == QNetworkInformation::Reachability::Online;
    }
  }
  const auto interfaces = QNetworkInterface::allInterfaces();
  for (const QNetworkInterface &i : interfaces) {
    const auto f = i.flags();
    if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning) ||
        (f & QNetworkInterface::IsLoopBack))
      continue;
    if (i.addressEntries().isEmpty()) continue;
    if (connectionName) *connectionName = i.name();
    return true;
  }
  if (connectionName) connectionName->clear();
  return false;
}

}  // namespace cantorel
