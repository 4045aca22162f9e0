#include "app/main_window_host.h"

#include "lyrics/lyric_assistant_window.h"
#include "playlist/playlist_commands_gui.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>

#include "app/main_window.h"
#include "desktop/tray_gui.h"
#include "lyrics/lyric_search.h"
#include "lyrics/online_lyrics.h"
#include "playlist/cover.h"
#include "playlist/mp3_info.h"
#include "platform/mpris_player.h"
#include "playback/playback_timer.h"
#include "playlist/paths.h"
#include "plugins/vis_calls.h"
#include "prefs/message_ids.h"
#include "prefs/prefs_main_gui.h"
#include "skin/skin_face_widget.h"
#include "skin/skin_logic.h"

namespace cantorel {

namespace {

// The countdown to the next lyric line.
constexpr int kCountdownLabel = 30;

}  // namespace

void MainWindowHost::setLabel(int number, const QString &text) {
  window_.skin().setLabelText(number, text);
  // Label 2 holds the display title of the entry being played: the tray tip follows it.
  if (number == 2 && window_.tray()) window_.tray()->setTip(text);
  // Title, length and rate are on the media controls too.
  if (number == 2 || number == 13 || number == 24) mediaStateChanged();
  // Another rate moves the position at another pace.
  if (number == 24) window_.playbackChanged();
}

void MainWindowHost::showLights() {
  window_.skin().ShowLights();
  // Paused, resumed, a loop or intro scan set: the next tick is due at another time.
  window_.playbackChanged();
  // Every change of a mode flag (playing, paused, repeat, shuffle, mute) ends here.
  mediaStateChanged();
}

void MainWindowHost::mediaStateChanged() {
  // The entry, the modes and the volume are all kept at the shut-down.
  window_.scheduleCheckpoint();
  if (mpris_) mpris_->stateChanged();
}

void MainWindowHost::enableTimer1(bool on) {
  window_.enableTimer1(on);
}

void MainWindowHost::setDigits(int display, const QString &text) {
  window_.skin().SetDD(display, text);
}

void MainWindowHost::sliderMoved(int number, double value) {
  if (number == 2) {
    window_.skin().showVolume(value);
    mediaStateChanged();
  } else {
    window_.skin().PlaceSlider(number, value);
  }
}

void MainWindowHost::showMessage(const QString &text) {
  window_.showMessage(text);
}

void MainWindowHost::playlistChanged() {
  window_.refreshPlaylistBox();
}

void MainWindowHost::selectEntry(int index) {
  list_->setCurrentRow(index);
}

QString MainWindowHost::displayTitle(const QString &path) {
  return window_.displayTitle(path);
}

bool MainWindowHost::readMpegInfo(const QString &path) {
  Mp3Header facts;
  if (!GetMP3Info(path, g_.Tag, &facts) || facts.Bitrate.isEmpty()) return false;
  showStreamFacts(facts);
  return true;
}

void MainWindowHost::showStreamFacts(const Mp3Header &facts) {
  setLabel(10, facts.Bitrate);
  setLabel(11, facts.SampleRate);
  setLabel(12, facts.Channels);
  window_.skin().SetDD(4, facts.Bitrate.toDouble());
  window_.skin().SetDD(5, facts.SampleRate.toDouble());
}

void MainWindowHost::loadTagCover(const QString &path) {
  // A picture in the song's own tag comes first, then pictures named after it.
  PlaylistCommands &pc = window_.playlistCommands();
  const bool embedded = !g_.Facts.pictures.isEmpty() &&
                        pc.LoadEmbeddedCover(g_.Facts.pictures.first().data, EmbeddedCoverKey(path));
  if (!embedded) pc.LoadTagCover(DirPart(path), g_.SongTag.Artist.trimmed(), g_.SongTag.Album.trimmed());
  mediaStateChanged();
}

void MainWindowHost::loadCover(const QString &path) {
  window_.playlistCommands().LoadCover(path);
  mediaStateChanged();
}

MainWindowHost::MainWindowHost(MainWindow &window, General &g, MainState &st, LyricLines &lyric,
                               QListWidget *playlistBox)
    : window_(window), g_(g), st_(st), lyric_(lyric), list_(playlistBox), online_(g) {
  QObject::connect(&online_, &OnlineLyricStep::lyricSaved, &online_,
                   [this](const QString &song) { onlineLyricSaved(song); });
  QObject::connect(&online_, &OnlineLyricStep::plainLyricFound, &online_,
                   [this](const QString &song, const QStringList &lines) { onlinePlainLyric(song, lines); });
}

void MainWindowHost::loadLyric(const QString &path) {
  g_.PlainLyric.clear();
  const bool found = LoadLyricFor(path, g_, lyric_);
  showLyric(found);
  // Nothing on disk: the online step may find one while the song plays.
  if (found)
    online_.cancel();
  else
    online_.songWithoutLyric(path, st_.InternetFile != 0, st_.SongLen);
}

void MainWindowHost::onlineLyricSaved(const QString &song) {
  if (song != st_.SongPath || !st_.Playing) return;
  const bool found = LoadLyricFor(song, g_, lyric_);
  showLyric(found);
  // The song is under way: the lyric goes on from where it is.
  if (found && timer_) timer_->LyricResync(PlaybackTimer::timeText(qRound(st_.Elapsed), false));
}

void MainWindowHost::onlinePlainLyric(const QString &song, const QStringList &lines) {
  if (song != st_.SongPath || !st_.Playing) return;
  g_.PlainLyric = lines;
  lyric_.clear();
  lyric_.PlLyrics = lines;
  g_.LyricLineCount = 0;
  g_.LyricNext = 0;
  g_.LyricActive = 0;
  showLyric(false);
}

void MainWindowHost::showLyric(bool found) {
  SkinFace *face = window_.skin().face();
  QListWidget *box = face->lyricBox();
  box->clear();
  box->addItems(lyric_.PlLyrics);
  face->lyricLine()->clear();
  // With a timed lyric the big display counts down to the next line: its tip says so.
  face->setDisplayTip(1, found ? QStringLiteral("Time to the next lyric line") : QString());
  if (QLabel *countdown = face->label(kCountdownLabel)) {
    countdown->clear();
    countdown->setVisible(found && window_.skin().tables().Lbl[kCountdownLabel].Visible);
  }
  if (timer_) timer_->lyricLoaded();
  window_.playbackChanged();
  // A new entry: its lyric text is in the metadata, and no line is sung yet.
  if (mpris_) {
    mpris_->stateChanged();
    mpris_->lyricLineChanged(-1, QString(), -1);
  }
}

void MainWindowHost::lyricResync(const QString &timeText) {
  if (timer_) timer_->LyricResync(timeText);
  window_.playbackChanged();
}

void MainWindowHost::positionSet(qint32 second) {
  if (mpris_) mpris_->seeked(second);
  window_.playbackChanged();
}

void MainWindowHost::setPositionSliderVisible(bool visible) {
  sliderShown_ = visible;
  window_.playbackChanged();
}

bool MainWindowHost::hasLoopBButton() {
  return window_.skin().tables().Btn[31].Visible;
}

void MainWindowHost::pumpEvents() {
  // The events queued in the program (commands, repaints). The tick itself
  // came from the event loop, which takes up input from the system again as
  // soon as the tick returns; asking the system here as well would cost one
  // more wake-up of the kernel on every tick.
  QCoreApplication::sendPostedEvents();
}

void MainWindowHost::setDisplay(int number, qint32 value) {
  window_.skin().SetDD(number, value);
}

bool MainWindowHost::positionSliderFree() {
  // While the user holds the knob the timer is off, so only visibility counts.
  return sliderShown_ && window_.skin().tables().Sliders[1].Visible;
}

void MainWindowHost::placePositionSlider(double value) {
  // Drawn within the tick: a repaint left for later would cost the event
  // loop another round for each pixel the knob moves.
  window_.skin().PlaceSlider(1, value, true);
}

double MainWindowHost::nextPositionSliderValue(double value) {
  return NextKnobValue(window_.skin().tables().Sliders[1], 1, value);
}

void MainWindowHost::showLyricBox() {
  QListWidget *box = window_.skin().face()->lyricBox();
  if (!box->isVisible() && window_.skin().tables().PlLyrics.Visible) box->show();
}

void MainWindowHost::selectLyricLine(int index) {
  SkinFace *face = window_.skin().face();
  QListWidget *box = face->lyricBox();
  if (index >= 0 && index < box->count()) {
    box->setCurrentRow(index);
    box->scrollToItem(box->item(index), QAbstractItemView::PositionAtCenter);
  }
  const QString line = index >= 0 && index < lyric_.PlLyrics.size() ? lyric_.PlLyrics.at(index) : QString();
  face->lyricLine()->setText(line);
  if (mpris_) {
    const bool known = index >= 0 && index < lyric_.PlTimes.size();
    const qint32 at = known ? PlaybackTimer::timeSeconds(lyric_.PlTimes.at(index)) : -1;
    // A stamped line is announced at its stamp, to the millisecond.
    const qint64 us = known && lyric_.stamped() ? lyric_.PlStampsMs.at(index) * 1000
                      : at >= 0               ? qint64(at) * 1000000
                                              : -1;
    mpris_->lyricLineChanged(index, line, us);
  }
}

void MainWindowHost::windowCommand(int code) {
  window_.skin().windowCommand(code);
}

void MainWindowHost::showPrefs() { ShowPrefs(window_); }

void MainWindowHost::showVisSelect() { window_.showPlaylistBrowser(); }

void MainWindowHost::showLyricAssistant() {
  const std::unique_ptr<PlaylistDialogs> dialogs = makeQtPlaylistDialogs(&window_);
  AssistantHost host{g_,
                     st_,
                     lyric_,
                     window_.transport(),
                     window_.desktopServices(),
                     *dialogs,
                     [this] { window_.skin().SetTopMost(false); },
                     {},
                     [this](const QString &folder) {
                       g_.Path = folder;
                       window_.settings().setText(key::Path, folder);
                     }};
  ShowLyricAssistant(host, &window_);
  // The timing step has its own speed slider; the skin's follows it.
  window_.skin().PlaceSlider(5, st_.Sliders[5].Value);
}

void MainWindowHost::fullScreenMode() {
  const SkinBox &b = window_.skin().tables().LyricLine;
  LyricLineLook look;
  look.toolTip = b.ToolTip;
  look.foreColour = static_cast<qint32>(b.ForeColor);
  look.backColour = static_cast<qint32>(b.BackColor);
  look.fontName = b.FontName;
  look.fontSize = static_cast<float>(b.FontSize);
  look.left = static_cast<float>(b.Left * st_.TwipX);
  look.top = static_cast<float>(b.Top * st_.TwipY);
  if (!FullScreenMode(g_, look)) showMessage(g_.message(msg::NoVisPlugin));
}

void MainWindowHost::toggleCoverWindow() {
  window_.playlistCommands().toggleCoverWindow();
}
void MainWindowHost::showInfo() {
  window_.playlistCommands().ShowInfo();
}
bool MainWindowHost::openMediaFile() {
  return window_.playlistCommands().OpenMediaFile();
}
void MainWindowHost::plAddOpened() {
  window_.playlistCommands().PlAddOpened();
}
void MainWindowHost::plRemoveSelected() {
  window_.playlistCommands().PlRemoveSelected();
}
void MainWindowHost::plMoveEntry(int delta) {
  window_.playlistCommands().PlMoveEntry(delta);
}
void MainWindowHost::plClear() {
  window_.playlistCommands().PlClear();
}
void MainWindowHost::plLoad() {
  window_.playlistCommands().PlLoad();
}
void MainWindowHost::plSave() {
  window_.playlistCommands().PlSave();
}
void MainWindowHost::addFromDir() {
  window_.playlistCommands().AddFromDir();
}

QString MainWindowHost::keyString(int code) {
  const int n = code - 100;
  return n >= 1 && n <= SkinTables::kKeyStrings ? window_.skin().tables().KeyStrings[static_cast<size_t>(n)]
                                                : QString();
}

void MainWindowHost::openWebAddress(const QString &address) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  window_.openUrl(address);
  QApplication::restoreOverrideCursor();
}

}  // namespace cantorel
