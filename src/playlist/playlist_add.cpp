#include "playlist/playlist_add.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include "playlist/paths.h"
#include "playlist/playlist_file.h"

namespace cantorel {

namespace {

// How often a long scan lets events run.
constexpr qint64 kYieldEveryMs = 15;

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
  return e.size() == 3 && validExt.contains(e, Qt::CaseInsensitive);
}

int PlAddTree(const QString &folder, Playlist &pl, const QString &validExt, const EntryTitleFn &title,
              const YieldFn &yield) {
  const QString root = AddBackslash(folder);
  if (root.isEmpty()) return 0;
  Yielder let(yield);

  QStringList folders{root};
  QSet<QString> seen{QFileInfo(root).canonicalFilePath()};
  for (qsizetype i = 0; i < folders.size(); ++i) {
    const QString g = folders[i];
    const QStringList subs =
        QDir(g).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &s : subs) {
      const QString canonical = QFileInfo(g + s).canonicalFilePath();
      if (canonical.isEmpty() || seen.contains(canonical)) continue;
      seen.insert(canonical);
      folders.append(g + s + QLatin1Char('/'));
    }
    let();
  }

  int added = 0;
  for (const QString &g : folders) {
    const QStringList files = QDir(g).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &n : files) {
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
  } else if (QFileInfo(addPath).isDir()) {
    PlAddTree(addPath, pl, validExt, title, yield);
  } else {
    pl.append(title ? title(addPath) : FriendlyName(addPath, 1), addPath);
    if (tNum == 0) tNum = 1;
  }
}

}  // namespace cantorel
