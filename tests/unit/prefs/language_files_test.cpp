// The shipped language files: every numbered text the program names in
// message_ids.h is present in every shipped language and no other line is
// filled (so a line inserted or lost shows up), and the files are
// single-byte CR LF text.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <array>
#include <set>

#include "core/general.h"
#include "core/text_codec.h"
#include "prefs/language.h"
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

TEST(LanguageFiles, EveryShippedFileHoldsTheNamedTextsAsCrLfWindows1252) {
  const std::set<int> named = namedNumbers();
  ASSERT_GT(named.size(), 150u) << "message_ids.h not found or not understood";
  const QStringList langs = ListLanguages({test::dataDir()});
  EXPECT_TRUE(langs.contains(QStringLiteral("ENGLISH")) && langs.contains(QStringLiteral("ESPANOL")))
      << qPrintable(langs.join(u' '));
  for (const QString &lang : langs) {
    SCOPED_TRACE(lang.toStdString());
    const QByteArray bytes = test::readAll(findLanguageFile({test::dataDir()}, lang));
    EXPECT_EQ(bytes.count("\r\n"), 300);
    EXPECT_EQ(bytes.count('\n') + bytes.count('\r'), 600) << "a line ends without CR or a CR without LF";
    // Windows-1252 both ways: a UTF-8 file or a byte without a character fails here.
    const QString text = decodeText(bytes);
    EXPECT_EQ(encodeWindows1252(text), bytes);

    Table t;
    const LanguageLoad r = LoadLanguage({test::dataDir()}, lang, t);
    EXPECT_TRUE(r.found && r.linesRead == 300 && !r.truncated);
    std::set<int> filled;
    for (int n = 1; n <= 300; ++n)
      if (!t[static_cast<size_t>(n)].isEmpty()) filled.insert(n);
    EXPECT_EQ(filled, named);
  }
}

}  // namespace
}  // namespace cantorel
