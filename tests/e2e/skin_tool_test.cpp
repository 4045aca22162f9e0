// cantorel-tool skin check: the report and the exit status skin authors rely on.
#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "support/test_support.h"

using namespace cantorel;

namespace {
struct ToolRun {
  int code = -1;
  QByteArray out;
};
ToolRun skinCheck(const QStringList &args) {
  QProcess p;
  p.start(test::programPath(QStringLiteral("cantorel-tool")),
          QStringList{QStringLiteral("skin"), QStringLiteral("check")} + args);
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished(5000);
    return {};
  }
  return {p.exitCode(), p.readAllStandardOutput()};
}
}  // namespace

TEST(SkinTool, ExitStatusAndReport) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString bad = dir.filePath(QStringLiteral("bad.skin"));
  test::writeAll(
      bad,
      "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\nnone.bmp,\r\n0,0,0,0,0,0,0,0\r\nL51,1,1,5,5,0,0,0,8,"
      "Arial,t\r\n");
  const QString notSkin = dir.filePath(QStringLiteral("text.skin"));
  test::writeAll(notSkin, "hello\r\n");
  const struct {
    QStringList args;
    int code;
    const char *contains;
  } cases[] = {
      {{test::dataDir() + QStringLiteral("/skins/default.skin")}, 0, "accepted"},
      {{test::dataDir() + QStringLiteral("/skins/pebble.skin")}, 0, "8 outline points"},
      {{bad}, 1, "L51"},
      {{notSkin}, 1, "rejected"},
      {{dir.filePath(QStringLiteral("missing.skin"))}, 1, "not found"},
      {{}, 2, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
    const ToolRun r = skinCheck(c.args);
    EXPECT_EQ(r.code, c.code);
    EXPECT_TRUE(r.out.contains(c.contains)) << r.out.constData();
  }
  const ToolRun json = skinCheck({bad, QStringLiteral("--json")});
  const QJsonObject o = QJsonDocument::fromJson(json.out).object();
  EXPECT_FALSE(o[QStringLiteral("accepted")].toBool());
  EXPECT_EQ(o[QStringLiteral("errorList")].toArray().first().toString(), QStringLiteral("L51"));
  EXPECT_EQ(o[QStringLiteral("rejected")].toArray().first().toObject()[QStringLiteral("token")].toString(),
            QStringLiteral("L51"));
}
