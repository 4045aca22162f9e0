// Start-up, hand-off and shut-down: what each form of command line and start
// mode does and what is written when, seen through a host that records.
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/lifecycle.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class RecordingHost : public LifecycleHost {
 public:
  QStringList calls;
  QString skinFile = QStringLiteral("/share/skins/default.skin");
  QString savedPlaylist;
  QStringList entries;  // the playlist as the window holds it
  QString writeError;   // set: every playlist write fails with it

  void note(const QString &s) { calls << s; }
  void showWindow() override { note(QStringLiteral("show")); }
  void hideWindow() override { note(QStringLiteral("hide")); }
  void showMessage(const QString &t) override { note(QStringLiteral("message ") + t); }
  void openUrl(const QString &u) override { note(QStringLiteral("url ") + u); }
  void loadTray() override { note(QStringLiteral("tray")); }
  void unloadTray() override { note(QStringLiteral("unload tray")); }
  void plAddOpened() override {
    note(QStringLiteral("add"));
    entries << QStringLiteral("/added.mp3");
  }
  void plClear() override {
    note(QStringLiteral("clear"));
    entries.clear();
  }
  bool plRead(const QString &f) override {
    note(QStringLiteral("read ") + f);
    entries << QStringLiteral("/read.mp3");
    return true;
  }
  void loadCover(const QString &f) override { note(QStringLiteral("cover ") + f); }
  void enableTimer1(bool on) override { note(on ? QStringLiteral("timer on") : QStringLiteral("timer off")); }
  void playIt(int mode) override { note(QStringLiteral("play %1").arg(mode)); }
  void cleanUpPlayer() override { note(QStringLiteral("clean up")); }
  void writeAutoList() override { note(QStringLiteral("write autolist")); }
  bool writePlaylist(const QString &f, QString *error) override {
    note(QStringLiteral("write playlist"));
    *error = writeError;
    return writeError.isEmpty();
  }
  QStringList playlistEntries() const override { return entries; }
  QString playlistFile() const override { return savedPlaylist; }
  QString defaultSkinFile() const override { return skinFile; }
};

class LifecycleTest : public ::testing::Test {
 protected:
  LifecycleTest() : store_(dir_.filePath(QStringLiteral("cantorel.conf"))), settings_(store_) {
    store_.load();
  }

  void start(CommandLineRequest request = {}) {
    life_ = std::make_unique<Lifecycle>(g_, st_, settings_, host_);
    life_->formLoad(request);
  }
  void set(const QString &k, const QString &v) { settings_.setText(k, v); }
  int indexOf(const QString &call) const { return static_cast<int>(host_.calls.indexOf(call)); }

  QTemporaryDir dir_;
  SettingsStore store_;
  Settings settings_;
  General g_;
  MainState st_;
  RecordingHost host_;
  std::unique_ptr<Lifecycle> life_;
};

TEST_F(LifecycleTest, CommandLineAndHandedOverRequests) {
  using K = CommandLineRequest::Kind;
  const QString song = QStringLiteral("/m/01 - my_song.mp3");
  struct Case {
    bool handedOver;  // to the running instance, else this start's own
    K kind;
    const char *addName;
    const char *calls;  // of a hand-off; this start's own adds before the timer, and plays after it
  } const cases[] = {
      {false, K::Add, "/m/01 - my_song.mp3", "add|timer on"},
      {false, K::Play, "Commandline", "add|timer on|play 1"},
      {true, K::Add, "/m/01 - my_song.mp3", "add"},
      {true, K::Play, "/m/01 - my_song.mp3", "clear|add|play 1"},
      {true, K::None, "", ""},  // a later start without a file only brings the window forward
  };
  for (const Case &c : cases) {
    const int row = static_cast<int>(&c - cases);
    g_ = General();
    st_ = MainState();
    set(key::Instalado, kInstalledMark);
    host_.calls.clear();
    start(c.handedOver ? CommandLineRequest{} : CommandLineRequest{c.kind, song});
    if (c.handedOver) {
      host_.calls.clear();
      st_.TNum = 4;
      life_->receiveHandOff({c.kind, c.kind == K::None ? QString() : song});
    }
    const QStringList wanted{QStringLiteral("add"), QStringLiteral("clear"), QStringLiteral("timer on"),
                             QStringLiteral("play 1")};
    QStringList calls = host_.calls;
    calls.removeIf([&](const QString &call) { return !wanted.contains(call); });
    EXPECT_EQ(calls.join(u'|'), QLatin1String(c.calls)) << row;
    EXPECT_EQ(st_.AddPath, c.kind == K::None ? QString() : song) << row;
    EXPECT_EQ(st_.AddName, QString::fromUtf8(c.addName)) << row;
    EXPECT_EQ(st_.TNum, c.kind == K::None ? 4 : 1) << row;
    EXPECT_EQ(st_.AddTitle, c.kind == K::None ? QString() : QStringLiteral("my song")) << row;
    EXPECT_EQ(g_.AutoPlay, c.kind == K::Play ? 1 : 0) << row;
  }
  // Nothing is left for a later run to act on.
  EXPECT_FALSE(store_.contains(kPrg, kSect, key::OtherFile));
}

// The first run opens the download page once, and only where the build or
// the environment names a service.
TEST_F(LifecycleTest, FirstRunOpensTheDownloadPageOnceAndOnlyWithAService) {
  for (const char *service : {"", "https://lyrics.example/svc"}) {
    qputenv("CANTOREL_SERVICE_URL", service);
    const QString page = Lifecycle::downloadPageUrl();  // "": the build's default, often none
    EXPECT_TRUE(!*service || page == QStringLiteral("https://lyrics.example/svc/descarga_qv.php?id=1"));
    set(key::Instalado, QString());
    for (const bool first : {true, false}) {
      host_.calls.clear();
      start();
      life_->formUnload();
      EXPECT_EQ(host_.calls.filter(QStringLiteral("url ")).join(u'|'),
                first && !page.isEmpty() ? QStringLiteral("url ") + page : QString());
    }
    EXPECT_EQ(settings_.text(key::Instalado), QStringLiteral("SI"));
  }
  qunsetenv("CANTOREL_SERVICE_URL");
}

// The playlist file is written only when this run read it or changed the
// playlist: a run on default settings (a damaged settings file) that adds
// nothing leaves the last session's list alone. A failed write is said
// once, with the reason.
TEST_F(LifecycleTest, PlaylistIsWrittenOnlyWhenReadOrChangedAndFailuresAreShownOnceBeforeTheEnd) {
  set(key::Instalado, kInstalledMark);
  host_.savedPlaylist = dir_.filePath(QStringLiteral("playlist.m3u"));
  test::writeAll(host_.savedPlaylist, "/m/a.mp3\r\n");
  const struct {
    const char *name;
    const char *startMode;
    const char *commandLine;
    bool changeLater;
    int writes;
  } cases[] = {{"defaults, nothing added", " 0", "", false, 0},
               {"restored, unchanged", " 1", "", false, 0},
               {"restored, then changed", " 1", "", true, 1},
               {"defaults, then added", " 0", "", true, 1},
               {"command line", " 0", "/m/b.mp3", false, 1}};
  for (const auto &c : cases) {
    set(QStringLiteral("StartMd"), QString::fromLatin1(c.startMode));
    host_.entries.clear();
    start(*c.commandLine
              ? CommandLineRequest{CommandLineRequest::Kind::Add, QString::fromLatin1(c.commandLine)}
              : CommandLineRequest{});
    if (c.changeLater) host_.entries << QStringLiteral("/later.mp3");
    host_.calls.clear();
    life_->checkpoint();
    life_->formUnload();
    EXPECT_EQ(host_.calls.count(QStringLiteral("write playlist")), c.writes) << c.name;
  }

  host_.writeError = QStringLiteral("No space left on device");
  start({CommandLineRequest::Kind::Add, QStringLiteral("/m/c.mp3")});
  host_.calls.clear();
  life_->checkpoint();
  life_->checkpoint();
  life_->formUnload();
  EXPECT_EQ(host_.calls.count(QStringLiteral("write playlist")), 3);
  EXPECT_EQ(
      host_.calls.filter(QStringLiteral("message ")),
      QStringList{QStringLiteral("message The playlist could not be saved in %1: No space left on device")
                      .arg(host_.savedPlaylist)});

  // A write that first fails as the program ends only warns: a message box
  // then would keep SIGTERM from ending it.
  start({CommandLineRequest::Kind::Add, QStringLiteral("/m/d.mp3")});
  host_.calls.clear();
  life_->formUnload();
  EXPECT_EQ(host_.calls.count(QStringLiteral("write playlist")), 1);
  EXPECT_EQ(host_.calls.filter(QStringLiteral("message ")), QStringList());
}

TEST_F(LifecycleTest, StartModesAndAMissingSkin) {
  set(key::Instalado, kInstalledMark);
  set(QStringLiteral("Skin"), QStringLiteral("/nowhere/gone.skin"));
  g_.Messages[37] = QStringLiteral("The skin ");
  g_.Messages[38] = QStringLiteral(" was not found.");
  // Restore with no saved playlist: nothing read, first entry.
  set(QStringLiteral("StartMd"), QStringLiteral(" 1"));
  set(key::LastTrack, QStringLiteral(" 7"));
  host_.savedPlaylist = dir_.filePath(QStringLiteral("playlist.m3u"));
  start();
  EXPECT_EQ(host_.calls.filter(QStringLiteral("read ")).size(), 0);
  EXPECT_EQ(st_.TNum, 1);
  EXPECT_GE(indexOf(QStringLiteral("message The skin /nowhere/gone.skin was not found.")), 0);
  EXPECT_EQ(g_.Skin, host_.skinFile);

  // Restore with a saved playlist and cover.
  test::writeAll(host_.savedPlaylist, "/m/a.mp3\r\n");
  set(key::LastCover, QStringLiteral("/c/front.jpg"));
  host_.calls.clear();
  start();
  EXPECT_GE(indexOf(QStringLiteral("read ") + host_.savedPlaylist), 0);
  EXPECT_EQ(st_.TNum, 7);
  EXPECT_GE(indexOf(QStringLiteral("cover /c/front.jpg")), 0);

  // A start file, and starting minimised never shows the window.
  set(QStringLiteral("StartMd"), QStringLiteral(" 2"));
  set(QStringLiteral("StartFile"), QStringLiteral("/m/start.m3u"));
  set(QStringLiteral("StartMin"), QStringLiteral(" 1"));
  host_.calls.clear();
  start();
  EXPECT_EQ(st_.AddPath, QStringLiteral("/m/start.m3u"));
  EXPECT_GE(indexOf(QStringLiteral("add")), 0);
  EXPECT_EQ(indexOf(QStringLiteral("show")), -1);
  EXPECT_LT(indexOf(QStringLiteral("hide")), indexOf(QStringLiteral("tray")));
}

TEST_F(LifecycleTest, CheckpointWritesWhatShutDownWouldAndShutDownRunsOnce) {
  set(key::Instalado, kInstalledMark);
  start({CommandLineRequest::Kind::Add, QStringLiteral("/m/a.mp3")});
  const auto inode = [&] {
    struct stat st {};
    ::stat(QFile::encodeName(store_.filePath()).constData(), &st);
    return st.st_ino;
  };
  st_.TNum = 3;
  host_.calls.clear();
  life_->checkpoint();
  EXPECT_EQ(host_.calls.join(u'|'), QStringLiteral("write autolist|write playlist"));
  SettingsStore onDisk(store_.filePath());
  onDisk.load();
  EXPECT_EQ(onDisk.value(kPrg, kSect, key::LastTrack), QStringLiteral(" 3"));
  EXPECT_FALSE(life_->unloaded());
  // Nothing changed: the file is not written again.
  const ino_t before = inode();
  life_->checkpoint();
  EXPECT_EQ(inode(), before) << "an unchanged store must not be replaced";

  st_.TNum = 2;
  st_.LastCover = QStringLiteral("/c/x.jpg");
  st_.Mute = -1;  // muted from 60 %: the volume before the mute is saved
  st_.SavedVolume = 60;
  st_.Sliders[2].Value = 0;
  host_.calls.clear();
  life_->formUnload();
  life_->formUnload();
  // The playlist is as the checkpoint saved it: not written again.
  EXPECT_EQ(host_.calls.join(u'|'), QStringLiteral("clean up|timer off|write autolist|unload tray"));
  EXPECT_EQ(settings_.text(key::LastTrack), QStringLiteral(" 2"));
  EXPECT_EQ(settings_.text(key::LastCover), QStringLiteral("/c/x.jpg"));
  EXPECT_EQ(settings_.text(key::Volume), QStringLiteral(" 60"));
  // The auto-play value the command line set is the one saved.
  EXPECT_EQ(settings_.text(QStringLiteral("AutoPlay")), QStringLiteral("0"));
  EXPECT_FALSE(store_.contains(kPrg, kSect, key::X));
}

}  // namespace
}  // namespace cantorel
