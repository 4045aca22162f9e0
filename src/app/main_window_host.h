#pragma once

#include <QString>

#include "core/command_dispatcher.h"
#include "lyrics/online_lyrics.h"
#include "playback/playback_timer.h"
#include "playback/transport_host.h"

class QListWidget;

namespace cantorel {

class MainWindow;
class MprisEvents;
struct LyricLines;

// What the transport, the playback timer and the dispatcher show and open on
// the main window: the skin's labels, digit displays, sliders, lights, the
// lyric box and the playlist box, and the playlist commands' windows.
class MainWindowHost : public TransportHost, public PlaybackTimerHost, public CommandHost {
 public:
  MainWindowHost(MainWindow &window, General &g, MainState &st, LyricLines &lyric, QListWidget *playlistBox);

  void setTimer(PlaybackTimer *timer) { timer_ = timer; }
  // The desktop's media controls, told what they show changed; null: none.
  void setMprisEvents(MprisEvents *events) { mpris_ = events; }
  void mediaStateChanged();

  // Shared by the three.
  void setLabel(int number, const QString &text) override;
  void showLights() override;

  // TransportHost
  void enableTimer1(bool on) override;
  void setDigits(int display, const QString &text) override;
  void setPositionSliderVisible(bool visible) override;
  void sliderMoved(int number, double value) override;
  void showMessage(const QString &text) override;
  void playlistChanged() override;
  void selectEntry(int index) override;
  QString displayTitle(const QString &path) override;
  bool readMpegInfo(const QString &path) override;
  void showStreamFacts(const Mp3Header &facts) override;
  void loadTagCover(const QString &path) override;
  void loadCover(const QString &path) override;
  void loadLyric(const QString &path) override;
  void lyricResync(const QString &timeText) override;
  // The lookup of lyrics online for songs without one (tests point it at a
  // server of their own).
  OnlineLyricStep &onlineLyrics() { return online_; }
  void positionSet(qint32 second) override;
  bool hasLoopBButton() override;

  // PlaybackTimerHost
  void pumpEvents() override;
  void setDisplay(int number, qint32 value) override;
  bool positionSliderFree() override;
  void placePositionSlider(double value) override;
  double nextPositionSliderValue(double value) override;
  void showLyricBox() override;
  void selectLyricLine(int index) override;

  // CommandHost
  void windowCommand(int code) override;
  void showPrefs() override;
  void showVisSelect() override;
  void showLyricAssistant() override;
  void fullScreenMode() override;
  void toggleCoverWindow() override;
  void showInfo() override;
  bool openMediaFile() override;
  void plAddOpened() override;
  void plRemoveSelected() override;
  void plMoveEntry(int delta) override;
  void plClear() override;
  void plLoad() override;
  void plSave() override;
  void addFromDir() override;
  QString keyString(int code) override;
  void openWebAddress(const QString &address) override;

 private:
  // Shows `lyric_` in the lyric box; `found`: a timed lyric the timer follows.
  void showLyric(bool found);
  // A lyric arrived from the online step for the song that still plays.
  void onlineLyricSaved(const QString &song);
  void onlinePlainLyric(const QString &song, const QStringList &lines);

  MainWindow &window_;
  General &g_;
  MainState &st_;
  LyricLines &lyric_;
  QListWidget *list_;
  PlaybackTimer *timer_ = nullptr;
  MprisEvents *mpris_ = nullptr;
  bool sliderShown_ = false;
  OnlineLyricStep online_;
};

}  // namespace cantorel
