#pragma once

#include <QString>

#include "platform/mpris_logic.h"

namespace cantorel {

// What the desktop's media controls ask of the player. The main window
// implements it over its transport; the D-Bus side knows nothing else of the
// program, and the program nothing of D-Bus.
class MprisPlayer {
 public:
  virtual ~MprisPlayer() = default;

  virtual mpris::Snapshot snapshot() = 0;
  // Seconds into the entry, asked of the player object now.
  virtual double position() = 0;

  virtual void play() = 0;
  virtual void pause() = 0;
  virtual void playPause() = 0;
  virtual void stop() = 0;
  virtual void next() = 0;
  virtual void previous() = 0;
  virtual void seekTo(double seconds) = 0;
  virtual void setRepeat(bool on) = 0;
  virtual void setShuffle(bool on) = 0;
  virtual void setVolume(double volume) = 0;
  virtual void setRate(double rate) = 0;
  // Replaces the playlist with a file or stream and plays it.
  virtual void open(const QString &pathOrUrl) = 0;
  virtual void raise() = 0;
  virtual void quit() = 0;
};

// What the player tells the media controls. Every member may be called often;
// the controls publish only what changed.
class MprisEvents {
 public:
  virtual ~MprisEvents() = default;
  // Something the controls show may have changed (state, entry, volume...).
  virtual void stateChanged() = 0;
  // The position jumped to `seconds` (a seek, the A-B loop).
  virtual void seeked(double seconds) = 0;
  // Lyric line `index` became current; -1 (with an empty text) when a new
  // entry starts. `timeUs` is the line's time, -1 when it has none.
  virtual void lyricLineChanged(int index, const QString &text, qint64 timeUs) = 0;
};

}  // namespace cantorel
