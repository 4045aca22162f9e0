#include "lyrics/online_lyrics.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>

#include <cmath>

#include "core/atomic_file.h"
#include "desktop/environment.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_search.h"
#include "playlist/paths.h"
#include "version.h"

Q_DECLARE_LOGGING_CATEGORY(lcLyrics)

namespace cantorel {

namespace {

OnlineLyricRecord recordFrom(const QJsonObject &o) {
  OnlineLyricRecord r;
  r.artist = o.value(QLatin1String("artistName")).toString();
  r.title = o.value(QLatin1String("trackName")).toString();
  r.album = o.value(QLatin1String("albumName")).toString();
  const QJsonValue d = o.value(QLatin1String("duration"));
  if (d.isDouble() && std::isfinite(d.toDouble()) && d.toDouble() >= 0) r.duration = d.toDouble();
  r.instrumental = o.value(QLatin1String("instrumental")).toBool();
  r.plainLyrics = o.value(QLatin1String("plainLyrics")).toString();
  r.syncedLyrics = o.value(QLatin1String("syncedLyrics")).toString();
  return r;
}

QString withoutSpacing(const QString &s) {
  QString out;
  out.reserve(s.size());
  for (QChar c : s)
    if (!c.isSpace()) out += c;
  return out.toCaseFolded();
}

// "\r\n" and lone "\r" become "\n".
QString lfOnly(QString s) {
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

// A tag field as it is asked for: up to its first NUL, trimmed.
QString queryField(const QString &field) {
  const qsizetype nul = field.indexOf(QChar(u'\0'));
  return (nul < 0 ? field : field.left(nul)).trimmed();
}

bool isLoopbackHost(const QString &host) {
  if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
  const QHostAddress a(host);
  return !a.isNull() && a.isLoopback();
}

}  // namespace

OnlineLyricQuery onlineLyricQuery(const QString &songPath, const TagInfo &tag, double lengthSec) {
  OnlineLyricQuery q;
  q.artist = queryField(tag.Artist);
  q.title = queryField(tag.Title);
  q.album = queryField(tag.Album);
  if (q.artist.isEmpty() || q.title.isEmpty()) {
    const QString name = StripExt(FilePart(songPath));
    const qsizetype sep = name.indexOf(QLatin1String(" - "));
    q.artist = sep < 0 ? QString() : name.left(sep).trimmed();
    q.title = sep < 0 ? QString() : name.mid(sep + 3).trimmed();
    q.album.clear();  // the tag's album may belong to another song's tag fields
  }
  if (std::isfinite(lengthSec) && lengthSec > 0 && lengthSec < 1e7)
    q.durationSec = static_cast<int>(std::lround(lengthSec));
  return q;
}

bool parseOnlineLyricRecord(const QByteArray &json, OnlineLyricRecord *out) {
  QJsonParseError err;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
  if (err.error != QJsonParseError::NoError || !doc.isObject()) return false;
  *out = recordFrom(doc.object());
  return true;
}

bool parseOnlineLyricSearch(const QByteArray &json, QList<OnlineLyricRecord> *out) {
  QJsonParseError err;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
  if (err.error != QJsonParseError::NoError || !doc.isArray()) return false;
  out->clear();
  const QJsonArray a = doc.array();
  for (const QJsonValue &v : a) {
    if (out->size() >= kMaxOnlineSearchRecords) break;
    if (v.isObject()) out->append(recordFrom(v.toObject()));
  }
  return true;
}

bool sameOnlineLyricName(const QString &a, const QString &b) {
  return withoutSpacing(a) == withoutSpacing(b);
}

int bestOnlineLyricMatch(const QList<OnlineLyricRecord> &records, const OnlineLyricQuery &query) {
  int best = -1;
  double bestOff = 0;
  for (int i = 0; i < records.size(); ++i) {
    const OnlineLyricRecord &r = records[i];
    if (!sameOnlineLyricName(r.artist, query.artist) || !sameOnlineLyricName(r.title, query.title)) continue;
    double off = 0;
    if (query.durationSec > 0) {
      if (r.duration < 0) continue;
      off = std::fabs(r.duration - query.durationSec);
      if (off > kOnlineDurationTolerance) continue;
    }
    if (best < 0 || off < bestOff) {
      best = i;
      bestOff = off;
    }
  }
  return best;
}

OnlineLyricResult onlineLyricFromRecord(const OnlineLyricRecord &record) {
  OnlineLyricResult r;
  LyricLines lines;
  if (!record.syncedLyrics.isEmpty() &&
      parseLrcBytes(record.syncedLyrics.toUtf8(), lines) == LyricStatus::Correct) {
    r.kind = OnlineLyricResult::Kind::Synced;
    r.synced = lfOnly(record.syncedLyrics);
    return r;
  }
  if (record.instrumental) {
    r.kind = OnlineLyricResult::Kind::Instrumental;
    return r;
  }
  QStringList plain = lfOnly(record.plainLyrics).split(QLatin1Char('\n'));
  if (plain.size() > kMaxLyricEntries) plain = plain.mid(0, kMaxLyricEntries);
  while (!plain.isEmpty() && plain.back().trimmed().isEmpty()) plain.removeLast();
  if (!plain.isEmpty()) {
    r.kind = OnlineLyricResult::Kind::Plain;
    r.plainLines = plain;
    return r;
  }
  r.kind = OnlineLyricResult::Kind::NotFound;
  return r;
}

QByteArray onlineLyricFileBytes(const OnlineLyricResult &result, const OnlineLyricQuery &query) {
  if (result.kind == OnlineLyricResult::Kind::Synced) {
    QByteArray bytes = result.synced.toUtf8();
    if (!bytes.endsWith('\n')) bytes += '\n';
    return bytes;
  }
  if (result.kind != OnlineLyricResult::Kind::Instrumental) return QByteArray();
  TagInfo tag;
  tag.Artist = query.artist;
  tag.Title = query.title;
  tag.Album = query.album;
  return encodeLrcFile({}, {}, tag) + "[instrumental:yes]\n";
}

QString onlineLyricSavePath(const QString &songPath, const General &g) {
  if (songPath.isEmpty() || FilePart(songPath).isEmpty()) return QString();
  const bool tagNamed = !lyricNameField(g.SongTag.Artist).isEmpty() && !lyricNameField(g.SongTag.Title).isEmpty();
  // A tag name ("Artist[ - Album] - Title") is looked for in every folder; the
  // song's own name is looked for beside the song and in the data folder only.
  QString name = tagNamed ? lyricFileNameFor(songPath, g.SongTag)
                          : StripExt(FilePart(songPath)).trimmed() + QLatin1String(".qvl");
  name = name.left(name.size() - 4) + QLatin1String(".lrc");
  const auto writableDir = [](const QString &dir) {
    const QFileInfo info(dir);
    return !dir.isEmpty() && info.isDir() && info.isWritable();
  };
  if (tagNamed && writableDir(g.LyricPath)) return QDir(g.LyricPath).filePath(name);
  if (!tagNamed || g.LyricPath.isEmpty()) {
    const QString songDir = QFileInfo(songPath).absolutePath();
    if (writableDir(songDir)) return QDir(songDir).filePath(name);
  }
  if (!g.OnlineLyricDir.isEmpty() && (QFileInfo(g.OnlineLyricDir).isDir() || QDir().mkpath(g.OnlineLyricDir)))
    return QDir(g.OnlineLyricDir).filePath(name);
  return QString();
}

QString onlineLyricBaseUrl(const General &g) {
  const QString fromEnv = qEnvironmentVariable("CANTOREL_LYRIC_URL");
  return fromEnv.isEmpty() ? g.LyricOnlineURL : fromEnv;
}

bool onlineLyricUrlAllowed(const QUrl &url) {
  if (!url.isValid() || url.host().isEmpty()) return false;
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("https")) return true;
  return scheme == QLatin1String("http") && isLoopbackHost(url.host());
}

QByteArray onlineLyricUserAgent() {
  const QByteArray home(CANTOREL_HOMEPAGE);
  QByteArray ua = "Cantorel/" CANTOREL_VERSION;
  if (!home.isEmpty()) ua += " (" + home + ")";
  return ua;
}

// ---------------------------------------------------------------------------

OnlineLyricFetch::OnlineLyricFetch(QObject *parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this,
          [this] { fail(QStringLiteral("no answer within %1 s").arg(limits_.timeoutMs / 1000.0)); });
}

OnlineLyricFetch::~OnlineLyricFetch() {
  cancel();
}

namespace {
// The service's endpoint NAME under the base address (with or without a
// trailing "/").
QUrl apiUrl(QUrl base, const char *name) {
  const QString path = base.path();
  base.setPath(path.chopped(path.endsWith(u'/') ? 1 : 0) + QLatin1String("/api/") + QLatin1String(name));
  return base;
}
}  // namespace

void OnlineLyricFetch::start(const QUrl &base, const OnlineLyricQuery &query) {
  cancel();
  base_ = base;
  query_ = query;
  searching_ = false;
  QUrl url = apiUrl(base, "get");
  QUrlQuery q;
  q.addQueryItem(QStringLiteral("artist_name"), query.artist);
  q.addQueryItem(QStringLiteral("track_name"), query.title);
  if (!query.album.isEmpty()) q.addQueryItem(QStringLiteral("album_name"), query.album);
  if (query.durationSec > 0) q.addQueryItem(QStringLiteral("duration"), QString::number(query.durationSec));
  url.setQuery(q);
  deadline_.start(limits_.timeoutMs);
  get(url);
}

void OnlineLyricFetch::get(const QUrl &url) {
  QNetworkRequest req(url);
  req.setHeader(QNetworkRequest::UserAgentHeader, onlineLyricUserAgent());
  req.setRawHeader("Accept", "application/json");
  // Uncompressed, so the size limit counts what the server sends.
  req.setRawHeader("Accept-Encoding", "identity");
  req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  req.setMaximumRedirectsAllowed(3);
  req.setTransferTimeout(limits_.timeoutMs);
  body_.clear();
  refusal_.clear();
  QNetworkReply *r = nam_.get(req);
  reply_ = r;
  // Qt keeps no more than this unread; the rest waits in the socket.
  r->setReadBufferSize(64 * 1024);
  connect(r, &QNetworkReply::redirected, this, [this, r](const QUrl &to) {
    const QUrl target = r->url().resolved(to);
    if (target.scheme() == base_.scheme() && target.host() == base_.host() &&
        target.port(-1) == base_.port(-1)) {
      Q_EMIT r->redirectAllowed();
      return;
    }
    refusal_ = QStringLiteral("redirect to another host or scheme");
    r->abort();
  });
  connect(r, &QNetworkReply::metaDataChanged, this, [this, r] {
    const qint64 length = r->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (length > limits_.maxBytes) {
      refusal_ = QStringLiteral("answer of %1 bytes is over the limit").arg(length);
      r->abort();
    }
  });
  connect(r, &QNetworkReply::readyRead, this, [this, r] {
    if (!refusal_.isEmpty()) return;
    body_ += r->read(limits_.maxBytes + 1 - body_.size());
    if (body_.size() > limits_.maxBytes) {
      refusal_ = QStringLiteral("answer over %1 bytes").arg(limits_.maxBytes);
      r->abort();
    }
  });
  connect(r, &QNetworkReply::finished, this, &OnlineLyricFetch::onFinished);
}

void OnlineLyricFetch::cancel() {
  deadline_.stop();
  if (QNetworkReply *r = reply_) {
    reply_.clear();
    r->disconnect(this);
    r->abort();
    r->deleteLater();
  }
}

void OnlineLyricFetch::fail(const QString &why) {
  OnlineLyricResult r;
  r.kind = OnlineLyricResult::Kind::Failed;
  r.refused = true;
  r.error = why;
  done(r);
}

void OnlineLyricFetch::done(const OnlineLyricResult &result) {
  cancel();
  Q_EMIT finished(result);
}

void OnlineLyricFetch::onFinished() {
  QNetworkReply *r = reply_;
  if (!r) return;
  if (!refusal_.isEmpty()) return fail(refusal_);
  const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (r->error() != QNetworkReply::NoError && status != 404) {
    // A 3xx that was not followed ends here too.
    if (!status) {
      OnlineLyricResult unreachable;
      unreachable.error = r->errorString();
      return done(unreachable);
    }
    return fail(QStringLiteral("status %1").arg(status));
  }
  if (status != 200 && status != 404) return fail(QStringLiteral("status %1").arg(status));
  if (status == 404) {
    if (searching_) {
      OnlineLyricResult none;
      none.kind = OnlineLyricResult::Kind::NotFound;
      return done(none);
    }
    searching_ = true;
    QUrl url = apiUrl(base_, "search");
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("track_name"), query_.title);
    q.addQueryItem(QStringLiteral("artist_name"), query_.artist);
    url.setQuery(q);
    r->disconnect(this);
    r->deleteLater();
    get(url);
    return;
  }
  body_ += r->read(limits_.maxBytes + 1 - body_.size());
  if (body_.size() > limits_.maxBytes)
    return fail(QStringLiteral("answer over %1 bytes").arg(limits_.maxBytes));
  if (r->header(QNetworkRequest::ContentTypeHeader)
          .toString()
          .contains(QLatin1String("html"), Qt::CaseInsensitive))
    return fail(QStringLiteral("answer is HTML"));
  OnlineLyricRecord record;
  if (searching_) {
    QList<OnlineLyricRecord> records;
    if (!parseOnlineLyricSearch(body_, &records))
      return fail(QStringLiteral("search answer is not a JSON array"));
    const int best = bestOnlineLyricMatch(records, query_);
    if (best < 0) {
      OnlineLyricResult none;
      none.kind = OnlineLyricResult::Kind::NotFound;
      return done(none);
    }
    record = records[best];
  } else if (!parseOnlineLyricRecord(body_, &record)) {
    return fail(QStringLiteral("answer is not a JSON object"));
  }
  done(onlineLyricFromRecord(record));
}

// ---------------------------------------------------------------------------

OnlineLyricStep::OnlineLyricStep(General &g, QObject *parent)
    : QObject(parent), g_(g), online_([] { return IsOnline(); }) {
  connect(&fetch_, &OnlineLyricFetch::finished, this, &OnlineLyricStep::onFinished);
}

bool OnlineLyricStep::songWithoutLyric(const QString &songPath, bool stream, double lengthSec) {
  // The same song again (repeat, a replay): its lookup goes on.
  if (!song_.isEmpty() && songPath == song_) return true;
  cancel();
  if (!g_.LyricOnline || stream || asked_.contains(songPath)) return false;
  const OnlineLyricQuery query = onlineLyricQuery(songPath, g_.SongTag, lengthSec);
  if (!query.valid()) return false;
  const QUrl base(onlineLyricBaseUrl(g_));
  if (!onlineLyricUrlAllowed(base)) {
    qCWarning(lcLyrics).noquote() << "Online lyric address refused (https only, or loopback):"
                                  << base.toDisplayString();
    return false;
  }
  const QString savePath = onlineLyricSavePath(songPath, g_);
  // Something under that name that the search could not use (an instrumental
  // mark, a file of the user's): asked before, and never overwritten.
  if (savePath.isEmpty() || QFileInfo::exists(savePath)) return false;
  song_ = songPath;
  savePath_ = savePath;
  query_ = query;
  base_ = base;
  // Starts after the current event: PlayIt and the tick it is part of are
  // never held up by the connection test or the request.
  QTimer::singleShot(0, this, [this, gen = generation_] {
    if (gen == generation_) begin();
  });
  return true;
}

void OnlineLyricStep::cancel() {
  ++generation_;
  song_.clear();
  fetch_.cancel();
}

void OnlineLyricStep::begin() {
  if (!isLoopbackHost(base_.host()) && !online_()) return;
  asked_.insert(song_);
  fetch_.start(base_, query_);
}

void OnlineLyricStep::onFinished(const OnlineLyricResult &result) {
  const QString song = song_;
  song_.clear();
  using Kind = OnlineLyricResult::Kind;
  switch (result.kind) {
    case Kind::Failed:
      if (result.refused)
        qCWarning(lcLyrics).noquote() << "Online lyric answer refused:" << result.error;
      else
        qCInfo(lcLyrics).noquote() << "Online lyric service not reached:" << result.error;
      return;
    case Kind::NotFound:
      qCInfo(lcLyrics).noquote() << "No lyric online for" << song;
      return;
    case Kind::Plain:
      Q_EMIT plainLyricFound(song, result.plainLines);
      return;
    case Kind::Synced:
    case Kind::Instrumental:
      break;
  }
  QString error;
  if (!writeFileAtomically(savePath_, onlineLyricFileBytes(result, query_), &error)) {
    qCWarning(lcLyrics).noquote() << "Online lyric not saved:" << error;
    return;
  }
  Q_EMIT lyricSaved(song, savePath_, result.kind == Kind::Instrumental);
}

}  // namespace cantorel
