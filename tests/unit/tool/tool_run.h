#pragma once

// Runs the built cantorel-tool with its own home folder, for the tool tests.
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel::test {

struct ToolRun {
  int exitCode = -1;
  QByteArray out;
  QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

// Arguments written as one text, split at blanks.
inline QStringList words(const char *text) {
  return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

// With an application object, its events run while the tool does (a
// loopback server of the test answers it).
inline ToolRun runTool(const QStringList &args, const QString &home, const QString &cwd,
                       const QProcessEnvironment &extra = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CANTOREL_HOME"), home);
  env.insert(extra);
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(cwd);
  p.start(programPath(QStringLiteral("cantorel-tool")), args);
  ToolRun r;
  const bool done = QCoreApplication::instance()
                        ? spinUntil([&p] { return p.state() == QProcess::NotRunning; }, 30000)
                        : p.waitForFinished(30000);
  if (!done) {
    p.kill();
    p.waitForFinished(5000);
    ADD_FAILURE() << "cantorel-tool did not finish";
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput();
  return r;
}

}  // namespace cantorel::test
