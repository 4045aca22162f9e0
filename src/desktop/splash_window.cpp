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

int frmSplash::timerInterval() {
  const int fromEnv = qEnvironmentVariableIntValue("CANTOREL_SPLASH_MS");
  return fromEnv > 0 ? fromEnv : 5000;
}

frmSplash::frmSplash(General &g, QString newsFolder, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      g_(g),
      newsFolder_(std::move(newsFolder)) {
  setObjectName(QStringLiteral("frmSplash"));
  setStyleSheet(QStringLiteral(
      "#frmSplash { background: #1d2430; border: 1px solid #2c3646; }"
      "QLabel { color: #cfd8e3; }"
      "QLabel#lblProductName { color: #e8eef7; font-weight: bold; font-size: 20pt; }"
      "QProgressBar { border: 1px solid #2c3646; background: #121820; height: 8px; }"
      "QProgressBar::chunk { background: #ff7a59; }"));

  auto make = [this](const char *name) {
    auto *l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };
  lblProductName = make("lblProductName");
  lblVersion = make("lblVersion");
  Label1 = make("Label1");
  Label1->setWordWrap(true);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 16);
  layout->addStretch(1);
  layout->addWidget(lblProductName);
  layout->addWidget(lblVersion);
  layout->addStretch(1);
  layout->addWidget(Label1);
  layout->addWidget(ProgressBar1);
  setFixedSize(420, 220);

  Inet1 = new NewsDownload(this);
  connect(Inet1, &NewsDownload::stateChanged, this, &frmSplash::Inet1_StateChanged);
  connect(Inet1, &NewsDownload::progressChanged, this,
          [this](double p) { ProgressBar1->setValue(static_cast<int>(p)); });

  Timer1 = new QTimer(this);
  Timer1->setInterval(timerInterval());
  connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load() {
  g_.NewsURL = DefaultNewsUrl();
  lblVersion->setText(QStringLiteral("Versión ") + QString::number(CANTOREL_VERSION_MAJOR) + QLatin1Char('.') +
                      QString::number(CANTOREL_VERSION_MINOR) + QLatin1Char('.') +
                      QString::number(CANTOREL_VERSION_PATCH));
  lblProductName->setText(kPrg);
  ProgressBar1->setValue(0);
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());
  show();
  if (finished_) return;  // ended while being shown
  Timer1->start();
  // Without a service there is nothing to fetch: the first tick ends the splash.
  if (g_.NewsURL.isEmpty()) return;
  QDir().mkpath(newsFolder_);
  Inet1->start(g_.NewsURL, QDir(newsFolder_).filePath(NewsFileName(g_.NewsURL)));
}

void frmSplash::Inet1_StateChanged(int state) { Label1->setText(StateText(state)); }

void frmSplash::Timer1_Timer() {
  if (Inet1->done() || g_.NewsURL.isEmpty()) finishNow();
}

void frmSplash::finishNow() {
  if (finished_) return;
  finished_ = true;
  Timer1->stop();
  Inet1->abort();
  hide();
  Q_EMIT loadMainWindow();
  close();
}

}  // namespace cantorel
