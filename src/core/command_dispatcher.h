#pragma once

#include <QString>

#include "core/general.h"
#include "core/main_state.h"
#include "lyrics/lyric_file.h"

namespace cantorel {

class Transport;

// What the dispatcher asks of the windows. Codes whose windows come later
// (preferences, lyric assistant, visual playlist browser) reach them through
// the members named after them; each default does nothing.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // Commands the skin window runs itself: 1 close, 2 hide, 3 expand, 4 mini,
  // 6 select a skin, 101 to 110 load a skin.
  virtual void windowCommand(int code) {}
  virtual void showPrefs() {}
  virtual void showLyricAssistant() {}
  virtual void showVisSelect() {}
  virtual void fullScreenMode() {}
  virtual void toggleCoverWindow() {}
  virtual void showInfo() {}
  // Playlist commands; OpenMediaFile is false when the dialog was cancelled.
  virtual bool openMediaFile() { return false; }
  virtual void plAddOpened() {}
  virtual void plRemoveSelected() {}
  virtual void plMoveEntry(int delta) {}
  virtual void plClear() {}
  virtual void plLoad() {}
  virtual void plSave() {}
  virtual void addFromDir() {}
  virtual void showLights() {}
  // The skin's text for button 101..120 (`KeyStrings`).
  virtual QString keyString(int code) { return QString(); }
  // Opens a web address the dispatcher has checked, with the busy cursor.
  virtual void openWebAddress(const QString &address) {}
};

// `DoIt`: runs the operation of a command code. Codes without one do nothing.
class CommandDispatcher {
 public:
  CommandDispatcher(General &g, MainState &st, LyricLines &lyric, Transport &transport, CommandHost &host)
      : g_(g), st_(st), lyric_(lyric), transport_(transport), host_(host) {}

  void DoIt(qint16 code);
  // Opens an http or https address in the user's browser; anything else is
  // refused quietly. Returns whether it was handed on.
  bool WebLink(const QString &address);
  static bool isWebAddress(const QString &address);

 private:
  General &g_;
  MainState &st_;
  LyricLines &lyric_;
  Transport &transport_;
  CommandHost &host_;
};

}  // namespace cantorel
