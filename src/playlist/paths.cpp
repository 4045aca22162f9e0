#include "playlist/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "core/number_text.h"

namespace cantorel {

namespace {

qsizetype lastSeparator(const QString &p) {
  for (qsizetype i = p.size() - 1; i >= 0; --i)
    if (isSeparator(p[i])) return i;
  return -1;
}

// The plain file in `dir` named `name` without regard to letter case (exact
// match first).
QString findCaseInsensitive(const QString &dir, const QString &name) {
  const QString folder = dir.isEmpty() ? QStringLiteral(".") : dir;
  const QString exact = QDir(folder).filePath(name);
  if (QFileInfo(exact).isFile()) return exact;
  const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
  for (const QString &e : entries)
    if (e.compare(name, Qt::CaseInsensitive) == 0) return QDir(folder).filePath(e);
  return QString();
}

}  // namespace

QString AddBackslash(const QString &p) {
  if (p.isEmpty()) return p;
  if (isSeparator(p.back())) return p;
  const bool windowsStyle = p.contains(QLatin1Char('\\')) && !p.contains(QLatin1Char('/'));
  return p + (windowsStyle ? QLatin1Char('\\') : QLatin1Char('/'));
}

QString DirPart(const QString &p) {
  const qsizetype i = lastSeparator(p);
  return i < 0 ? QString() : p.left(i + 1);
}

QString FilePart(const QString &p) { return p.mid(lastSeparator(p) + 1); }

QString ExtPart(const QString &p) {
  const qsizetype i = p.lastIndexOf(QLatin1Char('.'));
  return i < 0 ? p : p.mid(i + 1);
}

QString StripExt(const QString &p) {
  const qsizetype i = p.lastIndexOf(QLatin1Char('.'));
  return i < 0 ? p : p.left(i);
}

bool FileExists(const QString &p) {
  if (p.isEmpty()) return false;
  const QString name = FilePart(p);
  if (name.isEmpty()) return false;
  QString dir = DirPart(p);
  if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
    return QFileInfo(p).isFile();
  if (dir.isEmpty()) dir = QStringLiteral(".");
  const QStringList hits = QDir(dir).entryList(QStringList{name}, QDir::Files | QDir::Hidden);
  return !hits.isEmpty();
}

bool IsPictureFile(const QString &name) {
  const QString tail = name.right(4).toUpper();
  return tail == QLatin1String(".GIF") || tail == QLatin1String(".BMP") ||
         tail == QLatin1String(".JPG");
}

QString FindImageFile(const QString &base) {
  const QString b = base.trimmed();
  if (b.isEmpty() || isSeparator(b.back())) return QString();
  const QString dir = DirPart(b);
  const QString name = FilePart(b);
  QString found;
  for (const char *ext : {".BMP", ".GIF", ".JPG"}) {
    const QString hit = findCaseInsensitive(dir, name + QLatin1String(ext));
    if (!hit.isEmpty()) found = dir.isEmpty() ? FilePart(hit) : dir + FilePart(hit);
  }
  return found;
}

QString FriendlyName(const QString &p, int friendly) {
  const bool on = friendly > 0;
  const qsizetype n = p.size();
  qsizetype start = 1, end = n + 1;  // 1-based, as positions in the text
  QString s = p;
  for (qsizetype i = 1; i <= n; ++i) {
    const QChar c = s[i - 1];
    if (on) {
      if (c == u'_') {
        s[i - 1] = QLatin1Char(' ');
      } else if (c == u'.') {
        if (i <= n - 5)
          s[i - 1] = QLatin1Char(' ');
        else
          end = i;
      }
    }
    if (isSeparator(c)) start = i + 1;
  }
  // A dot within the last five characters but before the last separator
  // ("a.b/c") would end the name before it starts: then the name runs to the
  // end of the path.
  if (end < start) end = n + 1;
  QString t = s.mid(start - 1, end - start);
  if (on && leadingNumber(t) > 0) {
    if (t.size() >= 3 && t[2] == u'-') t = t.mid(3);
    if (t.size() >= 4 && t[2] == u' ' && t[3] == u'-') t = t.mid(4);
  }
  return t.trimmed();
}

QString PickBits(int v, int first, int last, int width, const QString &table) {
  if (first < 0 || last < first || width <= 0 || last - first >= 31) return QString();
  const unsigned mask = (1u << (last - first + 1)) - 1u;
  const qsizetype index = static_cast<qsizetype>((static_cast<unsigned>(v) >> first) & mask);
  const qsizetype pos = static_cast<qsizetype>(width) * index;
  if (pos >= table.size()) return QString();
  return table.mid(pos, width).trimmed();
}

}  // namespace cantorel
