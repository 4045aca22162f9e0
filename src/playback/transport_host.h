#pragma once

#include <QString>
#include <QStringList>

#include "playlist/mp3_info.h"

namespace cantorel {

// What the transport needs from the main window and the subsystems around
// it. Every member has a harmless default, so a test (or a window that does
// not draw a part yet) overrides only what it shows.
class TransportHost {
 public:
  virtual ~TransportHost() = default;

  // The playback timer (`Timer1`).
  virtual void enableTimer1(bool on) {}
  // Captions of the skin's labels and digit displays.
  virtual void setLabel(int number, const QString &text) {}
  virtual void setDigits(int display, const QString &text) {}
  // The position slider (slider 1): shown only when the skin defines it.
  virtual void setPositionSliderVisible(bool visible) {}
  // A slider's knob moved to `value` (0..1) by the program.
  virtual void sliderMoved(int number, double value) {}
  // The indicator lights (`ShowLights`).
  virtual void showLights() {}
  // A message box with an OK button.
  virtual void showMessage(const QString &text) {}
  // Playlist box: the names changed, or entry `index` (0-based) is current.
  virtual void playlistChanged() {}
  virtual void selectEntry(int index) {}
  // MPEG header and tag of an MP2/MP3/MPA file, and the cover from its tag.
  // True when the header facts were shown (the file starts with a frame header).
  virtual bool readMpegInfo(const QString &path) { return false; }
  // Bitrate, sample rate and channels on labels 10 to 12 and digit displays
  // 4 and 5; empty texts clear them.
  virtual void showStreamFacts(const Mp3Header &facts) {}
  virtual void loadTagCover(const QString &path) {}
  // A picture shown as the cover.
  virtual void loadCover(const QString &path) {}
  // The display name of a file (`TitleFromFile`); empty keeps the current one.
  virtual QString displayTitle(const QString &path) { return QString(); }
  // The timed lyric of a file, and re-selecting the lyric line for a time.
  virtual void loadLyric(const QString &path) {}
  virtual void lyricResync(const QString &timeText) {}
  // The player was sent to `second` of the entry (a seek or the A-B loop).
  virtual void positionSet(qint32 second) {}
  // Whether the skin shows its own A-B loop "B" button (button 31).
  virtual bool hasLoopBButton() { return false; }
  // Starts a program without waiting; false when it could not start.
  virtual bool startDetached(const QString &program, const QStringList &args);
  // Whether a program can be found on the search path.
  virtual bool programExists(const QString &program);
};

}  // namespace cantorel
