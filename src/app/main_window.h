#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <memory>

#include "core/command_dispatcher.h"
#include "core/general.h"
#include "core/lifecycle.h"
#include "core/main_state.h"
#include "core/settings.h"
#include "platform/desktop_services_gui.h"
#include "platform/folders.h"
#include "platform/instance_channel.h"
#include "lyrics/lyric_file.h"
#include "playback/clock_schedule.h"
#include "playback/playback_timer.h"
#include "playlist/playlist.h"
#include "skin/skin_clock_host_gui.h"
#include "skin/skin_window.h"
#include "playlist/playlist_commands_gui.h"
#include "skin/playlist_browser_window.h"

class QLabel;
class QListWidget;
class QTimer;

namespace cantorel {

class MainWindowHost;
class MainWindowMpris;
class MprisService;
class PluginHost;
class TrayIcon;
class Transport;

// The main window. It owns the main window state and the playlist, runs the
// start-up when loaded and the shut-down when unloaded, and draws what the
// rest of the program reports. Until a skin draws it, it is a plain frameless
// window with the title, the playlist box and a close button.
class MainWindow : public QWidget, public LifecycleHost {
  Q_OBJECT
 public:
  MainWindow(General &g, Settings &settings, const Folders &folders, QWidget *parent = nullptr);
  ~MainWindow() override;

  // Listens for requests of later starts (before the start-up: they are
  // queued until it has run). False when the channel could not be opened.
  bool listenForHandOffs();
  // Start-up, with what this start's command line asks for.
  void startUp(const CommandLineRequest &request);
  // Shut-down (runs once).
  void shutDown();
  // Ends the program the normal way.
  void quit();
  // Opens the visual playlist browser; a playlist chosen there replaces the
  // playlist and plays.
  void showPlaylistBrowser();
  PlaylistBrowserWindow *playlistBrowser() const { return playlistBrowser_; }

  MainState &state() { return st_; }
  Playlist &playlist() { return pl_; }
  SkinWindow &skin() { return *skin_; }
  PlaylistCommands &playlistCommands() { return *plCommands_; }
  // Whether the start-up has run (the splash has opened the window).
  bool loaded() const { return loaded_; }

  // LifecycleHost
  void setCaption(const QString &caption) override;
  void readTwips(qint16 *x, qint16 *y) override;
  Settings::Position windowPosTwips() const override;
  void moveWindowTwips(qint32 x, qint32 y) override;
  void showWindow() override;
  void hideWindow() override;
  void showMessage(const QString &text) override;
  void openUrl(const QString &url) override;
  void loadLanguage() override;
  QString displayTitle(const QString &path) override;
  void clearMediaInfo() override;
  void loadCover(const QString &file) override;
  void plAddOpened() override;
  void plClear() override;
  bool plRead(const QString &file) override;
  bool writePlaylist(const QString &file, QString *error) override;
  QStringList playlistEntries() const override { return pl_.PlPath; }
  void readAutoList() override;
  void buildDayText() override;
  void writeAutoList() override;
  void checkAssociations() override;
  void startNews() override;
  void endProcess() override;
  QString playlistFile() const override;
  QString defaultSkinFile() const override;
  void loadSkin(const QString &path) override;
  void applyTransparency() override;
  void discoverInputPlugins() override;
  void playIt(int mode) override;
  void createVisPlugin() override;
  void cleanUpPlayer() override;

  PluginHost &plugins() { return *plugins_; }
  General &general() { return g_; }
  Settings &settings() { return settings_; }
  DesktopServices &desktopServices() { return desktop_; }
  const Folders &folders() const { return folders_; }
  ClockSchedule &clockSchedule() { return clockSchedule_; }
  // The tray icon and its menu (null before the start-up loads it).
  TrayIcon *tray() { return tray_.get(); }
  void loadTray() override;
  void unloadTray() override;
  Transport &transport() { return *transport_; }

  // The playback timer (`Timer1`), the timed lyric of the playing entry and
  // the command dispatcher.
  void enableTimer1(bool on) override;
  // Something the playback timer's next wake-up depends on changed (a seek,
  // pause or resume, the rate, the lyric, the time display's mode, the
  // position slider): the next tick comes within one period.
  void playbackChanged();
  PlaybackTimer &playbackTimer() { return *playbackTimer_; }
  LyricLines &lyrics() { return lyric_; }
  void runCommand(qint16 code) { dispatcher_->DoIt(code); }
  CommandDispatcher &dispatcher() { return *dispatcher_; }
  // The playlist box, its count (label 16) and name (label 14) again.
  void refreshPlaylistBox();
  // The desktop's media controls on the session bus (main_window_mpris.cpp):
  // published once the start-up has run, withdrawn at the shut-down.
  void startMediaControls();
  void stopMediaControls();
  // Something they show changed outside the transport (volume or rate set).
  void mediaStateChanged();
  // Something worth keeping changed: settings, schedule and playlist are
  // written a while later (the shut-down writes them in any case).
  void scheduleCheckpoint();

 Q_SIGNALS:
  // A second start handed over a file before the start-up has run: the
  // splash should open the window now.
  void loadRequested();

 protected:
  void keyPressEvent(QKeyEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;
  void changeEvent(QEvent *e) override;
  void closeEvent(QCloseEvent *e) override;
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;
  void dragEnterEvent(QDragEnterEvent *e) override;
  void dragMoveEvent(QDragMoveEvent *e) override;
  void dropEvent(QDropEvent *e) override;

 private:
  void wirePlayer();
  // Starts the clock timer for its next tick with something to do.
  void startClockTimer();
  // Carries out the requests later starts handed over, oldest first.
  void takeHandOffs();

  General &g_;
  Settings &settings_;
  const Folders &folders_;
  MainState st_;
  Playlist pl_;
  Lifecycle lifecycle_;
  InstanceChannel channel_;
  QtDesktopServices desktop_;
  std::unique_ptr<PlaylistCommands> plCommands_;
  SystemClock clock_;
  SkinClockHost clockHost_;
  ClockSchedule clockSchedule_;
  QTimer *timer2_ = nullptr;
  QTimer *checkpointTimer_ = nullptr;
  QPointer<PlaylistBrowserWindow> playlistBrowser_;
  QStringList savedAutoList_;  // what the schedule file holds now
  bool autoListWritten_ = false;
  bool autoListFailureShown_ = false;
  QLabel *title_ = nullptr;
  QListWidget *playlistBox_ = nullptr;
  std::unique_ptr<SkinWindow> skin_;
  QPoint dragOffset_;
  bool dragging_ = false;
  std::unique_ptr<PluginHost> plugins_;
  std::unique_ptr<MainWindowHost> host_;
  std::unique_ptr<Transport> transport_;
  LyricLines lyric_;
  std::unique_ptr<PlaybackTimer> playbackTimer_;
  std::unique_ptr<CommandDispatcher> dispatcher_;
  QTimer *timer1_ = nullptr;
  bool tickSoon_ = false;  // playbackChanged() during a tick
  // Milliseconds of playback ticks since the volume slider last followed
  // the player's volume; it follows at most every kVolumeFollowMs.
  int sinceVolumeMs_ = 0;
  static constexpr int kVolumeFollowMs = ClockSchedule::kStepMs;
  std::unique_ptr<TrayIcon> tray_;
  std::unique_ptr<MainWindowMpris> mprisPlayer_;
  std::unique_ptr<MprisService> mpris_;
  bool loaded_ = false;
  bool loading_ = false;
  bool unloadPending_ = false;
  std::deque<CommandLineRequest> handOffs_;  // handed over, not yet carried out
  bool takingHandOffs_ = false;
};

}  // namespace cantorel
