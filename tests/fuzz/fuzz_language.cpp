// Fuzz target: the language file reader (decoding and line split included).
#include <QByteArray>

#include "core/general.h"
#include "prefs/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  static std::array<QString, cantorel::General::kMessageCount> messages;
  bool truncated = false;
  const int n = cantorel::loadLanguageBytes(bytes, messages, &truncated);
  if (n < 0 || n > 300 || !messages[0].isEmpty()) __builtin_trap();
  return 0;
}
