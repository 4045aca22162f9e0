// The shipped language files: every numbered text the program names in
// message_ids.h is present in every shipped language and no other line is
// filled (so a line inserted or lost shows up), the files are single-byte
// CR LF text, texts that get joined with other text carry their blanks, and
// captions that tell a button's role apart differ.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <array>
#include <map>
#include <set>

#include "core/general.h"
#include "core/text_codec.h"
#include "prefs/language.h"
#include "prefs/message_ids.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

using Table = std::array<QString, General::kMessageCount>;

// The numbers named in message_ids.h, read from the header itself so that a
// name added later is checked without touching this test.
std::set<int> namedNumbers() {
  const QString header = test::sourceDir() + QStringLiteral("/src/prefs/message_ids.h");
  const QString text = QString::fromUtf8(test::readAll(header));
  std::set<int> out;
  static const QRegularExpression re(QStringLiteral(R"(constexpr\s+int\s+\w+\s*=\s*(\d+)\s*;)"));
  for (auto it = re.globalMatch(text); it.hasNext();) out.insert(it.next().captured(1).toInt());
  return out;
}

// Texts that are joined with a path, a number or another text carry blanks
// at these ends; all other texts have none.
struct Ends {
  bool leading, trailing;
};
const std::map<int, Ends> kJoined = {
    {msg::SkinMissingBefore, {false, true}},
    {msg::SkinMissingAfter, {true, false}},
    {msg::SkinNotFoundName, {false, true}},
    {msg::SkinNotFoundFolder, {false, true}},
    {msg::SkinMainBitmapMissing, {false, true}},
    {msg::SkinResourceBitmapMissing, {false, true}},
    {msg::TagWritten, {false, true}},
    {msg::BrowserPageBefore, {false, true}},
    {msg::BrowserPageMiddle, {true, true}},
};
// The assistant tells a button's role by its caption, and the lyric reader's
// status texts are told apart from each other.
const std::vector<std::vector<int>> kDistinct = {
    {msg::AssistantAdd, msg::AssistantApply},
    {msg::AssistantPlay, msg::AssistantPause, msg::AssistantResume},
    {msg::AssistantMark, msg::AssistantEdit, msg::AssistantApply},
    {msg::LyricBadHeader, msg::LyricEmptyTime, msg::LyricMissingTime, msg::LyricEmptyText,
     msg::LyricNotFound},
};

TEST(LanguageFiles, EveryShippedFileHoldsTheNamedTextsAsCrLfWindows1252) {
  const std::set<int> named = namedNumbers();
  ASSERT_GT(named.size(), 150u) << "message_ids.h not found or not understood";
  EXPECT_EQ(named.count(0), 0u);
  EXPECT_LE(*named.rbegin(), 300);
  const QStringList langs = ListLanguages({test::dataDir()});
  EXPECT_TRUE(langs.contains(QStringLiteral("ENGLISH")) && langs.contains(QStringLiteral("ESPANOL")))
      << qPrintable(langs.join(u' '));
  for (const QString &lang : langs) {
    SCOPED_TRACE(lang.toStdString());
    const QByteArray bytes = test::readAll(findLanguageFile({test::dataDir()}, lang));
    EXPECT_EQ(bytes.count("\r\n"), 300);
    EXPECT_EQ(bytes.count('\n'), 300) << "a line ends without CR";
    EXPECT_EQ(bytes.count('\r'), 300) << "a CR without LF";
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    // Windows-1252 both ways: a UTF-8 file or a byte without a character fails here.
    const QString text = decodeText(bytes);
    EXPECT_EQ(encodeWindows1252(text), bytes);
    for (const QChar c : text)
      EXPECT_TRUE(c.isPrint() || c == u'\r' || c == u'\n') << "control character U+" << c.unicode();

    Table t;
    const LanguageLoad r = LoadLanguage({test::dataDir()}, lang, t);
    EXPECT_TRUE(r.found && r.linesRead == 300 && !r.truncated);
    std::set<int> filled;
    for (int n = 1; n <= 300; ++n)
      if (!t[static_cast<size_t>(n)].isEmpty()) filled.insert(n);
    EXPECT_EQ(filled, named);
    for (int n : filled) {
      const QString &s = t[static_cast<size_t>(n)];
      const auto it = kJoined.find(n);
      const Ends want = it == kJoined.end() ? Ends{false, false} : it->second;
      EXPECT_EQ(s.front() == u' ', want.leading) << "text " << n;
      EXPECT_EQ(s.back() == u' ', want.trailing) << "text " << n;
    }
    for (const auto &g : kDistinct) {
      std::set<QString> texts;
      for (int n : g) texts.insert(t[static_cast<size_t>(n)]);
      EXPECT_EQ(texts.size(), g.size()) << "group starting at " << g.front();
    }
    for (int n : kDistinct.back()) {
      EXPECT_NE(t[static_cast<size_t>(n)], QStringLiteral("CORRECTO"));
      EXPECT_NE(t[static_cast<size_t>(n)], QStringLiteral("True"));
    }
  }
}

}  // namespace
}  // namespace cantorel
