#pragma once

#include <QString>

#include "core/command_line.h"
#include "core/general.h"
#include "core/main_state.h"
#include "core/settings.h"

namespace cantorel {

// The window and the subsystems as start-up and shut-down see them. Each
// member is one step (or one part of a step) that belongs to the window or to
// another subsystem; those that have nothing to do yet keep the empty default.
class LifecycleHost {
 public:
  virtual ~LifecycleHost() = default;

  // Window.
  virtual void setCaption(const QString &) {}
  virtual void readTwips(qint16 *x, qint16 *y) {
    *x = 15;
    *y = 15;
  }
  virtual void loadElementPools() {}
  virtual Settings::Position windowPosTwips() const { return {}; }
  virtual void moveWindowTwips(qint32 x, qint32 y) {}
  virtual void showWindow() {}
  virtual void hideWindow() {}
  virtual void showMessage(const QString &text) {}
  virtual void openUrl(const QString &url) {}

  // Other subsystems.
  virtual void loadLanguage() {}
  virtual void runEnvironmentCheck() {}
  virtual double currentOutputVolume() { return 1.0; }
  virtual void discoverInputPlugins() {}
  virtual void clearMediaInfo() {}
  virtual void loadSkin(const QString &path) {}
  virtual void readAutoList() {}
  virtual void buildDayText() {}
  virtual void loadTray() {}
  virtual void unloadTray() {}
  virtual QString displayTitle(const QString &path);  // the friendly name until tags land
  virtual void plAddOpened() {}
  virtual void plClear() {}
  virtual bool plRead(const QString &file) { return false; }
  virtual void loadCover(const QString &file) {}
  virtual void enableTimer1(bool on) {}
  virtual void playIt(int mode) {}
  virtual void checkAssociations() {}
  virtual void startNews() {}
  virtual void applyTransparency() {}
  virtual void createVisPlugin() {}
  virtual void cleanUpPlayer() {}
  virtual void writeAutoList() {}
  virtual bool writePlaylist(const QString &file) { return false; }
  virtual void endProcess() {}

  // Files of the program: where the saved playlist lives, and the default skin.
  virtual QString playlistFile() const { return QString(); }
  virtual QString defaultSkinFile() const { return QString(); }
};

// Start-up, hand-off and shut-down, in their fixed order.
class Lifecycle {
 public:
  Lifecycle(General &g, MainState &st, Settings &settings, LifecycleHost &host)
      : g_(g), st_(st), settings_(settings), host_(host) {}

  // The address opened once, on the first run.
  static QString downloadPageUrl();

  // Runs the start-up with what this start's command line asks for. (A
  // second start never gets here: it hands its request over first.)
  void formLoad(const CommandLineRequest &request);
  // What the running instance does with a request a later start handed over.
  void receiveHandOff(const CommandLineRequest &request);
  // Runs the shut-down (once; later calls do nothing).
  void formUnload();
  // Writes what the shut-down would write (settings, schedule, playlist) while
  // the program goes on, so that a crash loses little. Only what changed
  // reaches the disk.
  void checkpoint();
  bool unloaded() const { return unloaded_; }

 private:
  bool saveSettings();

  General &g_;
  MainState &st_;
  Settings &settings_;
  LifecycleHost &host_;
  bool unloaded_ = false;
};

}  // namespace cantorel
