#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

namespace cantorel {

// Keeps one running instance per user and settings file. The first start
// listens on a local socket; a later start finds it there, asks it to take the
// hand-off and waits until it has done so.
class InstanceChannel : public QObject {
  Q_OBJECT
 public:
  explicit InstanceChannel(QString key, QObject *parent = nullptr);
  ~InstanceChannel() override;

  // Becomes the running instance unless another one answers. Returns true
  // when another instance is running. Safe against two starts at once.
  bool claim();
  bool isPrimary() const { return server_ != nullptr; }

  // From a second start: asks the running instance to take the hand-off and
  // waits (at most `timeoutMs`) until it has. Returns whether it answered.
  bool signalPrimary(int timeoutMs = 10000);

 Q_SIGNALS:
  // A second start asked for the hand-off; handled before the reply is sent.
  void handOffRequested();

 private:
  void onConnection();
  QString key_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace cantorel
