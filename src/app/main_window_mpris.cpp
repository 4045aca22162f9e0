// The main window's side of the desktop media controls: the player they
// drive, and starting and ending their service.
#include "app/main_window_mpris.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "app/main_window.h"
#include "app/main_window_host.h"
#include "platform/mpris_service_dbus.h"
#include "playback/transport.h"
#include "playlist/paths.h"
#include "plugins/plugin_object.h"

namespace cantorel {

namespace {

// Command codes of the dispatcher the controls share with the skin's buttons.
constexpr qint16 kStop = 10;
constexpr qint16 kPause = 11;
constexpr qint16 kPlay = 12;
constexpr qint16 kPrevious = 14;
constexpr qint16 kNext = 15;
constexpr qint16 kRepeat = 27;
constexpr qint16 kShuffle = 28;
constexpr qint16 kPlayPause = 36;

}  // namespace

bool MainWindowMpris::isDefaultCover(const QString &path) const {
  const Folders &f = w_.folders();
  const QString file = QDir::cleanPath(path);
  for (const QString &fallback : QStringList{f.findData(QStringLiteral("nocover.bmp")),
                                             QString(f.installDataDir() + QLatin1String("/nocover.bmp"))}) {
    if (!fallback.isEmpty() && QDir::cleanPath(fallback) == file) return true;
  }
  return false;
}

mpris::TrackInfo MainWindowMpris::track() {
  MainState &st = w_.state();
  const Playlist &pl = w_.playlist();
  const General &g = w_.general();
  mpris::TrackInfo t;
  // The entry last started, while the playlist still holds it there.
  const int i = st.TNum - 1;
  if (st.SongPath.isEmpty() || i < 0 || i >= pl.count() || pl.PlPath[i] != st.SongPath) return t;
  t.entry = st.TNum;
  t.path = st.SongPath;
  t.length = st.Dev == QLatin1String("Delay") || st.InternetFile ? 0 : st.SongLen;
  // The tag record is this entry's (PlayIt clears it for files without one).
  if (g.Tag.Found) {
    t.title = g.Tag.Title.trimmed();
    t.artist = g.Tag.Artist.trimmed();
    t.album = g.Tag.Album.trimmed();
  }
  if (t.title.isEmpty()) t.title = st.SongName;
  if (!st.LastCover.isEmpty() && !isDefaultCover(st.LastCover) && QFileInfo(st.LastCover).isFile())
    t.cover = QFileInfo(st.LastCover).absoluteFilePath();
  if (g.LyricActive) t.lyric = w_.lyrics().PlLyrics;
  return t;
}

mpris::Snapshot MainWindowMpris::snapshot() {
  const MainState &st = w_.state();
  const General &g = w_.general();
  const bool entries = w_.playlist().count() > 0;
  mpris::Snapshot s;
  s.status = !st.Playing ? mpris::Status::Stopped
             : st.Paused ? mpris::Status::Paused
                         : mpris::Status::Playing;
  s.repeat = st.Repeat != 0;
  s.shuffle = st.Shuffle != 0;
  s.volume = st.Sliders[2].Value;
  s.rate = st.Sliders[5].Value + 0.5;
  s.canPlay = s.canPause = s.canGoNext = s.canGoPrevious = entries;
  s.track = track();
  s.canSeek =
      st.Playing && s.track.length > 0 && st.Dev == QLatin1String("DX") && !g.InputPluginName.isEmpty();
  return s;
}

double MainWindowMpris::position() {
  const MainState &st = w_.state();
  General &g = w_.general();
  if (!st.Playing) return 0;
  // The player object knows the position between two ticks of the timer.
  if (st.Dev == QLatin1String("DX") && g.Player && !g.InputPluginName.isEmpty()) {
    bool ok = false;
    const double at = g.Player->value("GetCurrentPosition").toDouble(&ok);
    if (ok && std::isfinite(at) && at >= 0) return at;
  }
  return st.Elapsed;
}

void MainWindowMpris::play() {
  const MainState &st = w_.state();
  // Play while playing changes nothing (PlayIt would start the entry again).
  if (!st.Playing || st.Paused) w_.runCommand(kPlay);
}

void MainWindowMpris::pause() {
  const MainState &st = w_.state();
  if (st.Playing && !st.Paused) w_.runCommand(kPause);
}

void MainWindowMpris::playPause() {
  w_.runCommand(kPlayPause);
}
void MainWindowMpris::stop() {
  w_.runCommand(kStop);
}
void MainWindowMpris::next() {
  w_.runCommand(kNext);
}
void MainWindowMpris::previous() {
  w_.runCommand(kPrevious);
}

void MainWindowMpris::seekTo(double seconds) {
  // The player seeks in whole seconds, as the position slider does.
  w_.transport().PlayFrom(static_cast<qint32>(std::clamp(Transport::roundEven(seconds), 0.0, 2147483647.0)));
}

void MainWindowMpris::setRepeat(bool on) {
  if ((w_.state().Repeat != 0) != on) w_.runCommand(kRepeat);
}

void MainWindowMpris::setShuffle(bool on) {
  if ((w_.state().Shuffle != 0) != on) w_.runCommand(kShuffle);
}

void MainWindowMpris::setVolume(double volume) {
  MainState &st = w_.state();
  // Setting a volume ends a mute, as the volume keys do.
  if (st.Mute) {
    st.Mute = 0;
    w_.skin().ShowLights();
  }
  st.Sliders[2].Value = volume;
  w_.skin().showVolume(volume);
  w_.transport().WriteVolume(static_cast<float>(volume));
  w_.mediaStateChanged();
}

void MainWindowMpris::setRate(double rate) {
  MainState &st = w_.state();
  const double value = rate - 0.5;  // the rate slider's value
  st.Sliders[5].Value = value;
  w_.skin().PlaceSlider(5, value);
  w_.transport().SetRate(value);
  w_.mediaStateChanged();
}

void MainWindowMpris::open(const QString &pathOrUrl) {
  // As a file handed over by a second start: the playlist is replaced and
  // the file plays.
  MainState &st = w_.state();
  General &g = w_.general();
  st.AddPath = pathOrUrl;
  st.AddName = pathOrUrl;
  st.AddTitle = FriendlyName(pathOrUrl, g.FriendlyNames);
  g.LastLyricFile.clear();
  w_.plClear();
  w_.plAddOpened();
  w_.lyrics().clear();
  st.TNum = 1;
  st.Paused = 0;
  w_.transport().PlayIt(0);
}

void MainWindowMpris::raise() {
  w_.setWindowState(w_.windowState() & ~Qt::WindowMinimized);
  w_.show();
  w_.QWidget::raise();
  w_.activateWindow();
}

void MainWindowMpris::quit() {
  w_.quit();
}

// --- MainWindow ---

void MainWindow::startMediaControls() {
  if (mpris_) return;
  mprisPlayer_ = std::make_unique<MainWindowMpris>(*this);
  mpris_ = std::make_unique<MprisService>(*mprisPlayer_);
  if (!mpris_->start()) return;
  host_->setMprisEvents(mpris_.get());
}

void MainWindow::stopMediaControls() {
  host_->setMprisEvents(nullptr);
  if (mpris_) mpris_->stop();
}

void MainWindow::mediaStateChanged() {
  host_->mediaStateChanged();
}

}  // namespace cantorel
