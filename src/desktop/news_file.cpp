#include "desktop/news_file.h"

#include "core/atomic_file.h"
#include "core/text_codec.h"

Q_LOGGING_CATEGORY(lcNews, "cantorel.desktop.news", QtWarningMsg)

namespace cantorel {

QString StateText(int state) {
  switch (state) {
    case 0: return QStringLiteral("No state to report");
    case 1: return QStringLiteral("The control is looking up the IP address of the specified host computer");
    case 2: return QStringLiteral("The control successfully found the IP address of the specified host computer");
    case 3: return QStringLiteral("The control is connecting to the host computer");
    case 4: return QStringLiteral("The control successfully connected to the host computer");
    case 5: return QStringLiteral("The control is sending a request to the host computer");
    case 6: return QStringLiteral("The control successfully sent the request");
    case 7: return QStringLiteral("The control is receiving a response from the host computer");
    case 8: return QStringLiteral("The control successfully received a response from the host computer");
    case 9: return QStringLiteral("The control is disconnection from the host computer");
    case 10: return QStringLiteral("The control successfully disconnected from the host computer");
    case 11: return QStringLiteral("An error occurred in communicating with the host computer");
    case 12: return QStringLiteral("The request has completed and all data has been received");
    default: return QStringLiteral("Unknown state: ") + QString::number(state);
  }
}

QString UrlFileName(const QString &url) {
  const qsizetype slash = url.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? url : url.mid(slash + 1);
}

QString DefaultNewsUrl() {
  const QString fromEnv = qEnvironmentVariable("CANTOREL_NEWS_URL");
  return fromEnv.isEmpty() ? QStringLiteral("https://cantorel.org/msg.txt") : fromEnv;
}

QString NewsFileName(const QString &url) {
  const QString name = UrlFileName(url);
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
      name.contains(QLatin1Char('\\')))
    return QStringLiteral("msg.txt");
  return name;
}

bool ParseNews(const QByteArray &bytes, NewsLine *out) {
  const QStringList lines = splitLines(decodeText(bytes));
  if (lines.isEmpty()) return false;
  const QString &last = lines.last();
  const qsizetype hash = last.indexOf(QLatin1Char('#'));
  if (hash < 0) return false;
  out->submitUrl = last.left(hash);
  out->message = last.mid(hash + 1);
  return true;
}

bool LoadNewsMessage(General &g, const QString &newsFile, const QString &seen) {
  QByteArray bytes;
  bool tooLarge = false;
  if (!readFileLimited(newsFile, kMaxNewsBytes, &bytes, &tooLarge)) {
    if (tooLarge) qCWarning(lcNews).noquote() << "News file too large, ignored:" << newsFile;
    return false;
  }
  NewsLine line;
  if (!ParseNews(bytes, &line)) return false;
  g.SubmitURL = line.submitUrl;
  g.MsgRemoteSeen = line.message;
  // An empty message means the server has nothing to say: no empty window.
  return !line.message.isEmpty() && line.message != seen;
}

}  // namespace cantorel
