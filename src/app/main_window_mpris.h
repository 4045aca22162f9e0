#pragma once

#include "platform/mpris_player.h"

namespace cantorel {

class MainWindow;

// The desktop's media controls acting on the main window: what they ask goes
// through the same commands as the skin's buttons, and what they show is read
// from the main window state, the playlist, the tag and the timed lyric.
class MainWindowMpris : public MprisPlayer {
 public:
  explicit MainWindowMpris(MainWindow &window) : w_(window) {}

  mpris::Snapshot snapshot() override;
  double position() override;
  void play() override;
  void pause() override;
  void playPause() override;
  void stop() override;
  void next() override;
  void previous() override;
  void seekTo(double seconds) override;
  void setRepeat(bool on) override;
  void setShuffle(bool on) override;
  void setVolume(double volume) override;
  void setRate(double rate) override;
  void open(const QString &pathOrUrl) override;
  void raise() override;
  void quit() override;

 private:
  mpris::TrackInfo track();
  bool isDefaultCover(const QString &path) const;

  MainWindow &w_;
};

}  // namespace cantorel
