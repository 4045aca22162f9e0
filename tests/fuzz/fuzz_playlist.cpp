// Fuzz target: the M3U and PLS readers through a real file, and writing what
// was read.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "playlist/paths.h"
#include "playlist/playlist_file.h"
#include "support/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  // Scratch files in memory when the system has a memory file system: the
  // target writes files for every input.
  static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                               ? QStringLiteral("/dev/shm/cantorel-fuzz-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/cantorel-fuzz-XXXXXX"));
  const auto title = [](const QString &p) { return cantorel::FriendlyName(p, 1); };
  for (const char *name : {"/list.m3u", "/list.pls"}) {
    const QString path = dir.path() + QLatin1String(name);
    cantorel::fuzz::writeFile(path, bytes);
    cantorel::Playlist pl;
    cantorel::PlRead(path, pl, title);
    if (pl.PlNames.size() != pl.PlPath.size()) __builtin_trap();
    if (pl.count() > cantorel::Playlist::kMaxReadEntries) __builtin_trap();
    // What was read writes and reads again without growing.
    const QString out = dir.path() + QStringLiteral("/out.m3u");
    cantorel::fuzz::writeFile(out, cantorel::PlaylistText(out, pl));
    cantorel::Playlist again;
    cantorel::PlRead(out, again, title);
    if (again.count() > pl.count()) __builtin_trap();
  }
  return 0;
}
