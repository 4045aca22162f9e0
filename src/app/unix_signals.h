#pragma once

#include <QObject>

class QSocketNotifier;

namespace cantorel {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal delivered on the event
// loop, so the program shuts down the normal way and keeps its settings and
// playlist.
class UnixSignals : public QObject {
  Q_OBJECT
 public:
  explicit UnixSignals(QObject *parent = nullptr);
  ~UnixSignals() override;

 Q_SIGNALS:
  void terminateRequested(int signal);

 private:
  QSocketNotifier *notifier_ = nullptr;
};

}  // namespace cantorel
