// The skin reader, command by command, on small skins written by each test.
#include <gtest/gtest.h>
#include <QDir>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "core/general.h"
#include "skin/skin_reader.h"
#include "skin/skin_tokenizer.h"
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

TEST(SkinTokenizer, FieldsQuotesAndLineEnds) {
  SkinTokenizer tok(QStringLiteral("  a b ,\"x, y\"junk,3\r\n\"q\"\r\n, last\n;c"));
  EXPECT_EQ(tok.field(), QStringLiteral("a b"));
  EXPECT_EQ(tok.field(), QStringLiteral("x, y"));
  EXPECT_EQ(tok.number(), 3);
  EXPECT_EQ(tok.field(), QStringLiteral("q"));
  EXPECT_EQ(tok.field(), QString());  // the empty field before the comma
  EXPECT_EQ(tok.field(), QStringLiteral("last"));
  EXPECT_EQ(tok.restOfLine(), QString());  // the field ended its line
  EXPECT_EQ(tok.field(), QStringLiteral(";c"));
  EXPECT_TRUE(tok.atEnd());
  EXPECT_EQ(tok.field(), QString());
}

TEST(SkinTokenizer, NumbersThatAreNotNumbers) {
  const struct {
    const char *text;
    qint32 value;
  } cases[] = {
      {" -7", -7}, {"12abc", 12}, {"abc", 0}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
  for (const auto &c : cases)
    EXPECT_EQ(SkinTokenizer::toNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST_F(SkinReaderTest, HeadWithEmptyBodyGivesSizesBitmapsAndNoMessage) {
  const auto r = load("");
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(r.messages.isEmpty());
  EXPECT_EQ(t_.Description, QStringLiteral(" A test skin"));
  EXPECT_EQ(t_.WindowSizes[2], QPoint(100 * 15, 40 * 15));
  EXPECT_EQ(t_.HoverMode, 1);
  EXPECT_EQ(t_.BackColor, 10u + 20u * 256 + 30u * 65536);
  ASSERT_EQ(t_.Pictures.size(), 2);
  EXPECT_EQ(t_.Pictures[1].kind, PictureStep::LoadResource);
  EXPECT_EQ(g_.Skin, dir_.filePath(QStringLiteral("t.skin")));
}

// Finding and opening the file: a star name picks the skin made for the
// screen's width, a shipped skin is found in the application folder; a file
// that is no skin or none at all leaves the skin in use; missing bitmaps
// (the shipped skin's here) are reported and the load goes on.
TEST_F(SkinReaderTest, FindingAndOpeningTheFile) {
  env_.screenWidthPx = 1280;
  g_.SkinPath = dir_.path();
  test::writeAll(dir_.filePath(QStringLiteral("wide1280.skin")), kHead);
  QDir(app_.path()).mkpath(QStringLiteral("skins"));
  test::writeAll(app_.filePath(QStringLiteral("skins/shipped.skin")), kHead);
  test::writeAll(dir_.filePath(QStringLiteral("bad.skin")), "Cantorel skin\r\n1,1\r\n");
  const struct {
    const char *name;
    const char *messages;  // a regular expression
    QString path;          // the file loaded, or none
  } cases[] = {{"wide*", "", dir_.filePath(QStringLiteral("wide1280.skin"))},
               {"sub/shipped.skin", "M48 .*\\|M49 .*", app_.filePath(QStringLiteral("skins/shipped.skin"))},
               {"bad.skin", "M47 ", {}},
               {"none.skin", "M44 \nM45 none.skin\nM46 .*", {}}};
  for (const auto &c : cases) {
    g_.Skin = QStringLiteral("old");
    const auto r = LoadSkin(QString::fromLatin1(c.name), true, env_, t_, g_);
    EXPECT_EQ(r.loaded ? r.path : g_.Skin, c.path.isEmpty() ? QStringLiteral("old") : c.path) << c.name;
    const QRegularExpression messages(QStringLiteral("^%1$").arg(QLatin1String(c.messages)),
                                      QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(messages.match(r.messages.join(u'|')).hasMatch()) << r.messages.join(u'|').toStdString();
  }
}

TEST_F(SkinReaderTest, Buttons) {
  load(
      "B1,10,20,30,40,0,0,p,Play\r\n"
      "B2,1,2,3,4,50,60,,\"~tip, kept\"\r\n"
      "B3,1,2,0,4,5,6,x,zero width\r\n"
      "B0,1,2,3,4,5,6,x,zero index\r\n"
      "K5,7,8,9,10,11,12,S,Switch,other.skin\r\n");
  const SkinButton &b1 = t_.Btn[1];
  EXPECT_TRUE(b1.Visible);
  EXPECT_EQ(QRect(b1.Left, b1.Top, b1.Width, b1.Height), QRect(10, 20, 30, 40));
  EXPECT_EQ(b1.SrcX, 10);  // SrcX + SrcY = 0: its own place
  EXPECT_EQ(b1.SrcY, 20);
  EXPECT_EQ(b1.KeyChar, QLatin1Char('p'));
  EXPECT_EQ(b1.Tag, QStringLiteral("0,0"));
  EXPECT_EQ(t_.Btn[2].SrcX, 50);
  EXPECT_EQ(t_.Btn[2].KeyChar, QLatin1Char(' '));
  EXPECT_EQ(t_.Btn[2].ToolTip, QStringLiteral("~tip, kept"));
  EXPECT_FALSE(t_.Btn[3].Visible);
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
      {"L51,1,1,0,5,0,0,0,8,Arial,t\r\n", "", false},  // size checked before the index
      {"I19,1,1,5,5,0,0,0,0,t\r\n", " I19", true},
      {"D7,1,1,0,0,5,5,2,0,0,0,t\r\n", " D7", true},
      {"S6,1,1,5,0,0,0,3,3,t\r\n", " S6", true},
      {"X2,1,1,5,5,0,0,0,1,1,1,8,Arial,t\r\n", " X2", true},
      {"C2,1,1,5,5,t\r\n", "", false},
      {"R3,main.bmp\r\n", " R3", true},                          // its file name is then a token: nothing
      {"W2,5,5\r\n", " W2", true},                               // its fields are then unknown tokens
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

TEST_F(SkinReaderTest, DigitDisplayAreaFollowsTheFormat) {
  const struct {
    int format;
    int width;
  } cases[] = {{0, 4 * 9 + 4}, {1, 40}, {3, 40}, {2, 6 * 9 + 8}, {4, 6 * 9 + 4}, {-3, 27}, {7, 63}};
  for (const auto &c : cases) {
    load(QStringLiteral("D1,5,6,0,100,9,13,4,0,1,%1,~tip\r\n").arg(c.format).toLatin1());
    EXPECT_EQ(t_.Dig[1].Width, c.width) << c.format;
    EXPECT_EQ(t_.Dig[1].Height, 13);
    EXPECT_EQ(t_.Dig[1].ToolTip, QStringLiteral("~tip"));  // display tips are kept as they are
  }
}

TEST_F(SkinReaderTest, LabelsSlidersLightsBoxesAndCover) {
  load(
      "L3,5,6,70,12,255,0,0,-9,\"Tahoma : iu\",~no tip\r\n"
      "S2,10,50,80,0,0,120,12,8,~v\r\n"
      "I4,1,2,6,6,0,255,0,3,tip\r\n"
      "X1,1,2,100,50,0,0,0,255,255,255,8,Arial,list\r\n"
      "Y1,1,60,100,50,0,0,0,255,255,255,8,Arial,lyric\r\n"
      "F1,1,120,100,20,0,0,0,255,255,255,10,Arial,~\r\n"
      "C1,200,2,64,64,cover\r\n");
  const SkinLabel &l = t_.Lbl[3];
  EXPECT_EQ(l.FontName, QStringLiteral("Tahoma"));
  EXPECT_EQ(l.FontSize, 9);
  EXPECT_EQ(l.ForeColor, 255u);
  EXPECT_TRUE(l.ToolTip.isEmpty());
  const SkinSlider &s = t_.Sliders[2];
  EXPECT_FALSE(s.vertical());
  EXPECT_EQ(s.TrackWidth, 80);
  EXPECT_EQ(s.KnobSrcY, 120);
  EXPECT_TRUE(s.ToolTip.isEmpty());
  EXPECT_EQ(t_.Ind[4].FillColor, 255u * 256);
  EXPECT_EQ(t_.Ind[4].ShapeKind, 3);
  EXPECT_EQ(t_.Ind[5].Left, -10);
  EXPECT_TRUE(t_.PlNames.Visible);
  EXPECT_EQ(t_.PlLyrics.Top, 60);
  EXPECT_TRUE(t_.LyricLine.ToolTip.isEmpty());
  EXPECT_EQ(t_.Cover.ToolTip, QStringLiteral("cover"));
}

TEST_F(SkinReaderTest, ResetKeepsWhatTheDesignKeeps) {
  load(
      "B1,10,20,30,40,7,8,Q,t\r\nY1,1,60,100,50,0,0,0,255,255,255,8,Arial,lyric\r\n"
      "X1,1,2,100,50,0,0,0,255,255,255,8,Arial,list\r\nK1,1,1,5,5,0,0,x,t,a.skin\r\n");
  load("");
  EXPECT_FALSE(t_.Btn[1].Visible);
  EXPECT_EQ(t_.Btn[1].SrcX, 7);
  EXPECT_EQ(t_.Btn[1].KeyChar, QLatin1Char('Q'));
  EXPECT_TRUE(t_.PlLyrics.Visible);
  EXPECT_FALSE(t_.PlNames.Visible);
  EXPECT_TRUE(t_.KeyStrings[1].isEmpty());
}

TEST_F(SkinReaderTest, OutlinePolygons) {
  load("N4\r\nP0,0\r\nP10,0\r\nP10,10\r\n");
  EXPECT_EQ(t_.OutlineExpected, 4);
  EXPECT_EQ(t_.OutlineFilled, 3);  // incomplete: no outline
  load("N3\r\nP0,0\r\nP10,0\r\nP10,10\r\nP5,B1,1,1,4,4,0,0,x,t\r\n");
  EXPECT_EQ(t_.OutlineFilled, 3);
  EXPECT_EQ(t_.OutlinePoints[2], QPoint(10, 10));
  EXPECT_TRUE(t_.Btn[1].Visible);  // the extra point's Y field was read as a token
  load("M6,2,3,3\r\nP0,0\r\nP9,0\r\nP0,9\r\nP20,20\r\nP29,20\r\nP20,29\r\n");
  EXPECT_TRUE(t_.MultiOutline);
  EXPECT_EQ(t_.OutlineCounts, (QList<int>{3, 3}));
  EXPECT_EQ(t_.OutlineFilled, 6);
  load("N3\r\nP0,0\r\nP10,0\r\nP10,10\r\n");
  EXPECT_FALSE(t_.MultiOutline);  // a later single outline is not cut by old counts
}

TEST_F(SkinReaderTest, CommentsAddToTheDescription) {
  load("; a comment, with commas\r\n/ second line\r\n/\r\n/, third, with comma\r\n");
  EXPECT_EQ(t_.Description, QStringLiteral(" A test skin\r second line\r\r third, with comma"));
}

// Which part of the body is read: a skip "?0,label" (taken when the last
// picture read is missing) goes on after ":label"; a field starting with E
// where a command is expected ends the body, even inside a skip. The notes
// tell a skin author where this happened.
TEST_F(SkinReaderTest, SkipsAndEarlyEnds) {
  const struct {
    const char *body;
    const char *buttons;  // those of 1 to 3 read
    const char *note;
  } cases[] = {
      {"R0,missing.bmp\r\n?0,over\r\nB1,1,1,5,5,0,0,x,t\r\n:over\r\nB2,1,1,5,5,0,0,x,t\r\n", "2",
       "line 8: lines 8 to 10 skipped up to \":over\""},
      {"R1,main.bmp\r\n?0,over\r\nB3,1,1,5,5,0,0,x,t\r\n:over\r\n", "3", ""},
      {"R0,missing.bmp\r\n?0,never\r\nB1,1,1,5,5,0,0,x,t\r\n", "",
       "line 8: no label \":never\" follows: the rest of the file is skipped"},
      {"R0,missing.bmp\r\n?0,x\r\nB1,1,1,5,5,0,0,x,End\r\n:x\r\nB2,1,1,5,5,0,0,x,t\r\n", "",
       "line 9: \"End\" starts with E and ends the skin here"},
      {"B1,1,1,5,5,0,0,x,Enter\r\nB2,1,1,5,5,0,0,x,t\r\n", "12", ""},  // a tip read as a tip ends nothing
      {"B1,1,1,5,5,0,0,x,t\r\nE\r\nB2,1,1,5,5,0,0,x,t\r\n", "1", ""},
      {"K30,1,1,5,5,0,0,x,t,Extra.skin\r\nB2,1,1,5,5,0,0,x,t\r\n", "",
       "line 7: \"Extra.skin\" starts with E and ends the skin here"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.body);
    const auto r = load(c.body);
    QString read;
    for (int n = 1; n <= 3; ++n)
      if (t_.Btn[static_cast<size_t>(n)].Visible) read += QString::number(n);
    EXPECT_EQ(read, QLatin1String(c.buttons));
    EXPECT_EQ(r.notes.join(u'|').toStdString(), c.note);
  }
}

TEST_F(SkinReaderTest, PictureStepsAreBoundedAndInOrder) {
  load("W0,100000,100000\r\nR2,main.bmp\r\nZ0,1,2,3,4,5,6\r\nU\r\nO,255,0,255\r\n");
  ASSERT_EQ(t_.Pictures.size(), 7);
  EXPECT_EQ(t_.Pictures[2].kind, PictureStep::SizeWork);
  EXPECT_EQ(t_.Pictures[2].a, kMaxSkinPictureSide);
  EXPECT_EQ(t_.Pictures[3].kind, PictureStep::ReadWork);
  EXPECT_EQ(t_.Pictures[4].kind, PictureStep::CopyWork);
  EXPECT_EQ(t_.Pictures[4].f, 6);
  EXPECT_EQ(t_.Pictures[5].kind, PictureStep::UseWork);
  EXPECT_EQ(t_.Pictures[6].a, 255 + 255 * 65536);
}

TEST_F(SkinReaderTest, ImportModeReadsBitmapsFromTheChosenFolder) {
  QTemporaryDir import;
  test::writeAll(import.filePath(QStringLiteral("pic.bmp")), "x");
  test::writeAll(
      dir_.filePath(QStringLiteral("i.skin")),
      "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\n*,/start\r\nBitmaps|*.bmp,pic.bmp\r\n0,0,0,0,0,0,0,0\r\n"
      "R2,pic.bmp\r\n?0,none\r\nB1,1,1,5,5,0,0,x,t\r\n:none\r\n");
  QString askedFolder;
  env_.pickImportFile = [&](const QString &, const QString &, const QString &initial) {
    askedFolder = initial;
    return import.filePath(QStringLiteral("pic.bmp"));
  };
  const auto r = LoadSkin(dir_.filePath(QStringLiteral("i.skin")), false, env_, t_, g_);
  EXPECT_EQ(askedFolder, QStringLiteral("/start"));
  EXPECT_EQ(g_.SkinImport, import.path() + QLatin1Char('/'));
  EXPECT_TRUE(t_.Btn[1].Visible);    // the picture was found: no skip
  EXPECT_EQ(t_.Pictures.size(), 1);  // no picture is loaded by the head
}

TEST_F(SkinReaderTest, StartPositionsAndPullBackOntoTheScreen) {
  // The window's screen: the primary one, or a second one right of it.
  const struct {
    QPoint origin;
    int start;
    QPoint pos;
  } cases[] = {{{0, 0}, 0, {700, 600}},   {{0, 0}, 5, {350, 300}},      {{1280, 0}, 0, {1980, 600}},
               {{1280, 0}, 1, {1280, 0}}, {{1280, 40}, 3, {1980, 640}}, {{1280, 0}, 5, {1630, 300}}};
  for (const auto &c : cases) {
    env_.screenTwips = QRect(c.origin * 15, QSize(1000 * 15, 800 * 15));
    env_.windowPosTwips = (c.origin + QPoint(900, 700)) * 15;
    QByteArray head(kHead);
    head.replace(QByteArray("1, 0, 10"),
                 QByteArray(QByteArray("1, ") + QByteArray::number(c.start) + QByteArray(", 10")));
    test::writeAll(dir_.filePath(QStringLiteral("p.skin")), head);
    EXPECT_EQ(LoadSkin(dir_.filePath(QStringLiteral("p.skin")), true, env_, t_, g_).windowPosTwips,
              c.pos * 15)
        << c.start << " " << c.origin.x();
  }
}

// A window side outside 16..8192 is an error of the skin: the end message
// lists it and the window takes the nearest usable size.
TEST_F(SkinReaderTest, WindowSizesOutsideTheUsableRangeAreAnError) {
  const struct {
    const char *sizes;
    bool error;
    QPoint first;  // pixels
  } cases[] = {{"16, 8192", false, {16, 8192}},
               {"-5, 200", true, {16, 200}},
               {"300, 8193", true, {300, 8192}},
               {"99999999, 1", true, {8192, 16}}};
  for (const auto &c : cases) {
    QByteArray head(kHead);
    head.replace(QByteArray("300, 200"), QByteArray(c.sizes));
    test::writeAll(dir_.filePath(QStringLiteral("w.skin")), head);
    const auto r = LoadSkin(dir_.filePath(QStringLiteral("w.skin")), true, env_, t_, g_);
    ASSERT_TRUE(r.loaded) << c.sizes;
    EXPECT_EQ(r.errorFlag, c.error) << c.sizes;
    EXPECT_EQ(r.messages.size(), c.error ? 1 : 0) << c.sizes;
    EXPECT_EQ(t_.WindowSizes[0], c.first * 15) << c.sizes;
  }
}
