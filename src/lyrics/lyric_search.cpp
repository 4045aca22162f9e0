#include "lyrics/lyric_search.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <dirent.h>
#include <cstring>

#include "lyrics/lrc_file.h"
#include "playlist/paths.h"

Q_LOGGING_CATEGORY(lcLyrics, "cantorel.lyrics", QtWarningMsg)

namespace cantorel {

namespace {

const QLatin1String kExt(".qvl");
const QLatin1String kSep(" - ");

QString trimSpaces(const QString &s) {
  qsizetype a = 0, b = s.size();
  while (a < b && s[a] == u' ') ++a;
  while (b > a && s[b - 1] == u' ') --b;
  return s.mid(a, b - a);
}

// The names in folders, read at most once per search. Names only (no file
// type, so no status call per entry): a song folder may hold thousands.
class FolderListings {
 public:
  const QStringList &names(const QString &folder) {
    auto it = cache_.find(folder);
    if (it == cache_.end()) it = cache_.insert(folder, readNames(folder));
    return it.value();
  }

 private:
  static QStringList readNames(const QString &folder) {
    QStringList names;
    DIR *d = ::opendir(QFile::encodeName(folder).constData());
    if (!d) return names;
    while (const dirent *e = ::readdir(d)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        names.append(QFile::decodeName(e->d_name));
    }
    ::closedir(d);
    return names;
  }

  QHash<QString, QStringList> cache_;
};

QString resolveIn(const QString &candidate, const QString &relativeDir, FolderListings &listings) {
  const QString dir = DirPart(candidate);
  const QString name = FilePart(candidate);
  QString folder = dir;
  QString exact = candidate;
  if (dir.isEmpty()) {
    folder = relativeDir.isEmpty() ? QDir::currentPath() : relativeDir;
    exact = QDir(folder).filePath(name);
  }
  if (name.isEmpty() || QFileInfo::exists(exact)) return exact;
  // Of several names in other letters ("SONG.QVL", "song.QVL") the first in
  // code order, so the same folder always gives the same pick.
  QString best;
  for (const QString &entry : listings.names(folder)) {
    if (entry.size() != name.size() || entry.compare(name, Qt::CaseInsensitive) != 0) continue;
    if ((best.isEmpty() || entry < best) && QFileInfo(QDir(folder).filePath(entry)).isFile()) best = entry;
  }
  return best.isEmpty() ? exact : QDir(folder).filePath(best);
}

}  // namespace

QString lyricNameField(const QString &field) {
  const qsizetype nul = field.indexOf(QChar(u'\0'));
  QString s = trimSpaces(nul < 0 ? field : field.left(nul));
  for (QChar &c : s)
    if (isSeparator(c) || c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('_');
  return s;
}

LyricTagNames lyricTagNames(const TagInfo &tag) {
  const QString artist = lyricNameField(tag.Artist);
  const QString album = lyricNameField(tag.Album);
  const QString title = lyricNameField(tag.Title);
  return {artist + kSep + album + kSep + title + kExt, artist + kSep + title + kExt,
          album + kSep + title + kExt};
}

QStringList LyricCandidates(const QString &basePath, const TagInfo &tag) {
  const QString d = DirPart(basePath);
  const QString fileName = FilePart(basePath);
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  const QString s = dot < 0 ? fileName : fileName.left(dot);
  const LyricTagNames n = lyricTagNames(tag);
  QStringList c{n.N3, d + n.N3, n.N1, d + n.N1, n.N2, d + n.N2};
  if (!basePath.isEmpty()) c << s + kExt << d + s + kExt;
  return c;
}

QStringList LrcCandidates(const QString &basePath, const TagInfo &tag) {
  QStringList c = LyricCandidates(basePath, tag);
  for (QString &name : c) name = name.left(name.size() - kExt.size()) + QLatin1String(".lrc");
  return c;
}

QString resolveLyricCandidate(const QString &candidate, const QString &relativeDir) {
  FolderListings listings;
  return resolveIn(candidate, relativeDir, listings);
}

LyricSearch findLyricFile(const QString &basePath, const TagInfo &tag, General &g, LyricLines &lyric,
                          const QString &relativeDir, LyricFormat format) {
  LyricSearch result;
  FolderListings listings;
  const bool lrc = format == LyricFormat::Lrc;
  for (const QString &candidate : lrc ? LrcCandidates(basePath, tag) : LyricCandidates(basePath, tag)) {
    LyricAttempt attempt;
    attempt.candidate = candidate;
    attempt.format = format;
    attempt.file = resolveIn(candidate, relativeDir, listings);
    int count = 0;
    if (lrc) {
      LrcDocument doc;
      attempt.status = readLrcFile(attempt.file, lyric, &doc);
      attempt.line = doc.lineCount;
      count = static_cast<int>(lyric.PlLyrics.size());
    } else {
      attempt.status = readLyricFileStatus(attempt.file, lyric, &count, &attempt.line);
    }
    attempt.exists = attempt.line > 0 || QFileInfo::exists(attempt.file);
    g.LyricLineCount = static_cast<qint16>(count);
    g.LyricNext = 0;
    qCDebug(lcLyrics).noquote() << "lyric candidate" << attempt.file << "status" << int(attempt.status);
    result.status = attempt.status;
    result.attempts.append(attempt);
    if (result.status == LyricStatus::Correct) {
      result.found = true;
      result.file = result.attempts.back().file;
      break;
    }
  }
  return result;
}

const LyricSearch *LyricLoad::used() const {
  for (const LyricSearch *s : {&lyricFolder, &song, &lrcLyricFolder, &lrcSong, &lrcOnlineFolder})
    if (s->found) return s;
  return nullptr;
}

LyricLoad loadLyric(const QString &songPath, General &g, LyricLines &lyric, const QString &relativeDir) {
  LyricLoad load;
  g.LyricActive = -1;
  // The preferences store the folder with its separator; a folder typed
  // without one still means that folder, not a file name inside its parent.
  load.lyricDir = g.LyricPath;
  if (!load.lyricDir.isEmpty() && !isSeparator(load.lyricDir.back()) && QFileInfo(load.lyricDir).isDir())
    load.lyricDir = AddBackslash(load.lyricDir);
  load.lyricFolder = findLyricFile(load.lyricDir, g.SongTag, g, lyric, relativeDir);
  load.found = load.lyricFolder.found;
  if (!load.found) {
    load.song = findLyricFile(songPath, g.SongTag, g, lyric, relativeDir);
    load.found = load.song.found;
  }
  if (!load.found) {
    load.lrcLyricFolder = findLyricFile(load.lyricDir, g.SongTag, g, lyric, relativeDir, LyricFormat::Lrc);
    load.found = load.lrcLyricFolder.found;
  }
  if (!load.found) {
    load.lrcSong = findLyricFile(songPath, g.SongTag, g, lyric, relativeDir, LyricFormat::Lrc);
    load.found = load.lrcSong.found;
  }
  if (!load.found && !g.OnlineLyricDir.isEmpty() && !FilePart(songPath).isEmpty()) {
    load.lrcOnlineFolder = findLyricFile(AddBackslash(g.OnlineLyricDir) + FilePart(songPath), g.SongTag, g, lyric,
                                         relativeDir, LyricFormat::Lrc);
    load.found = load.lrcOnlineFolder.found;
  }
  if (load.found) return load;
  // The song's own tag last: a lyric file beside it is what its user chose.
  const SongFacts facts = ReadSongFacts(songPath, kFactsLyrics);
  load.embeddedRead = facts.opened;
  load.embeddedSynced = facts.synced;
  load.embeddedPlain = facts.plain;
  if (!facts.synced.isEmpty()) {
    load.embeddedStatus = parseLrcBytes(facts.synced.text.toUtf8(), lyric);
    if (load.embeddedStatus == LyricStatus::Correct) {
      load.found = load.embeddedUsed = true;
      g.LyricLineCount = static_cast<qint16>(lyric.PlLyrics.size());
      g.LyricNext = 0;
      return load;
    }
  }
  // No timed lyric: the failure text alone (no half-read lines of a broken
  // file), or the plain embedded lyric as text.
  g.LyricActive = 0;
  g.LyricLineCount = 0;
  g.LyricNext = 0;
  load.failureText = lyricStatusText(load.song.status, g);
  lyric.clear();
  if (!facts.plain.isEmpty())
    lyric.PlLyrics = facts.plain.text.split(QLatin1Char('\n'));
  else
    lyric.PlLyrics.append(load.failureText);
  return load;
}

bool LoadLyricFor(const QString &songPath, General &g, LyricLines &lyric, const QString &relativeDir) {
  return loadLyric(songPath, g, lyric, relativeDir).found;
}

QString lyricFileNameFor(const QString &songPath, const TagInfo &tag) {
  const QString fileName = FilePart(songPath);
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  // The song's own name comes from a real file and stays as it is, trimmed.
  QString name = trimSpaces(dot < 0 ? fileName : fileName.left(dot));
  const QString artist = lyricNameField(tag.Artist);
  if (!artist.isEmpty()) {
    name = artist;
    const QString album = lyricNameField(tag.Album);
    const QString title = lyricNameField(tag.Title);
    if (!album.isEmpty()) name += kSep + album;
    if (!title.isEmpty()) name += kSep + title;
  }
  return name + kExt;
}

QString LyricWritePath(const QString &songPath, const TagInfo &tag) {
  if (songPath.isEmpty() || FilePart(songPath).isEmpty()) return QString();
  const QString path = DirPart(songPath) + lyricFileNameFor(songPath, tag);
  const QFileInfo info(path);
  if (info.exists()) {
    // Replaced whole by the writer (a new file renamed over it), which needs
    // a plain file there and a folder we may write in.
    if (!info.isFile() || !QFileInfo(info.absolutePath()).isWritable()) return QString();
    return path;
  }
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    qCDebug(lcLyrics).noquote() << "cannot create lyric file" << path << f.errorString();
    return QString();
  }
  f.close();
  return path;
}

}  // namespace cantorel
