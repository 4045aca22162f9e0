#include "playlist/playlist_add.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

#include "playlist/entry_path.h"
#include "playlist/paths.h"
#include "playlist/playlist_file.h"

namespace cantorel {

namespace {

// How often a long scan lets events run.
constexpr qint64 kYieldEveryMs = 8;

class Yielder {
 public:
  explicit Yielder(const YieldFn &fn) : fn_(fn) { timer_.start(); }
  void operator()() {
    if (fn_ && timer_.elapsed() >= kYieldEveryMs) {
      fn_();
      timer_.restart();
    }
  }

 private:
  const YieldFn &fn_;
  QElapsedTimer timer_;
};

}  // namespace

bool HasValidExtension(const QString &fileName, const QString &validExt) {
  const QString e = ExtPart(fileName);
  if (e.isEmpty()) return false;
  if (e.size() == 3 && validExt.contains(e, Qt::CaseInsensitive)) return true;
  const QStringList words = validExt.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  return words.contains(e, Qt::CaseInsensitive);
}

QStringList DeclaredExtensions(const QList<InputPluginInfo> &plugins) {
  QStringList out;
  for (const InputPluginInfo &p : plugins) {
    const QStringList parts = p.Extensions.split(QLatin1Char('|'));
    // "Name|patterns|Name|patterns": the patterns are every second part.
    for (qsizetype i = 1; i < parts.size(); i += 2) {
      for (const QString &pattern : parts[i].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = pattern.trimmed();
        if (!t.startsWith(QLatin1String("*.")) || t.size() < 3) continue;
        const QString e = t.mid(2).toLower();
        if (e.contains(QLatin1Char('*')) || e.contains(QLatin1Char(' ')) || out.contains(e)) continue;
        out.append(e);
      }
    }
  }
  return out;
}

QString ScanExtensions(const QString &validExt, const QList<InputPluginInfo> &plugins) {
  const QStringList declared = DeclaredExtensions(plugins);
  return declared.isEmpty() ? validExt : validExt + QLatin1Char(' ') + declared.join(QLatin1Char(' '));
}

namespace {

// The visible entries of a folder: its plain files and its subfolders (links
// followed), each list in name order without regard to case. Read with
// readdir, whose entry types spare a stat() per file on most file systems.
struct FolderEntries {
  QStringList files;
  QStringList folders;
};

bool nameLess(const QString &a, const QString &b) {
  const int c = a.compare(b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

FolderEntries listFolder(const QString &folder) {
  FolderEntries out;
  const QByteArray dirName = QFile::encodeName(folder);
  DIR *d = ::opendir(dirName.constData());
  if (!d) return out;
  while (const dirent *e = ::readdir(d)) {
    if (e->d_name[0] == '.') continue;  // hidden, "." and ".."
    unsigned char type = e->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      struct stat st {};
      const QByteArray full = dirName + '/' + e->d_name;
      if (::stat(full.constData(), &st) != 0) continue;
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_REG)
      out.files << QFile::decodeName(e->d_name);
    else if (type == DT_DIR)
      out.folders << QFile::decodeName(e->d_name);
  }
  ::closedir(d);
  std::sort(out.files.begin(), out.files.end(), nameLess);
  std::sort(out.folders.begin(), out.folders.end(), nameLess);
  return out;
}

}  // namespace

int PlAddTree(const QString &folder, Playlist &pl, const QString &validExt, const EntryTitleFn &title,
              const YieldFn &yield) {
  const QString root = AddBackslash(folder);
  if (root.isEmpty()) return 0;
  Yielder let(yield);

  // Folders breadth first; each folder's files are kept from the same read.
  QStringList folders{root};
  QList<QStringList> files;
  QSet<QString> seen{QFileInfo(root).canonicalFilePath()};
  for (qsizetype i = 0; i < folders.size(); ++i) {
    const QString g = folders[i];
    FolderEntries entries = listFolder(g);
    files.append(std::move(entries.files));
    for (const QString &s : entries.folders) {
      const QString canonical = QFileInfo(g + s).canonicalFilePath();
      if (canonical.isEmpty() || seen.contains(canonical)) continue;
      seen.insert(canonical);
      folders.append(g + s + QLatin1Char('/'));
    }
    let();
  }

  int added = 0;
  for (qsizetype i = 0; i < folders.size(); ++i) {
    const QString &g = folders[i];
    for (const QString &n : files[i]) {
      if (!HasValidExtension(n, validExt)) continue;
      const QString path = g + n;
      pl.append(title ? title(path) : FriendlyName(path, 1), path);
      ++added;
      let();
    }
  }
  return added;
}

void PlAddOpened(const QString &addPath, const QString &addName, Playlist &pl, const QString &validExt,
                 const EntryTitleFn &title, qint16 &tNum, const YieldFn &yield, int friendlyNames) {
  if (addName.isEmpty()) return;
  const QString kind = ExtPart(addPath).toUpper();
  if (kind == QLatin1String("PLS") || kind == QLatin1String("M3U") || kind == QLatin1String("M3U8")) {
    PlRead(addPath, pl, title, friendlyNames);
  } else if (IsStreamEntry(addPath)) {
    pl.append(addPath, addPath);  // a stream shows its address
    if (tNum == 0) tNum = 1;
  } else if (QFileInfo(addPath).isDir()) {
    PlAddTree(addPath, pl, validExt, title, yield);
  } else {
    pl.append(title ? title(addPath) : FriendlyName(addPath, 1), addPath);
    if (tNum == 0) tNum = 1;
  }
}

}  // namespace cantorel
