#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "core/log.h"
#include "core/text_codec.h"

namespace cantorel {

namespace {

QString fullSection(const QString &app, const QString &section) {
  return app + QLatin1Char('/') + section;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

QByteArray unescape(const QByteArray &raw) {
  if (!raw.contains('%')) return raw;
  QByteArray out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size(); ++i) {
    if (raw[i] == '%' && i + 2 < raw.size()) {
      int h = hexDigit(raw[i + 1]), l = hexDigit(raw[i + 2]);
      if (h >= 0 && l >= 0) {
        out.append(static_cast<char>(h * 16 + l));
        i += 2;
        continue;
      }
    }
    out.append(raw[i]);
  }
  return out;
}

QByteArray escape(const QString &value) {
  QByteArray utf8 = value.toUtf8();
  QByteArray out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    if (c == '%' || c == '\r' || c == '\n' || c == '\0') {
      static const char hex[] = "0123456789ABCDEF";
      out.append('%');
      out.append(hex[(static_cast<unsigned char>(c) >> 4) & 15]);
      out.append(hex[static_cast<unsigned char>(c) & 15]);
    } else {
      out.append(c);
    }
  }
  return out;
}

// The bytes as settings text, or false for a file that is not text: bytes
// that are neither valid UTF-8 nor printable in the legacy code page (NUL and
// other control bytes but tab, CR and LF) mean something else wrote there.
// Legacy text is turned into UTF-8 so the line parser reads one encoding.
bool asSettingsText(QByteArray *data) {
  if (data->contains('\0')) return false;
  if (isValidUtf8(*data)) return true;
  for (const char ch : *data) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return false;
    if (c == 0x7F) return false;
  }
  const QString text = decodeText(*data);
  for (const QChar c : text)
    if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n') return false;
  *data = text.toUtf8();
  return true;
}

// Sections and keys are matched without regard to letter case.
QString entryId(const QString &section, const QString &key) {
  return section.toCaseFolded() + QLatin1Char('\n') + key.toCaseFolded();
}

}  // namespace

SettingsStore::SettingsStore(QString filePath) : path_(std::move(filePath)) {}

QList<SettingsStore::Entry> SettingsStore::parse(const QByteArray &data, QHash<QString, int> *indexOut) {
  QList<Entry> out;
  QHash<QString, int> index;
  QString section;
  qsizetype start = 0;
  while (start < data.size()) {
    qsizetype end = data.indexOf('\n', start);
    if (end < 0) end = data.size();
    QByteArray line = data.mid(start, end - start);
    start = end + 1;
    if (line.endsWith('\r')) line.chop(1);
    if (line.startsWith('[') && line.endsWith(']') && line.size() >= 2) {
      section = QString::fromUtf8(line.mid(1, line.size() - 2));
      continue;
    }
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0) continue;
    const QString key = QString::fromUtf8(line.left(eq)).trimmed();
    if (key.isEmpty()) continue;
    Entry e{section, key, QString::fromUtf8(unescape(line.mid(eq + 1)))};
    apply(out, index, e);
  }
  if (indexOut) *indexOut = std::move(index);
  return out;
}

QByteArray SettingsStore::serialize(const QList<Entry> &entries) {
  // Entries of one section are written together, sections in order of first
  // appearance, under the spelling of that first appearance.
  QHash<QString, int> sectionIndex;
  QList<QList<int>> members;
  QStringList names;
  for (int i = 0; i < entries.size(); ++i) {
    const QString id = entries[i].section.toCaseFolded();
    auto it = sectionIndex.constFind(id);
    if (it == sectionIndex.constEnd()) {
      it = sectionIndex.insert(id, static_cast<int>(members.size()));
      members.append(QList<int>());
      names.append(entries[i].section);
    }
    members[*it].append(i);
  }
  QByteArray out;
  for (int s = 0; s < members.size(); ++s) {
    if (!out.isEmpty()) out.append('\n');
    out.append('[').append(escape(names[s])).append("]\n");
    for (const int i : members[s]) {
      const Entry &e = entries[i];
      out.append(escape(e.key)).append('=').append(escape(e.value)).append('\n');
    }
  }
  return out;
}

void SettingsStore::apply(QList<Entry> &entries, QHash<QString, int> &index, const Entry &e) {
  const QString id = entryId(e.section, e.key);
  const auto it = index.constFind(id);
  if (it != index.constEnd()) {
    entries[*it] = e;
  } else {
    index.insert(id, static_cast<int>(entries.size()));
    entries.append(e);
  }
}

bool SettingsStore::load(QString *warning) {
  entries_.clear();
  index_.clear();
  pending_.clear();
  pendingIndex_.clear();
  damaged_ = false;
  QFile f(path_);
  if (!f.exists()) return true;
  QByteArray data;
  bool tooLarge = false;
  QString why;
  if (!readFileLimited(path_, kMaxFileSize, &data, &tooLarge)) {
    why = tooLarge ? QStringLiteral("the file is larger than %1 bytes").arg(kMaxFileSize)
                   : QStringLiteral("the file cannot be read");
  } else if (!asSettingsText(&data)) {
    why = QStringLiteral("the file is not text");
  }
  if (!why.isEmpty()) {
    damaged_ = true;
    const QString msg = QStringLiteral("Settings file %1 ignored, defaults used: %2").arg(path_, why);
    qCWarning(lcSettings).noquote() << msg;
    if (warning) *warning = msg;
    return false;
  }
  entries_ = parse(data, &index_);
  return true;
}

int SettingsStore::indexOf(const QString &section, const QString &key) const {
  return index_.value(entryId(section, key), -1);
}

QString SettingsStore::value(const QString &app, const QString &section, const QString &key,
                             const QString &defaultValue) const {
  const int i = indexOf(fullSection(app, section), key);
  return i < 0 ? defaultValue : entries_[i].value;
}

bool SettingsStore::contains(const QString &app, const QString &section, const QString &key) const {
  return indexOf(fullSection(app, section), key) >= 0;
}

bool SettingsStore::setValue(const QString &app, const QString &section, const QString &key,
                             const QString &value) {
  Entry e{fullSection(app, section), key, value};
  // Writing what the store already holds changes nothing on disk.
  const int i = indexOf(e.section, key);
  if (i >= 0 && entries_[i].key == key && entries_[i].value == value && !damaged_) return true;
  apply(entries_, index_, e);
  apply(pending_, pendingIndex_, e);
  if (batchDepth_ > 0) return true;
  return flush();
}

void SettingsStore::fail(const QString &why) {
  // A failure that repeats at every save is reported once, until a write
  // succeeds again.
  if (why != lastError_)
    qCWarning(lcSettings).noquote() << "Settings not written to" << path_ + QLatin1Char(':') << why;
  lastError_ = why;
}

bool SettingsStore::flush() {
  if (pending_.isEmpty()) {
    lastError_.clear();
    return true;
  }
  // A folder that cannot be made makes the write below fail with the reason.
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QLockFile lock(path_ + QLatin1String(".lock"));
  lock.setStaleLockTime(10000);
  // Only a lock held by someone else stops the write. A lock file that
  // cannot be made (full disk, no permission) means the write itself will
  // fail, and its error names the system's reason.
  if (!lock.tryLock(5000) && lock.error() == QLockFile::LockFailedError) {
    fail(QStringLiteral("the settings file is locked by another process"));
    return false;
  }
  // Start from what is on disk now, so other writers' keys survive.
  QList<Entry> merged;
  QHash<QString, int> mergedIndex;
  QByteArray onDisk;
  bool tooLarge = false;
  if (QFile::exists(path_)) {
    if (readFileLimited(path_, kMaxFileSize, &onDisk, &tooLarge) && asSettingsText(&onDisk)) {
      merged = parse(onDisk, &mergedIndex);
    } else {
      damaged_ = true;
    }
  }
  if (damaged_ && QFile::exists(path_)) {
    const QString copy = path_ + QLatin1String(".damaged");
    QFile::remove(copy);
    QFile::rename(path_, copy);
    qCWarning(lcSettings).noquote() << "Damaged settings file kept as" << copy;
    merged = entries_;
    mergedIndex = index_;
  }
  damaged_ = false;
  for (const Entry &e : pending_) apply(merged, mergedIndex, e);
  AtomicWriteOptions opts = testOptions_;
  opts.mode = 0600;  // the store holds the lyric service password
  QString err;
  if (!writeFileAtomically(path_, serialize(merged), &err, opts)) {
    fail(err);
    return false;
  }
  lastError_.clear();
  pending_.clear();
  pendingIndex_.clear();
  entries_ = std::move(merged);
  index_ = std::move(mergedIndex);
  return true;
}

}  // namespace cantorel
