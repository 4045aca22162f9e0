// The skin reader, command by command, on small skins written by each test.
#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include "core/general.h"
#include "skin/skin_reader.h"
#include "support/test_support.h"

using namespace cantorel;

namespace {

const char kHead[] =
    "Cantorel Skin, A test skin\r\n"
    "300, 200\r\n320, 400\r\n100, 40\r\n"
    "main.bmp, res.bmp\r\n"
    "1, 0, 10, 20, 30, 0, 0, 0\r\n";

class SkinReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    test::writeAll(dir_.filePath(QStringLiteral("main.bmp")), "x");
    test::writeAll(dir_.filePath(QStringLiteral("res.bmp")), "x");
    for (int i = 1; i <= 300; ++i) g_.Messages[static_cast<size_t>(i)] = QStringLiteral("M%1 ").arg(i);
    env_.appFolders = {app_.path()};
  }
  SkinLoadResult load(const QByteArray &body, const QString &name = QStringLiteral("t.skin")) {
    test::writeAll(dir_.filePath(name), QByteArray(kHead) + body);
    return LoadSkin(dir_.filePath(name), true, env_, t_, g_);
  }

  QTemporaryDir dir_, app_;
  General g_;
  SkinTables t_;
  SkinEnvironment env_;
};

}  // namespace

// Finding and opening the file: a shipped skin is found in the application
// folder; a file that is no skin or none at all leaves the skin in use.
TEST_F(SkinReaderTest, FindingAndOpeningTheFile) {
  g_.SkinPath = dir_.path();
  QDir(app_.path()).mkpath(QStringLiteral("skins"));
  test::writeAll(app_.filePath(QStringLiteral("skins/shipped.skin")), kHead);
  test::writeAll(dir_.filePath(QStringLiteral("bad.skin")), "Cantorel skin\r\n1,1\r\n");
  const struct {
    const char *name;
    QString path;  // the file loaded, or none
  } cases[] = {{"sub/shipped.skin", app_.filePath(QStringLiteral("skins/shipped.skin"))},
               {"bad.skin", {}},
               {"none.skin", {}}};
  for (const auto &c : cases) {
    g_.Skin = QStringLiteral("old");
    const auto r = LoadSkin(QString::fromLatin1(c.name), true, env_, t_, g_);
    EXPECT_EQ(r.loaded ? r.path : g_.Skin, c.path.isEmpty() ? QStringLiteral("old") : c.path) << c.name;
    EXPECT_FALSE(r.messages.isEmpty()) << c.name;  // the missing bitmaps of the shipped skin too
  }
}

TEST_F(SkinReaderTest, Buttons) {
  load(
      "B1,10,20,30,40,0,0,p,Play\r\n"
      "B2,1,2,3,4,50,60,,\"~tip, kept\"\r\n"
      "K5,7,8,9,10,11,12,S,Switch,other.skin\r\n");
  EXPECT_TRUE(t_.Btn[1].Visible);
  EXPECT_EQ(t_.Btn[1].SrcY, 20);  // SrcX + SrcY = 0: its own place
  EXPECT_EQ(t_.Btn[1].KeyChar, QLatin1Char('p'));
  EXPECT_EQ(t_.Btn[2].SrcX, 50);
  EXPECT_EQ(t_.Btn[2].ToolTip, QStringLiteral("~tip, kept"));
  EXPECT_TRUE(t_.Btn[105].Visible);
  EXPECT_EQ(t_.KeyStrings[5], QStringLiteral("other.skin"));
}

// Rejected indexes: the error flag, the list, and what happens to the fields.
TEST_F(SkinReaderTest, IndexChecks) {
  const struct {
    const char *body;
    const char *list;
    bool flag;
  } cases[] = {
      {"B121,1,2,3,4,5,6,x,t\r\n", "", true},
      {"L51,1,1,5,5,0,0,0,8,Arial,t\r\n", " L51", true},
      {"C2,1,1,5,5,t\r\n", "", false},
      {"K21,1,1,5,5,0,0,x,t,B7,1,1,5,5,0,0,x,t\r\n", "", true},  // key string read as the next command
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.body);
    const auto r = load(c.body);
    EXPECT_EQ(r.errorList, QString::fromLatin1(c.list));
    EXPECT_EQ(r.errorFlag, c.flag);
    EXPECT_EQ(r.messages.join(u'|'), c.flag ? QStringLiteral("M50 \nM51 \n") + r.errorList : QString());
  }
  EXPECT_TRUE(t_.Btn[7].Visible);  // from the last case
}

// Which part of the body is read: a skip "?0,label" (taken when the last
// picture read is missing) goes on after ":label"; a field starting with E
// where a command is expected ends the body, even inside a skip.
TEST_F(SkinReaderTest, SkipsAndEarlyEnds) {
  const struct {
    const char *body;
    const char *buttons;  // those of 1 to 3 read
  } cases[] = {
      {"R0,missing.bmp\r\n?0,over\r\nB1,1,1,5,5,0,0,x,t\r\n:over\r\nB2,1,1,5,5,0,0,x,t\r\n", "2"},
      {"R0,missing.bmp\r\n?0,never\r\nB1,1,1,5,5,0,0,x,t\r\n", ""},
      {"R0,missing.bmp\r\n?0,x\r\nB1,1,1,5,5,0,0,x,End\r\n:x\r\nB2,1,1,5,5,0,0,x,t\r\n", ""},
      {"B1,1,1,5,5,0,0,x,Enter\r\nB2,1,1,5,5,0,0,x,t\r\n", "12"},  // a tip read as a tip ends nothing
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.body);
    load(c.body);
    QString read;
    for (int n = 1; n <= 3; ++n)
      if (t_.Btn[static_cast<size_t>(n)].Visible) read += QString::number(n);
    EXPECT_EQ(read, QLatin1String(c.buttons));
  }
}

// A window side outside 16..8192 is an error of the skin: the end message
// lists it and the window takes the nearest usable size.
TEST_F(SkinReaderTest, WindowSizesOutsideTheUsableRangeAreAnError) {
  QByteArray head(kHead);
  head.replace(QByteArray("300, 200"), QByteArray("99999999, -5"));
  test::writeAll(dir_.filePath(QStringLiteral("w.skin")), head);
  const auto r = LoadSkin(dir_.filePath(QStringLiteral("w.skin")), true, env_, t_, g_);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(r.errorFlag);
  EXPECT_EQ(t_.WindowSizes[0], QPoint(8192, 16) * 15);
}
