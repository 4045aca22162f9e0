#pragma once

#include <QString>

#include "playlist/tag_info.h"

namespace cantorel {

struct General;

// The options that shape a display title (settings "FriendlyNames",
// "ShowArtist", "ShowAlbum").
struct TitleOptions {
  int FriendlyNames = 0;
  int ShowArtist = 0;
  int ShowAlbum = 0;

  static TitleOptions from(const General &g);
};

// The display title of the file at `path` whose tag is `tag`: the tag's title,
// or the friendly name of the path when it is empty; preceded by the album
// ("Unknown Album") when ShowAlbum is 1, and then by the artist ("Unknown
// Artist") when ShowArtist is 1, joined by " - ".
QString TitleFromTag(const TagInfo &tag, const QString &path, const TitleOptions &opt);

// The display title of a file, read from its tag. The shared tag record of
// the playing file is not touched.
QString TitleFromFile(const QString &path, const TitleOptions &opt);

}  // namespace cantorel
