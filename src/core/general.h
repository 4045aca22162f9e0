#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

#include "playlist/tag_info.h"

namespace cantorel {

class PluginObject;  // a loaded plug-in object, called by member name

// One input plug-in found at start.
struct InputPluginInfo {
  QString Name;
  QString Extensions;
  QString Version;
  QString Author;
  QString Description;
};

// The process-wide record every window and module reads and writes: the live
// value of each setting, the message table and the run-time state shared
// between windows. All fields start zero or empty.
struct General {
  static constexpr int kMessageCount = 301;   // numbers 0..300; 0 is never filled
  static constexpr int kMaxInputPlugins = 100;

  // Live settings (stored form and defaults in settings.cpp).
  QString Path;
  qint16 WinOnTop = 0;
  qint16 WinSnap = 0;
  qint16 WinSavePos = 0;
  qint16 Auto = 0;
  qint16 Snooze = 0;
  qint16 SnoozeMode = 0;
  QString SnoozeTime;
  qint16 SnoozeHide = 0;
  qint16 ExitMode = 0;
  qint16 StartMd = 0;
  qint16 StartMin = 0;
  qint16 StartMute = 0;
  QString StartFile;
  QString Skin;
  QString SkinPath;
  QString SkinImport;
  qint16 TimeFmt = 0;
  QString VisPLPath;
  qint16 ClearPLFirst = 0;
  qint16 AutoPlay = 0;
  QString ValidExt;
  qint16 PBOverlap = 0;
  qint16 ScrollName = 0;
  qint16 UseTagCover = 0;
  qint16 FriendlyNames = 0;
  qint16 AutoRegistry = 0;
  qint16 AskForIt = 0;
  qint16 ShowArtist = 0;
  qint16 ShowAlbum = 0;
  QString LyricPath;
  qint16 SubmitLyric = 0;
  qint16 TypeLyric = 0;
  QString Nick;
  QString Pwd;
  qint16 TimeIntro = 0;
  QString Language;
  qint16 Transparency = 0;
  qint16 LyricOnline = 0;
  QString LyricOnlineURL;

  // Run-time state.
  QString LastCommandLine;
  int SnoozeMinutes = 0;
  float Balance = 0.0f;
  TagInfo Tag;  // `TagInfo` of the current file
  std::array<QString, kMessageCount> Messages;
  qint16 LyricActive = 0;
  qint16 LyricLineCount = 0;
  qint16 LyricNext = 0;
  QString LastLyricFile;
  // Where a lyric found online is saved when neither the lyric folder nor the
  // song's folder takes it (in the user's data folder); searched after the
  // lyric files beside the song. Empty: no such folder.
  QString OnlineLyricDir;
  // Untimed lyric text found online for the song that plays (the assistant's
  // text step offers it); empty when there is none.
  QStringList PlainLyric;
  QString MsgRemoteSeen;
  QString NewsURL;
  QString SubmitURL;
  std::shared_ptr<PluginObject> Player;
  QString InputPluginName;
  std::shared_ptr<PluginObject> VisPlugin;
  QString VisPluginName;
  QList<InputPluginInfo> InputPluginTable;  // at most kMaxInputPlugins
  QRandomGenerator Rng;  // seeded once at start from the time of day (shuffle)

  // Message text by number; numbers outside 1..300 give the empty text.
  QString message(int n) const {
    return (n > 0 && n < kMessageCount) ? Messages[static_cast<size_t>(n)] : QString();
  }
};

}  // namespace cantorel
