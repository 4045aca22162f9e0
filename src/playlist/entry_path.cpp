#include "playlist/entry_path.h"

#include <QUrl>

#include "playlist/paths.h"

namespace cantorel {

bool IsStreamEntry(const QString &entry) {
  return entry.startsWith(QLatin1String("http:"), Qt::CaseInsensitive) ||
         entry.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
}

QString ResolveEntry(const QString &entry, const QString &playlistFolder) {
  if (IsStreamEntry(entry)) return entry;
  QString e = entry;
  if (e.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
    const QString local = QUrl(e).toLocalFile();
    if (!local.isEmpty()) return local;
  }
  e.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (e.size() >= 2 && e[1] == u':' && e[0].isLetter() && e[0].unicode() < 128) {
    e = e.mid(2);  // drive letter
    if (!e.startsWith(QLatin1Char('/'))) e.prepend(QLatin1Char('/'));
    return e;
  }
  if (e.startsWith(QLatin1Char('/'))) return e;
  return AddBackslash(playlistFolder) + e;
}

}  // namespace cantorel
