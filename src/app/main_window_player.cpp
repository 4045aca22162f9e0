// The main window's player: the playback timer, the command dispatcher and
// what connects the skin's controls, the playlist box and the right-click
// menu to them.
#include <QKeySequence>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QTimer>

#include "app/main_window.h"
#include "app/main_window_host.h"
#include "playback/transport.h"

namespace cantorel {

void frmQuelt::wirePlayer() {
  playbackTimer_ = std::make_unique<PlaybackTimer>(g_, st_, pl_, lyric_, *transport_, *host_);
  host_->setTimer(playbackTimer_.get());
  dispatcher_ = std::make_unique<CommandDispatcher>(g_, st_, pl_, lyric_, *transport_, *host_);

  // `Timer1`: a precise 25 ms timer, so a lyric line follows its second closely.
  timer1_ = new QTimer(this);
  timer1_->setTimerType(Qt::PreciseTimer);
  timer1_->setInterval(PlaybackTimer::kIntervalMs);
  connect(timer1_, &QTimer::timeout, this, [this] { playbackTimer_->Timer1(); });

  skin_->setCommandHandler([this](int code) { DoIt(static_cast<qint16>(code)); });
  skin_->openUrl = [this](const QString &url) { return dispatcher_->WebLink(url); };
  connect(skin_.get(), &SkinWindow::sliderChanged, this, [this](int n, double v) {
    if (n == 2) {
      st_.Sliders[2].Value = v;
      transport_->WriteVolume(static_cast<float>(v));
    } else if (n == 3) {
      transport_->SetBalance(static_cast<float>(v));
    } else if (n == 5) {
      st_.Sliders[5].Value = v;
      transport_->SetRate(v);
    }
  });
  connect(skin_.get(), &SkinWindow::seekRequested, this, [this](int s) { transport_->PlayFrom(s); });
  connect(skin_.get(), &SkinWindow::contextMenuRequested, this, &frmQuelt::showCommandMenu);
  plCommands_->onPlay([this] { transport_->PlayIt(0); });

  // Saving a tag of the playing file: it is released while written, then
  // played on from where it was.
  frmInfo::PlayerAccess access;
  access.release = [this] {
    const double at = st_.Elapsed;
    transport_->CleanUP();
    return at;
  };
  access.resume = [this](const QString &path, double position, bool play) {
    if (path != st_.SongPath) return;
    const bool paused = st_.Paused != 0;
    st_.Paused = 0;
    transport_->PlayIt(paused || !play ? 2 : 0);
    transport_->PlayFrom(static_cast<qint32>(Transport::roundEven(position)));
  };
  plCommands_->setPlayerAccess(std::move(access));

  // Delete in the playlist box removes the selected entry.
  auto *del = new QShortcut(QKeySequence(Qt::Key_Delete), playlistBox_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(del, &QShortcut::activated, this, [this] { plCommands_->PlRemoveSelected(); });
}

void frmQuelt::enableTimer1(bool on) {
  if (!timer1_) return;
  if (on && !timer1_->isActive())
    timer1_->start();
  else if (!on)
    timer1_->stop();
}

void frmQuelt::showCommandMenu(const QPoint &globalPos) {
  QMenu menu(this);
  const auto add = [&](const QString &text, qint16 code, bool checked = false, bool checkable = false) {
    QAction *a = menu.addAction(text);
    a->setCheckable(checkable);
    a->setChecked(checked);
    connect(a, &QAction::triggered, this, [this, code] { DoIt(code); });
  };
  add(st_.Playing && !st_.Paused ? QStringLiteral("Pause") : QStringLiteral("Play"), 36);
  add(QStringLiteral("Stop"), 10);
  add(QStringLiteral("Previous"), 14);
  add(QStringLiteral("Next"), 15);
  menu.addSeparator();
  add(QStringLiteral("Open and play..."), 13);
  add(QStringLiteral("Add file..."), 23);
  add(QStringLiteral("Add folder..."), 24);
  add(QStringLiteral("File information"), 16);
  add(QStringLiteral("Time the lyric..."), 40);
  add(QStringLiteral("Full-screen lyric"), 41);
  menu.addSeparator();
  add(QStringLiteral("Intro scan"), 25, st_.Intro != 0, true);
  add(QStringLiteral("Stop after track"), 26, st_.STP != 0, true);
  add(QStringLiteral("Repeat"), 27, st_.Repeat != 0, true);
  add(QStringLiteral("Shuffle"), 28, st_.Shuffle != 0, true);
  add(QStringLiteral("Mute"), 9, st_.Mute != 0, true);
  menu.addSeparator();
  add(QStringLiteral("Select skin..."), 6);
  add(QStringLiteral("Preferences..."), 5);
  add(QStringLiteral("Mini mode"), 4);
  add(QStringLiteral("Close"), 1);
  menu.exec(globalPos);
}

}  // namespace cantorel
