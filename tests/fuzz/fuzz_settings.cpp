// Fuzz target: the settings file reader and the typed reading of every key.
#include <QByteArray>
#include <QTemporaryDir>

#include "core/general.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "support/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  const auto entries = cantorel::SettingsStore::parse(bytes);
  // Printing what was read and reading it again gives the same entries.
  const auto again = cantorel::SettingsStore::parse(cantorel::SettingsStore::serialize(entries));
  if (again.size() > entries.size()) __builtin_trap();
  for (const auto &e : entries) {
    (void)cantorel::toInt16(e.value);
    (void)cantorel::toInt32(e.value);
  }
  // The whole load path, through a real file.
  static QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/cantorel.conf");
  cantorel::fuzz::writeFile(path, bytes);
  cantorel::SettingsStore store(path);
  store.load();
  cantorel::Settings settings(store);
  cantorel::General g;
  settings.load(g, {});
  return 0;
}
