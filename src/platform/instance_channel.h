#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

#include "core/command_line.h"

namespace cantorel {

// The running side of the single-instance channel (hand_off_client.h is the
// start side). The running instance listens on a local socket per user and
// settings file; a later start sends its request there as one message and
// ends once it is answered. Each message is answered once it is taken and
// reported once, in the order the messages arrived.
class InstanceChannel : public QObject {
  Q_OBJECT
 public:
  explicit InstanceChannel(QString key, QObject *parent = nullptr);
  ~InstanceChannel() override;

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
