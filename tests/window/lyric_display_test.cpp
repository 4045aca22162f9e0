// qv_plugin, the full-screen lyric display, loaded and called by name.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"

namespace cantorel {
namespace {

QWidget *lyricWindow() {
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("LyricWindow")) return w;
  return nullptr;
}

class LyricDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ensureApp();
    g.VisPluginName = QStringLiteral("qv_plugin");
    host.CreatePlugin(g);
    ASSERT_TRUE(g.VisPlugin) << "qv_plugin not built";
  }
  void init() {
    // Red text on blue (0x00BBGGRR), Liberation Sans bold 14 pt.
    ASSERT_TRUE(g.VisPlugin->call(
        "init_plugin", {QStringLiteral("Lyrics"), 0x0000FF, 0xFF0000, QStringLiteral("Liberation Sans"), -1,
                        14.0f, 300.0f, 450.0f, 0, 0}));
    QApplication::processEvents();
  }

  PluginHost host{qEnvironmentVariable("CANTOREL_PLUGIN_DIR")};
  General g;
};

// Opened full screen, it shows lines as plain text;
// Escape or a click closes it, and a fresh plug-in object takes its window.
TEST_F(LyricDisplay, ShowsLinesAsPlainTextUntilEscapeOrAClick) {
  init();
  QWidget *w = lyricWindow();
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->windowState() & Qt::WindowFullScreen);
  auto *label = w->findChild<QLabel *>(QStringLiteral("LyricLine"));
  ASSERT_TRUE(label);
  const QString line = QStringLiteral("<b>not bold</b> & <img src=x>");
  g.VisPlugin->call("show_lyric", {line});
  EXPECT_EQ(label->text(), line);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);

  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(w, &escape);
  EXPECT_FALSE(g.VisPlugin->value("IsShown").toBool());
  init();
  const QPointF at(10, 10);
  QMouseEvent click(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w, &click);
  EXPECT_FALSE(w->isVisible());
  init();
  host.ApplyVisPlugin(g, QStringLiteral("qv_plugin.so"));
  EXPECT_FALSE(lyricWindow());
}

}  // namespace
}  // namespace cantorel
