// "cantorel-tool skin check": the command reaches the player's skin reader,
// says in its exit status whether the player loads the skin cleanly, and
// reports the elements, the refusals and its own warnings in the documented
// shape.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace cantorel {
namespace {

TEST(SkinCheckTool, ReportsWhatTheReaderMadeOfTheSkin) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("home")));
  // Real pictures for the tool to read.
  const QString skins = test::dataDir() + QStringLiteral("/skins/");
  ASSERT_TRUE(QFile::copy(skins + QStringLiteral("default.png"), dir.filePath(QStringLiteral("main.png"))));
  ASSERT_TRUE(
      QFile::copy(skins + QStringLiteral("default_res.png"), dir.filePath(QStringLiteral("res.png"))));
  test::writeAll(dir.filePath(QStringLiteral("m.skin")),
                 "Cantorel Skin, Test skin\r\n200, 100\r\n200, 50\r\n100, 20\r\nmain.png, res.png\r\n"
                 "1, 0, 16, 32, 48, 0, 0, 0\r\n"
                 "B1, 1, 1, 10, 10, 0, 0, P, first\r\n"          // line 7
                 "L51, 1, 1, 5, 5, 0, 0, 0, 8, Arial, t\r\n"     // 8
                 "K12, 1, 1, 10, 10, 0, 0, x, t, ftp://x\r\n");  // 9

  test::runToolCases(
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
      dir.path());
}

}  // namespace
}  // namespace cantorel
