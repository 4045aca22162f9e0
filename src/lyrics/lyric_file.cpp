#include "lyrics/lyric_file.h"

#include <QFileInfo>

#include "core/atomic_file.h"
#include "core/text_codec.h"
#include "prefs/message_ids.h"

namespace cantorel {

// The statuses are the numbers of their messages.
static_assert(static_cast<int>(LyricStatus::BadHeader) == msg::LyricBadHeader);
static_assert(static_cast<int>(LyricStatus::EmptyTime) == msg::LyricEmptyTime);
static_assert(static_cast<int>(LyricStatus::MissingTime) == msg::LyricMissingTime);
static_assert(static_cast<int>(LyricStatus::EmptyText) == msg::LyricEmptyText);
static_assert(static_cast<int>(LyricStatus::ReadError) == msg::LyricNotFound);
static_assert(static_cast<int>(LyricStatus::TooManyEntries) == msg::LyricTooManyEntries);

QString lyricStatusText(LyricStatus status, const General &g) {
  if (status == LyricStatus::Correct) return lyricCorrectText();
  const QString text = g.message(static_cast<int>(status));
  return text.isEmpty() ? g.message(msg::LyricNotFound) : text;
}

namespace {

// Hands out the lines of a text one at a time, split at CR LF, LF or a lone CR
// as splitLines() does (a final line end makes no extra line). Reading stops
// at the first fault, so a file of millions of short lines never becomes a
// list of millions of texts.
class LineReader {
 public:
  explicit LineReader(const QString &text) : text_(text) {}
  bool atEnd() const { return pos_ >= text_.size(); }
  int linesRead() const { return lines_; }
  QString next() {
    ++lines_;
    const qsizetype n = text_.size();
    const qsizetype start = pos_;
    qsizetype i = start;
    while (i < n && text_[i] != u'\n' && text_[i] != u'\r') ++i;
    QString line = text_.mid(start, i - start);
    if (i < n) {
      if (text_[i] == u'\r' && i + 1 < n && text_[i + 1] == u'\n') ++i;
      ++i;
    }
    pos_ = i;
    return line;
  }

 private:
  const QString &text_;
  qsizetype pos_ = 0;
  int lines_ = 0;
};

}  // namespace

LyricStatus parseLyricBytes(const QByteArray &bytes, LyricLines &out, int *count, int *line) {
  out.clear();
  const QString text = decodeText(bytes);
  LineReader lines(text);
  int n = 0;
  // `at` is the line where reading stopped: the faulty line, or the one that
  // could not be read past the end.
  auto done = [&](LyricStatus s, int at) {
    if (count) *count = n;
    if (line) *line = at;
    return s;
  };
  auto pastEnd = [&] { return done(LyricStatus::ReadError, lines.linesRead() + 1); };
  if (lines.atEnd()) return pastEnd();
  const QString first = lines.next();
  if (first == QLatin1String(kLyricHeaderOld)) {
    for (int k = 0; k < kLyricOldHeaderExtraLines; ++k) {
      if (lines.atEnd()) return pastEnd();
      lines.next();
    }
  } else if (first != QLatin1String(kLyricHeader)) {
    return done(LyricStatus::BadHeader, 1);
  }
  while (!lines.atEnd()) {
    const QString lyric = lines.next();
    if (lyric.isEmpty()) return done(LyricStatus::EmptyText, lines.linesRead());
    // One entry past the limit overflows the 16-bit count.
    if (n == kMaxLyricEntries) return done(LyricStatus::TooManyEntries, lines.linesRead());
    ++n;
    out.PlLyrics.append(lyric);
    if (lines.atEnd()) return done(LyricStatus::MissingTime, lines.linesRead() + 1);
    const QString time = lines.next();
    if (time.isEmpty()) return done(LyricStatus::EmptyTime, lines.linesRead());
    out.PlTimes.append(time);
  }
  return done(LyricStatus::Correct, lines.linesRead());
}

LyricStatus readLyricFileStatus(const QString &path, LyricLines &out, int *count, int *line) {
  out.clear();
  if (count) *count = 0;
  if (line) *line = 0;
  // Opening a pipe or a device would block or never end; only plain files
  // are read.
  if (path.isEmpty() || !QFileInfo(path).isFile()) return LyricStatus::ReadError;
  QByteArray bytes;
  if (!readFileLimited(path, kMaxLyricFileBytes, &bytes)) return LyricStatus::ReadError;
  return parseLyricBytes(bytes, out, count, line);
}

QString ReadLyricFile(const QString &path, General &g, LyricLines &lyric) {
  int count = 0;
  const LyricStatus s = readLyricFileStatus(path, lyric, &count);
  g.LyricLineCount = static_cast<qint16>(count);
  g.LyricNext = 0;
  return lyricStatusText(s, g);
}

namespace {

// A line as written: a CR or LF inside it would split it in two and shift
// every later text and time by one line.
QString oneLine(const QString &s) {
  QString line = s;
  for (QChar &c : line)
    if (c == u'\r' || c == u'\n') c = QLatin1Char(' ');
  return line;
}

}  // namespace

QByteArray encodeLyricFile(const QStringList &texts, const QStringList &times) {
  QString text = QLatin1String(kLyricHeader) + QLatin1String("\r\n");
  const qsizetype n = qMin(texts.size(), times.size());
  for (qsizetype k = 0; k < n; ++k) {
    text += oneLine(texts[k]) + QLatin1String("\r\n");
    text += oneLine(times[k]) + QLatin1String("\r\n");
  }
  const QByteArray legacy = encodeLegacy(text);
  // The legacy code page (Windows-1252 unless the settings name another)
  // serves only when every character has a byte there and those
  // bytes do not also form valid UTF-8 of other characters (the reader would
  // take them as UTF-8): then the reader gets back exactly this text.
  // Otherwise the file is written as UTF-8.
  return decodeText(legacy) == text ? legacy : text.toUtf8();
}

bool WriteLyricFile(const QString &path, const QStringList &texts, const QStringList &times, QString *error) {
  if (path.isEmpty()) {
    if (error) *error = QStringLiteral("no file name");
    return false;
  }
  return writeFileAtomically(path, encodeLyricFile(texts, times), error);
}

}  // namespace cantorel
