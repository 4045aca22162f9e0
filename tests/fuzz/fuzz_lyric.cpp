// Fuzz target: the timed-lyric reader (decoding and line split included), and
// the writer on whatever the reader accepts: writing a lyric read from any
// bytes and reading it again must give back the same lines.
#include <QByteArray>

#include "lyrics/lyric_file.h"

using cantorel::LyricLines;
using cantorel::LyricStatus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  LyricLines lyric;
  int count = -1;
  const LyricStatus s = cantorel::parseLyricBytes(bytes, lyric, &count);
  if (count != lyric.PlLyrics.size() || count > cantorel::kMaxLyricEntries) __builtin_trap();
  const qsizetype texts = lyric.PlLyrics.size(), times = lyric.PlTimes.size();
  // A text read without its time: the file ended, or the time line was empty.
  const bool oneMore = s == LyricStatus::MissingTime || s == LyricStatus::EmptyTime;
  if (texts != times + (oneMore ? 1 : 0)) __builtin_trap();
  if (s != LyricStatus::Correct) return 0;
  for (const QString &line : lyric.PlLyrics + lyric.PlTimes)
    if (line.isEmpty()) __builtin_trap();
  LyricLines back;
  if (cantorel::parseLyricBytes(cantorel::encodeLyricFile(lyric.PlLyrics, lyric.PlTimes), back) !=
      LyricStatus::Correct)
    __builtin_trap();
  // Every character comes back, except a lone surrogate (from a broken UTF-16
  // file), which no encoding can hold: it comes back as "?".
  auto writable = [](QStringList lines) {
    for (QString &l : lines) {
      for (qsizetype k = 0; k < l.size(); ++k) {
        if (l[k].isHighSurrogate() && k + 1 < l.size() && l[k + 1].isLowSurrogate())
          ++k;
        else if (l[k].isSurrogate())
          l[k] = QLatin1Char('?');
      }
    }
    return lines;
  };
  if (back.PlLyrics != writable(lyric.PlLyrics) || back.PlTimes != writable(lyric.PlTimes)) __builtin_trap();
  return 0;
}
