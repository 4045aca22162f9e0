// One lyric in every encoding found in the wild reads as the same text, in
// our own format and in LRC; the legacy code page the user chose decides
// what unmarked, non-UTF-8 bytes mean, and what the writer uses.
#include <gtest/gtest.h>

#include "core/text_codec.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_file.h"

namespace cantorel {
namespace {

// Restores the default code page however a test ends.
struct CodePage {
  explicit CodePage(const char *name) { setLegacyCodePage(QString::fromLatin1(name)); }
  ~CodePage() { setLegacyCodePage(QString()); }
};

QByteArray utf16le(const QString &text) {
  QByteArray out("\xFF\xFE", 2);
  for (QChar c : text) {
    out.append(static_cast<char>(c.unicode() & 0xFF));
    out.append(static_cast<char>(c.unicode() >> 8));
  }
  return out;
}

TEST(LyricEncodings, SameLyricInEveryEncoding) {
  const QString text = QStringLiteral("Canción € ¿sí? «ñandú»");
  const QString ours = QStringLiteral("(QVL)\r\n") + text + QStringLiteral("\r\n0:12\r\n");
  const QString lrc = QStringLiteral("[ti:") + text + QStringLiteral("]\n[00:12.30]") + text + u'\n';
  const struct {
    const char *what;
    QByteArray (*encode)(const QString &);
    TextEncoding encoding;
  } encodings[] = {
      {"UTF-8", [](const QString &s) -> QByteArray { return s.toUtf8(); }, TextEncoding::Utf8},
      {"UTF-8 with mark",
       [](const QString &s) -> QByteArray { return QByteArray("\xEF\xBB\xBF") + s.toUtf8(); },
       TextEncoding::Utf8Bom},
      {"UTF-16LE with mark", utf16le, TextEncoding::Utf16LeBom},
      {"Windows-1252", encodeWindows1252, TextEncoding::Legacy},
  };
  for (const auto &e : encodings) {
    SCOPED_TRACE(e.what);
    LyricLines lyric;
    ASSERT_EQ(parseLyricBytes(e.encode(ours), lyric), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics, QStringList{text});
    EXPECT_EQ(lyric.PlTimes, QStringList{QStringLiteral("0:12")});
    LrcDocument doc;
    ASSERT_EQ(parseLrcBytes(e.encode(lrc), lyric, &doc), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics, QStringList{text});
    EXPECT_EQ(doc.title, text);
    EXPECT_EQ(doc.encoding, e.encoding);
  }
}

TEST(LyricEncodings, TheChosenCodePageReadsAndWrites) {
  const QString cyrillic = QStringLiteral("Песня");
  const QByteArray cp1251("\xCF\xE5\xF1\xED\xFF");
  const QByteArray file = QByteArray("(QVL)\r\n") + cp1251 + "\r\n0:01\r\n";
  LyricLines lyric;
  {
    CodePage page("windows-1251");
    EXPECT_EQ(legacyCodePage(), QStringLiteral("windows-1251"));
    ASSERT_EQ(parseLyricBytes(file, lyric), LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics.value(0), cyrillic);
    // Written back in the same page, byte for byte; what the page lacks
    // still goes out as UTF-8.
    EXPECT_EQ(encodeLyricFile({cyrillic}, {QStringLiteral("0:01")}), file);
    EXPECT_EQ(encodeLyricFile({QStringLiteral("Canción")}, {QStringLiteral("0:01")}),
              QByteArray("(QVL)\r\nCanción\r\n0:01\r\n"));
    EXPECT_EQ(encodeLegacy(QStringLiteral("Пé")), QByteArray("\xCF?"));
    // Valid UTF-8 and marks still come first.
    ASSERT_EQ(parseLyricBytes(QByteArray("(QVL)\r\n") + cyrillic.toUtf8() + "\r\n0:01\r\n", lyric),
              LyricStatus::Correct);
    EXPECT_EQ(lyric.PlLyrics.value(0), cyrillic);
  }
  // Back to the default: the same bytes are Windows-1252 again.
  EXPECT_EQ(legacyCodePage(), QStringLiteral("Windows-1252"));
  ASSERT_EQ(parseLyricBytes(file, lyric), LyricStatus::Correct);
  EXPECT_EQ(lyric.PlLyrics.value(0), QStringLiteral("Ïåñíÿ"));
}

TEST(LyricEncodings, CodePageNames) {
  const struct {
    const char *name;
    bool known;
    const char *inUse;
  } cases[] = {
      {"cp1250", true, "windows-1250"},       {" ISO-8859-5 ", true, "ISO-8859-5"},
      {"windows-1252", true, "Windows-1252"}, {"no such page", false, "Windows-1252"},
      {"utf-8", false, "Windows-1252"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    setLegacyCodePage(QStringLiteral("KOI8-R"));  // an unknown name must not keep the page before
    EXPECT_EQ(setLegacyCodePage(QString::fromLatin1(c.name)), c.known);
    EXPECT_EQ(legacyCodePage(), QString::fromLatin1(c.inUse));
  }
  setLegacyCodePage(QString());
}

}  // namespace
}  // namespace cantorel
