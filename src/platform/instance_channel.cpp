#include "platform/instance_channel.h"

#include <QLocalSocket>

#include "core/log.h"
#include "platform/hand_off_client.h"

namespace cantorel {

namespace {
// A request is one line; anything longer is not one of ours.
constexpr qint64 kMaxMessage = 64 * 1024;
}  // namespace

InstanceChannel::InstanceChannel(QString key, QObject *parent) : QObject(parent), key_(std::move(key)) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen() {
  if (server_) return true;
  // A crashed instance leaves its socket file behind.
  const QString path = instanceSocketPath(key_);
  QLocalServer::removeServer(path);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path)) {
    qCWarning(lcPlatform).noquote() << "Single-instance channel not open:" << server_->errorString();
    server_.reset();
    return false;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &InstanceChannel::onConnection);
  return true;
}

void InstanceChannel::onConnection() {
  while (QLocalSocket *s = server_->nextPendingConnection()) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    connect(s, &QLocalSocket::readyRead, this, [this, s] {
      while (s->canReadLine()) {
        CommandLineRequest request;
        if (!decodeHandOff(s->readLine(kMaxMessage + 1), &request)) {
          s->abort();
          return;
        }
        // Answered first: the sender may end while the request is carried out.
        s->write(kHandOffAnswer);
        s->flush();
        Q_EMIT handOffReceived(request);
      }
      if (s->bytesAvailable() > kMaxMessage) s->abort();
    });
  }
}

}  // namespace cantorel
