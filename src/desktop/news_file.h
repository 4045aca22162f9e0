#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QUrl>

#include "core/general.h"

Q_DECLARE_LOGGING_CATEGORY(lcNews)

namespace cantorel {

// States of the news transfer, as the splash window reports them.
namespace news_state {
constexpr int LookingUp = 1;
constexpr int Connecting = 3;
constexpr int RequestSent = 6;
constexpr int Receiving = 7;
constexpr int Error = 11;
constexpr int Completed = 12;
}  // namespace news_state

// The text shown for a transfer state; "Unknown state: n" for numbers
// outside 0..12.
QString StateText(int state);

// The text after the last "/" of `url`; the whole URL when it holds none.
QString UrlFileName(const QString &url);

// `relative` below the lyric service's address: the environment variable
// CANTOREL_SERVICE_URL when set, else the build setting of the same name.
// Empty when neither names a service: then no request is made.
QString ServiceUrl(const QString &relative);

// The address of the news file: CANTOREL_NEWS_URL when set, else "msg.txt"
// of the service; empty without a service.
QString DefaultNewsUrl();

// Whether the submission address a news file names may receive lyrics: an
// https address on the host the news file came from, without user info.
bool IsTrustedSubmitUrl(const QString &submitUrl, const QString &newsUrl);

// The name under which the news file of `url` is kept in the user's data
// folder: `UrlFileName(url)`, or "msg.txt" when that could name anything but
// a plain file in that folder (empty, "." or "..", or a "\" in it).
QString NewsFileName(const QString &url);

// Whether a transfer from `from` may follow a redirect to `to`: only to
// https on the same host, so a server cannot send our requests elsewhere or
// onto an unencrypted line.
bool IsAllowedRedirect(const QUrl &from, const QUrl &to);

// The news file is one short line; anything larger is refused, on the wire and
// on disk.
constexpr qint64 kMaxNewsBytes = 256 * 1024;

// The last line of a news file: the submission address before its first "#",
// the message after it (further "#" belong to the message).
struct NewsLine {
  QString submitUrl;
  QString message;
};

// Splits the last line of the news file `bytes`. False (and `out` untouched)
// when there is no line or the last one has no "#".
bool ParseNews(const QByteArray &bytes, NewsLine *out);

// Reads the news file of `NewsURL` (DefaultNewsUrl() when empty):
// `MsgRemoteSeen` takes the message of its last line and `SubmitURL` the
// address, when IsTrustedSubmitUrl accepts it (else it is cleared). A
// missing, unreadable or oversized file, or a last line without "#",
// changes nothing; without a news address nothing is read and `SubmitURL`
// is cleared. Returns true when the message should be shown: there
// is one, it is not empty, and it differs from `seen` (the message the user
// was shown at an earlier start).
bool LoadNewsMessage(General &g, const QString &newsFile, const QString &seen);

}  // namespace cantorel
