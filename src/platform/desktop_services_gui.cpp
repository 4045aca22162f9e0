#include "platform/desktop_services_gui.h"

#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QUrl>

#include "core/log.h"

namespace cantorel {

bool QtDesktopServices::record(const QString &what, const QString &text) {
  const QString log = qEnvironmentVariable("CANTOREL_RECORD_DESKTOP");
  if (log.isEmpty()) return false;
  QFile f(log);
  if (f.open(QIODevice::Append)) {
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    f.write((what + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8());
  }
  return true;
}

bool QtDesktopServices::openUrl(const QString &url) {
  if (!isWebAddress(url)) {
    qCWarning(lcPlatform).noquote() << "Refused to open" << url;
    return false;
  }
  if (record(QStringLiteral("url"), url)) return true;
  return QDesktopServices::openUrl(QUrl(url));
}

void QtDesktopServices::showMessage(const QString &text) {
  if (record(QStringLiteral("message"), text)) return;
  QMessageBox box(owner_);
  box.setWindowTitle(QStringLiteral("Cantorel"));
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

}  // namespace cantorel
