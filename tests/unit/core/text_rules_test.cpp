// Reading rules shared by every file and setting: numbers at the start of a
// text, text decoding, line splitting and the command line. The stored forms
// of numbers are checked byte for byte by the settings test.
#include <gtest/gtest.h>

#include "core/command_line.h"
#include "core/number_text.h"
#include "core/text_codec.h"

namespace cantorel {
namespace {

struct NumberCase {
  const char *text;
  qint16 int16;
  qint32 int32;
};

void PrintTo(const NumberCase &c, std::ostream *os) {
  *os << '"' << c.text << '"';
}

class LeadingNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumber, ReadsAsTheStoreDoes) {
  const NumberCase &c = GetParam();
  const QString text = QString::fromUtf8(c.text);
  EXPECT_EQ(toInt16(text), c.int16) << c.text;
  EXPECT_EQ(toInt32(text), c.int32) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumber,
                         ::testing::Values(NumberCase{" 1", 1, 1}, NumberCase{"1", 1, 1},
                                           NumberCase{"-1", -1, -1}, NumberCase{"  -15", -15, -15},
                                           NumberCase{"12abc", 12, 12}, NumberCase{"abc", 0, 0},
                                           NumberCase{"", 0, 0}, NumberCase{"+7", 7, 7},
                                           NumberCase{"2.5", 2, 2}, NumberCase{"3.5", 4, 4},
                                           NumberCase{"1.5e3", 1500, 1500}, NumberCase{"70000", 32767, 70000},
                                           NumberCase{"-70000", -32768, -70000},
                                           NumberCase{"99999999999999", 32767, 2147483647},
                                           NumberCase{"1e999999", 32767, 2147483647},
                                           NumberCase{"\t42", 42, 42}, NumberCase{"- 5", 0, 0}));

// Decoding of valid texts in every encoding is checked through the lyric
// readers (lyric_file_test.cpp).
TEST(DecodeText, InvalidUtf8FallsBackToTheLegacyPage) {
  // Overlong forms, surrogates and cut sequences are not UTF-8.
  for (const char *bad : {"\xC0\xAF", "\xED\xA0\x80", "abc\xE2\x82", "\xF5\x80\x80\x80"}) {
    TextEncoding used{};
    decodeText(QByteArray(bad), &used);
    EXPECT_EQ(used, TextEncoding::Legacy) << bad;
  }
}

TEST(Windows1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
  EXPECT_EQ(encodeWindows1252(QStringLiteral("日本")), QByteArray("??"));
}

TEST(SplitLines, AllLineEnds) {
  EXPECT_EQ(
      splitLines(QStringLiteral("a\r\nb\nc\rd")),
      (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
  EXPECT_EQ(splitLines(QStringLiteral("a\r\n\r\n")), (QStringList{QStringLiteral("a"), QString()}));
  EXPECT_EQ(splitLines(QStringLiteral("  x  ")), QStringList{QStringLiteral("  x  ")});
  EXPECT_TRUE(splitLines(QString()).isEmpty());
}

TEST(CommandLine, ArgumentsAndTheirMessage) {
  using K = CommandLineRequest::Kind;
  struct Case {
    QStringList args;
    K kind;
    const char *path;
  };
  const Case cases[] = {
      {{}, K::None, ""},
      {{QStringLiteral("/ADD")}, K::None, ""},
      {{QStringLiteral("/music/my song.mp3")}, K::Play, "/music/my song.mp3"},
      {{QStringLiteral("/ADD"), QStringLiteral("/music/a.mp3")}, K::Add, "/music/a.mp3"},
      // "/ADD" counts only as a separate first argument, in capitals.
      {{QStringLiteral("/music/ADDICTS/x.mp3")}, K::Play, "/music/ADDICTS/x.mp3"},
      {{QStringLiteral("/add"), QStringLiteral("a.mp3")}, K::Play, "/add a.mp3"},
      {{QStringLiteral("x.mp3"), QStringLiteral("/ADD")}, K::Play, "/work/dir/x.mp3 /ADD"},
      // Relative paths are taken from the folder the command was given in.
      {{QStringLiteral("/ADD"), QStringLiteral("../media/tone c.wav")}, K::Add, "/work/media/tone c.wav"},
      {{QStringLiteral("http://radio.example/live")}, K::Play, "http://radio.example/live"},
      {{QStringLiteral("/m/line\nbreak %41 \u00e9.mp3")}, K::Play, "/m/line\nbreak %41 \u00e9.mp3"},
      {{QStringLiteral("/ADD"), QStringLiteral("/m/line\nbreak %41.mp3")}, K::Add, "/m/line\nbreak %41.mp3"},
  };
  for (const Case &c : cases) {
    const CommandLineRequest r = parseArguments(c.args, QStringLiteral("/work/dir"));
    const QString row = c.args.join(u'|');
    EXPECT_EQ(r.kind, c.kind) << qPrintable(row);
    EXPECT_EQ(r.path, QString::fromUtf8(c.path)) << qPrintable(row);
    // The message on the single-instance channel carries it whole.
    const QByteArray line = encodeHandOff(r);
    EXPECT_EQ(line.count('\n'), 1) << qPrintable(row);
    CommandLineRequest back{K::Play, QStringLiteral("stale")};
    ASSERT_TRUE(decodeHandOff(line, &back)) << qPrintable(row);
    EXPECT_EQ(back, r) << qPrintable(row);
  }
  CommandLineRequest back;
  for (const char *bad : {"F12\n", "PLAY \n", "ADD\n", "", "SHOWME\n"})
    EXPECT_FALSE(decodeHandOff(QByteArray(bad), &back)) << bad;
}

}  // namespace
}  // namespace cantorel
