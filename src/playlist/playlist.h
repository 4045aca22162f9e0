#pragma once

#include <QString>
#include <QStringList>

namespace cantorel {

// The playlist: display names and full paths side by side, 0-based, against
// the 1-based `TNum` of the main window.
struct Playlist {
  QStringList PlNames;
  QStringList PlPath;

  int count() const { return static_cast<int>(PlPath.size()); }
  void PlClear() {
    PlNames.clear();
    PlPath.clear();
  }
  void append(const QString &name, const QString &path) {
    PlNames.append(name);
    PlPath.append(path);
  }
};

}  // namespace cantorel
