#pragma once

#include <QString>

#include "core/general.h"
#include "playlist/playlist.h"

namespace cantorel {

// Whether a file name has one of the listed extensions: its extension (the
// whole name when it has no dot), in any letter case, is one of the words of
// `validExt` ("mp2 mp3 mpa wav mid rmi ogg oga flac opus m4a"), or has exactly
// three characters and occurs anywhere in it (as stored lists were written).
bool HasValidExtension(const QString &fileName, const QString &validExt);

// The extensions the input plug-ins declare in their dialog filters
// ("Ogg|*.ogg;*.oga" gives "ogg" and "oga"), lower case, each once.
QStringList DeclaredExtensions(const QList<InputPluginInfo> &plugins);
// The list a scan or a dropped folder uses: the user's "ValidExt", then what
// the input plug-ins declare.
QString ScanExtensions(const QString &validExt, const QList<InputPluginInfo> &plugins);

// Appends every file with a valid extension under `folder`: the folders are
// collected breadth first, then each folder's files are added in name order.
// Hidden files and folders are skipped, and a folder reached twice (through a
// link) is scanned once. `yield` runs now and then so the window stays
// responsive. Returns the number of entries added.
int PlAddTree(const QString &folder, Playlist &pl, const QString &validExt, const EntryTitleFn &title,
              const YieldFn &yield = {});

// Adds what the user opened or dropped: a playlist file (M3U, M3U8, PLS) is
// read, a folder is scanned with `validExt`, anything else (a stream address
// too) is appended as one entry and `tNum` becomes 1 when it was 0. Nothing happens for an empty
// `addName`.
void PlAddOpened(const QString &addPath, const QString &addName, Playlist &pl, const QString &validExt,
                 const EntryTitleFn &title, qint16 &tNum, const YieldFn &yield = {}, int friendlyNames = 1);

}  // namespace cantorel
