#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace cantorel {

// How an entry of a playlist file becomes a path on this system. Playlists
// come from other desktops too, so:
//  - "http:" and "https:" addresses (any letter case) are streams, kept as read;
//  - "file:" addresses become the local path they name;
//  - "\" separates folders like "/";
//  - a drive letter ("C:\music\a.mp3") or a leading separator ("\music\a.mp3")
//    names a path from the root of this file system ("/music/a.mp3"), as
//    there are no drives here;
//  - anything else is relative to the playlist's folder.

// Whether an entry is a stream address.
bool IsStreamEntry(const QString &entry);

// The full path of `entry` read from a playlist in `playlistFolder` (with or
// without its final separator; empty for the current folder).
QString ResolveEntry(const QString &entry, const QString &playlistFolder);

// Whether an entry was written on a desktop whose file names ignore letter
// case (it has a "\" or a drive letter).
bool IsWindowsStyleEntry(const QString &entry);

// Finds an existing file for `path` whose folder and file names match without
// regard to letter case, for entries of playlists made on such desktops.
// Folder listings are kept between calls, so a whole playlist costs one
// listing per folder. Gives `path` itself when it exists or nothing matches.
class CaseInsensitivePaths {
 public:
  QString resolve(const QString &path);

 private:
  QString matchIn(const QString &folder, const QString &name);
  QHash<QString, QStringList> listings_;
};

}  // namespace cantorel
