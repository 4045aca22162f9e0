// Fuzz target: the LRC reader (decoding, stamps, tags, offset, joining) and
// the LRC writer on whatever the reader accepts. What the player gets must be
// usable by the playback timer: as many times and stamps as texts, no empty
// text, times in the display's "m:ss" form of their stamps, in order, and
// strictly increasing once joined for our own format; and an accepted lyric
// written as LRC must be accepted again with the same times.
#include <QByteArray>

#include "lyrics/lrc_file.h"
#include "playback/playback_timer.h"

using cantorel::LrcDocument;
using cantorel::LyricLines;
using cantorel::LyricStatus;
using cantorel::PlaybackTimer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  cantorel::looksLikeLrc(bytes);
  cantorel::parseLrcStamp(QString::fromLatin1(bytes.left(32)));
  LyricLines lyric;
  LrcDocument doc;
  const LyricStatus s = cantorel::parseLrcBytes(bytes, lyric, &doc);
  if (doc.warnings.size() > cantorel::kMaxLrcWarnings || doc.tags.size() > cantorel::kMaxLrcTags ||
      doc.entries.size() > cantorel::kMaxLyricEntries)
    __builtin_trap();
  if (s != LyricStatus::Correct) {
    if (!lyric.PlLyrics.isEmpty() || !lyric.PlTimes.isEmpty()) __builtin_trap();
    return 0;
  }
  if (lyric.PlLyrics.isEmpty() || lyric.PlLyrics.size() != lyric.PlTimes.size() || !lyric.stamped())
    __builtin_trap();
  for (qsizetype k = 0; k < lyric.PlTimes.size(); ++k) {
    const qint64 ms = lyric.PlStampsMs[k];
    if ((k > 0 && ms < lyric.PlStampsMs[k - 1]) || cantorel::lrcTimeText(ms) != lyric.PlTimes[k])
      __builtin_trap();
    if (lyric.PlLyrics[k].isEmpty()) __builtin_trap();
  }
  LyricLines joined = lyric;
  cantorel::joinSameSecond(joined);
  qint32 previous = -1;
  for (qsizetype k = 0; k < joined.PlTimes.size(); ++k) {
    const qint32 t = PlaybackTimer::timeSeconds(joined.PlTimes[k]);
    if (t <= previous || PlaybackTimer::timeText(t, false) != joined.PlTimes[k]) __builtin_trap();
    if (joined.PlLyrics[k].isEmpty() || joined.stamped()) __builtin_trap();
    previous = t;
  }
  for (qsizetype k = 1; k < doc.entries.size(); ++k)
    if (doc.entries[k].shownMs < doc.entries[k - 1].shownMs || doc.entries[k].shownMs < 0) __builtin_trap();

  LyricLines back;
  const QByteArray lrc = cantorel::encodeLrcFile(lyric.PlLyrics, lyric.PlTimes, cantorel::TagInfo());
  if (cantorel::parseLrcBytes(lrc, back) != LyricStatus::Correct) __builtin_trap();
  // A text may itself hold something the reader takes as a stamp (it was
  // text only because it did not stand at the start): then there are more
  // times, but every time written is among them.
  for (const QString &t : lyric.PlTimes)
    if (!back.PlTimes.contains(t)) __builtin_trap();
  return 0;
}
