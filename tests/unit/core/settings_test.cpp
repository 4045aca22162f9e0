// The settings: defaults, stored forms, the save order and the file itself.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <utility>
#include <vector>

#include "core/settings.h"
#include "core/settings_store.h"
#include "core/text_codec.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  QString file() const { return dir_.filePath(QStringLiteral("cantorel.conf")); }
  void writeFile(const QByteArray &data) { test::writeAll(file(), data); }

  QTemporaryDir dir_;
};

// What a missing file gives; the defaults themselves are a table in the code.
TEST_F(SettingsTest, MissingFileGivesTheDefaultsAndIsNotCreated) {
  SettingsStore store(file());
  ASSERT_TRUE(store.load());
  General g;
  const Settings::Position pos = Settings(store).load(g, {120, 240});
  EXPECT_EQ(g.Language, QStringLiteral("ENGLISH"));
  // Without stored values the position is where the window is.
  EXPECT_EQ(pos.x, 120);
  EXPECT_EQ(pos.y, 240);
  EXPECT_FALSE(QFile::exists(file())) << "reading must not create the file";
}

TEST_F(SettingsTest, LegacyCodePageComesFromTheSettings) {
  const struct {
    const char *stored;  // null: no such line
    const char *inUse;
  } cases[] = {{"windows-1251", "windows-1251"}, {"no such page", "Windows-1252"}, {nullptr, "Windows-1252"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.stored ? c.stored : "(missing)");
    writeFile(QByteArray("[Cantorel v4.0/config]\n") +
              (c.stored ? QByteArray("LegacyCodePage=") + c.stored + "\n" : QByteArray()));
    SettingsStore store(file());
    ASSERT_TRUE(store.load());
    General g;
    Settings(store).load(g, {});
    EXPECT_EQ(legacyCodePage(), QString::fromLatin1(c.inUse));
    EXPECT_EQ(decodeText("\xE4"),
              c.stored && QByteArray(c.inUse) == "windows-1251" ? QStringLiteral("д") : QStringLiteral("ä"));
  }
  setLegacyCodePage(QString());
}

TEST_F(SettingsTest, SaveWritesTheFixedOrderByteForByteAndKeepsThePosition) {
  SettingsStore store(file());
  store.load();
  Settings s(store);
  General g;
  s.load(g, {});
  g.Skin = QStringLiteral("/usr/share/cantorel/skins/default.skin");
  g.WinOnTop = 1;
  g.WinSavePos = 1;
  g.StartMd = 1;
  g.ClearPLFirst = 1;
  g.Nick = QStringLiteral("Ana & Luis");
  Settings::ExitValues exit;
  exit.writePosition = true;
  exit.x = 1500;
  exit.y = -300;
  exit.lastCover = QStringLiteral("/covers/front.jpg");
  exit.lastTrack = 3;
  ASSERT_TRUE(s.save(g, exit));
  const QByteArray expected =
      test::readAll(test::sourceDir() + QStringLiteral("/tests/unit/core/data/saved_settings.conf"));
  ASSERT_FALSE(expected.isEmpty());
  EXPECT_EQ(test::readAll(file()), expected);

  // With saving the position turned off, the stored one stays.
  g.WinSavePos = 0;
  s.save(g, {false, 9000, 9000, {}, 1});
  SettingsStore again(file());
  again.load();
  const Settings::Position pos = Settings(again).load(g, {0, 0});
  EXPECT_EQ(pos.x, 1500);
  EXPECT_EQ(pos.y, -300);
}

// How the store reads a file: keys and sections in any letter case, the
// last of a repeated key, escapes, either line end, lines that are no entry.
TEST_F(SettingsTest, StoreReadsTheseForms) {
  const struct {
    const char *file;
    const char *key;
    const char *value;
  } cases[] = {
      {"[Cantorel v4.0/config]\nclearplfirst=1\n", "ClearPLFirst", "1"},
      {"[CANTOREL v4.0/Config]\nNick=a\n", "nick", "a"},
      {"[Cantorel v4.0/config]\nNick=a\nNICK=b\n", "Nick", "b"},
      {"[Cantorel v4.0/config]\r\nNick=crlf\r\n", "Nick", "crlf"},
      {"[Cantorel v4.0/config]\nNick=100%25 a%0D%0Ab%zz%4\n", "Nick", "100% a\r\nb%zz%4"},
      {"[Cantorel v4.0/config]\nNick = spaced \n", "Nick", " spaced "},
      {"[Cantorel v4.0/config]\r\nNick=Jos\xe9\r\n", "Nick", "Jos\xc3\xa9"},  // legacy code page: text
      {"no equals sign\n=no key\n[unclosed\nNick=elsewhere\n[Cantorel v4.0/config]\n=x\n", "Nick", ""},
  };
  for (const auto &c : cases) {
    writeFile(c.file);
    SettingsStore store(file());
    ASSERT_TRUE(store.load()) << c.file;
    EXPECT_EQ(store.value(kPrg, kSect, QString::fromUtf8(c.key)).toStdString(), c.value) << c.file;
  }
}

// What the store writes: a key keeps its first place and its latest
// spelling, texts are escaped (the reading table reads them back), and only
// the owner may read the file (it holds the lyric service password).
TEST_F(SettingsTest, StoreWritesTheseFiles) {
  const struct {
    std::vector<std::pair<const char *, const char *>> writes;
    const char *file;
  } cases[] = {
      {{{"ClearPLFirst", "1"}, {"Other", "x"}, {"ClearPlFirst", "0"}},
       "[Cantorel v4.0/config]\nClearPlFirst=0\nOther=x\n"},
      {{{"Nick", " 100% \"q\"\r\nsecond line=x\n[not a section]"}},
       "[Cantorel v4.0/config]\nNick= 100%25 \"q\"%0D%0Asecond line=x%0A[not a section]\n"},
  };
  for (const auto &c : cases) {
    QFile::remove(file());
    SettingsStore store(file());
    store.load();
    for (const auto &[key, value] : c.writes)
      ASSERT_TRUE(store.setValue(kPrg, kSect, QString::fromUtf8(key), QString::fromUtf8(value)));
    EXPECT_EQ(test::readAll(file()), QByteArray(c.file));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
}

TEST_F(SettingsTest, WritesKeepWhatAnotherProcessWrote) {
  SettingsStore first(file());
  first.load();
  first.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("me"));
  // A second instance writes its hand-off while the first is running.
  SettingsStore second(file());
  second.load();
  second.setValue(kPrg, kSect, key::OtherFile, QStringLiteral("/m/a.mp3"));
  first.setValue(kPrg, kSect, QStringLiteral("Pwd"), QStringLiteral("secret"));
  SettingsStore check(file());
  check.load();
  EXPECT_EQ(check.value(kPrg, kSect, key::OtherFile), QStringLiteral("/m/a.mp3"));
  EXPECT_EQ(check.value(kPrg, kSect, QStringLiteral("Pwd")), QStringLiteral("secret"));
}

// Binary files are kept aside too, as the program test shows.
TEST_F(SettingsTest, TooLargeFileGivesDefaultsAndAWarningAndIsKeptAside) {
  const QByteArray damaged(SettingsStore::kMaxFileSize + 10, 'x');
  writeFile(damaged);
  SettingsStore store(file());
  QString warning;
  EXPECT_FALSE(store.load(&warning));
  EXPECT_FALSE(warning.isEmpty());
  ASSERT_TRUE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("n")));
  EXPECT_EQ(test::readAll(file() + QStringLiteral(".damaged")), damaged);
  EXPECT_EQ(test::readAll(file()), QByteArray("[Cantorel v4.0/config]\nNick=n\n"));
}

// An abandoned write (what a process that dies before the rename leaves)
// reports failure and keeps the previous file.
TEST_F(SettingsTest, WriteStoppedBeforeItsRenameLeavesThePreviousFile) {
  SettingsStore store(file());
  store.load();
  store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("before"));
  const QByteArray before = test::readAll(file());
  AtomicWriteOptions refuse;
  refuse.beforeCommit = [] { return false; };
  store.setWriteOptionsForTest(refuse);
  EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("after")));
  EXPECT_EQ(test::readAll(file()), before);
}

// A write that fails gives the system's reason, once on stderr however often
// it is retried.
TEST_F(SettingsTest, FailedWritesGiveTheReasonOnce) {
  test::writeAll(dir_.filePath(QStringLiteral("plain")), "x");
  // Below a plain file nothing can be made, whoever runs the test.
  SettingsStore store(dir_.filePath(QStringLiteral("plain/cantorel.conf")));
  store.load();
  static int warnings = 0;
  warnings = 0;
  const QtMessageHandler old =
      qInstallMessageHandler([](QtMsgType t, const QMessageLogContext &c, const QString &) {
        if (t == QtWarningMsg && QByteArray(c.category) == "cantorel.settings") ++warnings;
      });
  EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("x")));
  EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("y")));
  qInstallMessageHandler(old);
  EXPECT_EQ(warnings, 1);
  EXPECT_FALSE(store.lastError().isEmpty());
  EXPECT_FALSE(store.lastError().contains(QStringLiteral("locked"))) << qPrintable(store.lastError());
}

}  // namespace
}  // namespace cantorel
