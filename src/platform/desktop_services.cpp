#include "platform/desktop_services.h"

#include <QUrl>

namespace cantorel {

bool isWebAddress(const QString &url) {
  const QUrl u(url, QUrl::StrictMode);
  if (!u.isValid() || u.host().isEmpty()) return false;
  const QString scheme = u.scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

}  // namespace cantorel
