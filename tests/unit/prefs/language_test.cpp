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

TEST_F(LanguageTest, LineNFillsTextN) {
  messages[4] = QStringLiteral("kept");
  file("messages_ENGLISH.txt", "One\r\n  Two with blanks  \r\n\r\n");
  const LanguageLoad r = LoadLanguage(folders(), QStringLiteral("ENGLISH"), messages);
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.linesRead, 3);
  EXPECT_TRUE(messages[0].isEmpty());
  EXPECT_EQ(messages[1], QStringLiteral("One"));
  EXPECT_EQ(messages[2], QStringLiteral("  Two with blanks  "));
  EXPECT_EQ(messages[3], QString());
  EXPECT_EQ(messages[4], QStringLiteral("kept"));
}

TEST_F(LanguageTest, LinesPast300AreIgnored) {
  QByteArray data;
  for (int i = 1; i <= 305; ++i) data += "Text " + QByteArray::number(i) + "\r\n";
  file("messages_ENGLISH.txt", data);
  const LanguageLoad r = LoadLanguage(folders(), QStringLiteral("ENGLISH"), messages);
  EXPECT_EQ(r.linesRead, 300);
  EXPECT_TRUE(r.truncated);
  EXPECT_EQ(messages[300], QStringLiteral("Text 300"));
}

QStringList warnings;
void collect(QtMsgType type, const QMessageLogContext &, const QString &text) {
  if (type == QtWarningMsg) warnings.append(text);
}

TEST_F(LanguageTest, UnusableFileFallsBackToEnglishWithOneWarning) {
  // A missing, unreadable (here a folder) or empty file: English stands in.
  QDir(dir_.path()).mkdir(QStringLiteral("messages_FOLDER.txt"));
  file("messages_EMPTY.txt", "");
  const QtMessageHandler old = qInstallMessageHandler(collect);
  for (const bool english : {false, true}) {
    if (english) file("messages_ENGLISH.txt", "English one\r\n");
    for (const char *language : {"KLINGON", "FOLDER", "EMPTY"}) {
      messages[1] = QStringLiteral("Play");
      warnings.clear();
      const LanguageLoad r = LoadLanguage(folders(), QLatin1String(language), messages);
      EXPECT_EQ(r.fellBack, english) << language;
      EXPECT_EQ(messages[1], english ? QStringLiteral("English one") : QStringLiteral("Play")) << language;
      EXPECT_EQ(warnings.size(), 1) << language;
    }
  }
  qInstallMessageHandler(old);
}

TEST_F(LanguageTest, LegacyAndUtf8FilesReadAlike) {
  file("messages_ESPANOL.txt", "Canci\xF3n\r\n");
  file("messages_Deutsch.txt", "Gr\xC3\xB6\xC3\x9F" "e\n");
  LoadLanguage(folders(), QStringLiteral("ESPANOL"), messages);
  EXPECT_EQ(messages[1], QStringLiteral("Canción"));
  // Listed in upper case, found again under that name.
  LoadLanguage(folders(), QStringLiteral("DEUTSCH"), messages);
  EXPECT_EQ(messages[1], QStringLiteral("Größe"));
}

TEST_F(LanguageTest, ListingNamesLanguagesInUpperCase) {
  file("messages_ENGLISH.txt", "");
  file("messages_deutsch.txt", "");
  file("messages_.txt", "");
  file("other.txt", "");
  file("messages_x.doc", "");
  QStringList listed = ListLanguages(folders());
  listed.sort();
  EXPECT_EQ(listed, (QStringList{QString(), QStringLiteral("DEUTSCH"), QStringLiteral("ENGLISH")}));
}

TEST_F(LanguageTest, UserFolderComesFirst) {
  QTemporaryDir user;
  test::writeAll(user.filePath(QStringLiteral("messages_ENGLISH.txt")), "Mine\r\n");
  file("messages_ENGLISH.txt", "Shipped\r\n");
  LoadLanguage({user.path(), dir_.path()}, QStringLiteral("ENGLISH"), messages);
  EXPECT_EQ(messages[1], QStringLiteral("Mine"));
  EXPECT_EQ(ListLanguages({user.path(), dir_.path()}), QStringList{QStringLiteral("ENGLISH")});
}

}  // namespace
}  // namespace cantorel
