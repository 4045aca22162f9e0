#include "support/loopback_http.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace cantorel::test {

bool spinUntil(const std::function<bool()> &done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

LoopbackHttpServer::LoopbackHttpServer() {
  server_.listen(QHostAddress::LocalHost, 0);
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { onConnection(); });
}

LoopbackHttpServer::~LoopbackHttpServer() { server_.close(); }

LoopbackHttpServer::Response LoopbackHttpServer::answer(int status, const QByteArray &body,
                                                        const QList<QByteArray> &headers, int pieces) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status < 400 ? " OK" : " Error") + "\r\n";
  for (const QByteArray &h : headers) head += h + "\r\n";
  head += "Connection: close\r\n\r\n";
  Response r;
  const qsizetype n = qMax(1, pieces);
  const qsizetype size = (body.size() + n - 1) / n;
  r.pieces << head + body.left(size);
  for (qsizetype at = size; at < body.size(); at += size) r.pieces << body.mid(at, size);
  return r;
}

QString LoopbackHttpServer::url(const QString &path) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void LoopbackHttpServer::onConnection() {
  while (QTcpSocket *s = server_.nextPendingConnection()) {
    auto buffer = std::make_shared<QByteArray>();
    auto answered = std::make_shared<bool>(false);
    QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer, answered] {
      *buffer += s->readAll();
      if (*answered) return;
      const qsizetype end = buffer->indexOf("\r\n\r\n");
      if (end < 0) return;
      Request req;
      const QList<QByteArray> lines = buffer->left(end).split('\n');
      const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
      req.method = first.value(0);
      req.path = first.value(1);
      for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) req.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
      }
      const qsizetype length = req.headers.value("content-length").toLongLong();
      if (buffer->size() < end + 4 + length) return;  // the body is still coming
      req.body = buffer->mid(end + 4, length);
      *answered = true;
      requests_ << req;
      const Response r = responder_ ? responder_(req) : response_;
      if (r.hang) return;
      // Writes the pieces one by one, then closes.
      QPointer<QTcpSocket> sock(s);
      for (qsizetype i = 0; i < r.pieces.size(); ++i) {
        QTimer::singleShot(int(i) * r.pauseMs, s, [sock, piece = r.pieces[i], last = i + 1 == r.pieces.size()] {
          if (!sock) return;
          sock->write(piece);
          sock->flush();
          if (last) sock->disconnectFromHost();
        });
      }
    });
  }
}

}  // namespace cantorel::test
