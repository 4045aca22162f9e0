// Reading language files into the message table and listing the languages.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "prefs/language.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class LanguageTest : public ::testing::Test {
 protected:
  void file(const char *name, const QByteArray &data) {
    test::writeAll(dir_.filePath(QString::fromUtf8(name)), data);
  }
  QStringList folders() const { return {dir_.path()}; }
  QTemporaryDir dir_;
  std::array<QString, General::kMessageCount> messages;
};

// Lines past 300 are ignored.
TEST_F(LanguageTest, LineNFillsTextN) {
  QByteArray data = "One\r\n  Two with blanks  \r\n\r\n";
  for (int i = 4; i <= 305; ++i) data += "Text " + QByteArray::number(i) + "\r\n";
  file("messages_ENGLISH.txt", data);
  const LanguageLoad r = LoadLanguage(folders(), QStringLiteral("ENGLISH"), messages);
  EXPECT_EQ(r.linesRead, 300);
  EXPECT_TRUE(r.truncated);
  EXPECT_EQ(messages[1], QStringLiteral("One"));
  EXPECT_EQ(messages[2], QStringLiteral("  Two with blanks  "));
  EXPECT_EQ(messages[3], QString());
  EXPECT_EQ(messages[300], QStringLiteral("Text 300"));
}

TEST_F(LanguageTest, UnusableFileFallsBackToEnglish) {
  // A missing, unreadable (here a folder) or empty file: English stands in.
  QDir(dir_.path()).mkdir(QStringLiteral("messages_FOLDER.txt"));
  file("messages_EMPTY.txt", "");
  for (const bool english : {false, true}) {
    if (english) file("messages_ENGLISH.txt", "English one\r\n");
    for (const char *language : {"KLINGON", "FOLDER", "EMPTY"}) {
      messages[1] = QStringLiteral("Play");
      const LanguageLoad r = LoadLanguage(folders(), QLatin1String(language), messages);
      EXPECT_EQ(r.fellBack, english) << language;
      EXPECT_EQ(messages[1], english ? QStringLiteral("English one") : QStringLiteral("Play")) << language;
    }
  }
}

// Windows-1252 and UTF-8 files read alike; names are listed in upper case
// and found again under that name; the user's folder comes first.
TEST_F(LanguageTest, ListingAndFindingLanguages) {
  QTemporaryDir user;
  test::writeAll(user.filePath(QStringLiteral("messages_ESPANOL.txt")), "Canci\xF3n\r\n");
  file("messages_ESPANOL.txt", "Shipped\r\n");
  file("messages_deutsch.txt",
       "Gr\xC3\xB6\xC3\x9F"
       "e\n");
  for (const char *name : {"messages_.txt", "other.txt", "messages_x.doc"}) file(name, "");
  const QStringList both{user.path(), dir_.path()};
  LoadLanguage(both, QStringLiteral("ESPANOL"), messages);
  EXPECT_EQ(messages[1], QStringLiteral("Canción"));
  LoadLanguage(both, QStringLiteral("DEUTSCH"), messages);
  EXPECT_EQ(messages[1], QStringLiteral("Größe"));
  QStringList listed = ListLanguages(both);
  listed.sort();
  EXPECT_EQ(listed, (QStringList{QString(), QStringLiteral("DEUTSCH"), QStringLiteral("ESPANOL")}));
}

}  // namespace
}  // namespace cantorel
