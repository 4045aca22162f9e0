// "cantorel-tool skin check": the command reaches the player's skin reader,
// says in its exit status whether the player loads the skin cleanly, and
// reports the elements, the refusals and its own warnings in the documented
// shape.
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tool_run.h"

namespace cantorel {
namespace {

// A w x h 24-bit BMP, so the tool finds real pictures to read.
QByteArray bmp(int w, int h) {
  const int row = (w * 3 + 3) / 4 * 4;
  const int size = 54 + row * h;
  QByteArray b(size, '\0');
  auto put32 = [&b](int at, quint32 v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<quint32>(size));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<quint32>(w));
  put32(22, static_cast<quint32>(h));
  b[26] = 1;
  b[28] = 24;
  put32(34, static_cast<quint32>(row * h));
  return b;
}

const char kHead[] =
    "Cantorel Skin, Test skin\r\n"
    "200, 100\r\n200, 50\r\n100, 20\r\n"
    "main.bmp, res.bmp\r\n"
    "1, 0, 16, 32, 48, 0, 0, 0\r\n";

TEST(SkinCheckTool, ReportsWhatTheReaderMadeOfTheSkin) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("home")));
  const auto put = [&dir](const char *name, const QByteArray &bytes) {
    test::writeAll(dir.filePath(QString::fromUtf8(name)), bytes);
  };
  put("main.bmp", bmp(200, 100));
  put("res.bmp", bmp(200, 100));
  put("m.skin", QByteArray(kHead) +
                    "B1, 1, 1, 10, 10, 0, 0, P, first\r\n"            // line 7: replaced by 8
                    "B1, 2, 2, 12, 12, 0, 0, P, second\r\n"           // 8
                    "L51, 1, 1, 5, 5, 0, 0, 0, 8, Arial, t\r\n"       // 9
                    "R0, gone.bmp\r\n"                                // 10
                    "K12, 500, 500, 10, 10, 0, 0, x, t, ftp://x\r\n"  // 11
                    "B2, 3, 4, 5, 6, 0, 0, x, \"tip\x1b[31m\"\r\n");  // 12
  put("text.skin", "Cantorel skin\r\n1,1\r\n");
  put("import.skin",
      "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\n*,\r\nBitmaps|*.bmp,main.bmp\r\n0,0,0,0,0,0,0,0\r\n"
      "R0,main.bmp\r\nR1,res.bmp\r\nU\r\nB1,1,1,5,5,0,0,x,t\r\n");

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
          {"skin check --json {d}/m.skin", 1, {{"warnings/0", "~image (500,500 10x10) reaches outside"}}},
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
