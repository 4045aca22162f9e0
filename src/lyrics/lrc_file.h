#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "core/text_codec.h"
#include "lyrics/lyric_file.h"
#include "playlist/tag_info.h"

namespace cantorel {

// LRC lyrics: the "[mm:ss.xx]text" files most lyric collections hold. The
// player keeps its own format first; an LRC file is read into the same
// texts and "m:ss" times, plus each line's stamp so the line is shown on it.

// What an author may want to fix in an LRC file. None of these stops the
// player from using the file.
enum class LrcWarningKind {
  OutOfOrder,      // a line's first stamp is earlier than the line before
  DuplicateStamp,  // the same stamp was already given
  PastLength,      // the stamp (offset applied) lies past "[length:]"
  MixedPrecision,  // the fraction digits differ from the first stamp's
  WordStamp,       // a stamp-like fragment stays in the shown text
  MalformedStamp,  // a bracket that looks like a stamp but is not one
  MalformedTag,    // "[offset:]" or "[length:]" without a usable value
  SameSecond,      // entries share the second the time display shows (joined in our format)
};

// The kind as the checker prints it ("out-of-order", "duplicate-stamp", ...).
QString lrcWarningKindName(LrcWarningKind kind);

struct LrcWarning {
  int line = 0;  // 1-based line of the file
  LrcWarningKind kind = LrcWarningKind::MalformedStamp;
  QString text;  // in words, for the author
};

// One stamp of the file with its text, before entries of the same second are
// joined (an import that wants every line as written takes these).
struct LrcEntry {
  qint64 stampMs = 0;  // as written
  qint64 shownMs = 0;  // offset applied, within 0..kMaxLrcMs
  QString time;        // the "m:ss" text the time display shows at shownMs
  QString text;        // word stamps removed, trimmed; " " for a gap
  int line = 0;        // 1-based line of the file
};

// Everything read from an LRC file.
struct LrcDocument {
  // ID tags in file order, keys in lower case ("ar", "ti", "offset", ...).
  QList<QPair<QString, QString>> tags;
  QString title, artist, album, author;  // "[ti:]", "[ar:]", "[al:]", "[by:]"
  qint64 offsetMs = 0;                   // "[offset:]"; positive shows lines sooner
  qint64 lengthMs = -1;                  // "[length:]", -1 when not given
  TextEncoding encoding = TextEncoding::Utf8;
  int lineCount = 0;  // lines of the file looked at
  // Every stamp, ordered by shown time (stable: file order within a time).
  QList<LrcEntry> entries;
  QList<LrcWarning> warnings;   // ordered by line
  int warningsDropped = 0;      // past kMaxLrcWarnings
  bool tooManyEntries = false;  // more than kMaxLyricEntries stamps

  void clear() { *this = LrcDocument(); }
};

// Warnings kept per file; the rest are only counted.
inline constexpr int kMaxLrcWarnings = 1000;
// ID tags kept per file.
inline constexpr int kMaxLrcTags = 256;
// The latest time a stamp may name, offset applied: "99999:59", so every
// time we show can be written back as a stamp.
inline constexpr qint64 kMaxLrcMs = (99999LL * 60 + 59) * 1000;
// Texts of the same shown second are joined with this, in stamp order, when
// an LRC lyric is kept in our own format.
inline constexpr char kLrcJoin[] = " / ";

// A stamp's milliseconds from its inside ("00:12.34", "0:12", "00:12:34",
// "01:02:03.45"), or -1 when it is not a stamp. `fractionDigits` receives how
// many digits follow the seconds (0 to 3). Stamps past kMaxLrcMs are not
// stamps.
qint64 parseLrcStamp(QStringView inside, int *fractionDigits = nullptr);

// The "m:ss" text the time display shows at `ms` milliseconds: the position is
// rounded to the second as the display rounds it (halves to even).
QString lrcTimeText(qint64 ms);

// Whether a file name ends in ".lrc" (any letter case).
bool isLrcFileName(const QString &path);
// Whether bytes look like an LRC file: a line (after blanks) starting with a
// valid "[mm:ss" stamp among the first lines. Our own format never does.
bool looksLikeLrc(const QByteArray &bytes);

// Reads LRC bytes into `out` (cleared first): one entry per stamp, ordered by
// time, with the "m:ss" time the display shows for it and its stamp in
// PlStampsMs (offset applied); an empty text (an instrumental gap) is kept as
// a single blank so the lyric box clears and our own format can hold it.
// Correct when at least one timed line was read; ReadError when there is
// none, TooManyEntries for more than kMaxLyricEntries stamps.
LyricStatus parseLrcBytes(const QByteArray &bytes, LyricLines &out, LrcDocument *doc = nullptr);

// Makes `lines` fit our whole-second format, whose timer moves one entry on
// each time the shown second changes: texts of the same "m:ss" time are
// joined with kLrcJoin (a gap's blank gives way to a text) and the stamps are
// dropped.
void joinSameSecond(LyricLines &lines);

// Reads an LRC file into texts and "m:ss" times (offset applied), as
// parseLrcBytes does. Returns Correct, or ReadError for a file the player
// cannot use; anything but a plain file and files over kMaxLyricFileBytes give
// ReadError without blocking.
LyricStatus readLrcFile(const QString &path, LyricLines &out, LrcDocument *doc = nullptr);

// Bytes of an LRC file: "[ti:]", "[ar:]", "[al:]" from the tag (omitted when
// empty), then one "[mm:ss.00]text" line per entry, LF line ends, UTF-8
// without a byte-order mark (the encoding LRC readers everywhere assume).
// Entries whose time is not an "m:ss" time are left out (no stamp can hold
// them); entries beyond the shorter list are not written. A CR or LF inside a
// text becomes a blank. Where `stampsMs` holds a time of 0 or more for an
// entry, its stamp is that time to the centisecond instead of the whole
// second of `times`.
QByteArray encodeLrcFile(const QStringList &texts, const QStringList &times, const TagInfo &tag,
                         const QList<qint64> &stampsMs = {});

// Replaces the file at `path` with encodeLrcFile()'s bytes atomically.
// Returns false (old file untouched) and says why in `error` on failure.
bool WriteLrcFile(const QString &path, const QStringList &texts, const QStringList &times, const TagInfo &tag,
                  QString *error = nullptr, const QList<qint64> &stampsMs = {});

}  // namespace cantorel
