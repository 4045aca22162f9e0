#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "playlist/tag_info.h"

namespace cantorel {

// A picture stored in a song's tag (ID3v2 APIC, FLAC or Vorbis picture block,
// MP4 "covr").
struct EmbeddedPicture {
  QByteArray data;
  QString mimeType;  // as the tag names it; may be empty
  int type = 3;      // picture type of ID3v2 and FLAC: 3 is the front cover
};

// An embedded lyric as found in the tag, and where it was found ("SYLT",
// "USLT", "LYRICS", "UNSYNCEDLYRICS", "\u00A9lyr").
struct EmbeddedLyric {
  QString text;    // synced: LRC text ("[mm:ss.xx]line" lines); plain: the text
  QString source;  // empty when there is none
  bool isEmpty() const { return text.isEmpty(); }
};

// What a media file says about its song, from the richest tag it carries
// (ID3v2, Vorbis comment, MP4 atoms, APE, ...), never from ID3v1: the ID3v1
// record keeps being read and written by the byte rules of mp3_info.h.
struct SongFacts {
  bool opened = false;  // the file was a plain file of a format the reader knows
  QString tagKind;      // "ID3v2.4", "ID3v2.3", "Vorbis comment", "MP4", ...; empty: no modern tag
  QString artist, album, title, genre;
  int track = 0;
  int year = 0;
  // Stream facts (zero when not read or not known).
  int lengthMs = 0;
  int sampleRate = 0;  // Hz
  int channels = 0;
  int bitrate = 0;  // kbit/s
  EmbeddedLyric synced;  // LRC text, from SYLT or from LRC found in a lyric field
  EmbeddedLyric plain;   // a lyric without times
  QList<EmbeddedPicture> pictures;  // front covers first

  bool hasModernTag() const { return !tagKind.isEmpty(); }
};

// What to read beyond the tag's text fields: each part costs reading time.
enum SongFactParts {
  kFactsText = 0,          // artist, album, title, genre, track, year
  kFactsStream = 1 << 0,   // length, sample rate, channels, bitrate
  kFactsLyrics = 1 << 1,   // embedded lyrics (reads the stream facts too)
  kFactsPictures = 1 << 2, // embedded pictures
  kFactsAll = kFactsStream | kFactsLyrics | kFactsPictures,
};

// Limits for hostile files: pictures and lyrics past them are left out.
inline constexpr int kMaxEmbeddedPictures = 8;
inline constexpr qsizetype kMaxEmbeddedPictureBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxEmbeddedLyricChars = 1024 * 1024;

// Reads the song facts of the file at `path`. Anything but a plain file
// (folders, devices, FIFOs) is refused without being opened; so is a file the
// reader does not know, which gives `opened` false.
SongFacts ReadSongFacts(const QString &path, int parts = kFactsText);
// The same for file contents in memory; the format is told by the contents.
SongFacts ReadSongFactsFromBytes(const QByteArray &bytes, int parts = kFactsAll);

// The tag the program shows and names lyrics by: artist, album, title, year,
// track and genre byte from the modern tag where it has them, else the ID3v1
// record's. Text is not cut to ID3v1 widths. `Found` when either tag was.
TagInfo SongTag(const TagInfo &id3v1, const SongFacts &facts);

// The stream facts in words: "3:25, 44.1 kHz, 2 channels, 320 kbit/s"; the
// parts not known are left out; empty when none is.
QString StreamFactsText(const SongFacts &facts);

// LRC text for synced lyric entries: one "[mm:ss.xx]text" line per entry; a
// line break inside a text becomes a blank.
struct TimedText {
  qint64 ms = 0;
  QString text;
};
QString LrcTextFor(const QList<TimedText> &entries);

// Milliseconds of `frames` MPEG frames of `samplesPerFrame` samples at
// `sampleRate` Hz (SYLT times given in frames); 0 when the rate is unknown.
qint64 MpegFramesToMs(qint64 frames, int samplesPerFrame, int sampleRate);

}  // namespace cantorel
