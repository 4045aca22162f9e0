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

TEST_F(LyricDisplay, OpensFullScreenWithTheLookGivenAndShowsLinesAsPlainText) {
  init();
  QWidget *w = lyricWindow();
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->windowState() & Qt::WindowFullScreen);
  auto *label = w->findChild<QLabel *>(QStringLiteral("LyricLine"));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0, 0, 255));
  EXPECT_EQ(label->font().family(), QStringLiteral("Liberation Sans"));
  EXPECT_TRUE(label->font().bold());
  EXPECT_GE(label->font().pixelSize(), 56);  // at least three times 14 pt
  const QString line = QStringLiteral("<b>not bold</b> & <img src=x>");
  g.VisPlugin->call("show_lyric", {line});
  EXPECT_EQ(label->text(), line);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
}

TEST_F(LyricDisplay, EscapeAClickOrAnotherPluginCloses) {
  init();
  QWidget *w = lyricWindow();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(w, &escape);
  EXPECT_FALSE(w->isVisible());
  EXPECT_FALSE(g.VisPlugin->value("IsShown").toBool());
  // Lines keep coming while it is closed; opening again shows the latest.
  g.VisPlugin->call("show_lyric", {QStringLiteral("later")});
  init();
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(g.VisPlugin->value("CurrentLine").toString(), QStringLiteral("later"));
  const QPointF at(10, 10);
  QMouseEvent click(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w, &click);
  EXPECT_FALSE(w->isVisible());
  // A fresh plug-in object replaces the old one, and the old window goes.
  init();
  host.ApplyVisPlugin(g, QStringLiteral("qv_plugin.so"));
  EXPECT_FALSE(lyricWindow());
}

}  // namespace
}  // namespace cantorel
