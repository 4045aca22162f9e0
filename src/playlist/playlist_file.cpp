#include "playlist/playlist_file.h"

#include "core/atomic_file.h"
#include "core/log.h"
#include "core/text_codec.h"
#include "playlist/entry_path.h"
#include "playlist/paths.h"

namespace cantorel {

namespace {

constexpr qint64 kMaxPlaylistBytes = 64 << 20;

// The entry text of one line, or a null text when the line adds nothing.
QString m3uEntry(const QString &line) {
  if (line.startsWith(QLatin1Char('#'))) return QString();  // the untrimmed first character
  return line.trimmed();
}

QString plsEntry(const QString &line) {
  const QString t = line.trimmed();
  if (!t.startsWith(QLatin1String("File"))) return QString();
  const qsizetype eq = t.indexOf(QLatin1Char('='));
  return eq < 0 ? QString() : t.mid(eq + 1);
}

}  // namespace

bool PlRead(const QString &file, Playlist &pl, const EntryTitleFn &title, int friendlyNames,
            PlaylistReadReport *report) {
  PlaylistReadReport left;
  if (report) *report = left;
  pl.Name = FriendlyName(file, friendlyNames);
  pl.PLCover = FindImageFile(StripExt(file));
  const QString kind = ExtPart(file).toUpper();
  const bool m3u = kind == QLatin1String("M3U") || kind == QLatin1String("M3U8");
  const bool pls = kind == QLatin1String("PLS");
  if (!m3u && !pls) return true;

  QByteArray bytes;
  if (!readFileLimited(file, kMaxPlaylistBytes, &bytes)) return false;
  const QString text = decodeText(bytes);
  bytes = QByteArray();
  const QString folder = AddBackslash(DirPart(file));
  int n = pl.count();
  CaseInsensitivePaths caseless;
  // Lines end at CR LF, LF or a lone CR; each is looked at in place, so a
  // huge line is never copied.
  const qsizetype size = text.size();
  for (qsizetype start = 0; start < size;) {
    qsizetype end = start;
    while (end < size && text[end] != u'\n' && text[end] != u'\r') ++end;
    const qsizetype length = end - start;
    const qsizetype next = end + (end + 1 < size && text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1);
    if (length > kMaxPlaylistLineChars) {
      ++left.longLines;
      start = next;
      continue;
    }
    const QString line = text.mid(start, length);
    start = next;
    const QString e = m3u ? m3uEntry(line) : plsEntry(line);
    if (e.isEmpty()) continue;  // blank lines and empty "File" values name nothing
    if (n >= Playlist::kMaxReadEntries) {
      ++left.overCap;
      continue;
    }
    QString path = ResolveEntry(e, folder);
    // Names written on a desktop that ignores letter case may differ in case
    // from the files here.
    if (IsWindowsStyleEntry(e)) path = caseless.resolve(path);
    if (IsStreamEntry(path))
      pl.append(path, path);
    else
      pl.append(title ? title(path) : FriendlyName(path, 1), path);
    ++n;
  }
  if (left.longLines)
    qCWarning(lcCore).noquote() << file << "has" << left.longLines << "lines longer than"
                                << kMaxPlaylistLineChars << "characters; they are not entries";
  if (left.overCap)
    qCWarning(lcCore).noquote() << "The playlist holds at most" << Playlist::kMaxReadEntries << "entries;"
                                << left.overCap << "entries of" << file << "were left out";
  if (report) *report = left;
  return true;
}

QByteArray PlaylistText(const QString &file, const Playlist &pl) {
  const QString folder = DirPart(file);
  QByteArray out;
  for (const QString &s : pl.PlPath) {
    if (s.isEmpty() || s.contains(QLatin1String("**"))) continue;
    // A path that cannot be one line of the file is left out.
    if (s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'))) continue;
    QString line = s;
    if (!folder.isEmpty() && s.startsWith(folder)) {
      line = s.mid(folder.size());
      // Relative text that the reader would take for a comment, or trim,
      // stays a full path.
      if (line.startsWith(QLatin1Char('#')) || line != line.trimmed()) line = s;
    }
    out += line.toUtf8();
    out += "\r\n";
  }
  return out;
}

bool WritePL(const QString &file, const Playlist &pl, QString *error) {
  return writeFileAtomically(file, PlaylistText(file, pl), error);
}

}  // namespace cantorel
