#include "platform/instance_channel.h"

#include <QDir>
#include <QLocalSocket>

#include "core/log.h"

namespace cantorel {

namespace {
const QByteArray kAnswer = QByteArrayLiteral("OK\n");
// A request is one line; anything longer is not one of ours.
constexpr qint64 kMaxMessage = 64 * 1024;
constexpr int kLockWaitMs = 5000;

bool connectTo(QLocalSocket &s, const QString &key, int timeoutMs) {
  s.connectToServer(key);
  return s.waitForConnected(timeoutMs);
}
}  // namespace

InstanceChannel::InstanceChannel(QString key, QObject *parent) : QObject(parent), key_(std::move(key)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::lockPath(const QString &key) { return QDir::temp().filePath(key + QLatin1String(".lock")); }

InstanceChannel::HandOff InstanceChannel::handOver(const QString &key, const CommandLineRequest &request,
                                                   QLockFile &lock, int timeoutMs) {
  QLocalSocket s;
  // A running instance answers at once; only when none does is the lock
  // needed, and then asked again under it (another start may just have
  // begun listening).
  if (!connectTo(s, key, timeoutMs)) {
    lock.setStaleLockTime(kLockWaitMs);
    lock.tryLock(kLockWaitMs);
    if (!connectTo(s, key, timeoutMs)) return HandOff::NobodyRunning;
    lock.unlock();
  }
  s.write(encodeHandOff(request));
  QByteArray got;
  while (!got.endsWith('\n') && got.size() < kAnswer.size() + 1) {
    if (!s.waitForReadyRead(timeoutMs)) break;
    got += s.readAll();
  }
  return got == kAnswer ? HandOff::Delivered : HandOff::NoAnswer;
}

bool InstanceChannel::listen() {
  if (server_) return true;
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
        s->write(kAnswer);
        s->flush();
        Q_EMIT handOffReceived(request);
      }
      if (s->bytesAvailable() > kMaxMessage) s->abort();
    });
  }
}

}  // namespace cantorel
