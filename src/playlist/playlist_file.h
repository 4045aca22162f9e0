#pragma once

#include <QString>

#include "playlist/playlist.h"

namespace cantorel {

// What a playlist read left out, besides blank lines and comments.
struct PlaylistReadReport {
  int longLines = 0;  // lines longer than kMaxPlaylistLineChars: no path is
  int overCap = 0;    // entries past Playlist::kMaxReadEntries
};
// No path or address is anywhere near this long; longer lines are refused
// before any work is done on them.
inline constexpr int kMaxPlaylistLineChars = 32 * 1024;

// Appends the entries of an M3U (also ".m3u8") or PLS playlist file; the kind
// follows the extension. Sets the playlist's name and picture. Entries are
// resolved by ResolveEntry; each display title comes from `title` (streams
// show their address). The text is decoded by decodeText: a byte-order mark
// wins, else valid UTF-8, else the Windows single-byte code page. Returns
// false when the file cannot be read (entries already added stay). Lines
// too long to be a path and entries past the cap are left out with one
// warning each; `report` receives their numbers.
bool PlRead(const QString &file, Playlist &pl, const EntryTitleFn &title, int friendlyNames = 1,
            PlaylistReadReport *report = nullptr);

// The text of an M3U file for the playlist's entries: one path a line with
// CR LF, paths under the playlist file's folder relative to it; empty paths
// and paths with "**" are left out.
QByteArray PlaylistText(const QString &file, const Playlist &pl);
// Writes the playlist as M3U (UTF-8, no header), replacing the file
// atomically. Returns false on failure (the old file stays); `error` then
// gives the system's reason.
bool WritePL(const QString &file, const Playlist &pl, QString *error = nullptr);

}  // namespace cantorel
