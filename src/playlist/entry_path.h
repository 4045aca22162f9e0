#pragma once

#include <QString>

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

}  // namespace cantorel
