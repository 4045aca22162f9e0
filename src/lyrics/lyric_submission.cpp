#include "lyrics/lyric_submission.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "core/text_codec.h"
#include "desktop/environment.h"
#include "desktop/news_file.h"

Q_LOGGING_CATEGORY(lcSubmit, "cantorel.lyrics.submit", QtWarningMsg)

namespace cantorel {

QByteArray UrlEncode(const QString &text) {
  static const char kHex[] = "0123456789ABCDEF";
  const QByteArray bytes = encodeWindows1252(text);
  QByteArray out;
  out.reserve(bytes.size() * 3);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == ' ') {
      out += '+';
    } else if (c < 48) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

QByteArray FormBody(const QStringList &names, const QStringList &values) {
  QByteArray body;
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (!body.isEmpty()) body += '&';
    body += UrlEncode(names[i]);
    body += '=';
    body += UrlEncode(i < values.size() ? values[i] : QString());
  }
  return body;
}

QStringList LyricFieldNames() {
  return {QStringLiteral("name"), QStringLiteral("song_title"), QStringLiteral("album_title"),
          QStringLiteral("artist_name"), QStringLiteral("lyric")};
}

QStringList LyricFieldValues(const QString &nick, const QString &lyricFile, const TagInfo &tag,
                             const QStringList &texts, const QStringList &times) {
  QString lyric;
  for (qsizetype i = 0; i < texts.size(); ++i) {
    lyric += texts[i] + QLatin1Char('#');
    lyric += (i < times.size() ? times[i] : QString()) + QLatin1Char('#');
  }
  return {nick + QStringLiteral(" - ") + lyricFile, TagInfo::fit(tag.Title, TagInfo::kTitleWidth),
          TagInfo::fit(tag.Album, TagInfo::kAlbumWidth), TagInfo::fit(tag.Artist, TagInfo::kArtistWidth), lyric};
}

LyricSubmitter::LyricSubmitter(QObject *parent) : QObject(parent), online_([] { return IsOnline(); }) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] {
    qCInfo(lcSubmit) << "No answer from the lyric service within" << timeoutMs_ << "ms; request given up";
    if (reply_) reply_->abort();
  });
}

LyricSubmitter::~LyricSubmitter() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
  }
}

bool LyricSubmitter::submit(const General &g, const QString &lyricFile, const QStringList &texts,
                            const QStringList &times) {
  if (g.SubmitLyric != 1 || !online_ || !online_()) return false;
  return PostForm(g.SubmitURL, LyricFieldNames(), LyricFieldValues(g.Nick, lyricFile, g.SongTag, texts, times));
}

bool LyricSubmitter::PostForm(const QString &url, const QStringList &names, const QStringList &values) {
  return PostBytes(url, FormBody(names, values));
}

bool LyricSubmitter::PostBytes(const QString &url, const QByteArray &body) {
  // The address comes from the news file: nothing but the web is used.
  const QUrl u(url.trimmed());
  const QString scheme = u.scheme().toLower();
  if (!u.isValid() || u.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
    qCInfo(lcSubmit).noquote() << "No usable submission address:" << url;
    return false;
  }
  if (reply_) return false;  // one request at a time
  QNetworkRequest req(u);
  req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
  req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  req.setTransferTimeout(timeoutMs_);
  req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  reply_ = nam_.post(req, body);
  QNetworkReply *r = reply_;
  received_ = 0;
  r->setReadBufferSize(kMaxReplyBytes);
  connect(r, &QNetworkReply::redirected, this, [r, u](const QUrl &to) {
    if (IsAllowedRedirect(u, to)) {
      Q_EMIT r->redirectAllowed();
      return;
    }
    qCWarning(lcSubmit).noquote() << "Lyric submission stopped: redirect to" << to.toDisplayString()
                                  << "refused";
    r->abort();
  });
  // The reply is not used: it is read and dropped as it comes, and a server
  // that sends more than a reply needs is cut off.
  connect(r, &QNetworkReply::readyRead, this, [this, r] {
    char scrap[4096];
    while (r->bytesAvailable() > 0) {
      const qint64 n = r->read(scrap, sizeof scrap);
      if (n <= 0) break;
      received_ += n;
    }
    if (received_ > kMaxReplyBytes && !r->isFinished()) {
      qCWarning(lcSubmit) << "Lyric service reply larger than" << kMaxReplyBytes
                          << "bytes; connection closed";
      r->abort();
    }
  });
  connect(r, &QNetworkReply::finished, this, &LyricSubmitter::onFinished);
  deadline_.start(timeoutMs_);
  return true;
}

void LyricSubmitter::onFinished() {
  deadline_.stop();
  QNetworkReply *r = reply_;
  if (!r) return;
  reply_.clear();
  r->deleteLater();
  const bool answered = r->error() == QNetworkReply::NoError;
  if (!answered) qCInfo(lcSubmit).noquote() << "Lyric not submitted:" << r->errorString();
  Q_EMIT finished(answered);
}

bool SubmitTimedLyric(const General &g, const QString &lyricFile, const QStringList &texts,
                      const QStringList &times, std::function<bool()> onlineCheck) {
  auto *s = new LyricSubmitter(QCoreApplication::instance());
  if (onlineCheck) s->setOnlineCheck(std::move(onlineCheck));
  if (!s->submit(g, lyricFile, texts, times)) {
    delete s;
    return false;
  }
  QObject::connect(s, &LyricSubmitter::finished, s, &QObject::deleteLater);
  return true;
}

}  // namespace cantorel
