// The splash window with its news transfer, and the news message window
// (offscreen, against a real HTTP server on loopback).
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "core/general.h"
#include "desktop/news_file.h"
#include "desktop/news_message_window.h"
#include "desktop/splash_window.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

struct AppFirst {
  AppFirst() { test::ensureApp(); }
};

class SplashTest : public ::testing::Test, private AppFirst {
 protected:
  // Runs the splash until it asks for the main window (or `ms` pass).
  int runSplash(SplashWindow &s, int ms) {
    QObject::connect(&s, &SplashWindow::loadMainWindow, [this, &s] {
      ++loads;
      EXPECT_FALSE(s.isVisible());  // hidden before the main window loads
    });
    s.start();
    test::spinUntil([this] { return loads > 0; }, ms);
    return loads;
  }
  void SetUp() override { qputenv("CANTOREL_SPLASH_MS", "40"); }
  void TearDown() override {
    qunsetenv("CANTOREL_SPLASH_MS");
    qunsetenv("CANTOREL_NEWS_URL");
  }
  QTemporaryDir dir;
  General g;
  test::LoopbackHttpServer server;
  int loads = 0;
};

TEST_F(SplashTest, CompletedTransferOpensTheMainWindowWithTheFileWritten) {
  const QByteArray body = QByteArray(1024, 'x') + "\r\nhttp://h/s.php#Hello\r\n";
  server.setResponse(
      test::LoopbackHttpServer::answer(200, body, {"Content-Length: " + QByteArray::number(body.size())}, 2));
  qputenv("CANTOREL_NEWS_URL", server.url(QStringLiteral("/msg.txt")).toUtf8());
  SplashWindow s(g, dir.path());
  ASSERT_EQ(runSplash(s, 10000), 1);
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("msg.txt"))), body);
}

// (A refused transfer opening the main window all the same is what every
// start of the real program in tests/e2e/program_test.cpp goes through.)
TEST_F(SplashTest, WaitsForTheTransferUnlessToldToFinish) {
  test::LoopbackHttpServer::Response silent;
  silent.hang = true;
  server.setResponse(silent);
  qputenv("CANTOREL_NEWS_URL", server.url(QStringLiteral("/msg.txt")).toUtf8());
  SplashWindow s(g, dir.path());
  EXPECT_EQ(runSplash(s, 400), 0);  // ten ticks, still waiting
  s.finishNow();                    // a file was handed over meanwhile
  s.finishNow();
  EXPECT_EQ(loads, 1);
}

class MessageWindowTest : public ::testing::Test, private AppFirst {};

TEST_F(MessageWindowTest, PlainTextAndAClickCloses) {
  General g;
  NewsMessageWindow w(g);
  w.messageLabel->setText(QStringLiteral("<b>New</b> <a href='http://x'>version</a>"));
  EXPECT_EQ(w.messageLabel->textFormat(), Qt::PlainText);
  EXPECT_FALSE(w.messageLabel->openExternalLinks());
  w.show();
  ASSERT_TRUE(w.isVisible());
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w.messageLabel, &press);  // a click on the label reaches the window
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace cantorel
