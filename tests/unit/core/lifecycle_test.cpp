// Start-up, hand-off and shut-down: the order of the steps and what each form
// of command line and start mode does, seen through a host that records.
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

  void note(const QString &s) { calls << s; }
  void setCaption(const QString &c) override { note(QStringLiteral("caption ") + c); }
  void loadElementPools() override { note(QStringLiteral("pools")); }
  void moveWindowTwips(qint32 x, qint32 y) override { note(QStringLiteral("move %1 %2").arg(x).arg(y)); }
  void showWindow() override { note(QStringLiteral("show")); }
  void hideWindow() override { note(QStringLiteral("hide")); }
  void showMessage(const QString &t) override { note(QStringLiteral("message ") + t); }
  void openUrl(const QString &u) override { note(QStringLiteral("url ") + u); }
  void loadLanguage() override { note(QStringLiteral("language")); }
  void discoverInputPlugins() override { note(QStringLiteral("input plug-ins")); }
  void loadSkin(const QString &p) override { note(QStringLiteral("skin ") + p); }
  void readAutoList() override { note(QStringLiteral("autolist")); }
  void loadTray() override { note(QStringLiteral("tray")); }
  void unloadTray() override { note(QStringLiteral("unload tray")); }
  void plAddOpened() override { note(QStringLiteral("add")); }
  void plClear() override { note(QStringLiteral("clear")); }
  bool plRead(const QString &f) override {
    note(QStringLiteral("read ") + f);
    return true;
  }
  void loadCover(const QString &f) override { note(QStringLiteral("cover ") + f); }
  void enableTimer1(bool on) override { note(on ? QStringLiteral("timer on") : QStringLiteral("timer off")); }
  void playIt(int mode) override { note(QStringLiteral("play %1").arg(mode)); }
  void checkAssociations() override { note(QStringLiteral("associations")); }
  void startNews() override { note(QStringLiteral("news")); }
  void applyTransparency() override { note(QStringLiteral("transparency")); }
  void createVisPlugin() override { note(QStringLiteral("vis plug-in")); }
  void cleanUpPlayer() override { note(QStringLiteral("clean up")); }
  void writeAutoList() override { note(QStringLiteral("write autolist")); }
  bool writePlaylist(const QString &f) override {
    note(QStringLiteral("write playlist"));
    return true;
  }
  QString playlistFile() const override { return savedPlaylist; }
  QString defaultSkinFile() const override { return skinFile; }
};

class LifecycleTest : public ::testing::Test {
 protected:
  LifecycleTest() : store_(dir_.filePath(QStringLiteral("cantorel.conf"))), settings_(store_) { store_.load(); }

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

TEST_F(LifecycleTest, StartUpRunsItsStepsInOrder) {
  set(key::Instalado, kInstalledMark);
  start();
  const QStringList expected = {
      QStringLiteral("caption Cantorel v4.0"), QStringLiteral("pools"), QStringLiteral("move 0 0"),
      QStringLiteral("language"), QStringLiteral("input plug-ins"), QStringLiteral("skin /share/skins/default.skin"),
      QStringLiteral("show"), QStringLiteral("autolist"), QStringLiteral("tray"),
      QStringLiteral("timer on"), QStringLiteral("associations"), QStringLiteral("news"),
      QStringLiteral("transparency"), QStringLiteral("vis plug-in")};
  EXPECT_EQ(host_.calls, expected);
  EXPECT_EQ(g_.VisPluginName, QStringLiteral("qv_plugin"));
  EXPECT_FLOAT_EQ(g_.Balance, 0.5f);
  EXPECT_DOUBLE_EQ(st_.Sliders[5].Value, 0.5);
  EXPECT_EQ(st_.Sliders[4].Value, st_.Sliders[2].Value);
}

TEST_F(LifecycleTest, CommandLineAndHandedOverRequests) {
  using K = CommandLineRequest::Kind;
  const QString song = QStringLiteral("/m/01 - my_song.mp3");
  struct Case {
    bool handedOver;  // to the running instance, else this start's own
    K kind;
    const char *addName;
    QStringList calls;  // of a hand-off; this start's own adds before the timer, and plays after it
  } const cases[] = {
      {false, K::Add, "/m/01 - my_song.mp3", {QStringLiteral("add"), QStringLiteral("timer on")}},
      {false, K::Play, "Commandline", {QStringLiteral("add"), QStringLiteral("timer on"), QStringLiteral("play 1")}},
      {true, K::Add, "/m/01 - my_song.mp3", {QStringLiteral("add")}},
      {true, K::Play, "/m/01 - my_song.mp3", {QStringLiteral("clear"), QStringLiteral("add"), QStringLiteral("play 1")}},
      {true, K::None, "", {}},  // a later start without a file only brings the window forward
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
    EXPECT_EQ(calls, c.calls) << row;
    EXPECT_EQ(st_.AddPath, c.kind == K::None ? QString() : song) << row;
    EXPECT_EQ(st_.AddName, QString::fromUtf8(c.addName)) << row;
    EXPECT_EQ(st_.TNum, c.kind == K::None ? 4 : 1) << row;
    EXPECT_EQ(st_.AddTitle, c.kind == K::None ? QString() : QStringLiteral("my song")) << row;
    if (c.kind != K::None) {
      EXPECT_EQ(g_.AutoPlay, c.kind == K::Play ? 1 : 0) << row;
    }
  }
  // Nothing is left for a later run to act on.
  EXPECT_FALSE(store_.contains(kPrg, kSect, key::OtherFile));
}

TEST_F(LifecycleTest, FirstRunOpensTheDownloadPageOnce) {
  start();
  EXPECT_EQ(host_.calls.count(QStringLiteral("url ") + Lifecycle::downloadPageUrl()), 1);
  EXPECT_TRUE(Lifecycle::downloadPageUrl().endsWith(QStringLiteral("/descarga_qv.php?id=1")));
  life_->formUnload();
  EXPECT_EQ(settings_.text(key::Instalado), QStringLiteral("SI"));

  host_.calls.clear();
  store_.load();
  start();
  EXPECT_EQ(host_.calls.filter(QStringLiteral("url ")).size(), 0);
}

TEST_F(LifecycleTest, StartModes) {
  set(key::Instalado, kInstalledMark);
  // Restore with no saved playlist: nothing read, first entry.
  set(QStringLiteral("StartMd"), QStringLiteral(" 1"));
  set(key::LastTrack, QStringLiteral(" 7"));
  host_.savedPlaylist = dir_.filePath(QStringLiteral("playlist.m3u"));
  start();
  EXPECT_EQ(host_.calls.filter(QStringLiteral("read ")).size(), 0);
  EXPECT_EQ(st_.TNum, 1);

  // Restore with a saved playlist and cover.
  test::writeAll(host_.savedPlaylist, "/m/a.mp3\r\n");
  set(key::LastCover, QStringLiteral("/c/front.jpg"));
  host_.calls.clear();
  start();
  EXPECT_GE(indexOf(QStringLiteral("read ") + host_.savedPlaylist), 0);
  EXPECT_EQ(st_.TNum, 7);
  EXPECT_GE(indexOf(QStringLiteral("cover /c/front.jpg")), 0);
  EXPECT_EQ(st_.LastCover, QStringLiteral("/c/front.jpg"));

  // A start file.
  set(QStringLiteral("StartMd"), QStringLiteral(" 2"));
  set(QStringLiteral("StartFile"), QStringLiteral("/m/start.m3u"));
  host_.calls.clear();
  start();
  EXPECT_EQ(st_.AddPath, QStringLiteral("/m/start.m3u"));
  EXPECT_GE(indexOf(QStringLiteral("add")), 0);

  // Starting minimised never shows the window.
  set(QStringLiteral("StartMin"), QStringLiteral(" 1"));
  host_.calls.clear();
  start();
  EXPECT_EQ(indexOf(QStringLiteral("show")), -1);
  EXPECT_LT(indexOf(QStringLiteral("hide")), indexOf(QStringLiteral("tray")));
}

TEST_F(LifecycleTest, MissingSkinIsReportedAndTheDefaultUsed) {
  set(key::Instalado, kInstalledMark);
  set(QStringLiteral("Skin"), QStringLiteral("/nowhere/gone.skin"));
  g_.Messages[37] = QStringLiteral("The skin ");
  g_.Messages[38] = QStringLiteral(" was not found.");
  start();
  EXPECT_GE(indexOf(QStringLiteral("message The skin /nowhere/gone.skin was not found.")), 0);
  EXPECT_EQ(g_.Skin, host_.skinFile);
}

TEST_F(LifecycleTest, CheckpointWritesWhatShutDownWouldAndShutDownRunsOnce) {
  set(key::Instalado, kInstalledMark);
  start({CommandLineRequest::Kind::Add, QStringLiteral("/m/a.mp3")});
  const auto inode = [&] {
    struct stat st {};
    ::stat(QFile::encodeName(store_.filePath()).constData(), &st);
    return st.st_ino;
  };
  g_.Nick = QStringLiteral("changed");
  st_.TNum = 3;
  host_.calls.clear();
  life_->checkpoint();
  EXPECT_EQ(host_.calls, (QStringList{QStringLiteral("write autolist"), QStringLiteral("write playlist")}));
  SettingsStore onDisk(store_.filePath());
  onDisk.load();
  EXPECT_EQ(onDisk.value(kPrg, kSect, QStringLiteral("Nick")), QStringLiteral("changed"));
  EXPECT_EQ(onDisk.value(kPrg, kSect, key::LastTrack), QStringLiteral(" 3"));
  EXPECT_FALSE(life_->unloaded());
  // Nothing changed: the file is not written again.
  const ino_t before = inode();
  life_->checkpoint();
  EXPECT_EQ(inode(), before) << "an unchanged store must not be replaced";

  st_.TNum = 2;
  st_.LastCover = QStringLiteral("/c/x.jpg");
  host_.calls.clear();
  life_->formUnload();
  life_->formUnload();
  EXPECT_EQ(host_.calls,
            (QStringList{QStringLiteral("clean up"), QStringLiteral("timer off"), QStringLiteral("write autolist"),
                         QStringLiteral("write playlist"), QStringLiteral("unload tray")}));
  EXPECT_EQ(settings_.text(key::LastTrack), QStringLiteral(" 2"));
  EXPECT_EQ(settings_.text(key::LastCover), QStringLiteral("/c/x.jpg"));
  // The auto-play value the command line set is the one saved.
  EXPECT_EQ(settings_.text(QStringLiteral("AutoPlay")), QStringLiteral("0"));
  EXPECT_FALSE(store_.contains(kPrg, kSect, key::X));
}

TEST_F(LifecycleTest, VolumeAndBalanceComeBackAndAMuteIsNotSaved) {
  set(key::Volume, QStringLiteral(" 44"));
  set(key::Balance, QStringLiteral(" 30"));
  start();
  EXPECT_DOUBLE_EQ(st_.Sliders[2].Value, 0.44);
  EXPECT_FLOAT_EQ(g_.Balance, 0.3f);
  EXPECT_NEAR(st_.Sliders[3].Value, 0.3, 1e-6);
  st_.Mute = -1;  // muted from 60 %
  st_.SavedVolume = 60;
  st_.Sliders[2].Value = 0;
  life_->formUnload();
  EXPECT_EQ(settings_.text(key::Volume), QStringLiteral(" 60"));
  EXPECT_EQ(settings_.text(key::Balance), QStringLiteral(" 30"));
}

}  // namespace
}  // namespace cantorel
