#pragma once

// Runs the built cantorel-tool with its own home folder, for the tool tests.
// The readers behind each command have their own tests; these check the
// tool's wiring: which code a command runs, its exit status and the shape of
// its answer.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/test_support.h"

namespace cantorel::test {

struct ToolRun {
  int exitCode = -1;
  QByteArray out;
};

inline ToolRun runTool(const QStringList &args, const QString &home, const QString &cwd) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CANTOREL_HOME"), home);
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(cwd);
  p.start(programPath(QStringLiteral("cantorel-tool")), args);
  ToolRun r;
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished(5000);
    ADD_FAILURE() << "cantorel-tool did not finish";
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  return r;
}

// A JSON value as text: strings as they are, arrays as "[count]", objects
// as "{}", null as "null". A path "a/2/b" walks into objects and arrays.
inline QString jsonField(QJsonValue v, const QString &path) {
  for (const QString &step : path.split(u'/')) {
    bool index = false;
    const int k = step.toInt(&index);
    v = index ? v.toArray().at(k) : v.toObject().value(step);
  }
  if (v.isString()) return v.toString();
  if (v.isArray()) return QStringLiteral("[%1]").arg(v.toArray().size());
  if (v.isObject()) return QStringLiteral("{}");
  if (v.isUndefined()) return QStringLiteral("undefined");
  // true, false, a number or null, as JSON writes them.
  return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// One run of the tool and what it must answer. In the arguments (split at
// blanks) and the expected texts, "{d}" is the test's folder and "{data}"
// the shipped data. A field "@out" is the whole output; an expected text
// starting with "~" needs only to be contained.
struct ToolCase {
  const char *args;
  int exitCode;
  std::vector<std::pair<const char *, const char *>> fields;
};

// Runs the cases in order (a later case may read what an earlier one wrote).
// Text from the files reaches a terminal only made harmless: no output holds
// an escape character.
inline void runToolCases(const std::vector<ToolCase> &cases, const QString &folder) {
  const auto fill = [&folder](const char *text) {
    return QString::fromUtf8(text)
        .replace(QLatin1String("{data}"), dataDir())
        .replace(QLatin1String("{d}"), folder);
  };
  for (const ToolCase &c : cases) {
    SCOPED_TRACE(c.args);
    const ToolRun r =
        runTool(fill(c.args).split(u' ', Qt::SkipEmptyParts), folder + QStringLiteral("/home"), folder);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_FALSE(r.out.contains('\x1b'));
    const QJsonValue json = QJsonDocument::fromJson(r.out).object();
    for (const auto &[path, expected] : c.fields) {
      const QString got = QLatin1String(path) == QLatin1String("@out")
                              ? QString::fromUtf8(r.out)
                              : jsonField(json, QString::fromUtf8(path));
      const QString want = fill(expected);
      if (want.startsWith(u'~'))
        EXPECT_TRUE(got.contains(want.mid(1))) << path << ": " << got.toStdString();
      else
        EXPECT_EQ(got.toStdString(), want.toStdString()) << path;
    }
  }
}

}  // namespace cantorel::test
