#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/general.h"
#include "lyrics/lyric_file.h"
#include "playlist/song_facts.h"
#include "playlist/tag_info.h"

namespace cantorel {

// Lyric file names made from tag fields: the writer (LyricWritePath) and the
// finder build them by the same rule, so what one writes the other finds.

// One tag field as it goes into a lyric file name: the text up to its first
// NUL, surrounding spaces trimmed, then every "/", "\" and control character
// (U+0000..U+001F, U+007F) replaced by "_". With no separator left, a name
// cannot leave its folder; dots stay ("..." ends many titles), since ".." is
// only dangerous as a path part of its own.
QString lyricNameField(const QString &field);

// The three tag names, each with both separators whether or not a field is
// empty: N3 = "Artist - Album - Title.qvl", N1 = "Artist - Title.qvl",
// N2 = "Album - Title.qvl".
struct LyricTagNames {
  QString N3;
  QString N1;
  QString N2;
};
LyricTagNames lyricTagNames(const TagInfo &tag);

// The candidates for base path P in the order they are tried: N3, D + N3, N1,
// D + N1, N2, D + N2, then (only when P is not empty) S + ".qvl" and
// D + S + ".qvl", where D is P up to its last separator and S its file name
// without the extension. Names without a folder are relative.
QStringList LyricCandidates(const QString &basePath, const TagInfo &tag);

// The file a candidate names: a relative name is taken in `relativeDir` (the
// current folder when empty). The exact name wins; otherwise a plain file in
// the same folder whose name differs only in letter case ("Song.QVL" for
// "Song.qvl"), as lyric files copied from other desktops often do. Returns the
// exact path when neither exists.
QString resolveLyricCandidate(const QString &candidate, const QString &relativeDir = QString());

// The file formats a search looks for: our own (".qvl") and LRC (".lrc"),
// tried by the same names.
enum class LyricFormat { Own, Lrc };

// The candidates of LyricCandidates with ".lrc" in place of ".qvl".
QStringList LrcCandidates(const QString &basePath, const TagInfo &tag);

// One candidate tried by a search.
struct LyricAttempt {
  QString candidate;  // the name as built
  QString file;       // the file it names (relative names resolved)
  bool exists = false;
  LyricStatus status = LyricStatus::ReadError;
  int line = 0;  // where reading stopped (0: not read); for LRC the lines read
  LyricFormat format = LyricFormat::Own;
};

// What a search found.
struct LyricSearch {
  bool found = false;
  LyricStatus status = LyricStatus::ReadError;  // of the last candidate tried
  QString file;                                 // the file read, when found
  QList<LyricAttempt> attempts;                 // in the order tried
};

// Tries the candidates of `basePath` with the reader until one reads
// correctly; `lyric` and the counters of `g` then hold it. With
// LyricFormat::Lrc the ".lrc" names are tried with the LRC reader.
LyricSearch findLyricFile(const QString &basePath, const TagInfo &tag, General &g, LyricLines &lyric,
                          const QString &relativeDir = QString(), LyricFormat format = LyricFormat::Own);

// Loads the lyric of a song: first among the candidates of the lyric folder
// ("LyricPath"), then of the song itself; when neither holds a lyric of our
// own format, the same two passes look for LRC files by the same names (our
// format keeps priority), then LRC files in the folder of lyrics found online.
// When every file fails, a synced lyric embedded in the song's tag (SYLT, or
// LRC text in a lyric field) is read as an LRC file.
// Sets `LyricActive` while searching.
// When nothing is found, clears `LyricActive` and leaves the failure text as
// the only line of `PlLyrics` (no time, no entries counted), or the lines of
// a plain lyric embedded in the tag, untimed. Returns whether a timed lyric
// was loaded; the main window shows the countdown label (label 30) exactly
// then.
bool LoadLyricFor(const QString &songPath, General &g, LyricLines &lyric,
                  const QString &relativeDir = QString());

// The same, telling how: the folder searched first and the passes (a pass is
// empty when one before it found the lyric).
struct LyricLoad {
  bool found = false;
  QString lyricDir;  // base path of the first pass
  LyricSearch lyricFolder;
  LyricSearch song;
  LyricSearch lrcLyricFolder;  // LRC passes, only when our format was not found
  LyricSearch lrcSong;
  // LRC files in `General::OnlineLyricDir` (where lyrics found online go when
  // no other folder takes them), by the song's tag names and its own name.
  LyricSearch lrcOnlineFolder;
  // The lyrics embedded in the song's tag, read only when every file failed.
  bool embeddedRead = false;
  EmbeddedLyric embeddedSynced;  // its LRC text and where it was found
  LyricStatus embeddedStatus = LyricStatus::ReadError;
  EmbeddedLyric embeddedPlain;  // shown untimed when nothing else was found
  bool embeddedUsed = false;    // the embedded synced lyric was loaded
  // The failure text of our own format's last candidate: the only line of
  // `PlLyrics` when nothing was found.
  QString failureText;
  // The pass that found the lyric, or null.
  const LyricSearch *used() const;
};
LyricLoad loadLyric(const QString &songPath, General &g, LyricLines &lyric,
                    const QString &relativeDir = QString());

// The name of a new lyric file for a song: "Artist[ - Album][ - Title].qvl"
// when the artist is set, else the song's file name without its extension,
// trimmed, + ".qvl".
QString lyricFileNameFor(const QString &songPath, const TagInfo &tag);

// Names the lyric file of a song beside the song and makes sure it can be
// written: a missing file is created empty; an existing one is left as it is
// until WriteLyricFile replaces it whole. Returns the path, or the empty text
// when no file can be made there (or there is no song).
QString LyricWritePath(const QString &songPath, const TagInfo &tag);

}  // namespace cantorel
