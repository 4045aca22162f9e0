#include "playlist/cover.h"

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

QString TagCoverOrFallback(const QString &folder, const QString &artist, const QString &album,
                           const QString &playlistCover, const QString &defaultCover) {
  const QString r = FindTagCover(folder, artist, album);
  if (!r.isEmpty()) return r;
  if (!playlistCover.isEmpty()) return playlistCover;
  return defaultCover;
}

}  // namespace cantorel
