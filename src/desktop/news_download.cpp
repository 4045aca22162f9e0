#include "desktop/news_download.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cmath>
#include <utility>

#include "core/atomic_file.h"

namespace cantorel {

NewsDownload::NewsDownload(QObject *parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, &NewsDownload::abort);
}

NewsDownload::~NewsDownload() {
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
  }
}

double NewsDownload::progressStep(qint64 contentLength) {
  if (contentLength <= 0) return 0;
  return std::round(double(kChunkSize) / double(contentLength) * 100.0 * 10000.0) / 10000.0;
}

double NewsDownload::nextProgress(double progress, double step) {
  if (progress >= 100) return progress;
  return progress + step < 100 ? progress + step : 100;
}

void NewsDownload::start(const QString &url, const QString &file) {
  file_ = file;
  progress_ = 0;
  body_.clear();
  const QUrl u(url);
  QNetworkRequest req(u);
  // The body is copied as it comes from the server: no compression, no cache.
  req.setRawHeader("Accept-Encoding", "identity");
  req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  req.setTransferTimeout(limits_.idleMs);
  setState(QHostAddress(u.host()).isNull() ? news_state::LookingUp : news_state::Connecting);
  reply_ = nam_.get(req);
  QNetworkReply *r = reply_;
  // Qt keeps no more than this unread; the rest waits in the socket.
  r->setReadBufferSize(64 * 1024);
  connect(r, &QNetworkReply::socketStartedConnecting, this, [this] { setState(news_state::Connecting); });
  connect(r, &QNetworkReply::requestSent, this, [this] { setState(news_state::RequestSent); });
  connect(r, &QNetworkReply::metaDataChanged, this, [this] { setState(news_state::Receiving); });
  connect(r, &QNetworkReply::redirected, this, [this, r, u](const QUrl &to) {
    if (IsAllowedRedirect(u, to)) {
      Q_EMIT r->redirectAllowed();
      return;
    }
    qCWarning(lcNews).noquote() << "News transfer stopped: redirect to" << to.toDisplayString() << "refused";
    abort();
  });
  // The size is checked as the data comes, so a server that sends without
  // end costs no more than the limit.
  connect(r, &QNetworkReply::downloadProgress, this, [this](qint64, qint64 total) {
    if (total > limits_.maxBytes) stopTooLarge();
  });
  connect(r, &QNetworkReply::readyRead, this, [this, r] {
    if (reply_ != r) return;
    body_ += r->read(limits_.maxBytes + 1 - body_.size());
    if (body_.size() > limits_.maxBytes) stopTooLarge();
  });
  connect(r, &QNetworkReply::finished, this, &NewsDownload::onFinished);
  deadline_.start(limits_.totalMs);
}

void NewsDownload::stopTooLarge() {
  if (!reply_ || reply_->isFinished()) return;
  qCWarning(lcNews) << "News file larger than" << limits_.maxBytes << "bytes; transfer stopped";
  abort();
}

void NewsDownload::abort() {
  if (reply_) reply_->abort();  // ends in onFinished with an error
}

void NewsDownload::setState(int state) {
  if (state == state_) return;
  state_ = state;
  Q_EMIT stateChanged(state);
}

void NewsDownload::onFinished() {
  deadline_.stop();
  QNetworkReply *r = reply_;
  if (!r) return;
  reply_.clear();
  r->deleteLater();
  if (r->error() != QNetworkReply::NoError) {
    qCInfo(lcNews).noquote() << "News transfer failed:" << r->errorString();
    body_.clear();
    setState(news_state::Error);
    return;
  }
  body_ += r->read(limits_.maxBytes + 1 - body_.size());
  const QByteArray body = std::exchange(body_, QByteArray());
  if (body.size() > limits_.maxBytes) {
    setState(news_state::Error);
    return;
  }
  // A length we cannot use (absent, zero, not a number) leaves the progress
  // alone; the file is written all the same.
  bool ok = false;
  const qint64 length = r->rawHeader("Content-Length").trimmed().toLongLong(&ok);
  const double step = ok ? progressStep(length) : 0;
  for (qsizetype at = 0; step > 0 && at < body.size(); at += kChunkSize) {
    const double next = nextProgress(progress_, step);
    if (next != progress_) {
      progress_ = next;
      Q_EMIT progressChanged(progress_);
    }
  }
  QString error;
  if (!writeFileAtomically(file_, body, &error))
    qCWarning(lcNews).noquote() << "News file not written:" << error;
  setState(news_state::Completed);
}

}  // namespace cantorel
