#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/general.h"

namespace cantorel {

// The timed lyric of the entry being played: line texts and their times,
// paired by index. After a complete read both lists have the same length;
// after a file that ends without its last time, `PlLyrics` holds one more.
// When no lyric was found, `PlLyrics` holds the failure text as its only line
// and `PlTimes` is empty.
//
// A lyric read from stamped lines (LRC) also carries each line's stamp in
// `PlStampsMs` (milliseconds, offset applied, one per time): the timer then
// shows a line as soon as the position reaches its stamp. Our own format
// keeps `PlStampsMs` empty: its lines follow the whole second the time
// display shows.
struct LyricLines {
  QStringList PlLyrics;
  QStringList PlTimes;
  QList<qint64> PlStampsMs;

  // Whether the lines follow their stamps rather than the shown second.
  bool stamped() const { return !PlStampsMs.isEmpty() && PlStampsMs.size() == PlTimes.size(); }
  void clear() {
    PlLyrics.clear();
    PlTimes.clear();
    PlStampsMs.clear();
  }
};

// Outcome of reading one timed-lyric file. The values are the numbers of the
// messages that describe them (Correct has none).
enum class LyricStatus : int {
  Correct = 0,
  BadHeader = 1,    // first line is neither "(QVL)" nor "(QVD)"
  EmptyTime = 2,    // a time line is empty
  MissingTime = 3,  // the file ends right after a lyric text
  EmptyText = 4,    // a lyric text line is empty (also a trailing empty line)
  ReadError = 6,    // cannot open or read, header cut short, too large
  TooManyEntries = 187,  // more than kMaxLyricEntries entries
};

// The status text the player passes around: "CORRECTO" on success, else the
// text of the message of the same number (message 6 for TooManyEntries
// when the language file predates that message).
inline const QString &lyricCorrectText() {
  static const QString s = QStringLiteral("CORRECTO");
  return s;
}
QString lyricStatusText(LyricStatus status, const General &g);

// File marks and limits.
inline constexpr char kLyricHeader[] = "(QVL)";
inline constexpr char kLyricHeaderOld[] = "(QVD)";  // read only: six more header lines follow
inline constexpr int kLyricOldHeaderExtraLines = 6;
inline constexpr int kMaxLyricEntries = 32767;  // the entry count is a signed 16-bit number
// A file larger than this is refused unread (message 6). 32767 entries of
// generous lines fit many times over.
inline constexpr qint64 kMaxLyricFileBytes = 16 * 1024 * 1024;

// Reads a lyric from the bytes of a file into `out` (cleared first). Lines are
// taken as they are, never trimmed. `*count` receives the number of texts
// read, which equals out.PlLyrics.size(). `*line` receives the 1-based number
// of the line where reading stopped: the faulty line, the line that was
// missing at the end of the file, or after success the number of lines read.
LyricStatus parseLyricBytes(const QByteArray &bytes, LyricLines &out, int *count = nullptr,
                            int *line = nullptr);
// The same from a file. Anything but a plain file (a folder, a pipe, a
// device) and files over kMaxLyricFileBytes give ReadError without blocking,
// with `*line` 0.
LyricStatus readLyricFileStatus(const QString &path, LyricLines &out, int *count = nullptr,
                                int *line = nullptr);

// The reader as the player calls it: fills `lyric`, sets `LyricLineCount` to
// the number of texts read and `LyricNext` to 0, and returns the status text.
// A failed read leaves what it had read so far in the lists.
QString ReadLyricFile(const QString &path, General &g, LyricLines &lyric);

// The bytes of a lyric file: "(QVL)", then each text and its time, every line
// followed by CR LF. In the legacy code page (Windows-1252 unless the
// settings name another) when every character has a byte there (so files
// stay byte-compatible with lyrics written on other desktops); UTF-8
// otherwise, so no character is lost and the reader gets back the same text.
// A CR or LF inside a text or time would split the entry; it becomes a blank.
QByteArray encodeLyricFile(const QStringList &texts, const QStringList &times);

// Replaces the file at `path` with the lyric, atomically: readers see the old
// lyric or the new one, never a mix. Entries beyond the shorter of the two
// lists are not written. Returns false (old file untouched) on error.
bool WriteLyricFile(const QString &path, const QStringList &texts, const QStringList &times,
                    QString *error = nullptr);

}  // namespace cantorel
