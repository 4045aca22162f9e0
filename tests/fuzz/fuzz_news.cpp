// Fuzz target: the news file reader (decoding, last line, first "#").
#include <QByteArray>

#include "desktop/news_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  cantorel::NewsLine line;
  if (cantorel::ParseNews(bytes, &line)) {
    // Neither part can hold a line end, and the address never holds a "#".
    if (line.submitUrl.contains(QLatin1Char('#'))) __builtin_trap();
    for (const QString *s : {&line.submitUrl, &line.message})
      if (s->contains(QLatin1Char('\n')) || s->contains(QLatin1Char('\r'))) __builtin_trap();
  }
  return 0;
}
