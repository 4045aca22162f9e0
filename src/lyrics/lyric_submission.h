#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

#include "core/general.h"
#include "playlist/tag_info.h"

class QNetworkReply;

namespace cantorel {

// The form encoding of one name or value, in the Windows-1252 code page: a
// space becomes "+", every other byte below 48 (controls and "!" to "/",
// "#", "&", "%" and "+" among them) becomes "%" and two upper-case hex digits,
// and every byte of 48 or more is sent as it is (so "=" and "?" travel
// unescaped, and letters beyond ASCII as their single byte). Characters the
// code page lacks become "?".
QByteArray UrlEncode(const QString &text);

// The form body of parallel lists: name=value pairs joined by "&".
QByteArray FormBody(const QStringList &names, const QStringList &values);

// The five fields of a lyric submission, in their order: "name",
// "song_title", "album_title", "artist_name", "lyric".
QStringList LyricFieldNames();

// Their values: the nickname, " - " and the lyric file's path; the title,
// album and artist fields at their full width (blanks included); and the
// lyric as text, "#", time, "#" for every timed line. `texts` and `times`
// are paired by index.
QStringList LyricFieldValues(const QString &nick, const QString &lyricFile, const TagInfo &tag,
                             const QStringList &texts, const QStringList &times);

// Sends a timed lyric to the lyric service as an HTTP form post, without
// waiting for it: the window that asked stays responsive and may close at
// once. The reply is read only to be dropped, and the connection is closed
// once it passes `kMaxReplyBytes`. A redirect is followed only to https on the
// same host. A request that gets no answer is given up after `kTimeoutMs`.
class LyricSubmitter : public QObject {
  Q_OBJECT
 public:
  static constexpr int kTimeoutMs = 60000;
  static constexpr qint64 kMaxReplyBytes = 64 * 1024;

  explicit LyricSubmitter(QObject *parent = nullptr);
  ~LyricSubmitter() override;

  // How long a request may take (tests shorten it).
  void setTimeout(int ms) { timeoutMs_ = ms; }
  // The connection test; `IsOnline` unless replaced.
  void setOnlineCheck(std::function<bool()> check) { online_ = std::move(check); }

  // Submits the lyric when "SubmitLyric" is 1 and the machine is online,
  // to `SubmitURL` with the nickname "Nick" and the current `TagInfo`.
  // Returns whether a request was started.
  bool submit(const General &g, const QString &lyricFile, const QStringList &texts, const QStringList &times);

  // Posts the form body of `names`/`values` to `url`.
  bool PostForm(const QString &url, const QStringList &names, const QStringList &values);
  // Posts `body` as application/x-www-form-urlencoded to `url`. Only http
  // and https addresses are used; returns whether the request was started.
  bool PostBytes(const QString &url, const QByteArray &body);

  bool busy() const { return !reply_.isNull(); }

 Q_SIGNALS:
  // The request is over: `answered` when the server replied without error.
  void finished(bool answered);

 private:
  void onFinished();

  QNetworkAccessManager nam_;
  QPointer<QNetworkReply> reply_;
  QTimer deadline_;
  qint64 received_ = 0;  // reply bytes read and dropped
  int timeoutMs_ = kTimeoutMs;
  std::function<bool()> online_;
};

// The finish command's submission: a submitter that lives on its own until
// its request is over, so the assistant can close at once. Returns whether a
// request was started (nothing is sent when "SubmitLyric" is not 1 or the
// machine is offline). `onlineCheck` replaces `IsOnline` when given.
bool SubmitTimedLyric(const General &g, const QString &lyricFile, const QStringList &texts,
                      const QStringList &times, std::function<bool()> onlineCheck = {});

}  // namespace cantorel
