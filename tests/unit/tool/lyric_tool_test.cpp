// "cantorel-tool lyric check|find" run on files made here: its JSON must say
// what the core library says, and its exit status whether the player accepts.
#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/general.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_search.h"
#include "playlist/mp3_info.h"
#include "prefs/language.h"
#include "support/test_support.h"
#include "unit/lyrics/lyric_test_util.h"
#include "tool_run.h"

namespace cantorel {
namespace {

const auto crlf = test::crlfLines;

using test::ToolRun;
using test::words;

class LyricTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char *d : {"home", "music", "lyrics", "cwd"})
      ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromUtf8(d)));
    LoadLanguage({test::dataDir()}, QStringLiteral("ENGLISH"), g.Messages);
    ASSERT_FALSE(g.message(6).isEmpty());
  }
  QString path(const char *rel) const { return dir.filePath(QString::fromUtf8(rel)); }

  ToolRun tool(const QStringList &args) { return test::runTool(args, path("home"), path("cwd")); }

  QTemporaryDir dir;
  General g;
};

TEST_F(LyricTool, CheckSaysWhatTheReaderSays) {
  const struct {
    const char *name;
    QByteArray bytes;
  } files[] = {
      {"good.qvl", crlf({"(QVL)", "Uno", "0:12", "Dos", "0:17"})},
      {"header.qvl", crlf({"(qvl)", "Uno", "0:12"})},
      {"empty-time.qvl", crlf({"(QVL)", "Uno", ""})},
      {"no-time.qvl", crlf({"(QVL)", "Uno", "0:12", "Dos"})},
      {"trailing-empty.qvl", crlf({"(QVL)", "Uno", "0:12", ""})},
  };
  for (const auto &f : files) test::writeAll(path("music/") + QString::fromUtf8(f.name), f.bytes);
  QStringList names;
  for (const auto &f : files) names << QString::fromUtf8(f.name);
  names << QStringLiteral("missing.qvl");
  for (const QString &name : names) {
    SCOPED_TRACE(qPrintable(name));
    const QString file = path("music/") + name;
    LyricLines lyric;
    int count = 0, line = 0;
    const LyricStatus status = readLyricFileStatus(file, lyric, &count, &line);
    const ToolRun r =
        tool({QStringLiteral("lyric"), QStringLiteral("check"), file, QStringLiteral("--json")});
    const QJsonObject j = r.json();
    EXPECT_EQ(r.exitCode, status == LyricStatus::Correct ? 0 : 1);
    EXPECT_EQ(j.value(QStringLiteral("accepted")).toBool(), status == LyricStatus::Correct);
    EXPECT_EQ(j.value(QStringLiteral("status")).toString(), lyricStatusText(status, g));
    EXPECT_EQ(j.value(QStringLiteral("message")).toInt(), static_cast<int>(status));
    EXPECT_EQ(j.value(QStringLiteral("line")).toInt(), line);
    EXPECT_EQ(j.value(QStringLiteral("entryCount")).toInt(), count);
    const QJsonArray entries = j.value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), lyric.PlLyrics.size());
    for (qsizetype k = 0; k < entries.size(); ++k) {
      const QJsonObject e = entries[k].toObject();
      EXPECT_EQ(e.value(QStringLiteral("text")).toString(), lyric.PlLyrics[k]);
      EXPECT_EQ(e.value(QStringLiteral("time")).toString(), lyric.PlTimes.value(k));
      EXPECT_EQ(e.value(QStringLiteral("time")).isNull(), k >= lyric.PlTimes.size());
    }
  }
  // The plain report: the verdict, and text from the file made harmless for a terminal.
  test::writeAll(path("music/esc.qvl"), crlf({"(QVL)", "red \x1b[31m", "0:01"}));
  const ToolRun plain = tool(words("lyric check") << path("music/esc.qvl"));
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_TRUE(plain.out.contains("accepted"));
  EXPECT_TRUE(plain.out.contains("red \\x1b[31m"));
  EXPECT_FALSE(plain.out.contains('\x1b'));
}

// LRC files, named so or recognised by their content: the JSON holds what
// the LRC reader returns, and only a file without a timed line is rejected.
TEST_F(LyricTool, CheckLrcSaysWhatTheLrcReaderSays) {
  const struct {
    const char *name;
    QByteArray bytes;
  } files[] = {
      {"clean.lrc", "[ti:Luna]\n[offset:+500]\n[length:00:20]\n[00:01.00][00:09.00]Uno\n[00:05.00]\n"},
      {"warned.lrc", "[00:05.00]B\n[00:02.00]A <00:02.5\n[00:02.40]C\n[00:30.0]D\n[0:1x]E\n"},
      {"content-only.txt", "\xEF\xBB\xBF[ar:Ana]\r\n[00:03.50]Tres\r\n"},
      {"tags-only.lrc", "[ar:Ana]\n[ti:Luna]\n"},
      {"missing.lrc", QByteArray()},
  };
  for (const auto &f : files)
    if (!f.bytes.isEmpty()) test::writeAll(path("music/") + QString::fromUtf8(f.name), f.bytes);
  for (const auto &f : files) {
    SCOPED_TRACE(f.name);
    const QString file = path("music/") + QString::fromUtf8(f.name);
    LyricLines lyric;
    LrcDocument doc;
    const LyricStatus status = readLrcFile(file, lyric, &doc);
    const ToolRun r =
        tool({QStringLiteral("lyric"), QStringLiteral("check"), file, QStringLiteral("--json")});
    const QJsonObject j = r.json();
    EXPECT_EQ(r.exitCode, status == LyricStatus::Correct ? 0 : 1);
    EXPECT_EQ(j.value(QStringLiteral("format")).toString(), QStringLiteral("lrc"));
    EXPECT_EQ(j.value(QStringLiteral("accepted")).toBool(), status == LyricStatus::Correct);
    EXPECT_EQ(j.value(QStringLiteral("status")).toString(), lyricStatusText(status, g));
    EXPECT_EQ(j.value(QStringLiteral("line")).toInt(), doc.lineCount);
    EXPECT_EQ(j.value(QStringLiteral("reason")).isUndefined(), status == LyricStatus::Correct);
    EXPECT_EQ(j.value(QStringLiteral("offset")).toInteger(), doc.offsetMs);
    EXPECT_EQ(j.value(QStringLiteral("length")).toInteger(-1), doc.lengthMs);
    EXPECT_EQ(j.value(QStringLiteral("tags")).toArray().size(), doc.tags.size());
    const QJsonArray entries = j.value(QStringLiteral("entries")).toArray();
    ASSERT_EQ(entries.size(), lyric.PlLyrics.size());
    EXPECT_EQ(j.value(QStringLiteral("entryCount")).toInt(), lyric.PlLyrics.size());
    for (qsizetype k = 0; k < entries.size(); ++k) {
      EXPECT_EQ(entries[k].toObject().value(QStringLiteral("text")).toString(), lyric.PlLyrics[k]);
      EXPECT_EQ(entries[k].toObject().value(QStringLiteral("time")).toString(), lyric.PlTimes[k]);
    }
    const QJsonArray stamps = j.value(QStringLiteral("stamps")).toArray();
    ASSERT_EQ(stamps.size(), doc.entries.size());
    for (qsizetype k = 0; k < stamps.size(); ++k) {
      const QJsonObject e = stamps[k].toObject();
      EXPECT_EQ(e.value(QStringLiteral("line")).toInt(), doc.entries[k].line);
      EXPECT_EQ(e.value(QStringLiteral("stampMs")).toInteger(), doc.entries[k].stampMs);
      EXPECT_EQ(e.value(QStringLiteral("shownMs")).toInteger(), doc.entries[k].shownMs);
      EXPECT_EQ(e.value(QStringLiteral("time")).toString(), doc.entries[k].time);
    }
    const QJsonArray warnings = j.value(QStringLiteral("warnings")).toArray();
    ASSERT_EQ(warnings.size(), doc.warnings.size());
    for (qsizetype k = 0; k < warnings.size(); ++k) {
      const QJsonObject w = warnings[k].toObject();
      EXPECT_EQ(w.value(QStringLiteral("line")).toInt(), doc.warnings[k].line);
      EXPECT_EQ(w.value(QStringLiteral("kind")).toString(), lrcWarningKindName(doc.warnings[k].kind));
      EXPECT_EQ(w.value(QStringLiteral("text")).toString(), doc.warnings[k].text);
    }
  }
  // The warned file carries one warning of each kind it breaks, the plain
  // report lists them, and warnings alone never reject a file.
  const ToolRun plain = tool(words("lyric check") << path("music/warned.lrc"));
  EXPECT_EQ(plain.exitCode, 0);
  for (const char *kind : {"out-of-order", "word-stamp", "same-second", "mixed-precision", "malformed-stamp"})
    EXPECT_TRUE(plain.out.contains(kind)) << kind;
  // Our own format is still checked as ours, whatever its lines hold.
  test::writeAll(path("music/ours.txt"), crlf({"(QVL)", "[00:01.00]", "0:01"}));
  EXPECT_EQ(
      tool(words("lyric check --json") << path("music/ours.txt")).json().value(QStringLiteral("format")),
      QStringLiteral("qvl"));
  // A ".qvl" file holding LRC is read as our format, as the player does: rejected.
  test::writeAll(path("music/lrc.QVL"), "[00:01.00]A\n");
  const ToolRun misnamed = tool(words("lyric check --json") << path("music/lrc.QVL"));
  EXPECT_EQ(misnamed.exitCode, 1);
  EXPECT_EQ(misnamed.json().value(QStringLiteral("format")), QStringLiteral("qvl"));
}

TEST_F(LyricTool, FindSaysWhatTheSearchSays) {
  const QString song = path("music/Song.mp3");
  test::writeAll(song, "x");
  test::writeAll(path("lyrics/Ana - Luna.qvl"), crlf({"(QVL)", "Uno", "0:01"}));
  g.Tag.Artist = QStringLiteral("Ana");
  g.Tag.Title = QStringLiteral("Luna");

  // Found through the lyric folder given on the command line.
  g.LyricPath = path("lyrics/");
  LyricLines lyric;
  LyricLoad load = loadLyric(song, g, lyric, path("cwd"));
  ASSERT_TRUE(load.found);
  const QStringList find = words("lyric find --artist Ana --title Luna --json") << song;
  ToolRun r = tool(find + QStringList{QStringLiteral("--lyric-dir"), path("lyrics/")});
  QJsonObject j = r.json();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(j.value(QStringLiteral("found")).toBool());
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), load.lyricFolder.file);
  EXPECT_EQ(j.value(QStringLiteral("entryCount")).toInt(), 1);
  QJsonArray passes = j.value(QStringLiteral("passes")).toArray();
  ASSERT_EQ(passes.size(), 1);
  QJsonArray candidates = passes[0].toObject().value(QStringLiteral("candidates")).toArray();
  ASSERT_EQ(candidates.size(), load.lyricFolder.attempts.size());
  for (qsizetype k = 0; k < candidates.size(); ++k) {
    const QJsonObject c = candidates[k].toObject();
    const LyricAttempt &a = load.lyricFolder.attempts[k];
    EXPECT_EQ(c.value(QStringLiteral("name")).toString(), a.candidate);
    EXPECT_EQ(c.value(QStringLiteral("file")).toString(), a.file);
    EXPECT_EQ(c.value(QStringLiteral("used")).toBool(), k == candidates.size() - 1);
  }

  // Not found: both passes, the song's own candidates last, and the text the
  // lyric box would show. The folder comes from the settings this time.
  test::writeAll(path("home/cantorel.conf"),
                 "[Cantorel v4.0/config]\nLyricPath=" + path("music/").toUtf8() + "\n");
  QFile::remove(path("lyrics/Ana - Luna.qvl"));
  g.LyricPath = path("music/");
  load = loadLyric(song, g, lyric, path("cwd"));
  ASSERT_FALSE(load.found);
  r = tool(find);
  j = r.json();
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(j.value(QStringLiteral("found")).toBool());
  EXPECT_EQ(j.value(QStringLiteral("lyricDir")).toString(), path("music/"));
  EXPECT_EQ(j.value(QStringLiteral("failureText")).toString(), g.message(6));
  passes = j.value(QStringLiteral("passes")).toArray();
  ASSERT_EQ(passes.size(), 2);
  candidates = passes[1].toObject().value(QStringLiteral("candidates")).toArray();
  ASSERT_EQ(candidates.size(), 8);
  EXPECT_EQ(candidates[7].toObject().value(QStringLiteral("file")).toString(), path("music/Song.qvl"));
}

TEST_F(LyricTool, FindTriesLrcAfterOurFormat) {
  const QString song = path("music/Song.mp3");
  test::writeAll(song, "x");
  test::writeAll(path("music/Song.LRC"), "[00:01.00]Uno\n[00:02.00]Dos\n");
  LyricLines lyric;
  g.LyricPath = path("lyrics/");
  const LyricLoad load = loadLyric(song, g, lyric, path("cwd"));
  ASSERT_EQ(load.used(), &load.lrcSong);
  const ToolRun r = tool(words("lyric find --json --lyric-dir") << path("lyrics/") << song);
  const QJsonObject j = r.json();
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), path("music/Song.LRC"));
  EXPECT_EQ(j.value(QStringLiteral("format")).toString(), QStringLiteral("lrc"));
  EXPECT_EQ(j.value(QStringLiteral("entryCount")).toInt(), 2);
  EXPECT_EQ(j.value(QStringLiteral("passes")).toArray().size(), 2);
  const QJsonArray lrc = j.value(QStringLiteral("lrcPasses")).toArray();
  ASSERT_EQ(lrc.size(), 2);
  const QJsonArray candidates = lrc[1].toObject().value(QStringLiteral("candidates")).toArray();
  ASSERT_EQ(candidates.size(), load.lrcSong.attempts.size());
  EXPECT_TRUE(candidates.last().toObject().value(QStringLiteral("used")).toBool());
  EXPECT_EQ(lrc[0].toObject().value(QStringLiteral("candidates")).toArray().size(), 8);
}

TEST_F(LyricTool, FindReadsTheSongsTag) {
  TagInfo t;
  t.setArtist(QStringLiteral("Ana"));
  t.setTitle(QStringLiteral("Luna"));
  test::writeAll(path("music/Tagged.mp3"), QByteArray(300, '\0') + BuildTagRecord(t));
  test::writeAll(path("music/Ana - Luna.qvl"), crlf({"(QVL)", "Uno", "0:01"}));
  const QJsonObject j = tool(words("lyric find --json") << path("music/Tagged.mp3")).json();
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), path("music/Ana - Luna.qvl"));
  EXPECT_EQ(j.value(QStringLiteral("tag")).toObject().value(QStringLiteral("artist")).toString(),
            QStringLiteral("Ana"));
  // A field given on the command line replaces the tag's.
  EXPECT_FALSE(tool(words("lyric find --json --artist Eva") << path("music/Tagged.mp3"))
                   .json()
                   .value(QStringLiteral("found"))
                   .toBool());
}

TEST_F(LyricTool, UsageErrors) {
  for (const char *args : {"lyric", "lyric check", "lyric check a --bogus", "lyric find a b",
                           "lyric find a --lyric-dir", "lyric sing"})
    EXPECT_EQ(tool(words(args)).exitCode, 2) << args;
}

// "lyric fetch" against a loopback service: what it asked, what it saved, and
// that it never writes over a file.
TEST_F(LyricTool, FetchSavesTheServicesLyricWhereThePlayerLooks) {
  static int argc = 1;
  static char name[] = "unit_tool";
  static char *argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  test::LoopbackHttpServer server;
  server.setResponse(test::LoopbackHttpServer::answer(200, R"({"syncedLyrics":"[00:01.00]one\n[00:02.00]two"})", {}));
  QProcessEnvironment env;
  env.insert(QStringLiteral("CANTOREL_LYRIC_URL"), server.url(QString()));
  const QString song = path("music/The Band - Song One.mp3");
  const QStringList args = words("lyric fetch --length 199.6 --save --json") << song;
  const QJsonObject j = test::runTool(args, path("home"), path("cwd"), env).json();
  EXPECT_EQ(j.value(QStringLiteral("result")).toString(), QStringLiteral("synced"));
  EXPECT_EQ(j.value(QStringLiteral("query")).toObject().value(QStringLiteral("duration")).toInt(), 200);
  EXPECT_TRUE(j.value(QStringLiteral("saved")).toBool());
  const QString file = path("music/The Band - Song One.lrc");
  EXPECT_EQ(j.value(QStringLiteral("file")).toString(), file);
  EXPECT_EQ(test::readAll(file), QByteArray("[00:01.00]one\n[00:02.00]two\n"));
  test::writeAll(file, "mine");
  EXPECT_EQ(test::runTool(args, path("home"), path("cwd"), env).exitCode, 1);
  EXPECT_EQ(test::readAll(file), QByteArray("mine"));
  ASSERT_EQ(server.requests().size(), 2);
  EXPECT_TRUE(server.requests()[0].path.contains("duration=200"));
}

}  // namespace
}  // namespace cantorel
