#include "playlist/display_title.h"

#include "core/general.h"
#include "playlist/mp3_info.h"
#include "playlist/paths.h"
#include "playlist/song_facts.h"

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

TagInfo ReadSongTag(const QString &path) {
  const SongFacts facts = ReadSongFacts(path);
  // The ID3v1 record is read only for what the modern tag leaves out.
  if (!facts.artist.isEmpty() && !facts.album.isEmpty() && !facts.title.isEmpty()) return SongTag(TagInfo(), facts);
  return SongTag(ReadMp3Info(path).Tag, facts);
}

QString TitleFromFile(const QString &path, const TitleOptions &opt) {
  const QString p = path.trimmed();
  return TitleFromTag(ReadSongTag(p), p, opt);
}

}  // namespace cantorel
