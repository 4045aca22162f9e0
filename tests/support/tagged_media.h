#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace cantorel::test {

// Short tagged songs made at test time: a tone encoded by GStreamer's
// encoders, then tagged with TagLib.

enum class Media { Mp3v23, Mp3v24, Flac, Vorbis, Opus, M4a };

// The file extension of a kind ("mp3", "flac", "ogg", "opus", "m4a").
QString mediaExtension(Media kind);
// Writes a `seconds` long tone of `kind` to `path` (MP3 through lame, the rest
// through GStreamer's encoders). False when the encoder is
// missing or fails.
bool makeTone(Media kind, const QString &path, double seconds = 0.2);

struct SongTagSpec {
  QString artist, album, title, genre;
  int track = 0, year = 0;
  // A synced lyric written as SYLT (MP3 only): (ms, text) pairs.
  QList<QPair<qint64, QString>> sylt;
  bool syltInFrames = false;  // times as MPEG frames instead of milliseconds
  // A lyric text: USLT (MP3), the `lyricField` comment (Ogg, FLAC), "\u00A9lyr" (M4A).
  QString lyric;
  QString lyricField = QStringLiteral("LYRICS");
  QByteArray picture;  // a front cover when not empty
};

// Writes the tag of `kind` (ID3v2.3 or 2.4, Vorbis comment, MP4 atoms).
bool writeSongTag(Media kind, const QString &path, const SongTagSpec &spec);

// The bytes of a 2x2 PNG picture.
QByteArray tinyPng();

}  // namespace cantorel::test
