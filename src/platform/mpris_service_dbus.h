#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "platform/mpris_logic.h"
#include "platform/mpris_player.h"

namespace cantorel {

class MprisRootAdaptor;
class MprisPlayerAdaptor;
class MprisLyricsAdaptor;

// The player on the session bus as "org.mpris.MediaPlayer2.cantorel", object
// /org/mpris/MediaPlayer2: the media-player interfaces every desktop's media
// keys and panels speak, and "org.cantorel.Lyrics", which publishes the lyric
// line being sung. What it is asked goes to an MprisPlayer; what changes is
// published as PropertiesChanged, once per burst of changes.
class MprisService : public QObject, public QDBusContext, public MprisEvents {
  Q_OBJECT
 public:
  explicit MprisService(MprisPlayer &player, QObject *parent = nullptr);
  ~MprisService() override;

  // Takes the name on the session bus. Without a bus (or when the bus refuses
  // every name) it logs one line and returns false; the player runs on.
  bool start();
  // Leaves the bus (the program is ending).
  void stop();
  // The name taken, empty while not on the bus.
  const QString &serviceName() const { return name_; }

  // MprisEvents
  void stateChanged() override;
  void seeked(double seconds) override;
  void lyricLineChanged(int index, const QString &text, qint64 timeUs) override;

  MprisPlayer &player() { return player_; }
  // The current lyric line as last published.
  int lyricIndex() const { return lyricIndex_; }
  const QString &lyricText() const { return lyricText_; }
  qint64 lyricTime() const { return lyricTime_; }

  // The "Metadata" map as D-Bus carries it (the track id an object path).
  static QVariantMap busMetadata(const QVariantMap &metadata);

 private:
  void publish();
  void emitPropertiesChanged(const QString &interface, const QVariantMap &changed);

  MprisPlayer &player_;
  MprisRootAdaptor *root_;
  MprisPlayerAdaptor *playerAdaptor_;
  MprisLyricsAdaptor *lyrics_;
  QString name_;
  bool registered_ = false;
  bool pending_ = false;
  mpris::Snapshot last_;
  int lyricIndex_ = -1;
  QString lyricText_;
  qint64 lyricTime_ = -1;
};

// org.mpris.MediaPlayer2: the application as a whole.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ canQuit)
  Q_PROPERTY(bool CanRaise READ canRaise)
  Q_PROPERTY(bool HasTrackList READ hasTrackList)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
 public:
  explicit MprisRootAdaptor(MprisService *service);

  bool canQuit() const { return true; }
  bool canRaise() const { return true; }
  bool hasTrackList() const { return false; }
  QString identity() const;
  QString desktopEntry() const;
  QStringList supportedUriSchemes() const;
  QStringList supportedMimeTypes() const;

 public Q_SLOTS:
  void Raise();
  void Quit();

 private:
  MprisService *service_;
};

// org.mpris.MediaPlayer2.Player: transport, volume, modes and metadata.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
  Q_PROPERTY(double Rate READ rate WRITE setRate)
  Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(double MinimumRate READ minimumRate)
  Q_PROPERTY(double MaximumRate READ maximumRate)
  Q_PROPERTY(bool CanGoNext READ canGoNext)
  Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
  Q_PROPERTY(bool CanPlay READ canPlay)
  Q_PROPERTY(bool CanPause READ canPause)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ canControl)
 public:
  explicit MprisPlayerAdaptor(MprisService *service);

  QString playbackStatus() const;
  QString loopStatus() const;
  void setLoopStatus(const QString &status);
  double rate() const;
  void setRate(double rate);
  bool shuffle() const;
  void setShuffle(bool on);
  QVariantMap metadata() const;
  double volume() const;
  void setVolume(double volume);
  qlonglong position() const;
  double minimumRate() const { return mpris::kMinimumRate; }
  double maximumRate() const { return mpris::kMaximumRate; }
  bool canGoNext() const;
  bool canGoPrevious() const;
  bool canPlay() const;
  bool canPause() const;
  bool canSeek() const;
  bool canControl() const { return true; }

 public Q_SLOTS:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong Offset);
  void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
  void OpenUri(const QString &Uri);

 Q_SIGNALS:
  void Seeked(qlonglong Position);

 private:
  mpris::Snapshot now() const { return service_->player().snapshot(); }
  MprisService *service_;
};

// org.cantorel.Lyrics: the lyric line being sung, for panels and overlays.
// LineChanged fires when a line becomes current (index -1 and an empty text
// when a new entry starts); the properties hold the same for late comers.
// The whole lyric is the player's "xesam:asText".
class MprisLyricsAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.cantorel.Lyrics")
  Q_PROPERTY(int CurrentLineIndex READ currentLineIndex)
  Q_PROPERTY(QString CurrentLine READ currentLine)
  Q_PROPERTY(qlonglong CurrentLineTime READ currentLineTime)
 public:
  explicit MprisLyricsAdaptor(MprisService *service);

  int currentLineIndex() const { return service_->lyricIndex(); }
  QString currentLine() const { return service_->lyricText(); }
  qlonglong currentLineTime() const { return service_->lyricTime(); }

 Q_SIGNALS:
  void LineChanged(int index, const QString &text, qlonglong timeUs);

 private:
  MprisService *service_;
};

}  // namespace cantorel
