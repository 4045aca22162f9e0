// Lyric submission: the POST, form encoding included, that a real HTTP
// server on loopback receives, and when nothing is sent.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "core/general.h"
#include "lyric_test_util.h"
#include "lyrics/lyric_submission.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

class SubmitTest : public ::testing::Test, private test::AppFirst {
 protected:
  void SetUp() override {
    g.SubmitLyric = 1;
    g.Nick = QStringLiteral("Ana & Bo");
    g.SubmitURL = server.url(QStringLiteral("/lyrics/submit.php?v=2"));
    g.SongTag.setTitle(QStringLiteral("Noche"));
    g.SongTag.setAlbum(QStringLiteral("Mar"));
    g.SongTag.setArtist(QStringLiteral("Luz"));
    server.setResponse(test::LoopbackHttpServer::answer(200, "thanks", {"Content-Length: 6"}));
  }
  bool submitAndWait(LyricSubmitter &s, bool *answered) {
    bool done = false;
    QObject::connect(&s, &LyricSubmitter::finished, [&](bool a) {
      done = true;
      *answered = a;
    });
    return s.submit(g, file, texts, times) && test::spinUntil([&done] { return done; }, 15000);
  }
  test::LoopbackHttpServer server;
  General g;
  const QString file = QStringLiteral("/home/ana/M\xFAsica/Noche.qvl");
  const QStringList texts{QStringLiteral("Hola # mundo"), QStringLiteral("a\tb")};
  const QStringList times{QStringLiteral("0:05"), QStringLiteral("1:10")};
};

// As the timing step sends it: in the background, ending by itself.
TEST_F(SubmitTest, PostsTheFiveFieldsExactlyInTheBackground) {
  auto running = [] { return QCoreApplication::instance()->findChildren<LyricSubmitter *>().size(); };
  EXPECT_TRUE(SubmitTimedLyric(g, file, texts, times, [] { return true; }));
  EXPECT_EQ(running(), 1);
  ASSERT_TRUE(test::spinUntil([&] { return running() == 0; }, 15000));  // removed itself when answered
  ASSERT_EQ(server.requests().size(), 1);
  const auto &r = server.requests()[0];
  EXPECT_EQ(r.method, QByteArray("POST"));
  EXPECT_EQ(r.path, QByteArray("/lyrics/submit.php?v=2"));
  EXPECT_EQ(r.headers.value("content-type"), QByteArray("application/x-www-form-urlencoded"));
  const QByteArray expected =
      "name=Ana+%26+Bo+%2D+%2Fhome%2Fana%2FM\xFAsica%2FNoche%2Eqvl"
      "&song_title=Noche" +
      QByteArray(25, '+') + "&album_title=Mar" + QByteArray(27, '+') + "&artist_name=Luz" +
      QByteArray(27, '+') + "&lyric=Hola+%23+mundo%230:05%23a%09b%231:10%23";
  EXPECT_EQ(r.body, expected);
}

// Nothing is sent when switched off, offline or without a web address; a
// server that misbehaves is given up after its one request, without its
// reply held in memory.
TEST_F(SubmitTest, SentOnlyWhenAskedAndGivenUpOnAMisbehavingServer) {
  using Server = test::LoopbackHttpServer;
  Server::Response silent, endless = Server::answer(200, {}, {});
  silent.hang = true;
  endless.streamBytes = qint64(1) << 30;
  const QString good = g.SubmitURL;
  const struct {
    qint16 submit;
    bool online;
    const char *url;  // null: the loopback server
    Server::Response response;
    bool started;
  } cases[] = {
      {0, true, nullptr, {}, false},
      {1, false, nullptr, {}, false},
      {1, true, "file:///etc/passwd", {}, false},
      {1, true, nullptr, silent, true},
      {1, true, nullptr, endless, true},
  };
  qsizetype requests = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(&c - cases);
    g.SubmitLyric = c.submit;
    g.SubmitURL = c.url ? QString::fromUtf8(c.url) : good;
    server.setResponse(c.response);
    LyricSubmitter s;
    s.setOnlineCheck([online = c.online] { return online; });
    s.setTimeout(c.response.hang ? 300 : 5000);
    bool answered = true, started = false;
    const qint64 growth = test::peakMemoryGrowthKiB([&] { started = submitAndWait(s, &answered); });
    EXPECT_EQ(started, c.started);
    EXPECT_FALSE(started && answered);
    EXPECT_FALSE(s.busy());
    EXPECT_EQ(server.requests().size(), requests += c.started);
    EXPECT_LT(growth, 10 * 1024) << "KiB";
  }
  test::spinUntil([] { return false; }, 100);  // a stray request would arrive by now
  EXPECT_EQ(server.requests().size(), 2);
}

}  // namespace
}  // namespace cantorel
