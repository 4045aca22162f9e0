// cantorel-tool, command by command. The readers behind each command have
// their own tests; these check the tool's wiring: which code a command runs,
// its exit status and the shape of its answer.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

// Runs the built tool with its own home folder and, when given, the address
// of the online lyric service; returns its exit status and output.
std::pair<int, QByteArray> runTool(const QStringList &args, const QString &folder,
                                   const QString &lyricUrl = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CANTOREL_HOME"), folder + QStringLiteral("/home"));
  if (!lyricUrl.isEmpty()) env.insert(QStringLiteral("CANTOREL_LYRIC_URL"), lyricUrl);
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(folder);
  p.start(test::programPath(QStringLiteral("cantorel-tool")), args);
  // A lyric service in this process is served while waiting.
  const bool finished = lyricUrl.isEmpty()
                            ? p.waitForFinished(30000)
                            : test::spinUntil([&p] { return p.state() == QProcess::NotRunning; }, 30000);
  if (!finished) {
    p.kill();
    p.waitForFinished(5000);
    ADD_FAILURE() << "cantorel-tool did not finish";
    return {-1, {}};
  }
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

// A JSON value as text: strings as they are, arrays as "[count]", true,
// false, numbers and null as JSON writes them. A path "a/2/b" walks into
// objects and arrays.
QString jsonField(QJsonValue v, const QString &path) {
  for (const QString &step : path.split(u'/')) {
    bool index = false;
    const int k = step.toInt(&index);
    v = index ? v.toArray().at(k) : v.toObject().value(step);
  }
  if (v.isString()) return v.toString();
  if (v.isArray()) return QStringLiteral("[%1]").arg(v.toArray().size());
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
void runToolCases(const std::vector<ToolCase> &cases, const QString &folder) {
  const auto fill = [&folder](const char *text) {
    return QString::fromUtf8(text)
        .replace(QLatin1String("{data}"), test::dataDir())
        .replace(QLatin1String("{d}"), folder);
  };
  for (const ToolCase &c : cases) {
    SCOPED_TRACE(c.args);
    const auto [exitCode, out] = runTool(fill(c.args).split(u' ', Qt::SkipEmptyParts), folder);
    EXPECT_EQ(exitCode, c.exitCode);
    EXPECT_FALSE(out.contains('\x1b'));
    const QJsonValue json = QJsonDocument::fromJson(out).object();
    for (const auto &[path, expected] : c.fields) {
      const QString got = QLatin1String(path) == QLatin1String("@out")
                              ? QString::fromUtf8(out)
                              : jsonField(json, QString::fromUtf8(path));
      const QString want = fill(expected);
      if (want.startsWith(u'~'))
        EXPECT_TRUE(got.contains(want.mid(1))) << path << ": " << got.toStdString();
      else
        EXPECT_EQ(got.toStdString(), want.toStdString()) << path;
    }
  }
}

// A temporary folder with a "home" for the tool and the given files.
struct Folder {
  explicit Folder(std::initializer_list<std::pair<const char *, QByteArray>> files = {}) {
    EXPECT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("home")));
    for (const auto &[name, bytes] : files) {
      const QString path = dir.filePath(QString::fromUtf8(name));
      QDir().mkpath(QFileInfo(path).path());
      test::writeAll(path, bytes);
    }
  }
  QString path() const { return dir.path(); }
  QTemporaryDir dir;
};

TEST(LyricTool, CheckAndFindAnswerAsTheReaderAndTheSearch) {
  const Folder f{{"music/good.qvl", "(QVL)\r\nUno\r\n0:12\r\nred \x1b[31m\r\n0:17\r\n"},
                 {"music/header.qvl", "(qvl)\r\nUno\r\n0:12\r\n"},
                 {"music/content.txt", "[ar:Ana]\r\n[00:03.50]Tres\r\n"},
                 {"music/Song.mp3", "x"},
                 {"lyrics/Ana - Luna.qvl", "(QVL)\r\nUno\r\n0:01\r\n"}};
  runToolCases(
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
      },
      f.path());
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
  const Folder f;
  const QString file = f.dir.filePath(QStringLiteral("The Band - Song One.lrc"));
  const QStringList args{QStringLiteral("lyric"), QStringLiteral("fetch"),
                         f.dir.filePath(QStringLiteral("The Band - Song One.mp3")), QStringLiteral("--save")};
  EXPECT_EQ(runTool(args, f.path(), server.url(QString())).first, 0);
  EXPECT_EQ(test::readAll(file), QByteArray("[00:01.00]one\n"));
  test::writeAll(file, "mine");
  EXPECT_EQ(runTool(args, f.path(), server.url(QString())).first, 1);
  EXPECT_EQ(test::readAll(file), QByteArray("mine"));
}

TEST(PlaylistTool, CommandsAnswerAsTheReaderAndTheWriter) {
  const Folder f{{"music/sub/Dos.mp3", "x"},
                 {"music/radio.pls", "[playlist]\nFile1=sub/Dos.mp3\n"},
                 {"music/notes.txt", "sub/Dos.mp3\n"}};
  runToolCases(
      {
          {"playlist show --json {d}/music/radio.pls",
           0,
           {{"kind", "pls"}, {"entryCount", "1"}, {"entries/0/exists", "true"}}},
          {"playlist show --json {d}/music/notes.txt", 1, {{"accepted", "false"}}},
          // Written as the player saves, read back the same.
          {"playlist convert --json {d}/music/radio.pls {d}/music/radio.m3u", 0, {{"written", "true"}}},
          {"playlist show --json {d}/music/radio.m3u", 0, {{"entries/0/path", "{d}/music/sub/Dos.mp3"}}},
          {"playlist convert --json {d}/music/missing.m3u {d}/music/radio.m3u", 1, {{"written", "false"}}},
          {"playlist play a", 2, {}},
      },
      f.path());
}

TEST(SkinCheckTool, ReportsWhatTheReaderMadeOfTheSkin) {
  const Folder f{{"m.skin",
                  "Cantorel Skin, Test skin\r\n200, 100\r\n200, 50\r\n100, 20\r\nmain.png, res.png\r\n"
                  "1, 0, 16, 32, 48, 0, 0, 0\r\n"
                  "B1, 1, 1, 10, 10, 0, 0, P, first\r\n"           // line 7
                  "L51, 1, 1, 5, 5, 0, 0, 0, 8, Arial, t\r\n"      // 8
                  "K12, 1, 1, 10, 10, 0, 0, x, t, ftp://x\r\n"}};  // 9
  // Real pictures for the tool to read.
  const QString skins = test::dataDir() + QStringLiteral("/skins/");
  ASSERT_TRUE(QFile::copy(skins + QStringLiteral("default.png"), f.dir.filePath(QStringLiteral("main.png"))));
  ASSERT_TRUE(
      QFile::copy(skins + QStringLiteral("default_res.png"), f.dir.filePath(QStringLiteral("res.png"))));
  runToolCases(
      {
          {"skin check --json {data}/skins/default.skin", 0, {{"accepted", "true"}, {"rejected", "[0]"}}},
          {"skin check --json {d}/m.skin",
           1,
           {{"accepted", "false"},
            {"errorList/0", "L51"},
            {"elements/0/line", "7"},
            {"warnings/0", "~not an http or https address"}}},
          {"skin check --json {d}/missing.skin", 1, {{"loaded", "false"}}},
          {"skin check", 2, {}},
      },
      f.path());
}

TEST(TagTool, CommandsAnswerAsTheReaderAndTheWriter) {
  // An MPEG frame header (128 kbit/s, 44.1 kHz, joint stereo) and silence.
  const Folder f{{"music/song.mp3", QByteArray("\xFF\xFB\x90\x64", 4) + QByteArray(600, '\0')},
                 {"music/short.mp3", QByteArray(100, '\0')}};
  runToolCases(
      {
          {"tag set --json --title Luna --track 9 --genre rock {d}/music/song.mp3",
           0,
           {{"outcome", "added"}}},
          {"tag set --json --track 256 {d}/music/song.mp3",
           1,
           {{"outcome", "refused"}, {"written", "false"}}},
          {"tag show --json {d}/music/song.mp3",
           0,
           {{"header/bitrate", "~128"},
            {"tag/title", "Luna"},
            {"tag/track", "9"},
            {"tag/genreName", "Rock"}}},
          {"tag show --json {d}/music/short.mp3", 1, {{"read", "false"}}},
          {"tag write a", 2, {}},
      },
      f.path());
}

}  // namespace
}  // namespace cantorel
