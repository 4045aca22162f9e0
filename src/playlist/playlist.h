#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace cantorel {

// The display title of an entry, from its full path (the tag is read).
using EntryTitleFn = std::function<QString(const QString &path)>;
// Lets pending window events run during long loops; may be empty.
using YieldFn = std::function<void()>;

// The playlist: display names and full paths side by side, 0-based, against
// the 1-based `TNum` of the main window, and the name and picture of the
// playlist file it was loaded from.
struct Playlist {
  // A playlist file read adds entries only while the list holds fewer.
  static constexpr int kMaxReadEntries = 32766;
  static QString untitled() { return QStringLiteral("untitled"); }

  QStringList PlNames;
  QStringList PlPath;
  QString Name = untitled();  // name of the loaded or saved playlist file
  QString PLCover;            // picture beside the loaded playlist file

  int count() const { return static_cast<int>(PlPath.size()); }
  void append(const QString &name, const QString &path) {
    PlNames.append(name);
    PlPath.append(path);
  }
  // Empties both lists and forgets the playlist file's name and picture.
  void PlClear() {
    PlNames.clear();
    PlPath.clear();
    Name = untitled();
    PLCover.clear();
  }
  // Swaps the entry at `selected` with the one `delta` places away. Returns
  // the new selection (unchanged when the move is not possible).
  int PlMoveEntry(int selected, int delta) {
    const int to = selected + delta;
    if (selected < 0 || selected >= count() || to < 0 || to >= count()) return selected;
    PlNames.swapItemsAt(selected, to);
    PlPath.swapItemsAt(selected, to);
    return to;
  }
  // Removes entry `i` when it exists. Returns the index to select: `i`, or
  // the new last entry when `i` was the last; -1 when the list is empty.
  int PlRemove(int i) {
    if (i < 0 || i >= count()) return i >= count() ? count() - 1 : i;
    PlNames.removeAt(i);
    PlPath.removeAt(i);
    return i > count() - 1 ? count() - 1 : i;
  }
};

}  // namespace cantorel
