// The splash window with its news transfer, and the news message window
// (offscreen, against a real HTTP server on loopback).
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/gui_app.h"

#include "core/general.h"
#include "desktop/news_download.h"
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
  EXPECT_EQ(s.stateLabel->text(), StateText(12));
  EXPECT_EQ(s.stateLabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(s.progressBar->value(), 100);
  EXPECT_EQ(g.NewsURL, server.url(QStringLiteral("/msg.txt")));
  EXPECT_EQ(test::readAll(dir.filePath(QStringLiteral("msg.txt"))), body);
  EXPECT_EQ(SplashWindow::timerInterval(), 40);
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
  EXPECT_TRUE(s.isVisible());
  s.finishNow();  // a file was handed over meanwhile
  s.finishNow();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(s.stateLabel->text(), StateText(11));
  EXPECT_FALSE(s.finishTimer->isActive());
}

// A build without a service fetches nothing: the splash ends at its first
// tick without an error text.
TEST_F(SplashTest, WithoutAServiceNothingIsFetched) {
  if (!ServiceUrl(QString()).isEmpty()) GTEST_SKIP() << "this build names a service";
  SplashWindow s(g, dir.path());
  ASSERT_EQ(runSplash(s, 2000), 1);
  EXPECT_TRUE(g.NewsURL.isEmpty());
  EXPECT_TRUE(s.stateLabel->text().isEmpty());
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

class MessageWindowTest : public ::testing::Test, private AppFirst {};

TEST_F(MessageWindowTest, PlainTextAndAClickCloses) {
  General g;
  g.Messages[186] = QStringLiteral("Noticias");
  NewsMessageWindow w(g);
  w.messageLabel->setText(QStringLiteral("<b>New</b> <a href='http://x'>version</a>"));
  EXPECT_EQ(w.headingLabel->text(), QStringLiteral("Noticias"));
  EXPECT_EQ(w.messageLabel->textFormat(), Qt::PlainText);
  EXPECT_EQ(w.headingLabel->textFormat(), Qt::PlainText);
  EXPECT_FALSE(w.messageLabel->openExternalLinks());
  EXPECT_EQ(w.windowModality(), Qt::ApplicationModal);
  w.show();
  ASSERT_TRUE(w.isVisible());
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(w.messageLabel, &press);  // a click on the label reaches the window
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace cantorel
