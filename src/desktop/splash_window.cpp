#include "desktop/splash_window.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "core/settings.h"
#include "desktop/news_download.h"
#include "desktop/news_file.h"
#include "version.h"

namespace cantorel {

int SplashWindow::timerInterval() {
  const int fromEnv = qEnvironmentVariableIntValue("CANTOREL_SPLASH_MS");
  return fromEnv > 0 ? fromEnv : 5000;
}

SplashWindow::SplashWindow(General &g, QString newsFolder, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      g_(g),
      newsFolder_(std::move(newsFolder)) {
  setObjectName(QStringLiteral("SplashWindow"));
  setStyleSheet(QStringLiteral(
      "#SplashWindow { background: #1d2430; border: 1px solid #2c3646; }"
      "QLabel { color: #cfd8e3; }"
      "QLabel#productLabel { color: #e8eef7; font-weight: bold; font-size: 20pt; }"
      "QProgressBar { border: 1px solid #2c3646; background: #121820; height: 8px; }"
      "QProgressBar::chunk { background: #ff7a59; }"));

  auto make = [this](const char *name) {
    auto *l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };
  productLabel = make("productLabel");
  versionLabel = make("versionLabel");
  stateLabel = make("stateLabel");
  stateLabel->setWordWrap(true);
  progressBar = new QProgressBar(this);
  progressBar->setObjectName(QStringLiteral("progressBar"));
  progressBar->setRange(0, 100);
  progressBar->setTextVisible(false);

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 16);
  layout->addStretch(1);
  layout->addWidget(productLabel);
  layout->addWidget(versionLabel);
  layout->addStretch(1);
  layout->addWidget(stateLabel);
  layout->addWidget(progressBar);
  setFixedSize(420, 220);

  download = new NewsDownload(this);
  connect(download, &NewsDownload::stateChanged, this, &SplashWindow::showTransferState);
  connect(download, &NewsDownload::progressChanged, this,
          [this](double p) { progressBar->setValue(static_cast<int>(p)); });

  finishTimer = new QTimer(this);
  finishTimer->setInterval(timerInterval());
  connect(finishTimer, &QTimer::timeout, this, &SplashWindow::checkTransferDone);
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::start() {
  g_.NewsURL = DefaultNewsUrl();
  versionLabel->setText(QStringLiteral("Versión ") + QString::number(CANTOREL_VERSION_MAJOR) +
                        QLatin1Char('.') + QString::number(CANTOREL_VERSION_MINOR) + QLatin1Char('.') +
                        QString::number(CANTOREL_VERSION_PATCH));
  productLabel->setText(kPrg);
  progressBar->setValue(0);
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  show();
  if (finished_) return;  // ended while being shown
  finishTimer->start();
  // Without a service there is nothing to fetch: the first tick ends the splash.
  if (g_.NewsURL.isEmpty()) return;
  QDir().mkpath(newsFolder_);
  download->start(g_.NewsURL, QDir(newsFolder_).filePath(NewsFileName(g_.NewsURL)));
}

void SplashWindow::showTransferState(int state) { stateLabel->setText(StateText(state)); }

void SplashWindow::checkTransferDone() {
  if (download->done() || g_.NewsURL.isEmpty()) finishNow();
}

void SplashWindow::finishNow() {
  if (finished_) return;
  finished_ = true;
  finishTimer->stop();
  download->abort();
  hide();
  Q_EMIT loadMainWindow();
  close();
}

}  // namespace cantorel
