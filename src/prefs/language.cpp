#include "prefs/language.h"

#include <QDir>
#include <QFile>

#include "core/atomic_file.h"
#include "core/log.h"
#include "core/text_codec.h"

namespace cantorel {

namespace {
constexpr qint64 kMaxLanguageFile = 4 << 20;
const QString kPrefix = QStringLiteral("messages_");
const QString kSuffix = QStringLiteral(".txt");
}  // namespace

QString languageFileName(const QString &language) { return kPrefix + language + kSuffix; }

QString findLanguageFile(const QStringList &folders, const QString &language) {
  const QString wanted = languageFileName(language);
  for (const QString &folder : folders) {
    QDir dir(folder);
    if (QFile::exists(dir.filePath(wanted))) return dir.filePath(wanted);
    const QStringList entries = dir.entryList(QStringList{QStringLiteral("*.txt")}, QDir::Files);
    for (const QString &e : entries)
      if (e.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(e);
  }
  return QString();
}

int loadLanguageBytes(const QByteArray &bytes, std::array<QString, General::kMessageCount> &messages,
                      bool *truncated) {
  const QStringList lines = splitLines(decodeText(bytes));
  const int count = static_cast<int>(std::min<qsizetype>(lines.size(), General::kMessageCount - 1));
  for (int n = 1; n <= count; ++n) messages[static_cast<size_t>(n)] = lines[n - 1];
  if (truncated) *truncated = lines.size() > count;
  return count;
}

namespace {

// Reads one language's file into the table. False, with the reason in
// `why`, when there is no such file or nothing could be read from it.
bool readLanguage(const QStringList &folders, const QString &language,
                  std::array<QString, General::kMessageCount> &messages, LanguageLoad *r, QString *why) {
  r->file = findLanguageFile(folders, language);
  if (r->file.isEmpty()) {
    *why = QStringLiteral("No language file for ") + language;
    return false;
  }
  QByteArray bytes;
  bool tooLarge = false;
  if (!readFileLimited(r->file, kMaxLanguageFile, &bytes, &tooLarge) || bytes.isEmpty()) {
    *why = QStringLiteral("Language file not read: ") + r->file +
           (tooLarge          ? QStringLiteral(" (too large)")
            : bytes.isEmpty() ? QStringLiteral(" (empty)")
                              : QString());
    return false;
  }
  r->found = true;
  r->linesRead = loadLanguageBytes(bytes, messages, &r->truncated);
  if (r->truncated)
    qCWarning(lcLanguage).noquote() << r->file << "has more than 300 lines; the rest is ignored";
  return true;
}

}  // namespace

LanguageLoad LoadLanguage(const QStringList &folders, const QString &language,
                          std::array<QString, General::kMessageCount> &messages) {
  LanguageLoad r;
  QString why;
  if (readLanguage(folders, language, messages, &r, &why)) return r;
  // Without its texts every caption and message would be blank: the English
  // file stands in, and the one warning says so.
  if (language.compare(kFallbackLanguage, Qt::CaseInsensitive) != 0) {
    LanguageLoad english;
    QString ignored;
    if (readLanguage(folders, kFallbackLanguage, messages, &english, &ignored)) {
      qCWarning(lcLanguage).noquote() << why + QStringLiteral("; using ") + kFallbackLanguage;
      english.fellBack = true;
      return english;
    }
  }
  qCWarning(lcLanguage).noquote() << why;
  return r;
}

QStringList ListLanguages(const QStringList &folders) {
  QStringList out;
  for (const QString &folder : folders) {
    const QStringList entries =
        QDir(folder).entryList(QStringList{kPrefix + QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Unsorted);
    for (const QString &f : entries) {
      if (!f.startsWith(kPrefix, Qt::CaseInsensitive) || !f.endsWith(kSuffix, Qt::CaseInsensitive)) continue;
      const QString name = f.mid(kPrefix.size(), f.size() - kPrefix.size() - kSuffix.size()).toUpper();
      if (!out.contains(name)) out.append(name);
    }
  }
  return out;
}

}  // namespace cantorel
