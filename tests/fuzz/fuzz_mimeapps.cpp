// Fuzz target: the mimeapps.list reader and editor (also reads our backup of
// the previous defaults).
#include <QByteArray>

#include "desktop/mimeapps_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  cantorel::MimeAppsList list;
  if (!list.parse(bytes)) return 0;
  // What is not edited is written back unchanged.
  if (list.toBytes() != bytes) __builtin_trap();
  const QString group = QStringLiteral("Default Applications");
  const QString key = QStringLiteral("audio/mpeg");
  for (const QString &g : {group, QStringLiteral("Previous Defaults")}) {
    for (const QString &k : list.keys(g)) (void)cantorel::firstDesktopFile(list.value(g, k));
  }
  list.setValue(group, key, QStringLiteral("cantorel.desktop;"));
  cantorel::MimeAppsList again;
  if (!again.parse(list.toBytes())) __builtin_trap();
  if (again.value(group, key) != QStringLiteral("cantorel.desktop;")) __builtin_trap();
  again.remove(group, key);
  bool found = true;
  (void)again.value(group, key, &found);
  if (found) __builtin_trap();
  return 0;
}
