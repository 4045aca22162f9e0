#include "platform/mpris_service_dbus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "core/log.h"

namespace cantorel {

MprisService::MprisService(MprisPlayer &player, QObject *parent)
    : QObject(parent),
      player_(player),
      root_(new MprisRootAdaptor(this)),
      playerAdaptor_(new MprisPlayerAdaptor(this)),
      lyrics_(new MprisLyricsAdaptor(this)) {}

MprisService::~MprisService() {
  stop();
}

bool MprisService::start() {
  if (registered_) return true;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    qCWarning(lcPlatform).noquote() << "No D-Bus session bus; desktop media controls are off:"
                                    << bus.lastError().message();
    return false;
  }
  if (!bus.registerObject(mpris::kObjectPath, this, QDBusConnection::ExportAdaptors)) {
    qCWarning(lcPlatform).noquote() << "Media controls not published:" << bus.lastError().message();
    return false;
  }
  // Another player of ours (other settings) may hold the plain name.
  const QString unique =
      mpris::kServiceName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
  for (const QString &name : {mpris::kServiceName, unique}) {
    if (bus.registerService(name)) {
      name_ = name;
      break;
    }
  }
  if (name_.isEmpty()) {
    qCWarning(lcPlatform).noquote() << "Media controls not published:" << bus.lastError().message();
    bus.unregisterObject(mpris::kObjectPath);
    return false;
  }
  registered_ = true;
  last_ = player_.snapshot();
  return true;
}

void MprisService::stop() {
  if (!registered_) return;
  registered_ = false;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(name_);
  bus.unregisterObject(mpris::kObjectPath);
  name_.clear();
}

void MprisService::stateChanged() {
  // One publication for all the changes of one step (PlayIt changes status,
  // entry, length and lyric in one go).
  if (pending_ || !registered_) return;
  pending_ = true;
  QTimer::singleShot(0, this, [this] { publish(); });
}

void MprisService::publish() {
  pending_ = false;
  if (!registered_) return;
  const mpris::Snapshot now = player_.snapshot();
  QVariantMap changed = mpris::changedPlayerProperties(last_, now);
  last_ = now;
  if (changed.isEmpty()) return;
  const auto meta = changed.find(QStringLiteral("Metadata"));
  if (meta != changed.end()) *meta = busMetadata(meta->toMap());
  emitPropertiesChanged(mpris::kPlayerInterface, changed);
}

void MprisService::seeked(double seconds) {
  if (!registered_) return;
  Q_EMIT playerAdaptor_->Seeked(mpris::toMicroseconds(seconds));
}

void MprisService::lyricLineChanged(int index, const QString &text, qint64 timeUs) {
  if (index == lyricIndex_ && text == lyricText_ && timeUs == lyricTime_) return;
  lyricIndex_ = index;
  lyricText_ = text;
  lyricTime_ = timeUs;
  if (!registered_) return;
  Q_EMIT lyrics_->LineChanged(index, text, timeUs);
  emitPropertiesChanged(mpris::kLyricsInterface, {{QStringLiteral("CurrentLineIndex"), index},
                                                  {QStringLiteral("CurrentLine"), text},
                                                  {QStringLiteral("CurrentLineTime"), timeUs}});
}

void MprisService::emitPropertiesChanged(const QString &interface, const QVariantMap &changed) {
  QDBusMessage signal =
      QDBusMessage::createSignal(mpris::kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << interface << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

QVariantMap MprisService::busMetadata(const QVariantMap &metadata) {
  QVariantMap m = metadata;
  const auto id = m.find(QStringLiteral("mpris:trackid"));
  if (id != m.end()) *id = QVariant::fromValue(QDBusObjectPath(id->toString()));
  return m;
}

// --- org.mpris.MediaPlayer2 ---

MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisRootAdaptor::identity() const {
  return QStringLiteral("Cantorel");
}

QString MprisRootAdaptor::desktopEntry() const {
  return mpris::kDesktopEntry;
}

QStringList MprisRootAdaptor::supportedUriSchemes() const {
  return mpris::supportedUriSchemes();
}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
  return mpris::supportedMimeTypes();
}

void MprisRootAdaptor::Raise() {
  service_->player().raise();
}

void MprisRootAdaptor::Quit() {
  // After the reply has gone out: the caller hears "done", not a lost peer.
  QPointer<MprisService> s(service_);
  QTimer::singleShot(0, service_, [s] {
    if (s) s->player().quit();
  });
}

// --- org.mpris.MediaPlayer2.Player ---

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QString MprisPlayerAdaptor::playbackStatus() const {
  return mpris::statusText(now().status);
}

QString MprisPlayerAdaptor::loopStatus() const {
  return mpris::loopStatusText(now().repeat);
}

void MprisPlayerAdaptor::setLoopStatus(const QString &status) {
  const std::optional<bool> repeat = mpris::repeatForLoopStatus(status);
  if (!repeat) {
    if (service_->calledFromDBus())
      service_->sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("Unknown loop status: ") + status);
    return;
  }
  service_->player().setRepeat(*repeat);
  // "Playlist" reads back as "Track": say so even though repeat was already on.
  service_->stateChanged();
}

double MprisPlayerAdaptor::rate() const {
  return now().rate;
}

void MprisPlayerAdaptor::setRate(double rate) {
  if (!std::isfinite(rate)) return;
  // A rate of 0 means "pause" to media-player clients.
  if (rate <= 0) {
    Pause();
    return;
  }
  service_->player().setRate(std::clamp(rate, mpris::kMinimumRate, mpris::kMaximumRate));
}

bool MprisPlayerAdaptor::shuffle() const {
  return now().shuffle;
}

void MprisPlayerAdaptor::setShuffle(bool on) {
  service_->player().setShuffle(on);
}

QVariantMap MprisPlayerAdaptor::metadata() const {
  return MprisService::busMetadata(mpris::buildMetadata(now().track));
}

double MprisPlayerAdaptor::volume() const {
  return now().volume;
}

void MprisPlayerAdaptor::setVolume(double volume) {
  if (!std::isfinite(volume)) return;
  // The player does not amplify: louder than full is full.
  service_->player().setVolume(std::clamp(volume, 0.0, 1.0));
}

qlonglong MprisPlayerAdaptor::position() const {
  return mpris::toMicroseconds(service_->player().position());
}

bool MprisPlayerAdaptor::canGoNext() const {
  return now().canGoNext;
}
bool MprisPlayerAdaptor::canGoPrevious() const {
  return now().canGoPrevious;
}
bool MprisPlayerAdaptor::canPlay() const {
  return now().canPlay;
}
bool MprisPlayerAdaptor::canPause() const {
  return now().canPause;
}
bool MprisPlayerAdaptor::canSeek() const {
  return now().canSeek;
}

void MprisPlayerAdaptor::Next() {
  service_->player().next();
}
void MprisPlayerAdaptor::Previous() {
  service_->player().previous();
}
void MprisPlayerAdaptor::Pause() {
  service_->player().pause();
}
void MprisPlayerAdaptor::PlayPause() {
  service_->player().playPause();
}
void MprisPlayerAdaptor::Stop() {
  service_->player().stop();
}
void MprisPlayerAdaptor::Play() {
  service_->player().play();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset) {
  const mpris::Snapshot s = now();
  const mpris::SeekStep step = mpris::seekStep(mpris::toMicroseconds(service_->player().position()), Offset,
                                               mpris::toMicroseconds(s.track.length), s.canSeek);
  if (step.kind == mpris::SeekStep::SeekTo)
    service_->player().seekTo(mpris::toSeconds(step.to));
  else if (step.kind == mpris::SeekStep::Next)
    service_->player().next();
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position) {
  const mpris::Snapshot s = now();
  // A stale track id (the entry changed meanwhile) is ignored, as clients expect.
  if (s.canSeek && mpris::setPositionApplies(TrackId.path(), Position, s.track))
    service_->player().seekTo(mpris::toSeconds(Position));
}

void MprisPlayerAdaptor::OpenUri(const QString &Uri) {
  const QString path = mpris::pathForUri(Uri);
  if (path.isEmpty()) {
    if (service_->calledFromDBus())
      service_->sendErrorReply(QDBusError::NotSupported, QStringLiteral("Cannot open this address: ") + Uri);
    return;
  }
  service_->player().open(path);
}

// --- org.cantorel.Lyrics ---

MprisLyricsAdaptor::MprisLyricsAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), service_(service) {}

}  // namespace cantorel
