#include "core/lifecycle.h"

#include <QRandomGenerator>
#include <QTime>

#include <cmath>

#include "core/log.h"
#include "core/number_text.h"
#include "desktop/news_file.h"
#include "playlist/paths.h"
#include "prefs/message_ids.h"

namespace cantorel {

QString LifecycleHost::displayTitle(const QString &path) { return FriendlyName(path, 1); }

QString Lifecycle::downloadPageUrl() {
  return ServiceUrl(QStringLiteral("descarga_qv.php?id=1"));
}

void Lifecycle::formLoad(const CommandLineRequest &req) {
  // 1-2. Caption, screen units, element pools.
  host_.setCaption(kPrg);
  host_.readTwips(&st_.TwipX, &st_.TwipY);
  host_.loadElementPools();

  // 3. Settings.
  st_.Prg = kPrg;
  st_.Sect = kSect;
  const Settings::Position pos = settings_.load(g_, host_.windowPosTwips());

  // 4. First run: show where the program comes from.
  if (settings_.text(key::Instalado) != kInstalledMark) {
    const QString page = downloadPageUrl();
    if (!page.isEmpty()) host_.openUrl(page);
  }

  // 5. Saved position.
  host_.moveWindowTwips(pos.x, pos.y);

  // 6. Texts and environment.
  host_.loadLanguage();
  host_.runEnvironmentCheck();

  // 7. Fresh main window state.
  st_.TNum = 1;
  st_.ScrollStart = 1;
  st_.Playing = st_.Paused = 0;
  st_.Intro = st_.STP = st_.Repeat = 0;
  st_.Light1Flag = 0;

  // 8. Skin file.
  if (!g_.Skin.isEmpty() && !FileExists(g_.Skin)) {
    const QString missing = g_.Skin;
    g_.Skin.clear();
    host_.showMessage(g_.message(msg::SkinMissingBefore) + missing + g_.message(msg::SkinMissingAfter));
  }
  if (g_.Skin.isEmpty()) g_.Skin = host_.defaultSkinFile();

  // 10. Balance and sliders: the volume and balance of the last run; a
  // settings file without them starts at the output's volume, centred.
  const double volume = settings_.fraction(key::Volume);
  const double balance = settings_.fraction(key::Balance);
  g_.Balance = balance >= 0 ? static_cast<float>(balance) : 0.5f;
  st_.Sliders[1].Value = 0;
  st_.Sliders[2].Value = volume >= 0 ? volume : host_.currentOutputVolume();
  st_.Sliders[3].Value = g_.Balance;
  st_.Sliders[4].Value = st_.Sliders[2].Value;
  st_.Sliders[5].Value = 0.5;

  // 11. Input plug-ins.
  host_.discoverInputPlugins();

  // 13. Random seed, media information, skin, schedule.
  g_.Rng.seed(static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay()));
  host_.clearMediaInfo();
  host_.loadSkin(g_.Skin);

  // 9 and 14. The window appears once its skin has given it its size and
  // shape, unless it starts hidden in the tray.
  if (g_.StartMin == 1)
    host_.hideWindow();
  else
    host_.showWindow();
  host_.readAutoList();
  host_.buildDayText();

  // 15. Tray.
  host_.loadTray();

  // 16-17. Command line, or the start mode.
  if (req.kind != CommandLineRequest::Kind::None) {
    st_.AddPath = req.path;
    st_.AddName = req.kind == CommandLineRequest::Kind::Add ? st_.AddPath : QStringLiteral("Commandline");
    st_.AddTitle = host_.displayTitle(st_.AddPath);
    host_.plAddOpened();
    st_.TNum = 1;
    g_.AutoPlay = req.kind == CommandLineRequest::Kind::Add ? 0 : 1;
  } else if (g_.StartMd == 1) {
    const QString saved = host_.playlistFile();
    if (FileExists(saved)) {
      if (host_.plRead(saved)) playlistOnDisk_ = host_.playlistEntries();
      st_.TNum = settings_.int16(key::LastTrack, 0);
    }
    const QString cover = settings_.text(key::LastCover);
    if (!cover.isEmpty()) {
      host_.loadCover(cover);
      st_.LastCover = cover;
    }
  } else if (g_.StartMd == 2) {
    st_.AddPath = g_.StartFile;
    st_.AddName = st_.AddPath;
    host_.plAddOpened();
  }

  // 18-19. Playback timer and auto-play.
  host_.enableTimer1(true);
  if (g_.AutoPlay > 0) host_.playIt(g_.AutoPlay);

  // 20. Associations, news, transparency.
  host_.checkAssociations();
  host_.startNews();
  host_.applyTransparency();

  // 21. The visualization plug-in.
  g_.VisPluginName = QStringLiteral("qv_plugin");
  host_.createVisPlugin();
}

void Lifecycle::receiveHandOff(const CommandLineRequest &req) {
  if (req.kind == CommandLineRequest::Kind::None) return;
  st_.AddPath = req.path;
  st_.AddTitle = FriendlyName(st_.AddPath, g_.FriendlyNames);
  if (req.kind == CommandLineRequest::Kind::Add) {
    st_.AddName = st_.AddPath;
    host_.plAddOpened();
    st_.TNum = 1;
    g_.AutoPlay = 0;
    return;
  }
  st_.AddName = req.path;
  host_.plClear();
  host_.plAddOpened();
  st_.TNum = 1;
  g_.AutoPlay = 1;
  host_.playIt(g_.AutoPlay);
}

void Lifecycle::formUnload() {
  if (unloaded_) return;
  unloaded_ = true;

  // 1. Release the player; the playback timer stops.
  host_.cleanUpPlayer();
  host_.enableTimer1(false);

  // 2 and 4. Settings, "LastCover" and "LastTrack": one write of the file, in
  // the save order.
  saveSettings();

  // 3. Schedule file.
  host_.writeAutoList();

  // 5. The playlist of this run.
  savePlaylist();

  // 6. Tray, and the end.
  host_.unloadTray();
  host_.endProcess();
}

void Lifecycle::checkpoint() {
  if (unloaded_) return;
  saveSettings();
  host_.writeAutoList();
  savePlaylist();
}

void Lifecycle::savePlaylist() {
  const QStringList entries = host_.playlistEntries();
  if (entries == playlistOnDisk_) return;
  const QString file = host_.playlistFile();
  QString error;
  if (host_.writePlaylist(file, &error)) {
    playlistOnDisk_ = entries;
    playlistFailureShown_ = false;
    return;
  }
  // Said once, not at every checkpoint while the disk stays full.
  if (playlistFailureShown_) return;
  playlistFailureShown_ = true;
  qCWarning(lcCore).noquote() << "Playlist not saved to" << file + QLatin1Char(':') << error;
  // While the program ends (also on SIGTERM at logout) a message box would
  // keep it from ending: the warning above is all then.
  if (!unloaded_) host_.showMessage(QStringLiteral("The playlist could not be saved in %1: %2").arg(file, error));
}

bool Lifecycle::saveSettings() {
  Settings::ExitValues exit;
  exit.writePosition = g_.WinSavePos == 1;
  const Settings::Position pos = host_.windowPosTwips();
  exit.x = static_cast<float>(pos.x);
  exit.y = static_cast<float>(pos.y);
  exit.lastCover = st_.LastCover;
  exit.lastTrack = st_.TNum;
  // Muted, the volume to come back to is the one before the mute.
  exit.volume = st_.Mute ? st_.SavedVolume : static_cast<int>(std::lround(st_.Sliders[2].Value * 100));
  exit.balance = static_cast<int>(std::lround(g_.Balance * 100));
  // A failure is reported by the store, once while it repeats.
  return settings_.save(g_, exit);
}

}  // namespace cantorel
