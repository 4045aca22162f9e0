// "cantorel-tool skin check" run on skins made here and on the shipped ones:
// every element its JSON lists must be the one the core reader put in its
// tables (kind, number, rectangle), and every refusal the one the reader made.
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/general.h"
#include "prefs/language.h"
#include "skin/skin_reader.h"
#include "support/test_support.h"
#include "tool_run.h"

namespace cantorel {
namespace {

using test::words;

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

struct Element {
  QString kind;
  int index;
  QRect rect;
  bool operator<(const Element &o) const { return std::tie(kind, index) < std::tie(o.kind, o.index); }
  bool operator==(const Element &o) const { return kind == o.kind && index == o.index && rect == o.rect; }
};

void PrintTo(const Element &e, std::ostream *os) {
  *os << e.kind.toStdString() << ' ' << e.index << " (" << e.rect.x() << ',' << e.rect.y() << ' '
      << e.rect.width() << 'x' << e.rect.height() << ')';
}

// The elements a load left in the tables, read from the tables themselves.
std::vector<Element> fromTables(const SkinTables &t) {
  std::vector<Element> v;
  for (int n = 1; n <= SkinTables::kButtons; ++n) {
    const SkinButton &b = t.Btn[static_cast<size_t>(n)];
    if (b.Visible) v.push_back({QStringLiteral("button"), n, QRect(b.Left, b.Top, b.Width, b.Height)});
  }
  for (int n = 1; n <= SkinTables::kLabels; ++n) {
    const SkinLabel &l = t.Lbl[static_cast<size_t>(n)];
    if (l.Visible) v.push_back({QStringLiteral("label"), n, QRect(l.Left, l.Top, l.Width, l.Height)});
  }
  for (int n = 1; n <= SkinTables::kDisplays; ++n) {
    const DigitDisplay &d = t.Dig[static_cast<size_t>(n)];
    if (d.Visible) v.push_back({QStringLiteral("display"), n, QRect(d.Left, d.Top, d.Width, d.Height)});
  }
  for (int n = 1; n <= SkinTables::kSliders; ++n) {
    const SkinSlider &s = t.Sliders[static_cast<size_t>(n)];
    if (s.Visible)
      v.push_back({QStringLiteral("slider"), n, QRect(s.TrackLeft, s.TrackTop, s.KnobWidth, s.KnobHeight)});
  }
  for (int n = 1; n <= SkinTables::kLights; ++n) {
    const SkinLight &l = t.Ind[static_cast<size_t>(n)];
    if (l.Declared) v.push_back({QStringLiteral("light"), n, QRect(l.Left, l.Top, l.Width, l.Height)});
  }
  const std::pair<const char *, const SkinBox *> boxes[] = {
      {"playlist", &t.PlNames}, {"lyrics", &t.PlLyrics}, {"lyricLine", &t.LyricLine}, {"cover", &t.Cover}};
  for (const auto &[kind, b] : boxes)
    if (b->Visible) v.push_back({QString::fromLatin1(kind), 1, QRect(b->Left, b->Top, b->Width, b->Height)});
  for (int k = 0; k < t.OutlineFilled; ++k)
    v.push_back({QStringLiteral("point"), k + 1, QRect(t.OutlinePoints[k], QSize(0, 0))});
  std::sort(v.begin(), v.end());
  return v;
}

std::vector<Element> fromJson(const QJsonArray &a) {
  std::vector<Element> v;
  for (const QJsonValue &x : a) {
    const QJsonObject e = x.toObject();
    const QJsonObject r = e.value(QStringLiteral("rect")).toObject();
    v.push_back({e.value(QStringLiteral("kind")).toString(), e.value(QStringLiteral("index")).toInt(),
                 QRect(r.value(QStringLiteral("x")).toInt(), r.value(QStringLiteral("y")).toInt(),
                       r.value(QStringLiteral("width")).toInt(), r.value(QStringLiteral("height")).toInt())});
  }
  std::sort(v.begin(), v.end());
  return v;
}

QStringList strings(const QJsonValue &v) {
  QStringList l;
  for (const QJsonValue &x : v.toArray()) l << x.toString();
  return l;
}

class SkinCheckTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("home")));
    test::writeAll(path("main.bmp"), bmp(200, 100));
    test::writeAll(path("res.bmp"), bmp(200, 100));
  }
  QString path(const char *rel) const { return dir.filePath(QString::fromUtf8(rel)); }
  test::ToolRun check(const QString &file, bool json = true) {
    QStringList args = words("skin check") << file;
    if (json) args << QStringLiteral("--json");
    return test::runTool(args, path("home"), dir.path());
  }

  // What the player's reader makes of the file, with the player's messages.
  SkinLoadResult read(const QString &file, SkinTables &t) {
    General g;
    LoadLanguage({test::dataDir()}, QStringLiteral("ENGLISH"), g.Messages);
    SkinEnvironment env;
    env.appFolders = {QFileInfo(file).absolutePath()};
    g.SkinImport = env.appFolders.first() + QLatin1Char('/');
    return LoadSkin(file, true, env, t, g);
  }

  // The tool's JSON against the reader, element by element.
  QJsonObject compare(const QString &file) {
    SkinTables t;
    const SkinLoadResult r = read(file, t);
    const test::ToolRun run = check(file);
    const QJsonObject j = run.json();
    const bool accepted = r.loaded && r.messages.isEmpty();
    EXPECT_EQ(run.exitCode, accepted ? 0 : 1);
    EXPECT_EQ(j.value(QStringLiteral("accepted")).toBool(), accepted);
    EXPECT_EQ(j.value(QStringLiteral("loaded")).toBool(), r.loaded);
    EXPECT_EQ(strings(j.value(QStringLiteral("messages"))), r.messages);
    EXPECT_EQ(strings(j.value(QStringLiteral("errorList"))), r.errorList.split(u' ', Qt::SkipEmptyParts));
    EXPECT_EQ(j.value(QStringLiteral("errorFlag")).toBool(), r.errorFlag);
    EXPECT_EQ(strings(j.value(QStringLiteral("missingBitmaps"))), r.missingBitmaps);
    EXPECT_EQ(fromJson(j.value(QStringLiteral("elements")).toArray()),
              r.loaded ? fromTables(t) : std::vector<Element>{});
    const QJsonArray rejected = j.value(QStringLiteral("rejected")).toArray();
    EXPECT_EQ(rejected.size(), r.rejected.size());
    for (qsizetype k = 0; k < qMin(rejected.size(), r.rejected.size()); ++k) {
      const QJsonObject e = rejected[k].toObject();
      const SkinElementRecord &x = r.rejected[k];
      SCOPED_TRACE(x.token.toStdString());
      EXPECT_EQ(e.value(QStringLiteral("kind")).toString(), x.kind);
      EXPECT_EQ(e.value(QStringLiteral("index")).toInt(), x.index);
      EXPECT_EQ(e.value(QStringLiteral("line")).toInt(), x.line);
      EXPECT_EQ(e.value(QStringLiteral("token")).toString(), x.token);
      EXPECT_EQ(e.value(QStringLiteral("reason")).toString(), x.reason);
      EXPECT_EQ(e.value(QStringLiteral("listed")).toBool(), x.listed);
    }
    return j;
  }

  QTemporaryDir dir;
};

const char kHead[] =
    "Cantorel Skin, Test skin\r\n"
    "200, 100\r\n200, 50\r\n100, 20\r\n"
    "main.bmp, res.bmp\r\n"
    "1, 0, 16, 32, 48, 0, 0, 0\r\n";

TEST_F(SkinCheckTool, ShippedSkinsAreReportedAsTheReaderReadsThem) {
  for (const char *name : {"default.skin", "pebble.skin"}) {
    SCOPED_TRACE(name);
    const QJsonObject j = compare(test::dataDir() + QStringLiteral("/skins/") + QString::fromLatin1(name));
    EXPECT_TRUE(j.value(QStringLiteral("accepted")).toBool());
    EXPECT_GT(j.value(QStringLiteral("elements")).toArray().size(), 10);
    EXPECT_TRUE(j.value(QStringLiteral("rejected")).toArray().isEmpty());
  }
}

// One skin with every way an element can be left out, and what the tool says.
TEST_F(SkinCheckTool, RejectedElementsSayWhy) {
  test::writeAll(path("mixed.skin"), QByteArray(kHead) +
                                         "B1, 1, 1, 10, 10, 0, 0, P, first\r\n"          // line 7: replaced
                                         "B1, 2, 2, 12, 12, 0, 0, P, second\r\n"         // 8
                                         "B0, 1, 1, 5, 5, 0, 0, x, t\r\n"                // 9
                                         "B3, 1, 1, 0, 5, 0, 0, x, t\r\n"                // 10
                                         "B121, 1, 1, 5, 5, 0, 0, x, t\r\n"              // 11
                                         "L51, 1, 1, 5, 5, 0, 0, 0, 8, Arial, t\r\n"     // 12
                                         "K21, 1, 1, 5, 5, 0, 0, x, t, Qother.skin\r\n"  // 13
                                         "R3, main.bmp\r\n"                              // 14
                                         "R0, gone.bmp\r\n"                              // 15
                                         "X2, 1, 1, 5, 5, 0, 0, 0, 1, 1, 1, 8, Arial, t\r\n"  // 16
                                         "C2, 1, 1, 5, 5, t\r\n"                              // 17
                                         "N3\r\nP0, 0\r\nP9, 0\r\n"                           // 18-20
                                         "N2\r\nP0, 0\r\nP5, 5\r\nP7, 7\r\n"                  // 21-24
                                         "K12, 500, 500, 10, 10, 0, 0, x, t, ftp://x\r\n"     // 25
                                         "S1, 10, 80, 100, 0, 0, 0, 8, 6, ~\r\n"              // 26
                                         "D2, 5, 5, 0, 0, 9, 13, 4, 0, 0, 1, t\r\n"           // 27
                                         "I4, 1, 2, 6, 6, 0, 255, 0, 3, t\r\n"                // 28
                                         "C1, 150, 10, 40, 40, cover\r\n");                   // 29
  const QJsonObject j = compare(path("mixed.skin"));
  EXPECT_FALSE(j.value(QStringLiteral("accepted")).toBool());
  EXPECT_EQ(strings(j.value(QStringLiteral("errorList"))),
            (QStringList{QStringLiteral("L51"), QStringLiteral("R3"), QStringLiteral("X2")}));
  EXPECT_EQ(strings(j.value(QStringLiteral("missingBitmaps"))), QStringList{path("gone.bmp")});

  const struct {
    int line;
    const char *token;
    const char *reason;  // the start of it
    bool flagged, listed;
  } expected[] = {
      {7, "B1", "replaced by line 8", false, false},
      {9, "B0", "number 0", false, false},
      {10, "B3", "width or height", false, false},
      {11, "B121", "button number above 120", true, false},
      {12, "L51", "label number outside 1 to 50", true, true},
      {13, "K21", "key button number above 20", true, false},
      {13, "Qother.skin", "not a command", false, false},
      {14, "R3", "work picture number outside 0 to 2", true, true},
      {14, "main.bmp", "not a command", false, false},
      {15, "R0", "picture not found", false, false},
      {16, "X2", "number must be 1", true, true},
      {17, "C2", "number must be 1", false, false},
      {19, "P0", "outline announced again at line 21", false, false},
      {20, "P9", "outline announced again at line 21", false, false},
      {24, "P7", "point beyond the announced count", false, false},
      {24, "7", "not a command", false, false},  // the extra point's Y
  };
  const QJsonArray rejected = j.value(QStringLiteral("rejected")).toArray();
  ASSERT_EQ(rejected.size(), static_cast<qsizetype>(std::size(expected)));
  for (size_t k = 0; k < std::size(expected); ++k) {
    const auto &x = expected[k];
    const QJsonObject e = rejected[static_cast<qsizetype>(k)].toObject();
    SCOPED_TRACE(x.token);
    EXPECT_EQ(e.value(QStringLiteral("line")).toInt(), x.line);
    EXPECT_EQ(e.value(QStringLiteral("token")).toString(), QString::fromLatin1(x.token));
    EXPECT_TRUE(e.value(QStringLiteral("reason")).toString().startsWith(QString::fromLatin1(x.reason)))
        << e.value(QStringLiteral("reason")).toString().toStdString();
    EXPECT_EQ(e.value(QStringLiteral("flagged")).toBool(), x.flagged);
    EXPECT_EQ(e.value(QStringLiteral("listed")).toBool(), x.listed);
  }

  // The facts of placed elements, and the warnings about where they sit.
  QJsonObject button, keyButton;
  for (const QJsonValue &v : j.value(QStringLiteral("elements")).toArray()) {
    const QJsonObject e = v.toObject();
    if (e.value(QStringLiteral("kind")).toString() != QLatin1String("button")) continue;
    (e.value(QStringLiteral("index")).toInt() == 1 ? button : keyButton) = e;
  }
  EXPECT_EQ(button.value(QStringLiteral("line")).toInt(), 8);
  EXPECT_EQ(button.value(QStringLiteral("tip")).toString(), QStringLiteral("second"));
  EXPECT_EQ(button.value(QStringLiteral("command")).toInt(), 1);
  EXPECT_EQ(keyButton.value(QStringLiteral("index")).toInt(), 112);
  EXPECT_EQ(keyButton.value(QStringLiteral("keyString")).toString(), QStringLiteral("ftp://x"));
  const QString warnings = strings(j.value(QStringLiteral("warnings"))).join(u'\n');
  EXPECT_TRUE(
      warnings.contains(QStringLiteral("button 112 (500,500 10x10) lies outside the window (200x100)")))
      << warnings.toStdString();
  EXPECT_TRUE(warnings.contains(QStringLiteral("not an http or https address"))) << warnings.toStdString();
  const QJsonObject head = j.value(QStringLiteral("head")).toObject();
  EXPECT_EQ(head.value(QStringLiteral("backColor")).toString(), QStringLiteral("#102030"));
  EXPECT_EQ(head.value(QStringLiteral("windowSizes"))
                .toArray()[1]
                .toObject()
                .value(QStringLiteral("height"))
                .toInt(),
            50);
  EXPECT_EQ(head.value(QStringLiteral("mainBitmap")).toString(), path("main.bmp"));
}

// Files the player refuses, and files it loads with a message.
TEST_F(SkinCheckTool, RefusedFilesAndMessages) {
  test::writeAll(path("text.skin"), "Cantorel skin\r\n1,1\r\n");
  test::writeAll(path("nobitmaps.skin"),
                 "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\nnone.bmp, nores.bmp\r\n0,0,0,0,0,0,0,0\r\n"
                 "B1,1,1,5,5,0,0,x,t\r\n");
  test::writeAll(path("quiet.skin"), QByteArray(kHead) + "B0,1,1,5,5,0,0,x,t\r\nZZ\r\n");
  test::writeAll(path("tiny.skin"), QByteArray(kHead).replace("100, 20", "0, 0"));
  // Import mode: the pictures come from the import folder (here the skin's own).
  test::writeAll(
      path("import.skin"),
      "Cantorel Skin\r\n20,20\r\n20,20\r\n20,20\r\n*,\r\nBitmaps|*.bmp,main.bmp\r\n0,0,0,0,0,0,0,0\r\n"
      "R0,main.bmp\r\nR1,res.bmp\r\nU\r\nB1,1,1,5,5,0,0,x,t\r\n");
  const struct {
    const char *file;
    bool loaded;
    int messages;
    int elements;
  } cases[] = {
      {"text.skin", false, 1, 0},  {"missing.skin", false, 1, 0}, {"nobitmaps.skin", true, 2, 1},
      {"quiet.skin", true, 0, 0},                              // refusals without a message: still accepted
      {"import.skin", true, 0, 1}, {"tiny.skin", true, 1, 0},  // a window size outside 16..8192: the skin
                                                               // error message
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.file);
    const QJsonObject j = compare(path(c.file));
    EXPECT_EQ(j.value(QStringLiteral("loaded")).toBool(), c.loaded);
    EXPECT_EQ(j.value(QStringLiteral("messages")).toArray().size(), c.messages);
    EXPECT_EQ(j.value(QStringLiteral("elements")).toArray().size(), c.elements);
    EXPECT_EQ(j.value(QStringLiteral("head")).isNull(), !c.loaded);
  }
  const QJsonObject head = compare(path("import.skin")).value(QStringLiteral("head")).toObject();
  EXPECT_TRUE(head.value(QStringLiteral("importMode")).toBool());
  EXPECT_TRUE(head.value(QStringLiteral("mainBitmap")).isNull());
}

TEST_F(SkinCheckTool, TextReportAndUsage) {
  test::writeAll(path("t.skin"),
                 QByteArray(kHead) + "L51,1,1,5,5,0,0,0,8,Arial,t\r\nB2,3,4,5,6,0,0,x,\"tip\x1b[31m\"\r\n");
  const test::ToolRun r = check(path("t.skin"), false);
  EXPECT_EQ(r.exitCode, 1);
  for (const char *text : {"loaded with errors", "line 8: button 2 at 3,4 5x6", "line 7: L51 (label 51)",
                           "Invalid elements:", "tip\\x1b[31m"})
    EXPECT_TRUE(r.out.contains(text)) << text << "\n" << r.out.constData();
  EXPECT_FALSE(r.out.contains('\x1b'));

  for (const char *args : {"skin check", "skin check a b", "skin check a --frobnicate"})
    EXPECT_EQ(test::runTool(words(args), path("home"), dir.path()).exitCode, 2) << args;
}

}  // namespace
}  // namespace cantorel
