#pragma once

// Small helpers shared by the tag and playlist commands: argument splitting,
// printing, and making file text safe for a terminal.
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdio>

#include "core/general.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/folders.h"

namespace cantorel::tool::common {

constexpr int kExitAccepted = 0;
constexpr int kExitRejected = 1;
constexpr int kExitUsage = 2;

inline void print(const QString &text) {
  std::fputs(qUtf8Printable(text), stdout);
}

inline void printJson(const QJsonObject &o) {
  print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
}

// Text from a file, safe to print on a terminal: control characters shown as
// \xNN so a tag or playlist cannot move the cursor or change colours.
inline QString shown(const QString &s) {
  QString out;
  out.reserve(s.size());
  for (QChar c : s) {
    const char16_t u = c.unicode();
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
      out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
    else
      out += c;
  }
  return out;
}

inline QString quoted(const QString &s) {
  return u'"' + shown(s) + u'"';
}

// The user's settings, read only.
inline General loadUserSettings() {
  General g;
  const Folders folders = Folders::fromEnvironment();
  SettingsStore store(folders.configFile());
  store.load();
  Settings settings(store);
  settings.load(g, {});
  return g;
}

// Arguments after the command: positional ones, --json and valued options.
struct Options {
  QStringList positional;
  bool json = false;
  QHash<QString, QString> values;
  bool has(const char *option) const { return values.contains(QString::fromLatin1(option)); }
  QString value(const char *option) const { return values.value(QString::fromLatin1(option)); }
};

inline bool parseOptions(const QStringList &args, const QStringList &valued, Options *out,
                         QString *error) {
  for (int i = 0; i < args.size(); ++i) {
    const QString &a = args[i];
    if (a == QLatin1String("--json")) {
      out->json = true;
    } else if (valued.contains(a)) {
      if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(a);
        return false;
      }
      out->values.insert(a, args[++i]);
    } else if (a.startsWith(QLatin1String("--"))) {
      *error = QStringLiteral("unknown option '%1'").arg(a);
      return false;
    } else {
      out->positional << a;
    }
  }
  return true;
}

}  // namespace cantorel::tool::common
