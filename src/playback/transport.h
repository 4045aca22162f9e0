#pragma once

#include <QString>
#include <QStringList>

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
  // Mixer programs tried by ShowMixer, in order.
  static QStringList mixerPrograms();

 private:
  bool hasPlayer() const { return !g_.InputPluginName.isEmpty() && g_.Player; }
  void resume();
  void nothingPlays();

  General &g_;
  MainState &st_;
  Playlist &pl_;
  PluginHost &plugins_;
  TransportHost &host_;
};

}  // namespace cantorel
