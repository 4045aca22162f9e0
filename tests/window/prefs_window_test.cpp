// The preferences window and the tray menu, offscreen: every control edits its
// setting at once, the schedule edited from the main window, a language
// switch re-captioning the window and the tray menu, and what closing applies.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/gui_app.h"
#include "support/test_support.h"

#include "app/main_window.h"
#include "desktop/tray_gui.h"
#include "prefs/language.h"
#include "prefs/prefs_main_gui.h"
#include "prefs/prefs_window.h"

namespace cantorel {
namespace {

// A main window stand-in: what the preferences window asked of it.
struct MainSide {
  QList<bool> onTop;
  int transparencyApplied = 0;
  QString folderAnswer;  // empty: the picker is cancelled

  PrefsHost host() {
    PrefsHost h;
    h.dataFolders = {test::dataDir()};
    h.setOnTop = [this](bool on) { onTop << on; };
    h.applyTransparency = [this] { ++transparencyApplied; };
    h.browseForFolder = [this](const QString &, const QString &) { return folderAnswer; };
    return h;
  }
};

// A main window with its own settings file and folders in a fresh folder.
struct MainWindowHome {
  explicit MainWindowHome(General &g) : w(g, settings, folders) {}
  QTemporaryDir dir;
  SettingsStore store{dir.filePath(QStringLiteral("cantorel.conf"))};
  Settings settings{store};
  Folders folders{dir.filePath(QStringLiteral("user")), test::dataDir(), QString(),
                  dir.filePath(QStringLiteral("cantorel.conf"))};
  MainWindow w;
};

class PrefsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    g.Language = QStringLiteral("ENGLISH");
    ASSERT_TRUE(LoadLanguage({test::dataDir()}, g.Language, g.Messages).found);
    g.Transparency = 200;
    g.SnoozeMinutes = 12;
  }
  General g;
  MainSide main;
};

void addEntry(PreferencesDialog &w, const QString &day, const QString &on, const QString &off,
              const QString &preset) {
  w.scheduleDayCombo->setCurrentIndex(w.scheduleDayCombo->findText(day));
  w.scheduleOnEdit->setText(on);
  w.scheduleOffEdit->setText(off);
  w.scheduleFileEdit->setText(preset);
  w.scheduleAddButton->click();
}

TEST_F(PrefsWindowTest, ControlsEditTheirSettingsAtOnce) {
  g.LyricOnlineURL = QStringLiteral("https://mirror.example/<b>");
  PreferencesDialog w(g, main.host());
  w.onTopCheck->setChecked(true);
  w.introTimeEdit->setText(QStringLiteral("12abc"));
  EXPECT_EQ(g.TimeIntro, 12);
  // Folder pickers: cancelling keeps the setting; a choice ends in a separator.
  g.LyricPath = QStringLiteral("/old/");
  w.lyricFolderButton->click();
  EXPECT_EQ(g.LyricPath, QStringLiteral("/old/"));
  main.folderAnswer = QStringLiteral("/music/lyrics");
  w.lyricFolderButton->click();
  EXPECT_EQ(g.LyricPath, QStringLiteral("/music/lyrics/"));
  // The online lookup's tip names where songs go, as text.
  EXPECT_TRUE(w.onlineLyricCheck->toolTip().contains(QStringLiteral("mirror.example/&lt;b&gt;")));
  // Closing applies transparency and the always-on-top setting, once.
  w.accept();
  EXPECT_EQ(main.transparencyApplied, 1);
  EXPECT_TRUE(main.onTop.last());
}

TEST_F(PrefsWindowTest, LanguageSwitchRecaptionsWindowAndTray) {
  std::array<QString, General::kMessageCount> spanish;
  ASSERT_TRUE(LoadLanguage({test::dataDir()}, QStringLiteral("ESPANOL"), spanish).found);
  ASSERT_NE(spanish[71], g.Messages[71]);

  TrayIcon tray(
      g, [](int) {}, nullptr);
  tray.showIcon();
  PrefsHost host = main.host();
  host.reloadTray = [&] { tray.reloadMenu(); };
  PreferencesDialog w(g, host);
  w.tabs->setCurrentIndex(3);

  ASSERT_GE(w.languageCombo->findText(QStringLiteral("ESPANOL")), 0);
  Q_EMIT w.languageCombo->textActivated(QStringLiteral("ESPANOL"));
  EXPECT_EQ(g.Language, QStringLiteral("ESPANOL"));
  EXPECT_EQ(w.tabs->currentIndex(), 3);  // the open tab stays open
  EXPECT_EQ(w.okButton->text(), spanish[141]);
  EXPECT_EQ(tray.menu()->actions().first()->text(), spanish[174]);
}

// Opened from the main window, the preferences window describes its skin,
// edits its schedule and hands the settings back on closing. (The menu of a
// right click is driven on the real program in tests/desktop/window_test.sh.)
TEST_F(PrefsWindowTest, OpenedFromTheMainWindow) {
  MainWindowHome home(g);
  MainWindow &w = home.w;
  w.loadSkin(w.defaultSkinFile());
  w.clockSchedule().AutoList = {QStringLiteral("E 06:00 07:00 01")};
  g.Transparency = 120;
  bool sawWindow = false;
  QTimer::singleShot(0, [&] {
    PreferencesDialog *p = PreferencesDialog::current();
    if (!p) return;
    sawWindow = true;
    EXPECT_EQ(p->scheduleEntryList->count(), 1);
    addEntry(*p, QStringLiteral("S - Saturday"), QStringLiteral("9:05"), QStringLiteral("10:00"),
             QStringLiteral("4"));
    p->accept();
  });
  // Never wait on a window that did not close.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (QWidget *m = QApplication::activeModalWidget()) m->close();
  });
  guard.start(5000);
  ShowPrefs(w);
  EXPECT_TRUE(sawWindow);
  EXPECT_EQ(w.clockSchedule().AutoList,
            (QStringList{QStringLiteral("E 06:00 07:00 01"), QStringLiteral("S 09:05 10:00 04")}));
}

}  // namespace
}  // namespace cantorel
