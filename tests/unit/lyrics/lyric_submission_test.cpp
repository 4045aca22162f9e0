// Lyric submission: the form encoding and the POST a real HTTP server on
// loopback receives.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "core/general.h"
#include "lyric_test_util.h"
#include "lyrics/lyric_submission.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

TEST(UrlEncodeTest, ByTheTable) {
  const struct {
    const char *text;  // UTF-8
    QByteArray encoded;
  } cases[] = {
      {"Ana Bo", "Ana+Bo"},
      {"#&%+!\"/.-", "%23%26%25%2B%21%22%2F%2E%2D"},   // up to 47: escaped
      {"0:;<=>?@[\\]^_`{|}~", "0:;<=>?@[\\]^_`{|}~"},  // from 48: as they are
      {"a\tb\r\n", "a%09b%0D%0A"},
      {"Canci\xC3\xB3n \xE2\x82\xAC", QByteArray("Canci\xF3n+\x80")},  // single bytes
      {"\xE6\xAD\x8C", "?"},                                           // not in the code page
  };
  for (const auto &c : cases) EXPECT_EQ(UrlEncode(QString::fromUtf8(c.text)), c.encoded) << c.text;
}

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

TEST_F(SubmitTest, NothingIsSentWhenSwitchedOffOfflineOrWithoutAWebAddress) {
  struct Case {
    qint16 submit;
    bool online;
    const char *url;
  };
  const QString good = g.SubmitURL;
  for (const Case &c : {Case{0, true, nullptr}, Case{2, true, nullptr}, Case{1, false, nullptr},
                        Case{1, true, ""}, Case{1, true, "file:///etc/passwd"}, Case{1, true, "not a url"}}) {
    g.SubmitLyric = c.submit;
    g.SubmitURL = c.url ? QString::fromUtf8(c.url) : good;
    LyricSubmitter s;
    s.setOnlineCheck([online = c.online] { return online; });
    bool answered = false;
    EXPECT_FALSE(submitAndWait(s, &answered)) << c.submit << c.online << (c.url ? c.url : "");
  }
  test::spinUntil([] { return false; }, 100);  // a stray request would arrive by now
  EXPECT_TRUE(server.requests().isEmpty());
}

// Servers that misbehave: each request ends unanswered, after one request,
// without holding the server's reply in memory.
TEST_F(SubmitTest, AMisbehavingServerIsGivenUp) {
  const QByteArray elsewhere = "Location: http://localhost:" + QByteArray::number(server.port()) + "/x";
  struct Case {
    const char *name;
    test::LoopbackHttpServer::Response response;
  };
  test::LoopbackHttpServer::Response silent, endless = test::LoopbackHttpServer::answer(200, {}, {});
  silent.hang = true;
  endless.streamBytes = qint64(1) << 30;
  for (const Case &c :
       {Case{"silent", silent}, Case{"endless reply", endless},
        Case{"redirect to another host", test::LoopbackHttpServer::answer(307, {}, {elsewhere})},
        Case{"redirect to plain http", test::LoopbackHttpServer::answer(307, {}, {"Location: /y"})}}) {
    server.setResponse(c.response);
    const qsizetype before = server.requests().size();
    LyricSubmitter s;
    s.setOnlineCheck([] { return true; });
    s.setTimeout(5000);
    if (QByteArray(c.name) == "silent") s.setTimeout(300);
    bool answered = true, started = false;
    const qint64 growth = test::peakMemoryGrowthKiB([&] { started = submitAndWait(s, &answered); });
    ASSERT_TRUE(started) << c.name;
    EXPECT_FALSE(answered) << c.name;
    EXPECT_FALSE(s.busy()) << c.name;
    EXPECT_EQ(server.requests().size(), before + 1) << c.name;
    EXPECT_LT(growth, 10 * 1024) << c.name << ": KiB";
    ::testing::Test::RecordProperty(c.name, int(growth));
  }
}

}  // namespace
}  // namespace cantorel
