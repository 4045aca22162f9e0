// The settings: defaults, stored forms, the save order and the file itself.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST_F(SettingsTest, EmptyStoreGivesTheDefaults) {
  SettingsStore store(file());
  ASSERT_TRUE(store.load());
  Settings s(store);
  General g;
  const Settings::Position pos = s.load(g, {120, 240});
  EXPECT_EQ(g.ValidExt, QStringLiteral("mp2 mp3 mpa wav mid rmi"));
  EXPECT_EQ(g.SnoozeTime, QStringLiteral("23:59"));
  EXPECT_EQ(g.TimeIntro, 10);
  EXPECT_EQ(g.Language, QStringLiteral("ENGLISH"));
  EXPECT_EQ(g.Transparency, 255);
  for (qint16 v : {g.FriendlyNames, g.AutoRegistry, g.AskForIt, g.ShowArtist, g.SubmitLyric, g.LyricOnline})
    EXPECT_EQ(v, 1);
  EXPECT_EQ(g.LyricOnlineURL, QStringLiteral("https://lrclib.net"));
  for (qint16 v : {g.WinOnTop, g.WinSnap, g.WinSavePos, g.Auto, g.Snooze, g.SnoozeMode, g.SnoozeHide,
                   g.ExitMode, g.StartMd, g.StartMin, g.StartMute, g.TimeFmt, g.ClearPLFirst, g.AutoPlay,
                   g.PBOverlap, g.ScrollName, g.UseTagCover, g.ShowAlbum, g.TypeLyric})
    EXPECT_EQ(v, 0);
  for (const QString &t : {g.Path, g.StartFile, g.Skin, g.SkinPath, g.SkinImport, g.VisPLPath, g.LyricPath,
                           g.Nick, g.Pwd, g.LastCommandLine, g.MsgRemoteSeen})
    EXPECT_TRUE(t.isEmpty());
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
    EXPECT_EQ(decodeText("\xE4"), c.stored && QByteArray(c.inUse) == "windows-1251" ? QStringLiteral("д")
                                                                                     : QStringLiteral("ä"));
  }
  setLegacyCodePage(QString());
}

TEST_F(SettingsTest, StoredFormsReadBack) {
  writeFile(
      "[Cantorel v4.0/config]\n"
      "WinOnTop= 1\n"
      "WinSnap=1\n"
      "TimeIntro=15 seconds\n"
      "Transparency=opaque\n"
      "SNOOZETIME=07:30\n"
      "X=-1500\n"
      "Y=  2400.4\n"
      "Nick= spaced nick \n");
  SettingsStore store(file());
  ASSERT_TRUE(store.load());
  Settings s(store);
  General g;
  const Settings::Position pos = s.load(g, {});
  EXPECT_EQ(g.WinOnTop, 1);
  EXPECT_EQ(g.WinSnap, 1);
  EXPECT_EQ(g.TimeIntro, 15);
  EXPECT_EQ(g.Transparency, 0);
  EXPECT_EQ(g.SnoozeTime, QStringLiteral("07:30"));
  EXPECT_EQ(g.Nick, QStringLiteral(" spaced nick "));  // texts are taken as stored
  EXPECT_EQ(pos.x, -1500);
  EXPECT_EQ(pos.y, 2400);
}

TEST_F(SettingsTest, SaveWritesTheFixedOrderByteForByte) {
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
}

TEST_F(SettingsTest, PositionIsKeptWhenSavingItIsTurnedOff) {
  SettingsStore store(file());
  store.load();
  Settings s(store);
  General g;
  s.load(g, {});
  Settings::ExitValues exit{true, 300, 450, {}, 1};
  s.save(g, exit);
  g.WinSavePos = 0;
  exit = {false, 9000, 9000, {}, 1};
  s.save(g, exit);

  SettingsStore again(file());
  again.load();
  Settings s2(again);
  const Settings::Position pos = s2.load(g, {0, 0});
  EXPECT_EQ(pos.x, 300);
  EXPECT_EQ(pos.y, 450);
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

TEST_F(SettingsTest, DamagedFileGivesDefaultsAndAWarningAndIsKeptAside) {
  struct Damage {
    const char *name;
    QByteArray bytes;
  };
  const Damage cases[] = {
      {"binary", QByteArray("[Cantorel v4.0/config]\nNick=a\0b\n", 31)},
      {"too large", QByteArray(SettingsStore::kMaxFileSize + 10, 'x')},
  };
  for (const Damage &d : cases) {
    writeFile(d.bytes);
    SettingsStore store(file());
    QString warning;
    EXPECT_FALSE(store.load(&warning)) << d.name;
    EXPECT_FALSE(warning.isEmpty()) << d.name;
    Settings s(store);
    General g;
    s.load(g, {});
    EXPECT_EQ(g.Language, QStringLiteral("ENGLISH")) << d.name;
    ASSERT_TRUE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("n"))) << d.name;
    EXPECT_EQ(test::readAll(file() + QStringLiteral(".damaged")), d.bytes) << d.name;
    EXPECT_EQ(test::readAll(file()), QByteArray("[Cantorel v4.0/config]\nNick=n\n")) << d.name;
  }
}

TEST_F(SettingsTest, WriteInterruptedBeforeItsRenameLeavesThePreviousFile) {
  SettingsStore store(file());
  store.load();
  store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("before"));
  const QByteArray before = test::readAll(file());

  // A process that dies at the worst moment: data written, not yet renamed.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SettingsStore s(file());
    s.load();
    AtomicWriteOptions o;
    o.beforeCommit = [] {
      ::_exit(3);
      return true;
    };
    s.setWriteOptionsForTest(o);
    s.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("after"));
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(test::readAll(file()), before);

  // An abandoned write reports failure and keeps the old file too.
  AtomicWriteOptions refuse;
  refuse.beforeCommit = [] { return false; };
  store.setWriteOptionsForTest(refuse);
  EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("after")));
  EXPECT_EQ(test::readAll(file()), before);
}

TEST_F(SettingsTest, UnwritableFolderReportsFailure) {
  if (::geteuid() == 0) {
    // root writes anywhere; use a path below a plain file instead.
    test::writeAll(dir_.filePath(QStringLiteral("plain")), "x");
    SettingsStore store(dir_.filePath(QStringLiteral("plain/cantorel.conf")));
    store.load();
    EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("x")));
    EXPECT_FALSE(store.lastError().isEmpty());
    return;
  }
  QDir(dir_.path()).mkdir(QStringLiteral("ro"));
  QFile::setPermissions(dir_.filePath(QStringLiteral("ro")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  SettingsStore store(dir_.filePath(QStringLiteral("ro/cantorel.conf")));
  store.load();
  EXPECT_FALSE(store.setValue(kPrg, kSect, QStringLiteral("Nick"), QStringLiteral("x")));
}

}  // namespace
}  // namespace cantorel
