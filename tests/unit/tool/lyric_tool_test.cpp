// "cantorel-tool lyric check|find|fetch": each command reaches the player's
// reader, search or online lookup, says so in its exit status, and answers in
// the documented shape.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "playlist/mp3_info.h"
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
  put("music/good.qvl", "(QVL)\r\nUno\r\n0:12\r\nDos\r\n0:17\r\n");
  put("music/header.qvl", "(qvl)\r\nUno\r\n0:12\r\n");
  put("music/esc.qvl", "(QVL)\r\nred \x1b[31m\r\n0:01\r\n");
  put("music/song.lrc", "[ti:Luna]\n[offset:+500]\n[00:01.00][00:09.00]Uno\n[00:05.00]\n");
  put("music/content.txt", "\xEF\xBB\xBF[ar:Ana]\r\n[00:03.50]Tres\r\n");
  put("music/Song.mp3", "x");
  put("music/Lrc.mp3", "x");
  put("music/Lrc.LRC", "[00:01.00]Uno\n[00:02.00]Dos\n");
  put("lyrics/Ana - Luna.qvl", "(QVL)\r\nUno\r\n0:01\r\n");
  TagInfo tag;
  tag.setArtist(QStringLiteral("Ana"));
  tag.setTitle(QStringLiteral("Luna"));
  put("music/Tagged.mp3", QByteArray(300, '\0') + BuildTagRecord(tag));
  put("home/cantorel.conf",
      "[Cantorel v4.0/config]\nLyricPath=" + dir.filePath(QStringLiteral("lyrics/")).toUtf8() + "\n");

  test::runToolCases(
      {
          {"lyric check --json {d}/music/good.qvl",
           0,
           {{"format", "qvl"}, {"accepted", "true"}, {"line", "5"}, {"entries/1/time", "0:17"}}},
          {"lyric check --json {d}/music/header.qvl", 1, {{"accepted", "false"}, {"message", "1"}}},
          {"lyric check --json {d}/music/missing.qvl", 1, {{"reason", "the file does not exist"}}},
          {"lyric check {d}/music/esc.qvl", 0, {{"@out", "~accepted"}, {"@out", "~red \\x1b[31m"}}},
          // LRC by its name or by its content.
          {"lyric check --json {d}/music/song.lrc",
           0,
           {{"format", "lrc"}, {"offset", "500"}, {"stamps", "[3]"}, {"warnings", "[0]"}}},
          {"lyric check --json {d}/music/content.txt", 0, {{"format", "lrc"}, {"tags/0/value", "Ana"}}},
          // The lyric folder from the settings, the tag from the command line.
          {"lyric find --json --artist Ana --title Luna {d}/music/Song.mp3",
           0,
           {{"lyricDir", "{d}/lyrics/"}, {"file", "{d}/lyrics/Ana - Luna.qvl"}, {"passes", "[1]"}}},
          // The tag read from the song; the folder from the command line.
          {"lyric find --json --lyric-dir {d}/music/ {d}/music/Tagged.mp3",
           1,
           {{"found", "false"}, {"tag/artist", "Ana"}, {"passes/1/candidates", "[8]"}, {"lrcPasses", "[3]"}}},
          {"lyric find --json {d}/music/Lrc.mp3", 0, {{"file", "{d}/music/Lrc.LRC"}, {"format", "lrc"}}},
          {"", 2, {}},  // no command at all
          {"lyric check", 2, {}},
          {"lyric sing", 2, {}},
      },
      dir.path());
}

// "lyric fetch" against a loopback service: what it asked, what it saved,
// and that it never writes over a file.
TEST(LyricTool, FetchSavesTheServicesLyricWhereThePlayerLooks) {
  static int argc = 1;
  static char name[] = "unit_tool";
  static char *argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  test::LoopbackHttpServer server;
  server.setResponse(
      test::LoopbackHttpServer::answer(200, R"({"syncedLyrics":"[00:01.00]one\n[00:02.00]two"})", {}));
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
            {QStringLiteral("lyric"), QStringLiteral("fetch"), song, QStringLiteral("--length"),
             QStringLiteral("199.6"), QStringLiteral("--save"), QStringLiteral("--json")});
    EXPECT_TRUE(test::spinUntil([&p] { return p.state() == QProcess::NotRunning; }, 30000));
    return std::make_pair(p.exitCode(), QJsonDocument::fromJson(p.readAllStandardOutput()).object());
  };
  const auto [exitCode, j] = run();
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(j.value(QStringLiteral("result")).toString(), QStringLiteral("synced"));
  EXPECT_TRUE(j.value(QStringLiteral("saved")).toBool());
  const QString file = dir.filePath(QStringLiteral("The Band - Song One.lrc"));
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), file);
  EXPECT_EQ(test::readAll(file), QByteArray("[00:01.00]one\n[00:02.00]two\n"));
  test::writeAll(file, "mine");
  EXPECT_EQ(run().first, 1);
  EXPECT_EQ(test::readAll(file), QByteArray("mine"));
  ASSERT_EQ(server.requests().size(), 2);
  EXPECT_TRUE(server.requests()[0].path.contains("duration=200"));
}

}  // namespace
}  // namespace cantorel
