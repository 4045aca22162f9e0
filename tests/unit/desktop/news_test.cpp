// The news file: its transfer from a real HTTP server on loopback and
// reading its last line.
#include <QCoreApplication>
#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

#include "core/general.h"
#include "desktop/news_download.h"
#include "desktop/news_file.h"
#include "support/loopback_http.h"
#include "support/test_support.h"

namespace cantorel {
namespace {

// The application exists before any member of a fixture (the server) does.
struct AppFirst {
  AppFirst() {
    static int argc = 1;
    static char name[] = "unit_desktop";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
};

// The file name taken from the address never leaves the user's folder.
TEST(NewsText, FileNameStaysInTheUsersFolder) {
  const char *cases[][2] = {{"http://h.example/news.txt", "news.txt"},
                            {"http://h.example/", "msg.txt"},
                            {"http://h.example/..", "msg.txt"},
                            {"http://h.example/a\\..\\b", "msg.txt"}};
  for (const auto &c : cases)
    EXPECT_EQ(NewsFileName(QString::fromUtf8(c[0])), QString::fromUtf8(c[1])) << c[0];
}

struct ParseCase {
  const char *bytes;
  bool found;
  const char *url;
  const char *message;
};

class ParseNewsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNewsTest, LastLineSplitAtTheFirstHash) {
  const ParseCase &c = GetParam();
  NewsLine line{QStringLiteral("untouched"), QStringLiteral("untouched")};
  EXPECT_EQ(ParseNews(QByteArray(c.bytes), &line), c.found);
  EXPECT_EQ(line.submitUrl, QString::fromUtf8(c.url));
  EXPECT_EQ(line.message, QString::fromUtf8(c.message));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseNewsTest,
    ::testing::Values(
        ParseCase{"http://h/s.php#New version!\r\n", true, "http://h/s.php", "New version!"},
        ParseCase{"old#line\r\nhttp://h/s.php#Hi # there #3", true, "http://h/s.php", "Hi # there #3"},
        ParseCase{"#only a message", true, "", "only a message"},
        ParseCase{"a#b\r\nno hash on the last line\r\n", false, "untouched", "untouched"},
        ParseCase{"\xA1Nuevo!#Versi\xF3n", true, "\xC2\xA1Nuevo!", "Versi\xC3\xB3n"}));  // Windows-1252 bytes

class NewsFileTest : public ::testing::Test, private AppFirst {
 protected:
  QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
  QTemporaryDir dir;
  General g;
};

// Each row reads the file after the row before it: only a message not seen
// before is shown; the submission address comes with any message line.
TEST_F(NewsFileTest, LoadNewsMessageShowsOnlyANewNonEmptyMessage) {
  g.NewsURL = QStringLiteral("https://h/msg.txt");
  g.SubmitURL = QStringLiteral("kept");
  g.MsgRemoteSeen = QStringLiteral("seen before");
  const QByteArray big = QByteArray(kMaxNewsBytes + 1, 'x') + "\r\nhttps://h#big";
  const struct {
    const char *file;  // null: no file
    QByteArray bytes;
    bool shown;
    const char *seen, *submit;
  } rows[] = {{nullptr, {}, false, "seen before", "kept"},
              {"msg.txt", "just text\r\n", false, "seen before", "kept"},  // no "#" on the last line
              {"msg.txt", "https://h/s.php#seen before\r\n", false, "seen before", "https://h/s.php"},
              {"msg.txt", "https://h/s.php#Something new\r\n", true, "Something new", "https://h/s.php"},
              // The server took its message back: remembered as empty, no empty window.
              {"msg.txt", "https://h/s.php#\r\n", false, "", "https://h/s.php"},
              {"big.txt", big, false, "", "https://h/s.php"}};  // too big to read
  for (const auto &r : rows) {
    if (r.file) test::writeAll(path(r.file), r.bytes);
    const QString seen = g.MsgRemoteSeen;  // what the settings hold
    EXPECT_EQ(LoadNewsMessage(g, path(r.file ? r.file : "missing.txt"), seen), r.shown)
        << r.bytes.left(40).data();
    EXPECT_EQ(g.MsgRemoteSeen, QString::fromUtf8(r.seen));
    EXPECT_EQ(g.SubmitURL, QString::fromUtf8(r.submit));
  }
  // Without a service (no build setting, no address) nothing is read.
  if (!DefaultNewsUrl().isEmpty()) return;  // a build with a service
  g.NewsURL.clear();
  test::writeAll(path("msg.txt"), "https://h/s.php#Old news of another build\r\n");
  EXPECT_FALSE(LoadNewsMessage(g, path("msg.txt"), QString()));
  EXPECT_TRUE(g.SubmitURL.isEmpty());
}

// The news file names where lyrics (with the user's nick) go: only an https
// address on the host the news came from is taken.
TEST_F(NewsFileTest, SubmissionAddressOnlyOverHttpsOnTheNewsHost) {
  g.NewsURL = QStringLiteral("https://lyrics.example/svc/msg.txt");
  const struct {
    const char *address;
    bool taken;
  } cases[] = {{"https://lyrics.example/up.php", true},
               {"https://LYRICS.example/up.php?a=1", true},
               {"http://lyrics.example/up.php", false},
               {"https://elsewhere.example/up.php", false},
               {"https://u:p@lyrics.example/up.php", false},
               {"file:///etc/passwd", false},
               {"", false}};
  for (const auto &c : cases) {
    g.SubmitURL = QStringLiteral("before");
    test::writeAll(path("msg.txt"), QByteArray(c.address) + "#news\r\n");
    LoadNewsMessage(g, path("msg.txt"), QString());
    EXPECT_EQ(g.SubmitURL, c.taken ? QString::fromUtf8(c.address) : QString()) << c.address;
  }
  // Redirects of our transfers follow the same rule against the first address.
  const QUrl from(QStringLiteral("https://lyrics.example/svc/msg.txt"));
  EXPECT_TRUE(IsAllowedRedirect(from, QUrl(QStringLiteral("https://lyrics.example/new/msg.txt"))));
  EXPECT_FALSE(IsAllowedRedirect(from, QUrl(QStringLiteral("http://lyrics.example/msg.txt"))));
  EXPECT_FALSE(IsAllowedRedirect(from, QUrl(QStringLiteral("https://other.example/msg.txt"))));
}

// The transfer against a real server; every wait is bounded.
class NewsDownloadTest : public NewsFileTest {
 protected:
  void run(NewsDownload &d, const QString &url) {
    QObject::connect(&d, &NewsDownload::stateChanged, [this](int s) { states << s; });
    QObject::connect(&d, &NewsDownload::progressChanged, [this](double p) { progress << p; });
    d.start(url, path("msg.txt"));
    ASSERT_TRUE(test::spinUntil([&d] { return d.done(); }, 15000));
  }
  test::LoopbackHttpServer server;
  QList<int> states;
  QList<double> progress;
};

QByteArray bytes(int n) {
  QByteArray b;
  for (int i = 0; i < n; ++i) b += char('a' + i % 26);
  return b;
}

// The body reaches the file whole; the bar grows by each 1024-byte chunk's
// share of an announced length and stays put without a usable one.
TEST_F(NewsDownloadTest, TheBodyIsWrittenAndTheBarFollowsTheAnnouncedLength) {
  test::writeAll(path("msg.txt"), "old news");
  const struct {
    QList<QByteArray> headers;
    QByteArray body;
    QList<double> progress;
  } cases[] = {{{"Content-Length: 2048"}, bytes(2048), {50, 100}},
               // A step rounded to four decimals; the last one stops at 100.
               {{"Content-Length: 3000"}, bytes(3000), {34.1333, 34.1333 + 34.1333, 100}},
               {{}, bytes(3000), {}},
               {{"Content-Length: 0"}, {}, {}}};
  for (const auto &c : cases) {
    states.clear();
    progress.clear();
    server.setResponse(test::LoopbackHttpServer::answer(200, c.body, c.headers, 2));
    NewsDownload d;
    run(d, server.url(QStringLiteral("/msg.txt")));
    EXPECT_EQ(states.last(), news_state::Completed);
    if (!c.progress.isEmpty()) {
      EXPECT_TRUE(states.contains(news_state::Receiving));
    }
    // Compared element-wise: QList's == on two empty lists passes memcmp a
    // null pointer, which the sanitizer build rejects.
    EXPECT_EQ(std::vector<double>(progress.begin(), progress.end()),
              std::vector<double>(c.progress.begin(), c.progress.end()));
    EXPECT_EQ(test::readAll(path("msg.txt")), c.body);
  }
  ASSERT_EQ(server.requests().size(), 4);
  EXPECT_EQ(server.requests()[0].method, QByteArray("GET"));
  EXPECT_EQ(server.requests()[0].path, QByteArray("/msg.txt"));
  // Nothing is left behind but the file itself.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("msg.txt")});
}

// Every way a transfer can fail ends in state 11 with the old file intact
// and no redirect followed.
TEST_F(NewsDownloadTest, EveryFailureKeepsTheOldFile) {
  using Server = test::LoopbackHttpServer;
  Server::Response silent;
  silent.hang = true;
  const QByteArray elsewhere = "Location: http://localhost:" + QByteArray::number(server.port()) + "/msg.txt";
  const struct {
    const char *name;
    Server::Response response;
  } rows[] = {{"status", Server::answer(404, "gone", {})},
              {"cut", Server::answer(200, bytes(1000), {"Content-Length: 2048"})},
              {"silent", silent},
              {"redirect elsewhere", Server::answer(302, {}, {elsewhere})},
              {"redirect to plain http", Server::answer(302, {}, {"Location: /other.txt"})},
              {"refused", {}}};
  for (const auto &r : rows) {
    SCOPED_TRACE(r.name);
    test::writeAll(path("msg.txt"), "http://h/s.php#old news\r\n");
    server.setResponse(r.response);
    QString url = server.url(QStringLiteral("/msg.txt"));
    if (qstrcmp(r.name, "refused") == 0) {
      QTcpServer probe;  // a port nobody listens on
      probe.listen(QHostAddress::LocalHost, 0);
      url = QStringLiteral("http://127.0.0.1:%1/msg.txt").arg(probe.serverPort());
    }
    const qsizetype requests = server.requests().size();
    states.clear();
    NewsDownload d;
    if (r.response.hang) d.setLimits({200, 400, kMaxNewsBytes});
    run(d, url);
    EXPECT_EQ(states.last(), news_state::Error);
    EXPECT_LE(server.requests().size() - requests, 1) << "a redirect was followed";
    EXPECT_EQ(test::readAll(path("msg.txt")), QByteArray("http://h/s.php#old news\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("msg.txt")});
  }
}

// A server that sends without end, with or without announcing it, is cut
// off at the limit: the download never holds much more than the limit.
TEST_F(NewsDownloadTest, AnEndlessBodyStopsAtTheLimit) {
  for (const QList<QByteArray> &headers :
       {QList<QByteArray>{}, QList<QByteArray>{"Content-Length: 1073741824"}}) {
    states.clear();
    test::writeAll(path("msg.txt"), "old");
    auto r = test::LoopbackHttpServer::answer(200, {}, headers);
    r.streamBytes = qint64(1) << 30;
    server.setResponse(r);
    NewsDownload d;
    const qint64 growth = test::peakMemoryGrowthKiB([&] { run(d, server.url(QStringLiteral("/msg.txt"))); });
    EXPECT_EQ(states.last(), news_state::Error);
    EXPECT_LT(growth, 10 * 1024) << "KiB";
    ::testing::Test::RecordProperty(headers.isEmpty() ? "peakGrowthKiB" : "peakGrowthKiBWithLength",
                                    int(growth));
    EXPECT_EQ(test::readAll(path("msg.txt")), QByteArray("old"));
  }
}

}  // namespace
}  // namespace cantorel
