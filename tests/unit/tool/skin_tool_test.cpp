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

const char kHead[] =
    "Cantorel Skin, Test skin\r\n"
    "200, 100\r\n200, 50\r\n100, 20\r\n"
    "main.png, res.png\r\n"
    "1, 0, 16, 32, 48, 0, 0, 0\r\n";

TEST(SkinCheckTool, ReportsWhatTheReaderMadeOfTheSkin) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("home")));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  // Real pictures (560x500 and 560x650) for the tool to read.
  const QString skins = test::dataDir() + QStringLiteral("/skins/");
  ASSERT_TRUE(QFile::copy(skins + QStringLiteral("default.png"), dir.filePath(QStringLiteral("main.png"))));
  ASSERT_TRUE(
      QFile::copy(skins + QStringLiteral("default_res.png"), dir.filePath(QStringLiteral("res.png"))));
  put("m.skin", QByteArray(kHead) +
                    "B1, 1, 1, 10, 10, 0, 0, P, first\r\n"            // line 7: replaced by 8
                    "B1, 2, 2, 12, 12, 0, 0, P, second\r\n"           // 8
                    "L51, 1, 1, 5, 5, 0, 0, 0, 8, Arial, t\r\n"       // 9
                    "R0, gone.bmp\r\n"                                // 10
                    "K12, 600, 700, 10, 10, 0, 0, x, t, ftp://x\r\n"  // 11
                    "B2, 3, 4, 5, 6, 0, 0, x, \"tip\x1b[31m\"\r\n");  // 12
  put("text.skin", "Cantorel skin\r\n1,1\r\n");
  put("import.skin",
      "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\n*,\r\nBitmaps|*.png,main.png\r\n0,0,0,0,0,0,0,0\r\n"
      "R0,main.png\r\nR1,res.png\r\nU\r\nB1,1,1,5,5,0,0,x,t\r\n");

  test::runToolCases(
      {
          {"skin check --json {data}/skins/default.skin", 0, {{"accepted", "true"}, {"rejected", "[0]"}}},
          {"skin check --json {d}/m.skin", 1, {{"accepted", "false"}, {"errorList/0", "L51"}}},
          {"skin check --json {d}/m.skin",
           1,
           {{"missingBitmaps/0", "{d}/gone.bmp"}, {"elements/0/line", "8"}}},
          {"skin check --json {d}/m.skin", 1, {{"rejected/0/reason", "~replaced by line 8"}}},
          {"skin check --json {d}/m.skin",
           1,
           {{"elements/0/rect/width", "12"}, {"head/backColor", "#102030"}}},
          {"skin check --json {d}/m.skin", 1, {{"warnings/0", "~image (600,700 10x10) reaches outside"}}},
          {"skin check --json {d}/m.skin", 1, {{"warnings/1", "~not an http or https address"}}},
          {"skin check --json {d}/m.skin", 1, {{"warnings/2", "~lies outside the window (200x100)"}}},
          {"skin check {d}/m.skin",
           1,
           {{"@out", "~loaded with errors"}, {"@out", "~line 12: button 2 at 3,4 5x6"}}},
          {"skin check {d}/m.skin", 1, {{"@out", "~tip\\x1b[31m"}}},
          {"skin check --json {d}/text.skin",
           1,
           {{"loaded", "false"}, {"messages", "[1]"}, {"head", "null"}}},
          {"skin check --json {d}/missing.skin", 1, {{"loaded", "false"}, {"messages", "[1]"}}},
          {"skin check --json {d}/import.skin", 0, {{"elements", "[1]"}, {"head/importMode", "true"}}},
          {"skin check", 2, {}},
          {"skin check a --frobnicate", 2, {}},
      },
      dir.path());
}

}  // namespace
}  // namespace cantorel
