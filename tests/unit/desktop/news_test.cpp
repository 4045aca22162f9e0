// The news file: its transfer from a real HTTP server on loopback and
// reading its last line.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

TEST(ParseNewsTest, LastLineSplitAtTheFirstHash) {
  const struct {
    const char *bytes;
    bool found;
    const char *url, *message;
  } cases[] = {{"http://h/s.php#New version!\r\n", true, "http://h/s.php", "New version!"},
               {"old#line\r\nhttp://h/s.php#Hi # there #3", true, "http://h/s.php", "Hi # there #3"},
               {"#only a message", true, "", "only a message"},
               {"a#b\r\nno hash on the last line\r\n", false, "untouched", "untouched"},
               {"\xA1Nuevo!#Versi\xF3n", true, "\xC2\xA1Nuevo!", "Versi\xC3\xB3n"}};  // Windows-1252 bytes
  for (const auto &c : cases) {
    NewsLine line{QStringLiteral("untouched"), QStringLiteral("untouched")};
    EXPECT_EQ(ParseNews(QByteArray(c.bytes), &line), c.found) << c.bytes;
    EXPECT_EQ(line.submitUrl, QString::fromUtf8(c.url)) << c.bytes;
    EXPECT_EQ(line.message, QString::fromUtf8(c.message)) << c.bytes;
  }
}

class NewsFileTest : public ::testing::Test, private AppFirst {
 protected:
  QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
  QTemporaryDir dir;
  General g;
};

// Each row reads the file after the row before it: only a message not seen
// before is shown; the submission address comes with any message line, but
// only an https address on the host the news came from is taken (lyrics go
// there with the user's nick).
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
              {"big.txt", big, false, "", "https://h/s.php"},  // too big to read
              {"msg.txt", "http://h/s.php#Plain\r\n", true, "Plain", ""},
              {"msg.txt", "https://elsewhere/s.php#Other\r\n", true, "Other", ""}};
  for (const auto &r : rows) {
    if (r.file) test::writeAll(path(r.file), r.bytes);
    const QString seen = g.MsgRemoteSeen;  // what the settings hold
    EXPECT_EQ(LoadNewsMessage(g, path(r.file ? r.file : "missing.txt"), seen), r.shown)
        << r.bytes.left(40).data();
    EXPECT_EQ(g.MsgRemoteSeen, QString::fromUtf8(r.seen));
    EXPECT_EQ(g.SubmitURL, QString::fromUtf8(r.submit));
  }
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

// The body reaches the file whole; the bar grows by each 1024-byte chunk's
// share of the announced length.
TEST_F(NewsDownloadTest, TheBodyIsWrittenAndTheBarFollowsTheAnnouncedLength) {
  test::writeAll(path("msg.txt"), "old news");
  const QByteArray body = QByteArray("0123456789abcdef").repeated(128);
  server.setResponse(test::LoopbackHttpServer::answer(200, body, {"Content-Length: 2048"}, 2));
  NewsDownload d;
  run(d, server.url(QStringLiteral("/msg.txt")));
  EXPECT_EQ(states.last(), news_state::Completed);
  EXPECT_EQ(progress, (QList<double>{50, 100}));
  EXPECT_EQ(test::readAll(path("msg.txt")), body);
  EXPECT_EQ(server.requests().value(0).path, QByteArray("/msg.txt"));
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
              {"cut", Server::answer(200, QByteArray(1000, 'x'), {"Content-Length: 2048"})},
              {"silent", silent},
              {"redirect elsewhere", Server::answer(302, {}, {elsewhere})},
              {"redirect to plain http", Server::answer(302, {}, {"Location: /other.txt"})},
              {"refused", {}}};
  for (const auto &r : rows) {
    SCOPED_TRACE(r.name);
    test::writeAll(path("msg.txt"), "http://h/s.php#old news\r\n");
    server.setResponse(r.response);
    // Port 9 refuses at once.
    const QString url = qstrcmp(r.name, "refused") == 0 ? QStringLiteral("http://127.0.0.1:9/msg.txt")
                                                        : server.url(QStringLiteral("/msg.txt"));
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

}  // namespace
}  // namespace cantorel
