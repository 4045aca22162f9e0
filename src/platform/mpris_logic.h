#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace cantorel::mpris {

// Names on the session bus. A second player with other settings (another
// CANTOREL_HOME) on the same bus takes the name with ".instance<pid>" added,
// as desktop panels expect.
inline const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.cantorel");
inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
inline const QString kLyricsInterface = QStringLiteral("org.cantorel.Lyrics");
// The installed desktop entry's name without ".desktop" (data/applications).
inline const QString kDesktopEntry = QStringLiteral("cantorel");
inline const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

// Speeds the rate slider reaches (its value 0..1 plus 0.5).
inline constexpr double kMinimumRate = 0.5;
inline constexpr double kMaximumRate = 1.5;

// What OpenUri takes, and the media types the desktop entry offers us for
// (folders aside: they are no media).
QStringList supportedUriSchemes();
QStringList supportedMimeTypes();

enum class Status { Stopped, Playing, Paused };

// What is known of the entry being played.
struct TrackInfo {
  int entry = 0;      // 1-based playlist entry; 0 when nothing is loaded
  QString path;       // file path or stream address
  double length = 0;  // seconds; 0 when unknown (a stream)
  QString title;
  QString artist;
  QString album;
  QString cover;      // picture file shown as the cover; empty when none
  QStringList lyric;  // lines of the timed lyric; empty when none was found

  bool operator==(const TrackInfo &o) const {
    return entry == o.entry && path == o.path && length == o.length && title == o.title &&
           artist == o.artist && album == o.album && cover == o.cover && lyric == o.lyric;
  }
  bool operator!=(const TrackInfo &o) const { return !(*this == o); }
};

// The player as the media controls show it at one moment.
struct Snapshot {
  Status status = Status::Stopped;
  bool repeat = false;
  bool shuffle = false;
  double volume = 0;  // 0..1
  double rate = 1;
  bool canGoNext = false;
  bool canGoPrevious = false;
  bool canPlay = false;
  bool canPause = false;
  bool canSeek = false;
  TrackInfo track;
};

// Seconds and microseconds. Non-finite or negative times give 0; times past
// what 64 bits hold saturate.
qint64 toMicroseconds(double seconds);
double toSeconds(qint64 microseconds);

QString statusText(Status s);
// Our single-track repeat is "Track". The player has no playlist loop; a
// request for "Playlist" turns repeat on as well, so a panel's button that
// cycles None, Playlist, Track still reaches every state we have.
QString loopStatusText(bool repeat);
// Repeat on or off for a loop status; nothing for a text that is none.
std::optional<bool> repeatForLoopStatus(const QString &loopStatus);

// The object path that names a playlist entry; the "no track" path for 0.
QString trackIdPath(int entry);

// The address of an entry: file:// for a local file, the stream's own
// address for a stream.
QString entryUrl(const QString &path);
// What an address handed to OpenUri plays: a local path for a file URI, the
// address itself for http and https; empty for any other scheme.
QString pathForUri(const QString &uri);

// The "Metadata" map. The track id is given as its path text; the D-Bus layer
// marks it as an object path. Empty fields are left out.
QVariantMap buildMetadata(const TrackInfo &t);

// The Player interface's properties whose values differ between two
// snapshots, by property name, with their new values (the track id again as
// text). Position is never among them: clients ask for it.
QVariantMap changedPlayerProperties(const Snapshot &before, const Snapshot &now);
// All Player properties of one snapshot, Position aside.
QVariantMap playerProperties(const Snapshot &s);

// What Seek(offset) does from `position` in an entry of `length` (all µs):
// before the start seeks to 0; past the end goes to the next entry, as
// clients expect; an entry without a known length cannot be sought.
struct SeekStep {
  enum Kind { Ignore, SeekTo, Next } kind = Ignore;
  qint64 to = 0;
};
SeekStep seekStep(qint64 position, qint64 offset, qint64 length, bool canSeek);

// Whether SetPosition(trackId, position) applies: the id names the current
// entry and the position lies within it.
bool setPositionApplies(const QString &trackId, qint64 position, const TrackInfo &current);

}  // namespace cantorel::mpris
