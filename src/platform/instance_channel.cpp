#include "platform/instance_channel.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>

#include "core/log.h"

namespace cantorel {

namespace {
const QByteArray kRequest = QByteArrayLiteral("F12\n");
const QByteArray kReply = QByteArrayLiteral("DONE\n");

bool answers(const QString &key) {
  QLocalSocket probe;
  probe.connectToServer(key);
  const bool ok = probe.waitForConnected(1000);
  probe.abort();
  return ok;
}
}  // namespace

InstanceChannel::InstanceChannel(QString key, QObject *parent) : QObject(parent), key_(std::move(key)) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::claim() {
  // Two starts at the same moment must not both become the running instance.
  QLockFile lock(QDir::temp().filePath(key_ + QLatin1String(".lock")));
  lock.setStaleLockTime(5000);
  lock.tryLock(5000);
  if (answers(key_)) return true;
  // A crashed instance leaves its socket file behind.
  QLocalServer::removeServer(key_);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(key_)) {
    qCWarning(lcPlatform).noquote() << "Single-instance channel not open:" << server_->errorString();
    server_.reset();
    return false;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &InstanceChannel::onConnection);
  return false;
}

void InstanceChannel::onConnection() {
  while (QLocalSocket *s = server_->nextPendingConnection()) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    connect(s, &QLocalSocket::readyRead, this, [this, s] {
      if (!s->canReadLine()) {
        if (s->bytesAvailable() > 64) s->abort();
        return;
      }
      const QByteArray line = s->readLine(64);
      if (line == kRequest) {
        Q_EMIT handOffRequested();
        s->write(kReply);
        s->flush();
      }
      s->disconnectFromServer();
    });
  }
}

bool InstanceChannel::signalPrimary(int timeoutMs) {
  QLocalSocket s;
  s.connectToServer(key_);
  if (!s.waitForConnected(timeoutMs)) return false;
  s.write(kRequest);
  if (!s.waitForBytesWritten(timeoutMs)) return false;
  QByteArray got;
  while (!got.contains('\n')) {
    if (!s.waitForReadyRead(timeoutMs)) break;
    got += s.readAll();
  }
  return got == kReply;
}

}  // namespace cantorel
