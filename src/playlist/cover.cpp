#include "playlist/cover.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include "core/atomic_file.h"
#include "playlist/paths.h"

namespace cantorel {

CoverChoice ChooseCover(const QString &x, const QString &lastCover, bool prefsOpen) {
  CoverChoice c;
  if (x == lastCover || prefsOpen) return c;
  if (x.isEmpty()) {
    c.action = CoverChoice::Clear;
    return c;
  }
  const QString f = x.contains(QLatin1Char('.')) ? x : FindImageFile(x);
  if (!FileExists(f)) {
    c.action = CoverChoice::Clear;
    return c;
  }
  if (!IsPictureFile(f)) return c;
  c.action = CoverChoice::Show;
  c.File = f;
  return c;
}

QString FindTagCover(const QString &folder, const QString &artist, const QString &album) {
  const QString d = AddBackslash(folder);
  const QString a = artist.trimmed();
  const QString b = album.trimmed();
  QString r;
  if (!b.isEmpty()) {
    if (const QString f = FindImageFile(d + b); !f.isEmpty()) r = f;
  }
  if (!a.isEmpty()) {
    if (const QString f = FindImageFile(d + a + QLatin1Char('-') + b); !f.isEmpty()) r = f;
    if (const QString f = FindImageFile(d + a + QLatin1String(" - ") + b); !f.isEmpty()) r = f;
  }
  return r;
}

QString EmbeddedCoverKey(const QString &songPath) {
  return QStringLiteral("embedded-cover:") + songPath;
}

bool IsEmbeddedCoverKey(const QString &lastCover) {
  return lastCover.startsWith(QLatin1String("embedded-cover:"));
}

QString CachedPictureFile(const QByteArray &data, const QString &cacheDir) {
  if (data.isEmpty() || cacheDir.isEmpty()) return QString();
  const char *ext = data.startsWith("\x89PNG")   ? "png"
                    : data.startsWith("\xFF\xD8") ? "jpg"
                    : data.startsWith("GIF8")      ? "gif"
                    : data.startsWith("BM")        ? "bmp"
                                                   : "img";
  const QString path = QDir(cacheDir).filePath(
      QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()) + u'.' +
      QLatin1String(ext));
  if (QFileInfo(path).isFile()) return path;
  if (!QDir().mkpath(cacheDir) || !writeFileAtomically(path, data)) return QString();
  return path;
}

QString TagCoverOrFallback(const QString &folder, const QString &artist, const QString &album,
                           const QString &playlistCover, const QString &defaultCover) {
  const QString r = FindTagCover(folder, artist, album);
  if (!r.isEmpty()) return r;
  if (!playlistCover.isEmpty()) return playlistCover;
  return defaultCover;
}

}  // namespace cantorel
