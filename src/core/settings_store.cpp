#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "core/log.h"

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

bool looksBinary(const QByteArray &data) { return data.contains('\0'); }

}  // namespace

SettingsStore::SettingsStore(QString filePath) : path_(std::move(filePath)) {}

QList<SettingsStore::Entry> SettingsStore::parse(const QByteArray &data) {
  QList<Entry> out;
  QHash<QString, int> index;  // "section\nkey" lower-cased -> position in out
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
    const QString id = section.toLower() + QLatin1Char('\n') + key.toLower();
    auto it = index.find(id);
    if (it != index.end()) {
      out[*it] = e;
    } else {
      index.insert(id, static_cast<int>(out.size()));
      out.append(e);
    }
  }
  return out;
}

QByteArray SettingsStore::serialize(const QList<Entry> &entries) {
  // Entries of one section are written together, sections in order of first
  // appearance.
  QStringList sections;
  for (const Entry &e : entries) {
    bool seen = false;
    for (const QString &s : sections) seen = seen || s.compare(e.section, Qt::CaseInsensitive) == 0;
    if (!seen) sections.append(e.section);
  }
  QByteArray out;
  for (const QString &s : sections) {
    if (!out.isEmpty()) out.append('\n');
    out.append('[').append(escape(s)).append("]\n");
    for (const Entry &e : entries) {
      if (e.section.compare(s, Qt::CaseInsensitive) != 0) continue;
      out.append(escape(e.key)).append('=').append(escape(e.value)).append('\n');
    }
  }
  return out;
}

bool SettingsStore::load(QString *warning) {
  entries_.clear();
  pending_.clear();
  damaged_ = false;
  QFile f(path_);
  if (!f.exists()) return true;
  QByteArray data;
  bool tooLarge = false;
  QString why;
  if (!readFileLimited(path_, kMaxFileSize, &data, &tooLarge)) {
    why = tooLarge ? QStringLiteral("the file is larger than %1 bytes").arg(kMaxFileSize)
                   : QStringLiteral("the file cannot be read");
  } else if (looksBinary(data)) {
    why = QStringLiteral("the file is not text");
  }
  if (!why.isEmpty()) {
    damaged_ = true;
    const QString msg = QStringLiteral("Settings file %1 ignored, defaults used: %2").arg(path_, why);
    qCWarning(lcSettings).noquote() << msg;
    if (warning) *warning = msg;
    return false;
  }
  entries_ = parse(data);
  return true;
}

int SettingsStore::indexOf(const QString &section, const QString &key) const {
  for (int i = 0; i < entries_.size(); ++i) {
    const Entry &e = entries_[i];
    if (e.key.compare(key, Qt::CaseInsensitive) == 0 &&
        e.section.compare(section, Qt::CaseInsensitive) == 0)
      return i;
  }
  return -1;
}

QString SettingsStore::value(const QString &app, const QString &section, const QString &key,
                             const QString &defaultValue) const {
  const int i = indexOf(fullSection(app, section), key);
  return i < 0 ? defaultValue : entries_[i].value;
}

bool SettingsStore::contains(const QString &app, const QString &section, const QString &key) const {
  return indexOf(fullSection(app, section), key) >= 0;
}

void SettingsStore::apply(QList<Entry> &entries, const Entry &e) const {
  for (Entry &x : entries) {
    if (x.key.compare(e.key, Qt::CaseInsensitive) == 0 &&
        x.section.compare(e.section, Qt::CaseInsensitive) == 0) {
      x = e;
      return;
    }
  }
  entries.append(e);
}

bool SettingsStore::setValue(const QString &app, const QString &section, const QString &key,
                             const QString &value) {
  Entry e{fullSection(app, section), key, value};
  // Writing what the store already holds changes nothing on disk.
  const int i = indexOf(e.section, key);
  if (i >= 0 && entries_[i].key == key && entries_[i].value == value && !damaged_) return true;
  apply(entries_, e);
  apply(pending_, e);
  if (batchDepth_ > 0) return true;
  return flush();
}

bool SettingsStore::flush() {
  lastError_.clear();
  if (pending_.isEmpty()) return true;
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QLockFile lock(path_ + QLatin1String(".lock"));
  lock.setStaleLockTime(10000);
  if (!lock.tryLock(5000)) {
    lastError_ = QStringLiteral("settings file is locked by another process");
    qCWarning(lcSettings).noquote() << lastError_;
    return false;
  }
  // Start from what is on disk now, so other writers' keys survive.
  QList<Entry> merged;
  QByteArray onDisk;
  bool tooLarge = false;
  if (QFile::exists(path_)) {
    if (readFileLimited(path_, kMaxFileSize, &onDisk, &tooLarge) && !looksBinary(onDisk)) {
      merged = parse(onDisk);
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
  }
  damaged_ = false;
  for (const Entry &e : pending_) apply(merged, e);
  AtomicWriteOptions opts = testOptions_;
  opts.mode = 0600;  // the store holds the lyric service password
  QString err;
  if (!writeFileAtomically(path_, serialize(merged), &err, opts)) {
    lastError_ = err;
    qCWarning(lcSettings).noquote() << "Settings not written:" << err;
    return false;
  }
  pending_.clear();
  entries_ = merged;
  return true;
}

}  // namespace cantorel
