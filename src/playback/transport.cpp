#include "playback/transport.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/log.h"
#include "playlist/paths.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_object.h"
#include "prefs/message_ids.h"

namespace cantorel {

namespace {

const QString kNotFound = QStringLiteral("[FILE NOT FOUND]");
// The mark of an entry that is there but cannot be played. Its path stays,
// so the entry plays again once a missing decoder is installed.
const QString kCannotPlay = QStringLiteral("[CANNOT PLAY]");

bool isStreamPath(const QString &path) {
  // "http:" as the original rule; "https:" streams are streams too.
  const QString head = path.left(6).toUpper();
  return head.startsWith(QLatin1String("HTTP:")) || head == QLatin1String("HTTPS:");
}

bool refuses(const QVariant &r) {
  if (r.typeId() == QMetaType::Bool) return r.toBool();
  bool ok = false;
  const double v = r.toDouble(&ok);
  return ok && v == -1.0;
}

}  // namespace

double Transport::roundEven(double v) {
  if (!std::isfinite(v)) return 0;
  return std::nearbyint(v);  // the default rounding mode rounds halves to even
}

QString Transport::lengthText(double seconds) {
  const double d = std::max(0.0, roundEven(seconds));
  const auto m = static_cast<qint64>(std::floor(d / 60));
  const auto s = static_cast<qint64>(d - 60.0 * static_cast<double>(m));
  return QString::number(m) + u':' + QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
}

QString Transport::rateText(float rate) {
  return QString::number(qRound(rate * 100.0f)) + u'%';
}

QString Transport::balanceText(float balance) {
  if (balance < 0.45f) return QString::number(qRound((0.5f - balance) * 200.0f)) + QLatin1String("% left");
  if (balance > 0.55f) return QString::number(qRound((balance - 0.5f) * 200.0f)) + QLatin1String("% right");
  return QStringLiteral("Centre");
}

QString Transport::timeText(qint32 second, bool remaining) {
  const qint32 m = second / 60;
  const qint32 s = second - 60 * m;
  return (remaining ? QStringLiteral("-") : QString()) + QString::number(m) + u':' +
         QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
}

qint32 Transport::packVolume(float volume, float balance) {
  const double leftFactor = balance > 0.55f ? 1.0 - 2.0 * (double(balance) - 0.5) : 1.0;
  const double rightFactor = balance < 0.45f ? 1.0 - 2.0 * (0.5 - double(balance)) : 1.0;
  const double v = std::clamp(double(volume), 0.0, 1.0) * 65535.0;
  const auto left = static_cast<quint32>(std::clamp(roundEven(v * leftFactor), 0.0, 65535.0));
  const auto right = static_cast<quint32>(std::clamp(roundEven(v * rightFactor), 0.0, 65535.0));
  return static_cast<qint32>((right << 16) | left);
}

double Transport::Position() {
  if (st_.Playing && st_.Dev == QLatin1String("DX") && hasPlayer()) {
    bool ok = false;
    const double p = g_.Player->value("GetCurrentPosition").toDouble(&ok);
    if (ok && std::isfinite(p)) return p;
  }
  return st_.Elapsed;
}

QString Transport::ElapsedText() {
  const double whole = std::clamp(roundEven(Position()), 0.0, 2147483647.0);
  return timeText(static_cast<qint32>(whole), false);
}

Mp3Header Transport::factsFromPlayer(const QVariantMap &info) {
  Mp3Header h;
  const int bitrate = info.value(QStringLiteral("bitrate")).toInt();
  const int rate = info.value(QStringLiteral("sampleRate")).toInt();
  const int channels = info.value(QStringLiteral("channels")).toInt();
  if (bitrate > 0) h.Bitrate = QString::number(bitrate);
  if (rate > 0) h.SampleRate = QString::number(rate / 1000);
  if (channels == 1)
    h.Channels = QStringLiteral("mono");
  else if (channels == 2)
    h.Channels = QStringLiteral("stereo");
  else if (channels > 2)
    h.Channels = QString::number(channels) + QStringLiteral(" ch");
  return h;
}

QStringList Transport::mixerPrograms() {
  return {QStringLiteral("pavucontrol"),
          QStringLiteral("pwvucontrol"),
          QStringLiteral("gnome-control-center sound"),
          QStringLiteral("kcmshell6 kcm_pulseaudio"),
          QStringLiteral("kcmshell5 kcm_pulseaudio"),
          QStringLiteral("mate-volume-control"),
          QStringLiteral("xfce4-mixer")};
}

void Transport::CleanUP() {
  if (hasPlayer()) {
    g_.Player->call("CleanUP");
    g_.Player->call("finish");
  }
  host_.enableTimer1(false);
}

void Transport::resume() {
  if (hasPlayer() && st_.Dev == QLatin1String("DX")) g_.Player->call("Run");
  // The entry plays again: it is no longer paused.
  st_.Paused = 0;
  host_.showLights();
}

void Transport::PlayIt(qint16 mode) {
  skipTicks_ = 0;
  // Started by the user (not going on after a failure): failures count afresh.
  if (!std::exchange(skipping_, false)) failedInRow_ = 0;
  // 0. Paused: the same entry resumes. A different entry chosen meanwhile
  // (next, previous, a double-click) starts instead.
  if (st_.Paused) {
    const int i = st_.TNum - 1;
    if (i >= 0 && i < pl_.count() && !st_.SongPath.isEmpty() && pl_.PlPath[i] == st_.SongPath) {
      resume();
      return;
    }
  }

  // 1. Which entry.
  const int count = pl_.count();
  if (count == 0) return;
  if (st_.TNum < 1) st_.TNum = static_cast<qint16>(std::min(count, 32767));
  if (st_.TNum > count) {
    st_.TNum = 1;
    StopIt();
    return;
  }
  const int index = st_.TNum - 1;

  // 2. Release what played.
  host_.enableTimer1(false);
  CleanUP();
  host_.showStreamFacts({});
  st_.RptA = st_.RptB = 0;

  // 3-4. The file, or the mark of a missing one.
  st_.SongPath = pl_.PlPath[index];
  const bool stream = isStreamPath(st_.SongPath);
  st_.InternetFile = stream ? -1 : 0;
  if (!stream && !QFileInfo(st_.SongPath).isFile()) {
    if (!pl_.PlNames[index].contains(kNotFound)) pl_.PlNames[index] += u' ' + kNotFound;
    pl_.PlPath[index].clear();
    st_.Dev.clear();
    failEntry(index, QStringLiteral("the file was not found"));
    return;
  }

  // 5. The kind of entry.
  const QString ext = ExtPart(st_.SongPath).toUpper();
  st_.Dev = QStringLiteral("DX");
  bool picture = false;
  const bool mpeg = ext == QLatin1String("MP2") || ext == QLatin1String("MP3") || ext == QLatin1String("MPA");
  // Only MPEG files have their tag read. Any other entry has no tag: keeping
  // the one before would name this entry's lyric after another song (found,
  // and saved over, by the lyric search) and show it in the media controls.
  if (!mpeg) g_.Tag.clear();
  bool factsShown = false;
  if (mpeg) {
    factsShown = host_.readMpegInfo(st_.SongPath);
    if (g_.UseTagCover == 1) host_.loadTagCover(st_.SongPath);
  } else if (ext == QLatin1String("BMP") || ext == QLatin1String("GIF") || ext == QLatin1String("JPG")) {
    picture = true;
    st_.Dev = QStringLiteral("Delay");
    st_.SongLen = 5;
    st_.Elapsed = 0;
    host_.loadCover(st_.SongPath);
    host_.selectEntry(index);
    host_.enableTimer1(true);
  } else if (QStringList{QStringLiteral("TXT"), QStringLiteral("DOC"), QStringLiteral("BAT"),
                         QStringLiteral("COM"), QStringLiteral("EXE"), QStringLiteral("LNK")}
                 .contains(ext)) {
    st_.Dev = QStringLiteral("Delay");
    nothingPlays();
    return;
  }

  // 6. The player for this kind of file.
  bool newPlayer = false;
  if (!picture) {
    newPlayer = plugins_.PickInputPlugin(g_, ext);
    // A stream address rarely ends in an extension a plug-in names; with no
    // player chosen yet, the last plug-in in the table takes it.
    if (!newPlayer && stream && g_.InputPluginName.isEmpty() && !g_.InputPluginTable.isEmpty()) {
      const QString last = g_.InputPluginTable.last().Name;
      if (auto obj = plugins_.create(PluginKind::Input, last)) {
        g_.InputPluginName = last;
        g_.Player = std::move(obj);
        newPlayer = true;
      }
    }
  }
  st_.Sliders[1].Value = 0;
  host_.sliderMoved(1, 0);
  host_.setPositionSliderVisible(true);

  // 7. Names and numbers.
  const QString title = host_.displayTitle(st_.SongPath);
  if (!title.isEmpty()) pl_.PlNames[index] = title;
  st_.SongName = pl_.PlNames[index];
  host_.setDigits(6, st_.SongName);
  host_.setLabel(2, st_.SongName);
  host_.setLabel(4, u' ' + QString::number(st_.TNum));
  host_.setDigits(2, QString::number(st_.TNum));
  host_.playlistChanged();

  // 8. Open and run.
  if (st_.Dev != QLatin1String("Delay")) {
    if (!hasPlayer() || refuses(g_.Player->value("Init", {st_.SongPath}))) {
      QString why = playerError();
      if (why.isEmpty()) why = g_.message(msg::PlayerRefusedFile).trimmed();
      if (why.isEmpty()) why = QStringLiteral("the player cannot open this file");
      failEntry(index, why);
      return;
    }
    g_.Player->call("RenderFile", {st_.SongPath});
    if (const QString why = playerError(); !why.isEmpty()) {
      failEntry(index, why);
      return;
    }
    prepareRendered(newPlayer);
    // Other formats (and MPEG files without a header where it is looked for)
    // show what the decoder reports, if it says.
    if (!factsShown && g_.Player->has("StreamInfo", 0))
      host_.showStreamFacts(factsFromPlayer(g_.Player->value("StreamInfo").toMap()));
    if (mode < 2) g_.Player->call("Run");
    host_.loadLyric(st_.SongPath);
  }

  // 9-11. State, lights, length, timer.
  st_.Playing = -1;
  st_.Paused = (mode >= 2 && st_.Dev != QLatin1String("Delay")) ? -1 : 0;  // prepared: paused at the start
  host_.showLights();
  host_.selectEntry(index);
  host_.setLabel(13, lengthText(st_.SongLen));
  host_.setLabel(26, QStringLiteral("Media"));
  host_.enableTimer1(true);
}

void Transport::prepareRendered(bool newPlayer) {
  if (!st_.InternetFile) {
    g_.Player->call("CurrentPosition", {0});
    g_.Player->call("Rate", {static_cast<float>(st_.Sliders[5].Value + 0.5)});
    st_.SongLen = std::max(0.0, g_.Player->value("Duration").toDouble());
  } else {
    st_.SongLen = 0;
  }
  // A fresh player object starts at its own volume: give it the user's.
  if (newPlayer) WriteVolume(static_cast<float>(st_.Sliders[2].Value));
  st_.Elapsed = 0;
}

bool Transport::Reopen(const QString &path, double position, bool play) {
  if (path.isEmpty() || path != st_.SongPath || st_.Dev != QLatin1String("DX") || !hasPlayer()) return false;
  const auto failed = [&] {
    qCWarning(lcPlayback).noquote() << "cannot reopen" << path << "-" << playerError();
    return false;
  };
  if (refuses(g_.Player->value("Init", {path}))) return failed();
  g_.Player->call("RenderFile", {path});
  if (!playerError().isEmpty()) return failed();
  prepareRendered(false);
  if (!st_.InternetFile && position > 0) {
    const double at = std::min(position, std::max(0.0, st_.SongLen - 1));
    g_.Player->call("CurrentPosition", {at});
    st_.Elapsed = at;
  }
  if (play) g_.Player->call("Run");
  st_.Playing = -1;
  st_.Paused = play ? 0 : -1;
  host_.showLights();
  host_.enableTimer1(true);
  return true;
}

QString Transport::playerError() const {
  if (!hasPlayer() || !g_.Player->has("LastError", 0)) return QString();
  return g_.Player->value("LastError").toString().trimmed();
}

void Transport::failEntry(int index, const QString &reason) {
  CleanUP();
  const QString path = st_.SongPath;
  QString name = pl_.PlNames.value(index);
  if (index >= 0 && index < pl_.count() && !name.contains(kNotFound) && !name.contains(kCannotPlay))
    pl_.PlNames[index] = name + u' ' + kCannotPlay;
  qCWarning(lcPlayback).noquote() << "cannot play" << path << "-" << reason;
  const QString shown = name + QStringLiteral(": ") + reason;
  st_.SongName = shown;
  host_.setDigits(6, shown);
  host_.setLabel(2, shown);
  host_.playlistChanged();
  st_.SongLen = st_.Elapsed = 0;
  nothingPlays();
  // Go on after a moment, unless nothing else could play.
  ++failedInRow_;
  if (st_.Repeat || failedInRow_ >= pl_.count()) {
    failedInRow_ = 0;
    return;
  }
  skipTicks_ = kFailedPauseTicks;
  host_.enableTimer1(true);
}

bool Transport::failedEntryDue() {
  if (skipTicks_ <= 0 || --skipTicks_ > 0) return false;
  skipping_ = true;
  return true;
}

bool Transport::checkPlayerError() {
  if (!st_.Playing || st_.Dev != QLatin1String("DX")) return false;
  const QString why = playerError();
  if (why.isEmpty()) return false;
  int index = st_.TNum - 1;
  // The entry may have moved in the playlist since it started.
  if (index < 0 || index >= pl_.count() || pl_.PlPath[index] != st_.SongPath)
    index = static_cast<int>(pl_.PlPath.indexOf(st_.SongPath));
  failEntry(index, why);
  return true;
}

void Transport::nothingPlays() {
  // The entry before was released: the flags must not claim it still plays.
  if (!st_.Playing && !st_.Paused) return;
  st_.Playing = st_.Paused = 0;
  host_.showLights();
}

void Transport::StopIt() {
  skipTicks_ = 0;
  failedInRow_ = 0;
  CleanUP();
  host_.setPositionSliderVisible(false);
  host_.setLabel(1, QString());
  st_.Paused = 0;
  st_.Playing = 0;
  host_.showLights();
}

void Transport::PauseIt() {
  if (!st_.Playing) return;
  if (hasPlayer() && st_.Dev == QLatin1String("DX")) g_.Player->call(st_.Paused ? "Run" : "Pause");
  st_.Paused = st_.Paused ? 0 : -1;
  host_.showLights();
}

void Transport::PlayPause() {
  if (st_.Playing)
    PauseIt();
  else
    PlayIt(0);
}

void Transport::Reverse() {
  PlayFrom(static_cast<qint32>(roundEven(st_.Elapsed - 10)));
}
void Transport::Forward() {
  PlayFrom(static_cast<qint32>(roundEven(st_.Elapsed + 10)));
}

void Transport::NextTrack() {
  if (st_.TNum < 32767) ++st_.TNum;
  PlayIt(0);
}

void Transport::PrevTrack() {
  --st_.TNum;
  PlayIt(0);
}

void Transport::PlayFrom(qint32 second) {
  // A stream has no length to seek within.
  if (g_.InputPluginName.isEmpty() || st_.InternetFile) return;
  if (second < 0) second = 0;
  if (second >= st_.SongLen) second = std::max(0, static_cast<qint32>(roundEven(st_.SongLen - 1)));
  if (g_.Player) {
    g_.Player->call("CurrentPosition", {second});
    host_.positionSet(second);
  }
  // Lyric times are elapsed times, whichever time the display shows.
  if (st_.Playing && g_.LyricActive) host_.lyricResync(timeText(second, false));
}

void Transport::SetRate(double value) {
  const auto rate = static_cast<float>(value + 0.5);
  if (st_.Playing && hasPlayer()) g_.Player->call("Rate", {rate});
  host_.setLabel(24, rateText(rate));
}

void Transport::SetBalance(float value) {
  g_.Balance = value;
  host_.setLabel(25, balanceText(value));
  WriteVolume(static_cast<float>(st_.Sliders[2].Value));
}

float Transport::ReadVolume() {
  // Before any player is chosen, the volume is what the slider shows.
  if (!hasPlayer()) return static_cast<float>(st_.Sliders[2].Value);
  const QVariant v = g_.Player->value("GetVolume", {0});
  bool ok = false;
  const qint64 packed = v.toLongLong(&ok);
  if (!ok) return static_cast<float>(st_.Sliders[2].Value);
  const auto bits = static_cast<quint32>(static_cast<quint64>(packed) & 0xFFFFFFFFu);
  const quint32 left = bits & 0xFFFFu;
  const quint32 right = bits >> 16;
  return static_cast<float>(std::max(left, right)) / 65535.0f;
}

void Transport::WriteVolume(float volume) {
  if (hasPlayer()) g_.Player->call("SetVolume", {0, packVolume(volume, g_.Balance)});
}

void Transport::ChangeVolume(int delta) {
  if (st_.Mute) ToggleMute();
  const float v = std::clamp(ReadVolume() + static_cast<float>(delta) / 100.0f, 0.0f, 1.0f);
  st_.Sliders[2].Value = v;
  host_.sliderMoved(2, v);
  WriteVolume(v);
}

void Transport::ToggleMute() {
  if (!st_.Mute) {
    // The nearest whole percent: truncating lost a percent on every mute.
    st_.SavedVolume = static_cast<int>(std::lround(ReadVolume() * 100.0f));
    ChangeVolume(-100);
    st_.Mute = -1;
  } else {
    st_.Mute = 0;
    ChangeVolume(st_.SavedVolume);
  }
  host_.showLights();
}

bool Transport::ShowMixer() {
  for (const QString &line : mixerPrograms()) {
    QStringList parts = line.split(u' ');
    const QString program = parts.takeFirst();
    if (host_.programExists(program) && host_.startDetached(program, parts)) return true;
  }
  return false;
}

void Transport::SetLoopPoint() {
  if (host_.hasLoopBButton() || st_.RptA <= 0) {
    st_.RptA = static_cast<qint32>(roundEven(st_.Elapsed));
    st_.RptB = 0;
  } else if (st_.RptB != 0) {
    st_.RptA = st_.RptB = 0;
  } else {
    SetLoopB();
    return;
  }
  host_.showLights();
}

void Transport::SetLoopB() {
  const auto b = static_cast<qint32>(roundEven(st_.Elapsed));
  if (b < st_.RptA) {
    // B set before A: the loop runs between the two, so they swap.
    st_.RptB = st_.RptA;
    st_.RptA = b;
  } else if (b == st_.RptA) {
    // A loop of no length would seek on every tick: there is none.
    st_.RptA = st_.RptB = 0;
  } else {
    st_.RptB = b;
  }
  host_.showLights();
}

}  // namespace cantorel
