#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/atomic_file.h"

namespace cantorel {

// The per-user settings store: text values addressed by application, section
// and key, kept in one text file. Keys (and sections) are matched without
// regard to letter case; a key keeps the spelling of its last write.
//
// File form, one line each, UTF-8, LF line ends:
//   [Application/section]
//   Key=value
// The value is everything after the first "=", blanks included, so " 1" stays
// " 1". "%" followed by two hex digits stands for that byte, used for "%", CR
// and LF in values. Lines that are neither are ignored.
//
// Every change is written at once with an atomic replace; `Batch` groups many
// changes into one write. Before writing, the file is read again under a lock,
// so values another process wrote in the meantime (a second instance's
// "OtherFile") are kept.
class SettingsStore {
 public:
  static constexpr qint64 kMaxFileSize = 1 << 20;

  explicit SettingsStore(QString filePath);

  const QString &filePath() const { return path_; }

  // Reads the file. A missing file is an empty store. A damaged or unreadable
  // one (too large, not openable, or bytes that are neither UTF-8 nor
  // printable text in the legacy code page) also gives an empty store, returns
  // false and sets `warning`; the next write keeps a copy of it beside
  // (".damaged") before replacing it.
  bool load(QString *warning = nullptr);
  // Discards pending changes and reads the file again.
  bool reload(QString *warning = nullptr) { return load(warning); }

  QString value(const QString &app, const QString &section, const QString &key,
                const QString &defaultValue = QString()) const;
  bool contains(const QString &app, const QString &section, const QString &key) const;

  // Sets a value and writes the file (unless a batch is open). Returns false
  // when the write failed; the value is still held in memory.
  bool setValue(const QString &app, const QString &section, const QString &key,
                const QString &value);

  // Groups writes: the file is written once, when the outermost batch ends.
  class Batch {
   public:
    explicit Batch(SettingsStore &s) : s_(s) { ++s_.batchDepth_; }
    ~Batch() {
      if (--s_.batchDepth_ == 0) s_.flush();
    }
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

   private:
    SettingsStore &s_;
  };

  // Writes pending changes now. Returns false when the write failed; the
  // reason (the system's, such as a full disk) is in lastError() and on
  // stderr, once while the same failure repeats.
  bool flush();
  QString lastError() const { return lastError_; }

  // Test hook: passed to the atomic writer of the next flushes.
  void setWriteOptionsForTest(const AtomicWriteOptions &o) { testOptions_ = o; }

  // Parsing and printing, exposed for tests and the fuzz target.
  struct Entry {
    QString section;  // "Application/section" as written
    QString key;
    QString value;
  };
  // `index` receives each entry's position by section and key.
  static QList<Entry> parse(const QByteArray &data, QHash<QString, int> *index = nullptr);
  static QByteArray serialize(const QList<Entry> &entries);

 private:
  int indexOf(const QString &fullSection, const QString &key) const;
  // Sets `e` in `entries`, whose positions `index` holds by section and key.
  static void apply(QList<Entry> &entries, QHash<QString, int> &index, const Entry &e);
  void fail(const QString &why);

  QString path_;
  QList<Entry> entries_;
  QHash<QString, int> index_;  // position in entries_ by section and key
  QList<Entry> pending_;
  QHash<QString, int> pendingIndex_;
  bool damaged_ = false;
  int batchDepth_ = 0;
  QString lastError_;
  AtomicWriteOptions testOptions_;
};

}  // namespace cantorel
