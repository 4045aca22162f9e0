#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

#include "core/command_line.h"

namespace cantorel {

// Keeps one running instance per user and settings file. The running instance
// listens on a local socket; a later start sends it its request there as one
// message, waits until the running instance has queued it (its answer), and
// ends. Every message is taken once, in the order the messages arrived.
class InstanceChannel : public QObject {
  Q_OBJECT
 public:
  enum class HandOff {
    Delivered,      // the running instance has the request
    NobodyRunning,  // this start is the first: it should listen
    NoAnswer,       // an instance is there but did not take the request in time
  };

  explicit InstanceChannel(QString key, QObject *parent = nullptr);
  ~InstanceChannel() override;

  // The lock that makes "is anybody running? then I listen" one step for
  // starts at the same moment.
  static QString lockPath(const QString &key);

  // From any start, before it builds anything else: hands `request` to the
  // running instance and waits (at most `timeoutMs`) for its answer. When
  // nobody is running, `lock` (on lockPath) is held on return, so no other
  // start can become the running instance before this one listens; unlock it
  // after listen().
  static HandOff handOver(const QString &key, const CommandLineRequest &request, QLockFile &lock,
                          int timeoutMs = 10000);

  // Becomes the running instance: listens, replacing the socket file a
  // crashed instance left behind. False when the socket could not be opened.
  bool listen();
  bool isPrimary() const { return server_ != nullptr; }

 Q_SIGNALS:
  // A later start handed this over; emitted once per message, in arrival
  // order, after the sender was answered.
  void handOffReceived(const cantorel::CommandLineRequest &request);

 private:
  void onConnection();
  QString key_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace cantorel
