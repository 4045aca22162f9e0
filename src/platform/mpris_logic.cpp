#include "platform/mpris_logic.h"

#include <QUrl>

#include <cmath>
#include <limits>

namespace cantorel::mpris {

QStringList supportedUriSchemes() {
  return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
}

QStringList supportedMimeTypes() {
  return {QStringLiteral("audio/mp2"),
          QStringLiteral("audio/x-wav"),
          QStringLiteral("audio/basic"),
          QStringLiteral("audio/midi"),
          QStringLiteral("audio/vnd.rn-realaudio"),
          QStringLiteral("application/vnd.rn-realmedia"),
          QStringLiteral("application/ram"),
          QStringLiteral("video/x-msvideo"),
          QStringLiteral("video/quicktime"),
          QStringLiteral("video/mpeg"),
          QStringLiteral("audio/mpeg"),
          QStringLiteral("application/vnd.ms-asf"),
          QStringLiteral("audio/x-ms-asx"),
          QStringLiteral("audio/ogg"),
          QStringLiteral("audio/x-vorbis+ogg"),
          QStringLiteral("audio/flac"),
          QStringLiteral("audio/x-opus+ogg"),
          QStringLiteral("audio/mp4"),
          QStringLiteral("audio/x-mpegurl"),
          QStringLiteral("audio/x-scpls")};
}

qint64 toMicroseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  const double us = std::round(seconds * 1e6);
  // 2^63 is exactly representable; anything from there on saturates.
  if (us >= 9223372036854775808.0) return std::numeric_limits<qint64>::max();
  return static_cast<qint64>(us);
}

double toSeconds(qint64 microseconds) {
  return static_cast<double>(microseconds) / 1e6;
}

QString statusText(Status s) {
  switch (s) {
    case Status::Playing:
      return QStringLiteral("Playing");
    case Status::Paused:
      return QStringLiteral("Paused");
    case Status::Stopped:
      break;
  }
  return QStringLiteral("Stopped");
}

QString loopStatusText(bool repeat) {
  return repeat ? QStringLiteral("Track") : QStringLiteral("None");
}

std::optional<bool> repeatForLoopStatus(const QString &loopStatus) {
  if (loopStatus == QLatin1String("None")) return false;
  if (loopStatus == QLatin1String("Track") || loopStatus == QLatin1String("Playlist")) return true;
  return std::nullopt;
}

QString trackIdPath(int entry) {
  if (entry < 1) return kNoTrack;
  return QStringLiteral("/org/cantorel/track/") + QString::number(entry);
}

namespace {

bool isStream(const QString &path) {
  return path.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
         path.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
}

}  // namespace

QString entryUrl(const QString &path) {
  if (path.isEmpty()) return QString();
  if (isStream(path)) return path;
  return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString pathForUri(const QString &uri) {
  const QUrl url(uri.trimmed(), QUrl::StrictMode);
  if (!url.isValid()) return QString();
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("file")) {
    // Only files of this machine: a host other than ours cannot be opened.
    QUrl local = url;
    if (local.host() == QLatin1String("localhost")) local.setHost(QString());
    if (!local.host().isEmpty()) return QString();
    return local.toLocalFile();
  }
  if ((scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty())
    return url.toString(QUrl::FullyEncoded);
  return QString();
}

QVariantMap buildMetadata(const TrackInfo &t) {
  QVariantMap m;
  if (t.entry < 1) return m;
  m.insert(QStringLiteral("mpris:trackid"), trackIdPath(t.entry));
  if (t.length > 0) m.insert(QStringLiteral("mpris:length"), toMicroseconds(t.length));
  if (!t.title.isEmpty()) m.insert(QStringLiteral("xesam:title"), t.title);
  if (!t.artist.isEmpty()) m.insert(QStringLiteral("xesam:artist"), QStringList{t.artist});
  if (!t.album.isEmpty()) m.insert(QStringLiteral("xesam:album"), t.album);
  if (!t.path.isEmpty()) m.insert(QStringLiteral("xesam:url"), entryUrl(t.path));
  if (!t.cover.isEmpty()) m.insert(QStringLiteral("mpris:artUrl"), entryUrl(t.cover));
  if (!t.lyric.isEmpty()) m.insert(QStringLiteral("xesam:asText"), t.lyric.join(u'\n'));
  return m;
}

QVariantMap playerProperties(const Snapshot &s) {
  return {
      {QStringLiteral("PlaybackStatus"), statusText(s.status)},
      {QStringLiteral("LoopStatus"), loopStatusText(s.repeat)},
      {QStringLiteral("Shuffle"), s.shuffle},
      {QStringLiteral("Volume"), s.volume},
      {QStringLiteral("Rate"), s.rate},
      {QStringLiteral("Metadata"), buildMetadata(s.track)},
      {QStringLiteral("CanGoNext"), s.canGoNext},
      {QStringLiteral("CanGoPrevious"), s.canGoPrevious},
      {QStringLiteral("CanPlay"), s.canPlay},
      {QStringLiteral("CanPause"), s.canPause},
      {QStringLiteral("CanSeek"), s.canSeek},
  };
}

QVariantMap changedPlayerProperties(const Snapshot &before, const Snapshot &now) {
  QVariantMap out;
  if (before.status != now.status) out.insert(QStringLiteral("PlaybackStatus"), statusText(now.status));
  if (before.repeat != now.repeat) out.insert(QStringLiteral("LoopStatus"), loopStatusText(now.repeat));
  if (before.shuffle != now.shuffle) out.insert(QStringLiteral("Shuffle"), now.shuffle);
  if (before.volume != now.volume) out.insert(QStringLiteral("Volume"), now.volume);
  if (before.rate != now.rate) out.insert(QStringLiteral("Rate"), now.rate);
  if (before.track != now.track) out.insert(QStringLiteral("Metadata"), buildMetadata(now.track));
  if (before.canGoNext != now.canGoNext) out.insert(QStringLiteral("CanGoNext"), now.canGoNext);
  if (before.canGoPrevious != now.canGoPrevious)
    out.insert(QStringLiteral("CanGoPrevious"), now.canGoPrevious);
  if (before.canPlay != now.canPlay) out.insert(QStringLiteral("CanPlay"), now.canPlay);
  if (before.canPause != now.canPause) out.insert(QStringLiteral("CanPause"), now.canPause);
  if (before.canSeek != now.canSeek) out.insert(QStringLiteral("CanSeek"), now.canSeek);
  return out;
}

SeekStep seekStep(qint64 position, qint64 offset, qint64 length, bool canSeek) {
  if (!canSeek || length <= 0) return {};
  // Add without overflow: a huge offset either way is just "far".
  qint64 to = 0;
  if (offset > 0 && position > std::numeric_limits<qint64>::max() - offset)
    to = std::numeric_limits<qint64>::max();
  else if (offset < 0 && position < std::numeric_limits<qint64>::min() - offset)
    to = std::numeric_limits<qint64>::min();
  else
    to = position + offset;
  if (to >= length) return {SeekStep::Next, 0};
  return {SeekStep::SeekTo, to < 0 ? 0 : to};
}

bool setPositionApplies(const QString &trackId, qint64 position, const TrackInfo &current) {
  if (current.entry < 1 || trackId != trackIdPath(current.entry)) return false;
  return position >= 0 && position <= toMicroseconds(current.length) && current.length > 0;
}

}  // namespace cantorel::mpris
