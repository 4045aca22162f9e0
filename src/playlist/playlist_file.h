#pragma once

#include <QString>

#include "playlist/playlist.h"

namespace cantorel {

// Reads an M3U file into the playlist (entries appended). Returns false when
// the file cannot be read.
bool PlRead(const QString &file, Playlist &pl, int friendlyNames);
// Writes the playlist as M3U, replacing the file atomically.
bool WritePL(const QString &file, const Playlist &pl);

}  // namespace cantorel
