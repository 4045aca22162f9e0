#include "playlist/entry_path.h"

#include <QDir>
#include <QFileInfo>
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

bool IsWindowsStyleEntry(const QString &entry) {
  return entry.contains(QLatin1Char('\\')) ||
         (entry.size() >= 2 && entry[1] == u':' && entry[0].isLetter() && entry[0].unicode() < 128);
}

QString CaseInsensitivePaths::matchIn(const QString &folder, const QString &name) {
  auto it = listings_.find(folder);
  if (it == listings_.end()) {
    it = listings_.insert(folder,
                          QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
  }
  for (const QString &e : *it)
    if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
  return QString();
}

QString CaseInsensitivePaths::resolve(const QString &path) {
  if (path.isEmpty() || QFileInfo::exists(path)) return path;
  const bool absolute = path.startsWith(QLatin1Char('/'));
  const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  QString built = absolute ? QStringLiteral("/") : QString();
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString &part = parts[i];
    QString next = built + part;
    if (part != QLatin1String(".") && part != QLatin1String("..") && !QFileInfo::exists(next)) {
      const QString hit = matchIn(built.isEmpty() ? QStringLiteral(".") : built, part);
      if (hit.isEmpty()) return path;
      next = built + hit;
    }
    built = i + 1 < parts.size() ? next + QLatin1Char('/') : next;
  }
  return built;
}

}  // namespace cantorel
