#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTcpServer>

#include <functional>
#include <memory>

namespace cantorel::test {

// Runs the event loop until `done` holds or `timeoutMs` have passed; returns
// whether it held.
bool spinUntil(const std::function<bool()> &done, int timeoutMs = 10000);

// A small HTTP/1.1 server on 127.0.0.1 for tests: it records every request
// and answers each with the same scripted response (or the responder's),
// written in pieces with a pause between them, then closes the connection.
// Create it after the application object.
class LoopbackHttpServer {
 public:
  struct Request {
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
  };
  struct Response {
    QList<QByteArray> pieces;  // written one after the other
    int pauseMs = 30;          // between pieces
    bool hang = false;         // never answer (the connection stays open)
  };

  LoopbackHttpServer();
  ~LoopbackHttpServer();

  // A complete answer: status line, the given headers, a blank line, then
  // `body` split into `pieces` parts of equal size.
  static Response answer(int status, const QByteArray &body, const QList<QByteArray> &headers, int pieces = 1);

  void setResponse(Response r) { response_ = std::move(r); }
  // Answers each request by what it asks (replaces the one response).
  void setResponder(std::function<Response(const Request &)> f) { responder_ = std::move(f); }
  QString url(const QString &path) const;
  quint16 port() const { return server_.serverPort(); }
  const QList<Request> &requests() const { return requests_; }

 private:
  struct Connection;
  void onConnection();
  QTcpServer server_;
  Response response_;
  std::function<Response(const Request &)> responder_;
  QList<Request> requests_;
};

}  // namespace cantorel::test
