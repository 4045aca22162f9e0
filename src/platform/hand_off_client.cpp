#include "platform/hand_off_client.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace cantorel {

namespace {

constexpr int kLockWaitMs = 5000;

// A connected socket, closed when it goes.
class Connection {
 public:
  ~Connection() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool open(const QString &path) {
    const QByteArray p = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (p.size() >= static_cast<qsizetype>(sizeof addr.sun_path)) return false;
    std::memcpy(addr.sun_path, p.constData(), static_cast<size_t>(p.size()));
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    int r;
    do r = ::connect(fd_, reinterpret_cast<const sockaddr *>(&addr), sizeof addr);
    while (r < 0 && errno == EINTR);
    if (r == 0) return true;
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  bool send(const QByteArray &bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::send(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += n;
    }
    return true;
  }
  // The first line the other side writes, within the deadline.
  QByteArray readLine(QDeadlineTimer deadline) {
    QByteArray got;
    char buf[64];
    while (!got.contains('\n') && got.size() < 1024) {
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(qMax<qint64>(0, deadline.remainingTime())));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) break;
      const ssize_t n = ::read(fd_, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got.append(buf, n);
    }
    return got;
  }

 private:
  int fd_ = -1;
};

}  // namespace

QString instanceSocketPath(const QString &key) {
  return QDir::cleanPath(QDir::tempPath()) + u'/' + key;
}

QString instanceLockPath(const QString &key) {
  return instanceSocketPath(key) + QLatin1String(".lock");
}

HandOff handOver(const QString &key, const CommandLineRequest &request, QLockFile &lock, int timeoutMs) {
  const QString path = instanceSocketPath(key);
  Connection c;
  // A running instance answers at once; only when none does is the lock
  // needed, and then it is asked again under the lock (another start may
  // just have begun listening).
  if (!c.open(path)) {
    lock.setStaleLockTime(kLockWaitMs);
    lock.tryLock(kLockWaitMs);
    if (!c.open(path)) return HandOff::NobodyRunning;
    lock.unlock();
  }
  const QDeadlineTimer deadline(timeoutMs);
  if (!c.send(encodeHandOff(request))) return HandOff::NoAnswer;
  return c.readLine(deadline) == kHandOffAnswer ? HandOff::Delivered : HandOff::NoAnswer;
}

}  // namespace cantorel
