#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace cantorel {

// A desktop key file such as mimeapps.list, read so that it can be edited and
// written back with every line we did not touch kept byte for byte: groups
// ("[Default Applications]"), entries ("key=value"), comments, blank lines and
// lines we do not understand. Only entries we set or remove change.
class MimeAppsList {
 public:
  // Larger files are not edited (a real one is a few kilobytes).
  static constexpr qint64 kMaxBytes = 1 << 20;

  // Reads `bytes`. Returns false for text that is not UTF-8 (we would not
  // write it back unchanged); the list is then empty.
  bool parse(const QByteArray &bytes);
  QByteArray toBytes() const;

  // The value of the first entry `key` in the first group `group`, trimmed;
  // `found` tells an empty value from a missing entry.
  QString value(const QString &group, const QString &key, bool *found = nullptr) const;
  // Sets the first such entry (rewriting only its line), or adds it at the end
  // of the group, or adds the group at the end of the file.
  void setValue(const QString &group, const QString &key, const QString &value);
  // The keys of the group's entries, in file order, each once.
  QStringList keys(const QString &group) const;
  // Removes every such entry of the group.
  void remove(const QString &group, const QString &key);

  // Removes a group left with no entries and no comments (its header, its
  // blank lines and the blank line that set it apart).
  void removeGroupIfEmpty(const QString &group);

  int lineCount() const { return static_cast<int>(lines_.size()); }

 private:
  struct Line {
    QString text;   // as read, without its "\n" (a "\r" stays)
    QString group;  // the group this line belongs to (for a header: its own)
    QString key;    // the entry's key; empty for headers and other lines
    bool header = false;
  };
  static Line classify(const QString &text, const QString &group);
  QVector<Line> lines_;
  bool endsWithNewline_ = true;
};

// The first desktop file of a value like "a.desktop;b.desktop;".
QString firstDesktopFile(const QString &value);

}  // namespace cantorel
