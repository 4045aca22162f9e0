// Fuzz target: the plain lyric text the assistant loads. No line taken may be
// blank, and the lines taken, saved as a timed lyric with the placeholder
// time, must read back as a correct lyric of as many entries.
#include <QByteArray>

#include "lyrics/assistant_logic.h"
#include "lyrics/lyric_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  cantorel::AssistantLines lines;
  lines.append(cantorel::plainLyricLines(bytes));
  for (const QString &l : lines.texts)
    if (l.count(QLatin1Char(' ')) == l.size()) __builtin_trap();  // empty or spaces only
  cantorel::LyricLines back;
  int count = 0;
  if (cantorel::parseLyricBytes(cantorel::encodeLyricFile(lines.texts, lines.times), back, &count) !=
      cantorel::LyricStatus::Correct)
    __builtin_trap();
  if (count != lines.count()) __builtin_trap();
  return 0;
}
