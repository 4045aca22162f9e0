#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "desktop/news_file.h"

class QNetworkReply;

namespace cantorel {

// The news transfer of the splash window: one GET of the news address,
// reporting its states (`StateText`) as it goes. The body is taken as it
// arrives and the transfer stops as soon as it passes the size limit; a
// redirect is followed only to https on the same host. Once all data has
// arrived (state 12) the progress grows by each 1024-byte chunk's share of the
// announced length, and the news file is replaced with the body in one atomic
// step. A failed, cut, redirected elsewhere or oversized transfer ends in
// state 11 and leaves the earlier file as it was.
class NewsDownload : public QObject {
  Q_OBJECT
 public:
  // How long a transfer may take: it gives up after `idleMs` without data or
  // `totalMs` in all, so a server that never answers cannot keep the splash
  // open.
  struct Limits {
    int idleMs = 20000;
    int totalMs = 30000;
    qint64 maxBytes = kMaxNewsBytes;
  };
  static constexpr int kChunkSize = 1024;

  explicit NewsDownload(QObject *parent = nullptr);
  ~NewsDownload() override;

  void setLimits(const Limits &limits) { limits_ = limits; }

  // Starts the GET of `url`; the body goes to `file` when the transfer
  // completes.
  void start(const QString &url, const QString &file);
  // Gives up a transfer under way (state 11).
  void abort();

  int state() const { return state_; }
  double progress() const { return progress_; }
  bool done() const { return state_ == news_state::Error || state_ == news_state::Completed; }

  // The share of the file one chunk carries, in percent rounded to four
  // decimals; 0 when the length is unknown (absent, zero or not a number).
  static double progressStep(qint64 contentLength);
  // The progress after one more chunk: grows by `step` up to 100.
  static double nextProgress(double progress, double step);

 Q_SIGNALS:
  void stateChanged(int state);
  void progressChanged(double progress);

 private:
  void setState(int state);
  void onFinished();
  void stopTooLarge();

  Limits limits_;
  QNetworkAccessManager nam_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  QString file_;
  QByteArray body_;  // what has arrived so far, at most the limit + 1 byte
  int state_ = 0;
  double progress_ = 0;
};

}  // namespace cantorel
