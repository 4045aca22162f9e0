#include "playlist/playlist_file.h"

#include "core/atomic_file.h"
#include "core/text_codec.h"
#include "playlist/paths.h"

namespace cantorel {

namespace {
constexpr qint64 kMaxPlaylistBytes = 64 << 20;
}

bool PlRead(const QString &file, Playlist &pl, int friendlyNames) {
  QByteArray bytes;
  if (!readFileLimited(file, kMaxPlaylistBytes, &bytes)) return false;
  for (const QString &line : splitLines(decodeText(bytes))) {
    const QString path = line.trimmed();
    if (path.isEmpty() || path.startsWith(QLatin1Char('#'))) continue;
    pl.append(FriendlyName(path, friendlyNames), path);
  }
  return true;
}

bool WritePL(const QString &file, const Playlist &pl) {
  QByteArray out;
  for (const QString &p : pl.PlPath) {
    if (p.isEmpty()) continue;
    out += p.toUtf8() + "\r\n";
  }
  return writeFileAtomically(file, out);
}

}  // namespace cantorel
