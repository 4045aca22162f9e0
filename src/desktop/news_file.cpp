#include "desktop/news_file.h"

#include "core/atomic_file.h"
#include "core/text_codec.h"
#include "service_url.h"

#include <QUrl>

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

QString ServiceUrl(const QString &relative) {
  QString base = qEnvironmentVariable("CANTOREL_SERVICE_URL");
  if (base.isEmpty()) base = QString::fromUtf8(CANTOREL_SERVICE_URL);
  base = base.trimmed();
  if (base.isEmpty()) return QString();
  if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
  return base + relative;
}

QString DefaultNewsUrl() {
  const QString fromEnv = qEnvironmentVariable("CANTOREL_NEWS_URL");
  return fromEnv.isEmpty() ? ServiceUrl(QStringLiteral("msg.txt")) : fromEnv;
}

bool IsAllowedRedirect(const QUrl &from, const QUrl &to) {
  return to.isValid() && to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
         !to.host().isEmpty() && to.host().compare(from.host(), Qt::CaseInsensitive) == 0;
}

bool IsTrustedSubmitUrl(const QString &submitUrl, const QString &newsUrl) {
  const QUrl submit(submitUrl.trimmed(), QUrl::StrictMode);
  const QUrl news(newsUrl);
  return submit.isValid() && submit.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
         !submit.host().isEmpty() && submit.host().compare(news.host(), Qt::CaseInsensitive) == 0 &&
         submit.userInfo().isEmpty();
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
  // Without a service there is no news file of this run to read.
  const QString newsUrl = g.NewsURL.isEmpty() ? DefaultNewsUrl() : g.NewsURL;
  if (newsUrl.isEmpty()) {
    g.SubmitURL.clear();
    return false;
  }
  QByteArray bytes;
  bool tooLarge = false;
  if (!readFileLimited(newsFile, kMaxNewsBytes, &bytes, &tooLarge)) {
    if (tooLarge) qCWarning(lcNews).noquote() << "News file too large, ignored:" << newsFile;
    return false;
  }
  NewsLine line;
  if (!ParseNews(bytes, &line)) return false;
  // The lyric, the nick and the user's words go to this address: only an
  // encrypted one on the host we fetched the news from is taken.
  if (IsTrustedSubmitUrl(line.submitUrl, newsUrl)) {
    g.SubmitURL = line.submitUrl.trimmed();
  } else {
    g.SubmitURL.clear();
    if (!line.submitUrl.isEmpty())
      qCWarning(lcNews).noquote() << "Submission address of the news file ignored (not https on"
                                  << QUrl(newsUrl).host() + QLatin1String("):") << line.submitUrl;
  }
  g.MsgRemoteSeen = line.message;
  // An empty message means the server has nothing to say: no empty window.
  return !line.message.isEmpty() && line.message != seen;
}

}  // namespace cantorel
