// The main window's player wiring (offscreen, real GStreamer plug-in with the
// silent output): the demo song's lyric fills the lyric box, the timer's
// lines reach the box and the line label, commands arrive from the skin's
// keys, and skin web buttons open only web addresses.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "app/main_window.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/folders.h"
#include "playback/transport.h"
#include "skin/skin_face_widget.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

void ensureApp() { test::ensureApp(); }

class MainWindowPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApp();
    oldRecord = qgetenv("CANTOREL_RECORD_DESKTOP");
    qputenv("CANTOREL_RECORD_DESKTOP", dir.filePath(QStringLiteral("desktop.log")).toUtf8());
    store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("cantorel.conf")));
    settings = std::make_unique<Settings>(*store);
    folders = std::make_unique<Folders>(dir.filePath(QStringLiteral("user")), test::dataDir(),
                                        qEnvironmentVariable("CANTOREL_PLUGIN_DIR"),
                                        dir.filePath(QStringLiteral("cantorel.conf")));
    for (const char *f : {"demo.mid", "demo.qvl"})
      QFile::copy(test::dataDir() + QLatin1String("/demo/") + QLatin1String(f),
                  dir.filePath(QLatin1String(f)));
  }
  void TearDown() override { qputenv("CANTOREL_RECORD_DESKTOP", oldRecord); }
  QStringList recorded() const {
    return QString::fromUtf8(test::readAll(dir.filePath(QStringLiteral("desktop.log"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }

  QByteArray oldRecord;
  QTemporaryDir dir;
  General g;
  std::unique_ptr<SettingsStore> store;
  std::unique_ptr<Settings> settings;
  std::unique_ptr<Folders> folders;
};

TEST_F(MainWindowPlayer, DemoLyricReachesTheBoxAndTheLineLabel) {
  frmQuelt w(g, *settings, *folders);
  w.loadSkin(w.defaultSkinFile());
  w.discoverInputPlugins();
  w.playlist().append(QStringLiteral("demo"), dir.filePath(QStringLiteral("demo.mid")));
  w.transport().PlayIt(0);
  ASSERT_EQ(w.state().Playing, -1);
  EXPECT_EQ(g.LyricActive, -1);
  QListWidget *box = w.skin().face()->lyricBox();
  ASSERT_EQ(box->count(), 6);
  EXPECT_EQ(box->item(2)->text(), QStringLiteral("Up above the world so high,"));

  w.playbackTimer().LyricAdvance(QStringLiteral("0:01"));
  EXPECT_EQ(box->currentRow(), 0);
  EXPECT_EQ(w.skin().face()->lyricLine()->text(), QStringLiteral("Twinkle, twinkle, little star,"));
  // A seek into the third phrase selects its line; the fourth is next.
  w.transport().PlayFrom(10);
  EXPECT_EQ(box->currentRow(), 2);
  EXPECT_EQ(g.LyricNext, 3);

  w.DoIt(10);
  EXPECT_EQ(w.state().Playing, 0);
}

TEST_F(MainWindowPlayer, LyricAssistantOpensForThePlayingSong) {
  frmQuelt w(g, *settings, *folders);
  w.loadSkin(w.defaultSkinFile());
  w.discoverInputPlugins();
  w.playlist().append(QStringLiteral("demo"), dir.filePath(QStringLiteral("demo.mid")));
  w.transport().PlayIt(0);
  QString opened;
  int lines = -1;
  QTimer::singleShot(0, [&] {
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal) return;
    opened = QString::fromUtf8(modal->metaObject()->className());
    if (auto *list = modal->findChild<QListWidget *>()) lines = list->count();
    modal->close();
  });
  QTimer guard;  // a window that does not close must not hang the test
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (QWidget *m = QApplication::activeModalWidget()) m->close();
  });
  guard.start(5000);
  w.DoIt(40);
  EXPECT_EQ(opened, QStringLiteral("cantorel::frmAsistente"));
  EXPECT_EQ(lines, 6) << "opens with the lyric found for the song";
}

TEST_F(MainWindowPlayer, SkinWebButtonsOpenOnlyWebAddresses) {
  frmQuelt w(g, *settings, *folders);
  w.loadSkin(w.defaultSkinFile());
  w.skin().tables().KeyStrings[11] = QStringLiteral("https://example.org/lyrics");
  w.skin().tables().KeyStrings[12] = QStringLiteral("file:///etc/passwd");
  w.skin().tables().KeyStrings[13] = QStringLiteral("/usr/bin/xterm");
  for (qint16 code : {111, 112, 113}) w.DoIt(code);
  EXPECT_EQ(recorded(), QStringList{QStringLiteral("url https://example.org/lyrics")});
}

TEST_F(MainWindowPlayer, TypedKeysRunTheirButtonsCommand) {
  frmQuelt w(g, *settings, *folders);
  w.loadSkin(w.defaultSkinFile());
  // Mode toggle 27 (repeat) answers to "j" typed in lower case.
  for (SkinButton &b : w.skin().tables().Btn)
    if (b.KeyChar == QLatin1Char('J')) b.KeyChar = QLatin1Char(' ');
  w.skin().tables().Btn[27].KeyChar = QLatin1Char('J');
  w.show();  // keys reach the skin once it is on screen
  QKeyEvent key(QEvent::KeyPress, Qt::Key_J, Qt::NoModifier, QStringLiteral("j"));
  QApplication::sendEvent(&w, &key);
  EXPECT_EQ(w.state().Repeat, -1);
}

}  // namespace
}  // namespace cantorel
