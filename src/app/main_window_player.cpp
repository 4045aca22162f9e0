// The main window's player: the playback timer, the command dispatcher and
// what connects the skin's controls and the playlist box to them. (The
// right-click menu is the tray icon's, which sends its codes to runCommand.)
#include <QKeySequence>
#include <QListWidget>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "app/main_window.h"
#include "app/main_window_host.h"
#include "playback/lyric_seek.h"
#include "playback/transport.h"
#include "playlist/paths.h"
#include "skin/skin_face_widget.h"

namespace cantorel {

void MainWindow::wirePlayer() {
  playbackTimer_ = std::make_unique<PlaybackTimer>(g_, st_, pl_, lyric_, *transport_, *host_);
  host_->setTimer(playbackTimer_.get());
  dispatcher_ = std::make_unique<CommandDispatcher>(g_, st_, lyric_, *transport_, *host_);

  // `Timer1`: a precise single-shot timer, set after each tick for the
  // moment the next thing on screen changes (a lyric line on its stamp, the
  // time display on its second, the knob on its next pixel), so a playing
  // entry wakes the program a few times a second instead of forty.
  timer1_ = new QTimer(this);
  timer1_->setTimerType(Qt::PreciseTimer);
  timer1_->setSingleShot(true);
  timer1_->setInterval(PlaybackTimer::kIntervalMs);
  connect(timer1_, &QTimer::timeout, this, [this] {
    tickSoon_ = false;
    const int slept = timer1_->interval();
    playbackTimer_->Timer1((slept + PlaybackTimer::kIntervalMs / 2) / PlaybackTimer::kIntervalMs);
    // The entry ended without a new one: nothing is left for the tick to do
    // (unless it counts down the pause after an entry that failed).
    if (!st_.Playing && !transport_->failurePending()) {
      timer1_->stop();
      return;
    }
    // While an entry plays, the volume slider follows the player's volume
    // (changed outside the program too) on the ticks that come anyway, at
    // most every 200 ms: at least once a second, as the time display turns.
    // (An entry that failed has a player that never got the user's volume:
    // it is not asked.)
    sinceVolumeMs_ += slept;
    if (st_.Playing && sinceVolumeMs_ >= kVolumeFollowMs) {
      sinceVolumeMs_ = 0;
      clockSchedule_.followVolume(transport_->ReadVolume());
    }
    int next = playbackTimer_->nextTickMs();
    if (std::exchange(tickSoon_, false)) next = std::min(next, PlaybackTimer::kIntervalMs);
    timer1_->start(next);
  });

  skin_->setCommandHandler([this](int code) { runCommand(static_cast<qint16>(code)); });
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
    mediaStateChanged();
  });
  connect(skin_.get(), &SkinWindow::seekRequested, this, [this](int s) { transport_->PlayFrom(s); });
  // A double click on a lyric line plays the song from that line, through
  // the same seek as the position slider (which resynchronises the lyric).
  connect(skin_->face()->lyricBox(), &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
    const int row = skin_->face()->lyricBox()->row(item);
    const qint32 second = lyricLineSecond(g_, st_, lyric_, row);
    if (second >= 0) transport_->PlayFrom(second);
  });
  // A new skin's labels show the current length, rate, balance and playlist.
  connect(skin_.get(), &SkinWindow::skinLoaded, this, [this] {
    skin_->setLabelText(13, Transport::lengthText(st_.SongLen));
    skin_->setLabelText(24, Transport::rateText(static_cast<float>(st_.Sliders[5].Value + 0.5)));
    skin_->setLabelText(25, Transport::balanceText(g_.Balance));
    skin_->setLabelText(14, FriendlyName(pl_.Name, g_.FriendlyNames));
    skin_->setLabelText(16, QString::number(pl_.count()));
    // Another position slider moves at other moments.
    playbackChanged();
  });
  plCommands_->onPlay([this] { transport_->PlayIt(0); });

  // Saving a tag of the playing file: it is released while written, then
  // played on from where it was.
  TrackInfoWindow::PlayerAccess access;
  access.release = [this] {
    const double at = transport_->Position();
    transport_->CleanUP();
    return at;
  };
  // The same file by its path (the playlist may have changed meanwhile), at
  // the same position, with its lyric, cover and title left as they are.
  access.resume = [this](const QString &path, double position, bool play) {
    if (!transport_->Reopen(path, position, play && st_.Paused == 0) && path == st_.SongPath)
      transport_->StopIt();
  };
  plCommands_->setPlayerAccess(std::move(access));

  // Delete in the playlist box removes the selected entry.
  auto *del = new QShortcut(QKeySequence(Qt::Key_Delete), playlistBox_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(del, &QShortcut::activated, this, [this] { plCommands_->PlRemoveSelected(); });
}

void MainWindow::enableTimer1(bool on) {
  if (!timer1_) return;
  // With nothing playing the tick reads and shows nothing: the timer rests
  // until an entry plays, so an idle player stays asleep.
  const bool busy = st_.Playing || transport_->failurePending();
  if (on && busy && !timer1_->isActive())
    timer1_->start(PlaybackTimer::kIntervalMs);
  else if (!on || !busy)
    timer1_->stop();
}

void MainWindow::playbackChanged() {
  // Within a tick the timer is not running; the tick sets it when it ends.
  tickSoon_ = true;
  if (timer1_ && timer1_->isActive() && timer1_->remainingTime() > PlaybackTimer::kIntervalMs)
    timer1_->start(PlaybackTimer::kIntervalMs);
}

}  // namespace cantorel
