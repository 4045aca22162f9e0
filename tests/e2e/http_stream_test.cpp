// An internet stream: qv_input_gst plays from a real HTTP server on the
// loopback interface.
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "media_files.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"

namespace cantorel {
namespace {

// Serves one body to every GET until stopped.
class LoopbackServer {
 public:
  explicit LoopbackServer(QByteArray body) : body_(std::move(body)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd_, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(fd_, 4) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr *>(&a), &len) == 0)
      port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }
  int port() const { return port_; }

 private:
  void serve() {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      QByteArray request;
      char buf[1024];
      while (!request.contains("\r\n\r\n") && request.size() < 16384) {
        pollfd q{c, POLLIN, 0};
        if (::poll(&q, 1, 2000) <= 0) break;
        const ssize_t n = ::recv(c, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<int>(n));
      }
      const QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: audio/x-wav\r\nContent-Length: " +
                              QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n";
      const QByteArray all = head + body_;
      qsizetype sent = 0;
      while (!stop_ && sent < all.size()) {
        pollfd q{c, POLLOUT, 0};
        if (::poll(&q, 1, 50) <= 0) continue;
        const ssize_t n =
            ::send(c, all.constData() + sent, static_cast<size_t>(all.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += n;
      }
      ::close(c);
    }
  }

  QByteArray body_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(HttpStream, PlaysFromAnHttpAddress) {
  LoopbackServer server(test::makeWav(6.0));
  ASSERT_GT(server.port(), 0);
  PluginHost host(qEnvironmentVariable("CANTOREL_PLUGIN_DIR"));
  auto player = host.create(PluginKind::Input, QStringLiteral("qv_input_gst"));
  ASSERT_TRUE(player);
  const QString url = QStringLiteral("http://127.0.0.1:%1/radio.wav").arg(server.port());
  ASSERT_NE(player->value("Init", {url}).toInt(), -1);
  player->call("RenderFile", {url});
  player->call("Run");
  QElapsedTimer t;
  t.start();
  double pos = 0;
  while (pos < 0.5 && t.elapsed() < 8000) {
    QThread::msleep(20);
    pos = player->value("GetCurrentPosition").toDouble();
  }
  EXPECT_GE(pos, 0.5) << qPrintable(player->value("LastError").toString());
  EXPECT_EQ(player->value("Duration").toDouble(), 0.0);  // streams have no length
  player->call("CleanUP");
  player->call("finish");
}

}  // namespace
}  // namespace cantorel
