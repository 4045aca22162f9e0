// Fuzz target: the answers of the online lyric service (one record or a search
// array), the match and what would be saved from them.
#include <QByteArray>

#include "lyrics/lrc_file.h"
#include "lyrics/online_lyrics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace cantorel;
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const OnlineLyricQuery query{QStringLiteral("The Band"), QStringLiteral("Song One"), {}, 200};
  QList<OnlineLyricRecord> records;
  OnlineLyricRecord one;
  if (parseOnlineLyricSearch(bytes, &records)) {
    if (records.size() > kMaxOnlineSearchRecords) __builtin_trap();
    const int best = bestOnlineLyricMatch(records, query);
    if (best >= records.size()) __builtin_trap();
    if (best >= 0) one = records[best];
  } else if (!parseOnlineLyricRecord(bytes, &one)) {
    return 0;
  }
  const OnlineLyricResult r = onlineLyricFromRecord(one);
  if (r.plainLines.size() > kMaxLyricEntries) __builtin_trap();
  // What is saved reads back as a lyric (synced) or as none (instrumental).
  const QByteArray saved = onlineLyricFileBytes(r, query);
  LyricLines lines;
  const LyricStatus st = parseLrcBytes(saved, lines);
  if (r.kind == OnlineLyricResult::Kind::Synced && st != LyricStatus::Correct) __builtin_trap();
  if (r.kind == OnlineLyricResult::Kind::Instrumental && st == LyricStatus::Correct) __builtin_trap();
  return 0;
}
