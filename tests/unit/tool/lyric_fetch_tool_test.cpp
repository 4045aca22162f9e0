// "lyric fetch" against a loopback service: what it asked, what it saved,
// and that it never writes over a file.
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

TEST(LyricFetchTool, SavesTheServicesLyricWhereThePlayerLooks) {
  static int argc = 1;
  static char name[] = "unit_tool";
  static char *argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  test::LoopbackHttpServer server;
  server.setResponse(test::LoopbackHttpServer::answer(200, R"({"syncedLyrics":"[00:01.00]one\n[00:02.00]two"})", {}));
  QTemporaryDir dir;
  const QString song = dir.filePath(QStringLiteral("The Band - Song One.mp3"));
  // The tool runs while this process serves it.
  const auto run = [&](int *exitCode) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CANTOREL_HOME"), dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("CANTOREL_LYRIC_URL"), server.url(QString()));
    p.setProcessEnvironment(env);
    p.start(test::programPath(QStringLiteral("cantorel-tool")),
            {QStringLiteral("lyric"), QStringLiteral("fetch"), song, QStringLiteral("--length"),
             QStringLiteral("199.6"), QStringLiteral("--save"), QStringLiteral("--json")});
    EXPECT_TRUE(test::spinUntil([&p] { return p.state() == QProcess::NotRunning; }, 30000));
    *exitCode = p.exitCode();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
  };
  int exitCode = -1;
  const QJsonObject j = run(&exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(j.value(QStringLiteral("result")).toString(), QStringLiteral("synced"));
  EXPECT_TRUE(j.value(QStringLiteral("saved")).toBool());
  const QString file = dir.filePath(QStringLiteral("The Band - Song One.lrc"));
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), file);
  EXPECT_EQ(test::readAll(file), QByteArray("[00:01.00]one\n[00:02.00]two\n"));
  test::writeAll(file, "mine");
  run(&exitCode);
  EXPECT_EQ(exitCode, 1);
  EXPECT_EQ(test::readAll(file), QByteArray("mine"));
  ASSERT_EQ(server.requests().size(), 2);
  EXPECT_TRUE(server.requests()[0].path.contains("duration=200"));
}

}  // namespace
}  // namespace cantorel
