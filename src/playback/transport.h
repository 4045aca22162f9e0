#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "core/general.h"
#include "core/main_state.h"
#include "playback/transport_host.h"
#include "playlist/playlist.h"

namespace cantorel {

class PluginHost;

// The transport over the player object: starting, stopping, pausing and
// seeking entries, speed, volume, balance, mute and the A-B loop points. The
// player object (`General::Player`) is called by member name; which plug-in
// plays an entry is chosen through the plug-in host.
class Transport {
 public:
  Transport(General &g, MainState &st, Playlist &pl, PluginHost &plugins, TransportHost &host)
      : g_(g), st_(st), pl_(pl), plugins_(plugins), host_(host) {}

  // Starts entry `TNum`; mode >= 2 only prepares it (opened, paused at 0).
  void PlayIt(qint16 mode);
  void StopIt();
  void PauseIt();
  void PlayPause();
  void Reverse();
  void Forward();
  void NextTrack();
  void PrevTrack();
  // value 0..1 (slider 5) gives the rate value + 0.5.
  void SetRate(double value);
  void PlayFrom(qint32 second);
  void SetBalance(float value);
  float ReadVolume();
  void WriteVolume(float volume);
  void ChangeVolume(int delta);
  void VolumeUp() { ChangeVolume(5); }
  void VolumeDown() { ChangeVolume(-5); }
  void ToggleMute();
  // Opens the desktop's mixer; false when none is installed.
  bool ShowMixer();
  // A-B loop buttons (commands 30 and 31).
  void SetLoopPoint();
  void SetLoopB();
  // Releases the player ("CleanUP", "finish") and stops the playback timer.
  void CleanUP();
  // Opens the file that played again after it was released for a moment
  // (a tag save): same file, same position, paused or playing as `play`
  // says, without a new lyric search, cover or title. False when the file
  // is no longer the current one or cannot be opened.
  bool Reopen(const QString &path, double position, bool play);

  // An entry that cannot be played (missing, refused by the player, or
  // failing while it plays) is marked in the playlist, named with the reason
  // on stderr and on the title display, and after kFailedPauseTicks ticks of
  // the playback timer the next entry starts as the play mode says. After
  // as many failures in a row as the playlist has entries (or with repeat
  // on) playback stops instead.
  static constexpr int kFailedPauseTicks = 60;
  // Counts the pause after a failure down; true when the next entry is due.
  bool failedEntryDue();
  // Whether that pause is being counted down (the timer must keep ticking).
  bool failurePending() const { return skipTicks_ > 0; }
  // Asks the player for an error while an entry plays (the optional
  // "LastError" member); an error fails the entry. True when it did.
  bool checkPlayerError();
  // The entry has played for a while: failures in a row count afresh.
  void entryPlays() { failedInRow_ = 0; }

  // The elapsed time of the entry at this moment, as the time display's
  // "m:ss" text: read from the player (not the last text shown, which is
  // cleared when an entry starts and never set for streams).
  QString ElapsedText();
  // The entry's position in seconds at this moment, from the player.
  double Position();

  // Texts of the labels: the length (13), the rate (24), the balance (25).
  static QString lengthText(double seconds);
  static QString rateText(float rate);
  static QString balanceText(float balance);
  // "m:ss" of a second, as PlayFrom resynchronises the lyric.
  static QString timeText(qint32 second, bool remaining);
  // The packed "SetVolume" value for a volume and balance.
  static qint32 packVolume(float volume, float balance);
  // Round half to even, as every whole-second step here does.
  static double roundEven(double v);
  // The stream facts a player reports through its optional "StreamInfo"
  // member (a map of "bitrate" in kbit/s, "sampleRate" in Hz, "channels"),
  // as the texts the MPEG header gives: kbit/s, whole kHz, channel mode.
  static Mp3Header factsFromPlayer(const QVariantMap &info);
  // Mixer programs tried by ShowMixer, in order.
  static QStringList mixerPrograms();

 private:
  bool hasPlayer() const { return !g_.InputPluginName.isEmpty() && g_.Player; }
  void resume();
  void nothingPlays();
  void failEntry(int index, const QString &reason);
  QString playerError() const;
  // "Duration", rate and volume of a freshly rendered file.
  void prepareRendered(bool newPlayer);

  General &g_;
  MainState &st_;
  Playlist &pl_;
  PluginHost &plugins_;
  TransportHost &host_;
  int failedInRow_ = 0;
  int skipTicks_ = 0;
  bool skipping_ = false;  // the next PlayIt goes on after a failure
};

}  // namespace cantorel
