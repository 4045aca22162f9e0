#include "core/command_dispatcher.h"

#include "platform/desktop_services.h"
#include "playback/transport.h"

namespace cantorel {

namespace {

qint16 flip(qint16 flag) {
  return flag ? 0 : -1;
}

}  // namespace

bool CommandDispatcher::isWebAddress(const QString &address) {
  return cantorel::isWebAddress(address.trimmed());
}

bool CommandDispatcher::WebLink(const QString &address) {
  if (!isWebAddress(address)) return false;
  host_.openWebAddress(address.trimmed());
  return true;
}

void CommandDispatcher::DoIt(qint16 code) {
  switch (code) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
      host_.windowCommand(code);
      return;
    case 5:
      host_.showPrefs();
      return;
    case 7:
      transport_.VolumeDown();
      return;
    case 8:
      transport_.VolumeUp();
      return;
    case 9:
      transport_.ToggleMute();
      return;
    case 10:
      transport_.StopIt();
      return;
    case 11:
      transport_.PauseIt();
      return;
    case 12:
      transport_.PlayIt(0);
      return;
    case 13:
      if (!host_.openMediaFile()) return;
      g_.LastLyricFile.clear();
      host_.plClear();
      host_.plAddOpened();
      st_.TNum = 1;
      lyric_.clear();
      transport_.PlayIt(0);
      return;
    case 14:
      transport_.PrevTrack();
      return;
    case 15:
      transport_.NextTrack();
      return;
    case 16:
      host_.showInfo();
      return;
    case 17:
      host_.plRemoveSelected();
      return;
    case 18:
      host_.plMoveEntry(1);
      return;
    case 19:
      host_.plMoveEntry(-1);
      return;
    case 20:
      host_.plClear();
      return;
    case 21:
      host_.plLoad();
      return;
    case 22:
      host_.plSave();
      return;
    case 23:
      if (host_.openMediaFile()) host_.plAddOpened();
      return;
    case 24:
      host_.addFromDir();
      return;
    case 25:
      st_.Intro = flip(st_.Intro);
      host_.showLights();
      return;
    case 26:
      st_.STP = flip(st_.STP);
      host_.showLights();
      return;
    case 27:
      st_.Repeat = flip(st_.Repeat);
      host_.showLights();
      return;
    case 28:
      st_.Shuffle = flip(st_.Shuffle);
      st_.Random = flip(st_.Random);
      host_.showLights();
      return;
    case 29:
      transport_.ShowMixer();
      return;
    case 30:
      transport_.SetLoopPoint();
      return;
    case 31:
      transport_.SetLoopB();
      return;
    case 32:
      transport_.Reverse();
      return;
    case 33:
      transport_.Forward();
      return;
    case 34:
      host_.toggleCoverWindow();
      return;
    case 35:
      host_.showVisSelect();
      return;
    case 36:
      transport_.PlayPause();
      return;
    case 40:
      if (!st_.SongPath.isEmpty()) host_.showLyricAssistant();
      transport_.StopIt();
      transport_.PlayIt(0);
      return;
    case 41:
      host_.fullScreenMode();
      return;
    default:
      break;
  }
  if (code >= 101 && code <= 110)
    host_.windowCommand(code);
  else if (code >= 111 && code <= 120)
    WebLink(host_.keyString(code));
}

}  // namespace cantorel
