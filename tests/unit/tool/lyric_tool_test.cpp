// "cantorel-tool lyric check|find|fetch": each command reaches the player's
// reader, search or online lookup, says so in its exit status, and answers in
// the documented shape.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/loopback_http.h"
#include "tool_run.h"

namespace cantorel {
namespace {

TEST(LyricTool, CheckAndFindAnswerAsTheReaderAndTheSearch) {
  QTemporaryDir dir;
  for (const char *d : {"home", "music", "lyrics"})
    ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  put("music/good.qvl", "(QVL)\r\nUno\r\n0:12\r\nred \x1b[31m\r\n0:17\r\n");
  put("music/header.qvl", "(qvl)\r\nUno\r\n0:12\r\n");
  put("music/content.txt", "[ar:Ana]\r\n[00:03.50]Tres\r\n");
  put("music/Song.mp3", "x");
  put("lyrics/Ana - Luna.qvl", "(QVL)\r\nUno\r\n0:01\r\n");

  test::runToolCases(
      {
          {"lyric check --json {d}/music/good.qvl",
           0,
           {{"format", "qvl"}, {"accepted", "true"}, {"entries/1/time", "0:17"}}},
          {"lyric check {d}/music/good.qvl", 0, {{"@out", "~red \\x1b[31m"}}},
          {"lyric check --json {d}/music/header.qvl", 1, {{"accepted", "false"}}},
          // LRC is known by its content too.
          {"lyric check --json {d}/music/content.txt", 0, {{"format", "lrc"}, {"tags/0/value", "Ana"}}},
          {"lyric find --json --lyric-dir {d}/lyrics/ --artist Ana --title Luna {d}/music/Song.mp3",
           0,
           {{"file", "{d}/lyrics/Ana - Luna.qvl"}}},
          {"lyric find --json {d}/music/Song.mp3", 1, {{"found", "false"}}},
          {"", 2, {}},
          {"lyric sing", 2, {}},
      },
      dir.path());
}

// "lyric fetch" against a loopback service: what it saved, and that it never
// writes over a file.
TEST(LyricTool, FetchSavesTheServicesLyricWhereThePlayerLooks) {
  static int argc = 1;
  static char name[] = "unit_tool";
  static char *argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  test::LoopbackHttpServer server;
  server.setResponse(test::LoopbackHttpServer::answer(200, R"({"syncedLyrics":"[00:01.00]one"})", {}));
  QTemporaryDir dir;
  const QString song = dir.filePath(QStringLiteral("The Band - Song One.mp3"));
  // The tool runs while this process serves it.
  const auto run = [&] {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CANTOREL_HOME"), dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("CANTOREL_LYRIC_URL"), server.url(QString()));
    p.setProcessEnvironment(env);
    p.start(test::programPath(QStringLiteral("cantorel-tool")),
            {QStringLiteral("lyric"), QStringLiteral("fetch"), song, QStringLiteral("--save")});
    EXPECT_TRUE(test::spinUntil([&p] { return p.state() == QProcess::NotRunning; }, 30000));
    return p.exitCode();
  };
  const QString file = dir.filePath(QStringLiteral("The Band - Song One.lrc"));
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(test::readAll(file), QByteArray("[00:01.00]one\n"));
  test::writeAll(file, "mine");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(test::readAll(file), QByteArray("mine"));
}

}  // namespace
}  // namespace cantorel
