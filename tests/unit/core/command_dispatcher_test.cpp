// `DoIt`: which operation each command code runs. Window operations are
// noted by a recording host; transport codes are checked by their effect on
// a real transport playing picture entries (no player needed).
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/command_dispatcher.h"
#include "playback/transport.h"
#include "plugins/plugin_host.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class Recorder : public CommandHost {
 public:
  void windowCommand(int code) override { note(QStringLiteral("window %1").arg(code)); }
  void showPrefs() override { note(QStringLiteral("prefs")); }
  void showLyricAssistant() override { note(QStringLiteral("assistant")); }
  void showVisSelect() override { note(QStringLiteral("browser")); }
  void fullScreenMode() override { note(QStringLiteral("fullscreen")); }
  void toggleCoverWindow() override { note(QStringLiteral("cover")); }
  void showInfo() override { note(QStringLiteral("info")); }
  bool openMediaFile() override {
    note(QStringLiteral("open"));
    return chooses;
  }
  void plAddOpened() override { note(QStringLiteral("addOpened")); }
  void plRemoveSelected() override { note(QStringLiteral("remove")); }
  void plMoveEntry(int d) override { note(QStringLiteral("move %1").arg(d)); }
  void plClear() override { note(QStringLiteral("clear")); }
  void plLoad() override { note(QStringLiteral("load")); }
  void plSave() override { note(QStringLiteral("save")); }
  void addFromDir() override { note(QStringLiteral("addDir")); }
  void showLights() override { note(QStringLiteral("lights")); }
  QString keyString(int code) override { return keys.value(code); }
  void openWebAddress(const QString &a) override { note(QStringLiteral("web ") + a); }

  void note(const QString &s) { calls << s; }
  QStringList calls;
  QHash<int, QString> keys;
  bool chooses = false;
};

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *n : {"one.bmp", "two.bmp"}) {
      const QString path = dir.filePath(QString::fromLatin1(n));
      test::writeAll(path, "x");
      pl.append(QString::fromLatin1(n), path);
    }
  }
  QTemporaryDir dir;
  General g;
  MainState st;
  Playlist pl;
  LyricLines lyric;
  PluginHost plugins{QStringLiteral("/nonexistent")};
  TransportHost thost;
  Transport transport{g, st, pl, plugins, thost};
  Recorder host;
  CommandDispatcher d{g, st, lyric, transport, host};
};

struct WindowCase {
  qint16 code;
  const char *calls;  // what the host saw, joined by "|"
};

class DispatchWindowTest : public DispatcherTest, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(DispatchWindowTest, RunsTheOperationOfTheCode) {
  host.keys = {{105, QStringLiteral("other.skin")},
               {115, QStringLiteral("https://example.org/x")},
               {116, QStringLiteral("file:///etc/passwd")},
               {117, QStringLiteral("javascript:alert(1)")},
               {120, QStringLiteral("http://example.org/last")}};
  d.DoIt(GetParam().code);
  EXPECT_EQ(host.calls.join(u'|'), QString::fromLatin1(GetParam().calls)) << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DispatchWindowTest,
    ::testing::Values(WindowCase{1, "window 1"}, WindowCase{6, "window 6"}, WindowCase{5, "prefs"},
                      WindowCase{13, "open"}, WindowCase{16, "info"}, WindowCase{17, "remove"},
                      WindowCase{18, "move 1"}, WindowCase{19, "move -1"}, WindowCase{20, "clear"},
                      WindowCase{21, "load"}, WindowCase{22, "save"}, WindowCase{23, "open"},
                      WindowCase{24, "addDir"}, WindowCase{25, "lights"}, WindowCase{34, "cover"},
                      WindowCase{35, "browser"}, WindowCase{41, "fullscreen"},
                      // Codes without an operation.
                      WindowCase{0, ""}, WindowCase{37, ""}, WindowCase{42, ""}, WindowCase{121, ""},
                      // Skins and web links from the key strings.
                      WindowCase{101, "window 101"}, WindowCase{105, "window 105"},
                      WindowCase{115, "web https://example.org/x"},
                      WindowCase{120, "web http://example.org/last"},
                      // Only http and https addresses are opened.
                      WindowCase{116, ""}, WindowCase{117, ""}),
    [](const auto &info) { return std::to_string(info.param.code); });

// The codes that change the player's state, in one sequence: each row is a
// code and the state after it (entry, playing, paused, volume, muted, then
// the intro, stop-after, repeat, shuffle and random flags).
TEST_F(DispatcherTest, StateCodesInSequence) {
  const auto state = [this] {
    char s[64];
    std::snprintf(s, sizeof s, "%d %s %s %.2f %s %c%c%c%c%c", st.TNum, st.Playing ? "play" : "stop",
                  st.Paused ? "paused" : "running", st.Sliders[2].Value, st.Mute ? "muted" : "sound",
                  st.Intro ? 'I' : '-', st.STP ? 'S' : '-', st.Repeat ? 'R' : '-', st.Shuffle ? 'H' : '-',
                  st.Random ? 'D' : '-');
    return std::string(s);
  };
  st.Sliders[2].Value = 0.5;
  const struct {
    qint16 code;
    const char *after;
  } steps[] = {
      {12, "1 play running 0.50 sound -----"}, {15, "2 play running 0.50 sound -----"},
      {14, "1 play running 0.50 sound -----"}, {11, "1 play paused 0.50 sound -----"},
      {36, "1 play running 0.50 sound -----"}, {10, "1 stop running 0.50 sound -----"},
      {8, "1 stop running 0.55 sound -----"},  {7, "1 stop running 0.50 sound -----"},
      {9, "1 stop running 0.00 muted -----"},  {9, "1 stop running 0.50 sound -----"},
      {25, "1 stop running 0.50 sound I----"}, {26, "1 stop running 0.50 sound IS---"},
      {27, "1 stop running 0.50 sound ISR--"}, {28, "1 stop running 0.50 sound ISRHD"},
      {25, "1 stop running 0.50 sound -SRHD"}, {28, "1 stop running 0.50 sound -SR--"},
  };
  for (const auto &s : steps) {
    d.DoIt(s.code);
    EXPECT_EQ(state(), s.after) << "code " << s.code;
  }
}

TEST_F(DispatcherTest, OpenAndPlayReplacesThePlaylistOnlyWhenAFileWasChosen) {
  lyric.PlTimes << QStringLiteral("0:01");
  d.DoIt(13);
  EXPECT_EQ(host.calls, QStringList{QStringLiteral("open")});
  host.calls.clear();
  host.chooses = true;
  st.TNum = 2;
  d.DoIt(13);
  EXPECT_EQ(host.calls.join(u'|'), QStringLiteral("open|clear|addOpened"));
  EXPECT_TRUE(lyric.PlTimes.isEmpty());
  EXPECT_EQ(st.TNum, 1);
  EXPECT_EQ(st.Playing, -1);
}

}  // namespace
}  // namespace cantorel
