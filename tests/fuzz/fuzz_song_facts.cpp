// Fuzz target: the song-facts reader over every format it opens (told by the
// contents), with everything read, and the synced lyric it hands on.
#include <QByteArray>

#include "lyrics/lrc_file.h"
#include "playlist/song_facts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const cantorel::SongFacts f = cantorel::ReadSongFactsFromBytes(bytes, cantorel::kFactsAll);
  if (f.pictures.size() > cantorel::kMaxEmbeddedPictures) __builtin_trap();
  for (const auto &p : f.pictures)
    if (p.data.isEmpty() || p.data.size() > cantorel::kMaxEmbeddedPictureBytes) __builtin_trap();
  if (f.synced.text.size() > cantorel::kMaxEmbeddedLyricChars || f.plain.text.size() > cantorel::kMaxEmbeddedLyricChars)
    __builtin_trap();
  if (f.lengthMs < 0 || f.sampleRate < 0 || f.channels < 0 || f.bitrate < 0) __builtin_trap();
  if (!f.synced.isEmpty()) {
    cantorel::LyricLines lines;
    (void)cantorel::parseLrcBytes(f.synced.text.toUtf8(), lines);
  }
  (void)cantorel::SongTag(cantorel::TagInfo(), f);
  return 0;
}
