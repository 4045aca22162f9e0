#include "playlist/display_title.h"

#include "core/general.h"
#include "playlist/mp3_info.h"
#include "playlist/paths.h"

namespace cantorel {

TitleOptions TitleOptions::from(const General &g) {
  return TitleOptions{g.FriendlyNames, g.ShowArtist, g.ShowAlbum};
}

QString TitleFromTag(const TagInfo &tag, const QString &path, const TitleOptions &opt) {
  QString title = tag.Title.trimmed();
  if (title.isEmpty()) title = FriendlyName(path.trimmed(), opt.FriendlyNames).trimmed();
  if (opt.ShowAlbum == 1) {
    const QString a = tag.Album.trimmed();
    title = (a.isEmpty() ? QStringLiteral("Unknown Album") : a) + QLatin1String(" - ") + title;
  }
  if (opt.ShowArtist == 1) {
    const QString a = tag.Artist.trimmed();
    title = (a.isEmpty() ? QStringLiteral("Unknown Artist") : a) + QLatin1String(" - ") + title;
  }
  return title;
}

QString TitleFromFile(const QString &path, const TitleOptions &opt) {
  const QString p = path.trimmed();
  return TitleFromTag(ReadMp3Info(p).Tag, p, opt);
}

}  // namespace cantorel
