// The preferences window and the tray menu, offscreen: every control edits its
// setting at once, the schedule editor, a language switch re-captioning the
// window and the tray menu, the document viewer and what closing applies.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>
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
#include "skin/playlist_browser_window.h"

namespace cantorel {
namespace {

// A main window stand-in: what the preferences window asked of it.
struct MainSide {
  QStringList schedule;
  QList<bool> onTop;
  int transparencyApplied = 0;
  QStringList messages;
  QString folderAnswer;  // empty: the picker is cancelled
  QString fileAnswer;

  PrefsHost host() {
    PrefsHost h;
    h.dataFolders = {test::dataDir()};
    h.scheduleList = [this] { return schedule; };
    h.setScheduleList = [this](const QStringList &l) { schedule = l; };
    h.setOnTop = [this](bool on) { onTop << on; };
    h.applyTransparency = [this] { ++transparencyApplied; };
    h.showMessage = [this](const QString &t) { messages << t; };
    h.browseForFolder = [this](const QString &, const QString &) { return folderAnswer; };
    h.openFile = [this](const QString &, const QString &, const QString &) { return fileAnswer; };
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

TEST_F(PrefsWindowTest, ScheduleEditor) {
  main.schedule = {QStringLiteral("E 06:00 07:00 01"), QStringLiteral("M 07:00 08:00 02")};
  PreferencesDialog w(g, main.host());
  w.show();
  ASSERT_EQ(w.scheduleEntryList->count(), 2);  // copied from the main window when shown
  EXPECT_EQ(w.scheduleDayCombo->currentText(), QStringLiteral("E - Every Day"));

  addEntry(w, QStringLiteral("R - Thursday"), QStringLiteral("7:30"), QStringLiteral("8:00"),
           QStringLiteral("3"));
  EXPECT_EQ(main.schedule.last(), QStringLiteral("R 07:30 08:00 03"));

  // A time the clock never shows: refused with a message (the other rules
  // of an entry are the unit table's).
  addEntry(w, QStringLiteral("D - Weekday"), QStringLiteral("7:3"), QStringLiteral("8:00"),
           QStringLiteral("1"));
  EXPECT_EQ(w.scheduleEntryList->count(), 3);
  EXPECT_EQ(main.messages.size(), 1);

  // Deleting the last of three selects the new last; deleting the only one leaves no selection.
  w.scheduleEntryList->setCurrentRow(2);
  w.scheduleDeleteButton->click();
  EXPECT_EQ(w.scheduleEntryList->currentRow(), 1);
  EXPECT_EQ(main.schedule,
            (QStringList{QStringLiteral("E 06:00 07:00 01"), QStringLiteral("M 07:00 08:00 02")}));
  w.scheduleEntryList->setCurrentRow(0);
  w.scheduleDeleteButton->click();
  w.scheduleDeleteButton->click();
  EXPECT_EQ(w.scheduleEntryList->count(), 0);
  EXPECT_TRUE(w.scheduleEntryList->selectedItems().isEmpty());
  EXPECT_TRUE(main.schedule.isEmpty());
  w.scheduleDeleteButton->click();  // nothing selected: nothing happens
  EXPECT_TRUE(main.schedule.isEmpty());
}

TEST_F(PrefsWindowTest, ControlsEditTheirSettingsAtOnce) {
  g.SubmitLyric = 1;
  g.TypeLyric = 0;
  g.LyricOnline = 1;
  g.LyricOnlineURL = QStringLiteral("https://mirror.example/<b>");
  PreferencesDialog w(g, main.host());
  EXPECT_EQ(g.SnoozeMinutes, -30);  // every opening selects 30 minutes
  ASSERT_FALSE(main.onTop.isEmpty());
  EXPECT_FALSE(main.onTop.last());  // the main window leaves always-on-top

  w.onTopCheck->setChecked(true);
  EXPECT_EQ(g.WinOnTop, 1);
  EXPECT_TRUE(main.onTop.last());
  w.introTimeEdit->setText(QStringLiteral("12abc"));
  EXPECT_EQ(g.TimeIntro, 12);
  w.overlapEdit->setText(QStringLiteral("x"));
  EXPECT_EQ(g.PBOverlap, 0);
  w.snoozeMinutesCombo->setCurrentIndex(w.snoozeMinutesCombo->findText(QStringLiteral("45")));
  EXPECT_EQ(g.SnoozeMinutes, -45);
  g.SnoozeMinutes = 45;
  w.snoozeEnabledCheck->setChecked(true);
  EXPECT_EQ(g.Snooze, 1);
  EXPECT_EQ(g.SnoozeMinutes, -45);
  w.snoozeTimeEdit->setText(QStringLiteral("6:15"));
  EXPECT_EQ(g.SnoozeTime, QStringLiteral("06:15"));
  w.snoozeModeRadios[1]->click();
  EXPECT_EQ(g.SnoozeMode, 1);
  EXPECT_EQ(w.transparencyCombo->currentText(), QStringLiteral("200"));

  // Folder pickers: cancelling keeps box and setting; a choice ends in a separator.
  g.LyricPath = QStringLiteral("/old/");
  w.lyricFolderEdit->setText(g.LyricPath);
  w.lyricFolderButton->click();
  EXPECT_EQ(g.LyricPath, QStringLiteral("/old/"));
  main.folderAnswer = QStringLiteral("/music/lyrics");
  w.lyricFolderButton->click();
  EXPECT_EQ(g.LyricPath, QStringLiteral("/music/lyrics/"));
  EXPECT_EQ(w.lyricFolderEdit->text(), QStringLiteral("/music/lyrics/"));
  main.fileAnswer = QStringLiteral("/music/start.m3u");
  w.startFileButton->click();
  EXPECT_EQ(g.StartFile, QStringLiteral("/music/start.m3u"));

  // Online lookup: bound to its setting; the tip names where songs go, as text.
  EXPECT_TRUE(w.onlineLyricCheck->isChecked());
  EXPECT_TRUE(w.onlineLyricCheck->toolTip().contains(QStringLiteral("mirror.example/&lt;b&gt;")));
  w.onlineLyricCheck->setChecked(false);
  EXPECT_EQ(g.LyricOnline, 0);
  EXPECT_TRUE(w.submitAsRadios[0]->isEnabled());
  EXPECT_FALSE(w.nickEdit->isEnabled());
  w.submitAsRadios[1]->click();
  EXPECT_EQ(g.TypeLyric, 1);
  EXPECT_TRUE(w.passwordEdit->isEnabled());
  w.submitLyricCheck->setChecked(false);
  EXPECT_EQ(g.SubmitLyric, 0);
  EXPECT_FALSE(w.submitAsRadios[1]->isEnabled());
  EXPECT_FALSE(w.nickEdit->isEnabled());
  w.submitLyricCheck->setChecked(true);
  EXPECT_TRUE(w.passwordEdit->isEnabled());

  // Closing applies transparency and the always-on-top setting, once.
  w.accept();
  EXPECT_EQ(main.transparencyApplied, 1);
  EXPECT_TRUE(main.onTop.last());
}

// Every caption text the window shows, in one list.
QStringList shownCaptions(PreferencesDialog &w) {
  QStringList out;
  for (int i = 0; i < w.tabs->count(); ++i) out << w.tabs->tabText(i);
  for (auto *b : w.findChildren<QAbstractButton *>()) out << b->text();
  for (auto *l : w.findChildren<QLabel *>()) out << l->text();
  for (auto *f : w.findChildren<QGroupBox *>()) out << f->title();
  return out;
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
  const QStringList shown = shownCaptions(w);
  for (int n = 71; n <= 141; ++n)
    EXPECT_TRUE(shown.contains(spanish[static_cast<size_t>(n)])) << "Spanish text " << n;
  EXPECT_EQ(w.okButton->text(), spanish[141]);
  EXPECT_EQ(tray.menu()->actions().first()->text(), spanish[174]);
}

// Every document ships and shows, read-only; a missing one says so.
TEST_F(PrefsWindowTest, DocumentViewer) {
  PreferencesDialog w(g, main.host());
  EXPECT_TRUE(w.documentView->toPlainText().startsWith(QStringLiteral("CANTOREL v4.0 - USER GUIDE")));
  EXPECT_TRUE(w.documentView->isReadOnly());
  for (QRadioButton *r : w.documentRadios) {
    r->click();
    EXPECT_GT(w.documentView->toPlainText().size(), 200) << r->text().toStdString();
  }
  PrefsHost empty = main.host();
  empty.dataFolders = {QStringLiteral("/nonexistent-folder")};
  PreferencesDialog w2(g, empty);
  EXPECT_EQ(w2.documentView->toPlainText(), QStringLiteral("Could not open file!"));
}

// The tray tip is cut to its 63 characters, never inside a character; a
// click on the icon brings the window to the front unless the preferences
// window is open.
TEST_F(PrefsWindowTest, TrayTipAndClick) {
  int fronts = 0;
  TrayIcon tray(
      g, [](int) {}, [&] { ++fronts; });
  tray.showIcon();
  tray.setTip(QStringLiteral("Song"));
  EXPECT_EQ(tray.tip(), QStringLiteral("Cantorel v4.0 - Song"));
  tray.setTip(QString(100, QLatin1Char('t')));
  EXPECT_EQ(tray.tip().size(), 63);
  tray.setTip(QString(46, QLatin1Char('c')) + QString::fromUtf8("\xF0\x9F\x8E\xB5") + QStringLiteral("x"));
  EXPECT_EQ(tray.tip().size(), 62);

  tray.activate();
  EXPECT_EQ(fronts, 1);
  {
    PreferencesDialog w(g, main.host());
    w.show();
    tray.activate();  // the preferences window is open: nothing happens
    EXPECT_EQ(fronts, 1);
  }
  tray.activate();
  EXPECT_EQ(fronts, 2);
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
    // The Skin tab describes the skin in its author's words.
    EXPECT_TRUE(p->skinInfoLabel->text().startsWith(QStringLiteral("Cantorel default: night blue")));
    EXPECT_TRUE(p->skinInfoLabel->text().contains(QStringLiteral("\nButtons light up under the pointer")));
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

// Windows opened from the main window keep the desktop's look: the main
// window's own dark style reaches none of their boxes.
TEST_F(PrefsWindowTest, SecondaryWindowsShareOnePalette) {
  MainWindowHome home(g);
  PreferencesDialog prefs(g, main.host(), &home.w);
  PlaylistBrowserWindow browser(g, QString(), home.dir.path(), &home.w);
  const struct {
    const char *name;
    QWidget *window, *box;
  } rows[] = {{"timer list", &prefs, prefs.scheduleEntryList},
              {"plug-in list", &prefs, prefs.visPluginList},
              {"playlist contents", &browser, browser.contentsList}};
  for (const auto &r : rows) {
    r.window->show();
    const QImage inside = r.box->grab().toImage();
    const int box = QColor(inside.pixel(inside.width() / 2, inside.height() - 6)).lightness();
    const int window = r.window->palette().color(QPalette::Window).lightness();
    EXPECT_LT(std::abs(box - window), 96) << r.name << ": box " << box << ", window " << window;
    r.window->hide();
  }
}

}  // namespace
}  // namespace cantorel
