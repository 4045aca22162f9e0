#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <functional>

#include "core/general.h"
#include "playlist/tag_info.h"

namespace cantorel {

// Lyrics from LRCLIB, an open database of synced lyrics, for songs that have
// none on disk. Asked only after every local pass failed; what it answers is
// saved as an LRC file the lyric search then finds like any other.

// What is asked for a song: artist and title are required; the album and the
// length (whole seconds, 0 when unknown) narrow the match.
struct OnlineLyricQuery {
  QString artist;
  QString title;
  QString album;
  int durationSec = 0;
  bool valid() const { return !artist.isEmpty() && !title.isEmpty(); }
};

// The query for a song: artist, title and album from its tag, trimmed; when
// the tag lacks the artist or the title, both come from a file name of the
// form "Artist - Title.ext". Not valid when neither gives both.
OnlineLyricQuery onlineLyricQuery(const QString &songPath, const TagInfo &tag, double lengthSec);

// One record as the service describes a song.
struct OnlineLyricRecord {
  QString artist;
  QString title;
  QString album;
  double duration = -1;  // seconds; -1 when not given
  bool instrumental = false;
  QString plainLyrics;
  QString syncedLyrics;
};

// Reads one record (a JSON object). False for anything else.
bool parseOnlineLyricRecord(const QByteArray &json, OnlineLyricRecord *out);
// Reads a search answer (a JSON array of records; elements that are not
// objects are skipped, at most kMaxOnlineSearchRecords are kept). False when
// it is not a JSON array.
inline constexpr int kMaxOnlineSearchRecords = 200;
bool parseOnlineLyricSearch(const QByteArray &json, QList<OnlineLyricRecord> *out);

// Whether two names are the same without regard to letter case and spacing.
bool sameOnlineLyricName(const QString &a, const QString &b);
// The record of a search that is this song: artist and title the same (see
// above) and the duration closest to the query's, at most 3 s off (any
// duration when the query has none). -1 when none is.
inline constexpr double kOnlineDurationTolerance = 3.0;
int bestOnlineLyricMatch(const QList<OnlineLyricRecord> &records, const OnlineLyricQuery &query);

// What a lookup came to.
struct OnlineLyricResult {
  enum class Kind {
    Synced,        // `synced` holds timed lyric text
    Plain,         // only untimed text: `plainLines`
    Instrumental,  // the song has no words
    NotFound,      // the service has no lyric for it
    Failed,        // refused or broken answer, timeout, network error: `error`
  };
  Kind kind = Kind::Failed;
  QString synced;
  QStringList plainLines;
  QString error;  // one line, for the log
  // Failed: the answer was refused (size, form, status, redirect, timeout),
  // not merely the service out of reach.
  bool refused = false;
};
// What a record offers: its synced lyric when that holds a timed line, else
// instrumental, else its plain lyric (at most kMaxLyricEntries lines, trailing
// blank lines dropped), else nothing.
OnlineLyricResult onlineLyricFromRecord(const OnlineLyricRecord &record);

// The bytes saved for a result: the synced lyric as given (LF line ends,
// UTF-8), or for an instrumental song only its tag lines and
// "[instrumental:yes]", which the reader does not take as a lyric and which
// keeps the song from being asked about again. Empty for other kinds.
QByteArray onlineLyricFileBytes(const OnlineLyricResult &result, const OnlineLyricQuery &query);

// Where a found lyric is saved: the name the lyric search tries first for the
// song, with ".lrc": in the lyric folder when one is set (and the name comes
// from the tag), else beside the song when that folder is writable, else in
// `g.OnlineLyricDir`. Empty when there is no such place.
QString onlineLyricSavePath(const QString &songPath, const General &g);

// The base address in use: CANTOREL_LYRIC_URL when set, else the setting.
QString onlineLyricBaseUrl(const General &g);
// Whether a base address may be asked: https, or http(s) to a loopback
// address (tests, a local mirror).
bool onlineLyricUrlAllowed(const QUrl &url);
// "Cantorel/<version> (<home page>)".
QByteArray onlineLyricUserAgent();

// One lookup: GET {base}/api/get and, when that answers 404, GET
// {base}/api/search and the best match. Asynchronous; at most one at a time
// (starting one cancels the one under way). Answers larger than the limit
// (checked while they arrive), not JSON, HTML, redirects to another host,
// port or scheme and statuses other than 200 and 404 end in Kind::Failed.
class OnlineLyricFetch : public QObject {
  Q_OBJECT
 public:
  struct Limits {
    int timeoutMs = 10000;  // for the whole lookup
    qint64 maxBytes = 512 * 1024;
  };
  explicit OnlineLyricFetch(QObject *parent = nullptr);
  ~OnlineLyricFetch() override;

  void setLimits(const Limits &limits) { limits_ = limits; }
  void start(const QUrl &base, const OnlineLyricQuery &query);
  // Drops the lookup under way; `finished` is not emitted for it.
  void cancel();
  bool busy() const { return reply_ != nullptr; }

 Q_SIGNALS:
  void finished(const cantorel::OnlineLyricResult &result);

 private:
  void get(const QUrl &url);
  void onFinished();
  void fail(const QString &why);
  void done(const OnlineLyricResult &result);

  Limits limits_;
  QNetworkAccessManager nam_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  QUrl base_;
  OnlineLyricQuery query_;
  bool searching_ = false;
  QByteArray body_;
  QString refusal_;  // why the reply under way was stopped
};

// The player's online step: told when a song's local passes all failed, it
// decides whether to ask (the setting is on, the song is a file with artist
// and title, it was not asked about before in this run, nothing is saved
// under its name yet, the machine is online), asks after the current event
// (never inside PlayIt), saves what it found and says so.
class OnlineLyricStep : public QObject {
  Q_OBJECT
 public:
  explicit OnlineLyricStep(General &g, QObject *parent = nullptr);

  // Replaces the connection test (`IsOnline`); it is not asked for loopback
  // addresses, which need no connection.
  void setOnlineCheck(std::function<bool()> check) { online_ = std::move(check); }
  OnlineLyricFetch &fetch() { return fetch_; }

  // The local passes found nothing for `songPath`. Returns whether a lookup
  // will start.
  bool songWithoutLyric(const QString &songPath, bool stream, double lengthSec);
  // The song changed or stopped: the lookup for the old one is dropped.
  void cancel();

 Q_SIGNALS:
  // A lyric (or the instrumental mark) was saved for the song as `file`.
  void lyricSaved(const QString &songPath, const QString &file, bool instrumental);
  // Only untimed text was found: shown, and offered to the assistant.
  void plainLyricFound(const QString &songPath, const QStringList &lines);

 private:
  void begin();
  void onFinished(const OnlineLyricResult &result);

  General &g_;
  std::function<bool()> online_;
  OnlineLyricFetch fetch_;
  QSet<QString> asked_;
  QString song_;  // the song of the lookup pending or under way
  QString savePath_;
  OnlineLyricQuery query_;
  QUrl base_;
  int generation_ = 0;  // tells a deferred start of an old song apart
};

}  // namespace cantorel
