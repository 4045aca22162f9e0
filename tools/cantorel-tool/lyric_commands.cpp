// "lyric check" and "lyric find": the timed-lyric reader and the lyric search
// of the player, run on the user's files with the user's settings.
#include "lyric_commands.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

#include "core/atomic_file.h"
#include "core/general.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_search.h"
#include "lyrics/online_lyrics.h"
#include "platform/folders.h"
#include "playlist/mp3_info.h"
#include "prefs/language.h"
#include "tool_common.h"

namespace cantorel::tool {

const char kLyricUsage[] =
    "  lyric check FILE [--json]\n"
    "               read a timed-lyric file as the player does: the status text,\n"
    "               the line where reading stopped and the entries held; an LRC\n"
    "               file (\".lrc\" or LRC content) also gives its tags, its stamps\n"
    "               and the warnings for its author\n"
    "               JSON: file, format (\"qvl\" or \"lrc\"), accepted, status,\n"
    "               message (0 when accepted), line (LRC: lines read), reason\n"
    "               (when the file could not be used), entryCount, entries\n"
    "               [{text, time}] (time null when missing); for LRC also\n"
    "               encoding, tags [{key, value}], offset (ms), length (ms or\n"
    "               null), stamps [{line, stampMs, shownMs, time, text}] (before\n"
    "               texts of one second are joined), warnings [{line, kind,\n"
    "               text}] (kind: out-of-order, duplicate-stamp, past-length,\n"
    "               mixed-precision, word-stamp, malformed-stamp, malformed-tag,\n"
    "               same-second), warningsDropped\n"
    "  lyric find SONG [--lyric-dir DIR] [--artist A] [--album B] [--title T] [--json]\n"
    "               the lyric files the player tries for SONG, in order, and the\n"
    "               one it uses; DIR replaces the \"LyricPath\" setting; A, B, T\n"
    "               replace the fields of the song's ID3v1 tag\n"
    "               JSON: song, tag {artist, album, title}, lyricDir, relativeDir,\n"
    "               found, file, format, entryCount, failureText, passes [{base,\n"
    "               candidates [{order, name, file, exists, status, message,\n"
    "               line, used}]}], lrcPasses (the same, for the \".lrc\" names\n"
    "               tried when no lyric of our own format was found, and last in\n"
    "               the folder of lyrics found online)\n"
    "  lyric fetch SONG [--length SECONDS] [--save] [--json]\n"
    "               ask the online lyric service (\"LyricOnlineURL\", or\n"
    "               CANTOREL_LYRIC_URL) for SONG's lyric as the player would,\n"
    "               with artist, title and album from its tag (or an \"Artist -\n"
    "               Title\" file name) and SECONDS as its length; show the answer\n"
    "               and where the player saves it; --save saves it there (never\n"
    "               over an existing file)\n"
    "               JSON: song, query {artist, title, album, duration}, base,\n"
    "               result (synced, plain, instrumental, not-found, failed),\n"
    "               error, lines, file, saved\n";

namespace {

using common::kExitAccepted;
using common::kExitRejected;
using common::kExitUsage;
using common::print;
using common::printJson;
using common::quoted;
using common::shown;

int usageError(const QString &why) {
  std::fprintf(stderr, "cantorel-tool: %s\nUsage:\n%s", qUtf8Printable(why), kLyricUsage);
  return kExitUsage;
}

// The player's settings and message table, read only.
struct PlayerContext {
  General g = common::loadUserSettings();
  PlayerContext() { LoadLanguage(Folders::fromEnvironment().dataRoots(), g.Language, g.Messages); }
};

using common::Options;
using common::parseOptions;

// Why a file could not be read at all, in words (the status is message 6).
QString unreadableReason(const QString &path) {
  const QFileInfo info(path);
  if (!info.exists()) return QStringLiteral("the file does not exist");
  if (!info.isFile()) return QStringLiteral("not a plain file");
  if (info.size() > kMaxLyricFileBytes) return QStringLiteral("larger than %1 bytes").arg(kMaxLyricFileBytes);
  if (!info.isReadable()) return QStringLiteral("the file cannot be read");
  return QString();
}

QString encodingName(TextEncoding e) {
  switch (e) {
    case TextEncoding::Utf8Bom:
      return QStringLiteral("UTF-8 with byte-order mark");
    case TextEncoding::Utf16LeBom:
      return QStringLiteral("UTF-16LE with byte-order mark");
    case TextEncoding::Utf16BeBom:
      return QStringLiteral("UTF-16BE with byte-order mark");
    case TextEncoding::Utf8:
      return QStringLiteral("UTF-8");
    case TextEncoding::Legacy:
      return QStringLiteral("legacy code page");
  }
  return QString();
}

// An LRC file by its name, or by its first bytes when the name says nothing.
// The player reads a ".qvl" file as our own format whatever it holds, so the
// check does too.
bool isLrc(const QString &file) {
  if (isLrcFileName(file)) return true;
  if (file.endsWith(QLatin1String(".qvl"), Qt::CaseInsensitive) || !QFileInfo(file).isFile()) return false;
  QFile f(file);
  return f.open(QIODevice::ReadOnly) && looksLikeLrc(f.read(8192));
}

QString msText(qint64 ms) {
  const QString sign = ms < 0 ? QStringLiteral("-") : QString();
  ms = std::abs(ms);
  return sign + QStringLiteral("%1:%2.%3")
                    .arg(ms / 60000)
                    .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
                    .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

int lrcCheck(const Options &o, const QString &file) {
  PlayerContext ctx;
  LyricLines lyric;
  LrcDocument doc;
  const LyricStatus status = readLrcFile(file, lyric, &doc);
  const QString statusText = lyricStatusText(status, ctx.g);
  const bool accepted = status == LyricStatus::Correct;
  QString reason = unreadableReason(file);
  if (reason.isEmpty() && doc.tooManyEntries)
    reason = QStringLiteral("more than %1 stamps").arg(kMaxLyricEntries);
  else if (reason.isEmpty() && !accepted)
    reason = QStringLiteral("no timed line");

  if (o.json) {
    QJsonArray entries, stamps, warnings, tags;
    for (qsizetype k = 0; k < lyric.PlLyrics.size(); ++k)
      entries.append(QJsonObject{{QStringLiteral("text"), lyric.PlLyrics[k]},
                                 {QStringLiteral("time"), lyric.PlTimes.value(k)}});
    for (const LrcEntry &e : doc.entries)
      stamps.append(QJsonObject{{QStringLiteral("line"), e.line},
                                {QStringLiteral("stampMs"), e.stampMs},
                                {QStringLiteral("shownMs"), e.shownMs},
                                {QStringLiteral("time"), e.time},
                                {QStringLiteral("text"), e.text}});
    for (const LrcWarning &w : doc.warnings)
      warnings.append(QJsonObject{{QStringLiteral("line"), w.line},
                                  {QStringLiteral("kind"), lrcWarningKindName(w.kind)},
                                  {QStringLiteral("text"), w.text}});
    for (const auto &t : doc.tags)
      tags.append(QJsonObject{{QStringLiteral("key"), t.first}, {QStringLiteral("value"), t.second}});
    QJsonObject out{{QStringLiteral("file"), file},
                    {QStringLiteral("format"), QStringLiteral("lrc")},
                    {QStringLiteral("accepted"), accepted},
                    {QStringLiteral("status"), statusText},
                    {QStringLiteral("message"), static_cast<int>(status)},
                    {QStringLiteral("line"), doc.lineCount},
                    {QStringLiteral("entryCount"), static_cast<int>(lyric.PlLyrics.size())},
                    {QStringLiteral("entries"), entries},
                    {QStringLiteral("encoding"), encodingName(doc.encoding)},
                    {QStringLiteral("tags"), tags},
                    {QStringLiteral("offset"), doc.offsetMs},
                    {QStringLiteral("length"), doc.lengthMs >= 0 ? QJsonValue(doc.lengthMs) : QJsonValue()},
                    {QStringLiteral("stamps"), stamps},
                    {QStringLiteral("warnings"), warnings},
                    {QStringLiteral("warningsDropped"), doc.warningsDropped}};
    if (!reason.isEmpty()) out.insert(QStringLiteral("reason"), reason);
    printJson(out);
  } else {
    QString r;
    r += QStringLiteral("File:     %1\n").arg(shown(file));
    r += QStringLiteral("Format:   LRC, %1\n").arg(encodingName(doc.encoding));
    r += QStringLiteral("Result:   %1\n")
             .arg(accepted ? QStringLiteral("accepted") : QStringLiteral("rejected"));
    r += accepted ? QStringLiteral("Status:   %1\n").arg(statusText)
                  : QStringLiteral("Status:   %1 (message %2)\n")
                        .arg(shown(statusText))
                        .arg(static_cast<int>(status));
    if (!reason.isEmpty()) r += QStringLiteral("Reason:   %1\n").arg(reason);
    r += QStringLiteral("Lines:    %1\n").arg(doc.lineCount);
    for (const auto &t : doc.tags)
      r += QStringLiteral("Tag:      %1 %2\n").arg(shown(t.first), quoted(t.second));
    if (doc.offsetMs != 0)
      r += QStringLiteral("Offset:   %1 ms (lines shown %2)\n")
               .arg(doc.offsetMs)
               .arg(doc.offsetMs > 0 ? QStringLiteral("sooner") : QStringLiteral("later"));
    if (doc.lengthMs >= 0) r += QStringLiteral("Length:   %1\n").arg(msText(doc.lengthMs));
    r += QStringLiteral("Entries:  %1 (from %2 stamps)\n").arg(lyric.PlLyrics.size()).arg(doc.entries.size());
    for (qsizetype k = 0; k < lyric.PlLyrics.size(); ++k)
      r += QStringLiteral("%1  %2  %3\n")
               .arg(k + 1, 5)
               .arg(shown(lyric.PlTimes.value(k)), -9)
               .arg(shown(lyric.PlLyrics[k]));
    r += QStringLiteral("Warnings: %1\n").arg(doc.warnings.size() + doc.warningsDropped);
    for (const LrcWarning &w : doc.warnings)
      r += QStringLiteral("  line %1  %2  %3\n")
               .arg(w.line, 5)
               .arg(lrcWarningKindName(w.kind), -15)
               .arg(shown(w.text));
    if (doc.warningsDropped > 0) r += QStringLiteral("  ... and %1 more\n").arg(doc.warningsDropped);
    print(r);
  }
  return accepted ? kExitAccepted : kExitRejected;
}

int lyricCheck(const Options &o) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("lyric check takes one FILE"));
  const QString file = o.positional.first();
  if (isLrc(file)) return lrcCheck(o, file);
  PlayerContext ctx;
  LyricLines lyric;
  int count = 0, line = 0;
  const LyricStatus status = readLyricFileStatus(file, lyric, &count, &line);
  const QString statusText = lyricStatusText(status, ctx.g);
  const bool accepted = status == LyricStatus::Correct;
  const QString reason = line == 0 ? unreadableReason(file) : QString();

  if (o.json) {
    QJsonArray entries;
    for (qsizetype k = 0; k < lyric.PlLyrics.size(); ++k) {
      QJsonObject e{{QStringLiteral("text"), lyric.PlLyrics[k]}};
      e.insert(QStringLiteral("time"),
               k < lyric.PlTimes.size() ? QJsonValue(lyric.PlTimes[k]) : QJsonValue());
      entries.append(e);
    }
    QJsonObject out{{QStringLiteral("file"), file},
                    {QStringLiteral("format"), QStringLiteral("qvl")},
                    {QStringLiteral("accepted"), accepted},
                    {QStringLiteral("status"), statusText},
                    {QStringLiteral("message"), static_cast<int>(status)},
                    {QStringLiteral("line"), line},
                    {QStringLiteral("entryCount"), count},
                    {QStringLiteral("entries"), entries}};
    if (!reason.isEmpty()) out.insert(QStringLiteral("reason"), reason);
    printJson(out);
  } else {
    QString r;
    r += QStringLiteral("File:    %1\n").arg(shown(file));
    r += QStringLiteral("Result:  %1\n")
             .arg(accepted ? QStringLiteral("accepted") : QStringLiteral("rejected"));
    r += accepted ? QStringLiteral("Status:  %1\n").arg(statusText)
                  : QStringLiteral("Status:  %1 (message %2)\n")
                        .arg(shown(statusText))
                        .arg(static_cast<int>(status));
    if (!reason.isEmpty())
      r += QStringLiteral("Reason:  %1\n").arg(reason);
    else
      r += QStringLiteral("%1 line %2\n")
               .arg(accepted ? QStringLiteral("Lines:   ") : QStringLiteral("Stopped: at"))
               .arg(line);
    r += QStringLiteral("Entries: %1\n").arg(count);
    for (qsizetype k = 0; k < lyric.PlLyrics.size(); ++k) {
      const QString time = k < lyric.PlTimes.size() ? lyric.PlTimes[k] : QStringLiteral("(no time)");
      r += QStringLiteral("%1  %2  %3\n").arg(k + 1, 5).arg(shown(time), -9).arg(shown(lyric.PlLyrics[k]));
    }
    print(r);
  }
  return accepted ? kExitAccepted : kExitRejected;
}

int lyricFind(const Options &o) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("lyric find takes one SONG"));
  const QString song = o.positional.first();
  PlayerContext ctx;
  General &g = ctx.g;
  const bool dirGiven = o.values.contains(QStringLiteral("--lyric-dir"));
  if (dirGiven) g.LyricPath = o.values.value(QStringLiteral("--lyric-dir"));
  // The tag as the player reads it when the song starts; fields given on
  // the command line replace those of the file.
  GetMP3Info(song, g.Tag, nullptr);
  const auto field = [&o](const char *option, QString &value) {
    const QString key = QString::fromLatin1(option);
    if (o.values.contains(key)) value = o.values.value(key);
  };
  field("--artist", g.Tag.Artist);
  field("--album", g.Tag.Album);
  field("--title", g.Tag.Title);
  const QString relativeDir = QDir::currentPath();
  g.OnlineLyricDir = QDir(Folders::fromEnvironment().userDataDir()).filePath(QStringLiteral("lyrics"));

  LyricLines lyric;
  const LyricLoad load = loadLyric(song, g, lyric, relativeDir);
  // Our format's two passes, then the LRC passes by the same names; a pass
  // after the one that found the lyric was never tried.
  const LyricSearch *passes[] = {&load.lyricFolder, &load.song, &load.lrcLyricFolder, &load.lrcSong,
                                 &load.lrcOnlineFolder};
  const QString bases[] = {load.lyricDir, song, load.lyricDir, song, g.OnlineLyricDir};
  const LyricSearch *used = load.used();
  const QString usedFile = used ? used->file : QString();
  const bool lrcUsed = used && used != &load.lyricFolder && used != &load.song;
  int tried = 0;  // passes run (the last only when that folder is known)
  for (const LyricSearch *p : passes) {
    if (p == &load.lrcOnlineFolder && p->attempts.isEmpty()) break;
    ++tried;
    if (p->found) break;
  }
  const auto attemptJson = [&g](const LyricSearch &pass) {
    QJsonArray candidates;
    int order = 0;
    for (const LyricAttempt &a : pass.attempts) {
      candidates.append(QJsonObject{
          {QStringLiteral("order"), ++order},
          {QStringLiteral("name"), a.candidate},
          {QStringLiteral("file"), a.file},
          {QStringLiteral("exists"), a.exists},
          {QStringLiteral("status"), lyricStatusText(a.status, g)},
          {QStringLiteral("message"), static_cast<int>(a.status)},
          {QStringLiteral("line"), a.line},
          {QStringLiteral("used"), a.status == LyricStatus::Correct},
      });
    }
    return candidates;
  };

  if (o.json) {
    QJsonArray passArray, lrcPassArray;
    for (int p = 0; p < tried; ++p)
      (p < 2 ? passArray : lrcPassArray)
          .append(QJsonObject{{QStringLiteral("base"), bases[p]},
                              {QStringLiteral("candidates"), attemptJson(*passes[p])}});
    QJsonObject out{
        {QStringLiteral("song"), song},
        {QStringLiteral("tag"), QJsonObject{{QStringLiteral("artist"), g.Tag.Artist.trimmed()},
                                            {QStringLiteral("album"), g.Tag.Album.trimmed()},
                                            {QStringLiteral("title"), g.Tag.Title.trimmed()}}},
        {QStringLiteral("lyricDir"), load.lyricDir},
        {QStringLiteral("relativeDir"), relativeDir},
        {QStringLiteral("found"), load.found},
        {QStringLiteral("file"), load.found ? QJsonValue(usedFile) : QJsonValue()},
        {QStringLiteral("format"),
         load.found ? QJsonValue(lrcUsed ? QStringLiteral("lrc") : QStringLiteral("qvl")) : QJsonValue()},
        {QStringLiteral("entryCount"), load.found ? static_cast<int>(g.LyricLineCount) : 0},
        {QStringLiteral("failureText"), load.found ? QJsonValue() : QJsonValue(load.failureText)},
        {QStringLiteral("passes"), passArray},
        {QStringLiteral("lrcPasses"), lrcPassArray},
    };
    printJson(out);
  } else {
    QString r;
    r += QStringLiteral("Song:          %1\n").arg(shown(song));
    r += QStringLiteral("Tag:           artist %1, album %2, title %3\n")
             .arg(quoted(g.Tag.Artist.trimmed()), quoted(g.Tag.Album.trimmed()),
                  quoted(g.Tag.Title.trimmed()));
    r += QStringLiteral("Lyric folder:  %1\n")
             .arg(load.lyricDir.isEmpty()
                      ? QStringLiteral("(none)")
                      : shown(load.lyricDir) + (dirGiven ? QStringLiteral(" (--lyric-dir)")
                                                         : QStringLiteral(" (\"LyricPath\")")));
    r += QStringLiteral("Relative names are looked up in %1\n").arg(shown(relativeDir));
    const QString titles[] = {QStringLiteral("First pass, the lyric folder:"),
                              QStringLiteral("Second pass, the song:"),
                              QStringLiteral("Third pass, LRC files in the lyric folder:"),
                              QStringLiteral("Fourth pass, LRC files beside the song:"),
                              QStringLiteral("Fifth pass, LRC files found online earlier:")};
    for (int p = 0; p < tried; ++p) {
      r += u'\n' + titles[p] + u'\n';
      int order = 0;
      for (const LyricAttempt &a : passes[p]->attempts) {
        QString what;
        if (a.status == LyricStatus::Correct)
          what = QStringLiteral("used, %1 entries").arg(g.LyricLineCount);
        else if (!a.exists)
          what = QStringLiteral("missing");
        else if (a.format == LyricFormat::Lrc)
          what = QStringLiteral("rejected: no usable timed line (%1 lines read)").arg(a.line);
        else
          what = QStringLiteral("rejected at line %1: %2 (message %3)")
                     .arg(a.line)
                     .arg(shown(lyricStatusText(a.status, g)))
                     .arg(static_cast<int>(a.status));
        r += QStringLiteral("  %1  %2\n").arg(++order).arg(shown(a.file));
        r += QStringLiteral("     %1\n").arg(what);
      }
    }
    r += load.found
             ? QStringLiteral("\nResult: found %1\n").arg(shown(usedFile))
             : QStringLiteral("\nResult: no lyric; the lyric box shows: %1\n").arg(shown(load.failureText));
    print(r);
  }
  return load.found ? kExitAccepted : kExitRejected;
}

int lyricFetch(const Options &o, bool save) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("lyric fetch takes one SONG"));
  const QString song = o.positional.first();
  PlayerContext ctx;
  General &g = ctx.g;
  g.OnlineLyricDir = QDir(Folders::fromEnvironment().userDataDir()).filePath(QStringLiteral("lyrics"));
  GetMP3Info(song, g.Tag, nullptr);
  bool lengthOk = true;
  const double length = o.has("--length") ? o.value("--length").toDouble(&lengthOk) : 0;
  if (!lengthOk || length < 0) return usageError(QStringLiteral("--length takes a number of seconds"));
  const OnlineLyricQuery query = onlineLyricQuery(song, g.Tag, length);
  if (!query.valid()) {
    std::fprintf(stderr, "cantorel-tool: no artist and title for %s (tag or \"Artist - Title\" name)\n",
                 qUtf8Printable(shown(song)));
    return kExitRejected;
  }
  const QUrl base(onlineLyricBaseUrl(g));
  if (!onlineLyricUrlAllowed(base)) {
    std::fprintf(stderr, "cantorel-tool: lyric service address refused (https only, or loopback): %s\n",
                 qUtf8Printable(shown(base.toDisplayString())));
    return kExitRejected;
  }

  OnlineLyricFetch fetch;
  OnlineLyricResult result;
  QEventLoop loop;
  QObject::connect(&fetch, &OnlineLyricFetch::finished, &loop, [&](const OnlineLyricResult &r) {
    result = r;
    loop.quit();
  });
  fetch.start(base, query);
  loop.exec();

  using Kind = OnlineLyricResult::Kind;
  const QString file = onlineLyricSavePath(song, g);
  const QByteArray bytes = onlineLyricFileBytes(result, query);
  bool saved = false;
  QString saveError;
  if (save && !bytes.isEmpty()) {
    if (file.isEmpty() || QFileInfo::exists(file))
      saveError = file.isEmpty() ? QStringLiteral("no folder to save in") : QStringLiteral("file exists");
    else
      saved = writeFileAtomically(file, bytes, &saveError);
  }
  const QStringList lines = result.kind == Kind::Synced  ? QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts)
                            : result.kind == Kind::Plain ? result.plainLines
                                                         : QStringList();
  static const char *const kKinds[] = {"synced", "plain", "instrumental", "not-found", "failed"};
  const QString kind = QString::fromLatin1(kKinds[static_cast<int>(result.kind)]);
  if (o.json) {
    printJson(QJsonObject{
        {QStringLiteral("song"), song},
        {QStringLiteral("query"), QJsonObject{{QStringLiteral("artist"), query.artist},
                                              {QStringLiteral("title"), query.title},
                                              {QStringLiteral("album"), query.album},
                                              {QStringLiteral("duration"), query.durationSec}}},
        {QStringLiteral("base"), base.toString()},
        {QStringLiteral("result"), kind},
        {QStringLiteral("error"), result.error.isEmpty() ? QJsonValue() : QJsonValue(result.error)},
        {QStringLiteral("lines"), QJsonArray::fromStringList(lines)},
        {QStringLiteral("file"), bytes.isEmpty() || file.isEmpty() ? QJsonValue() : QJsonValue(file)},
        {QStringLiteral("saved"), saved},
    });
  } else {
    QString r;
    r += QStringLiteral("Song:     %1\n").arg(shown(song));
    r += QStringLiteral("Asked:    artist %1, title %2, album %3, length %4 s\n")
             .arg(quoted(query.artist), quoted(query.title), quoted(query.album))
             .arg(query.durationSec);
    r += QStringLiteral("Service:  %1\n").arg(shown(base.toDisplayString()));
    r += QStringLiteral("Answer:   %1%2\n")
             .arg(kind, result.error.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(shown(result.error)));
    for (const QString &l : lines) r += QStringLiteral("  %1\n").arg(shown(l));
    if (!bytes.isEmpty())
      r += file.isEmpty() ? QStringLiteral("No folder to save it in\n")
           : saved        ? QStringLiteral("Saved as %1\n").arg(shown(file))
           : save
               ? QStringLiteral("Not saved as %1: %2\n").arg(shown(file), shown(saveError))
               : QStringLiteral("The player saves it as %1\n").arg(shown(file));
    print(r);
  }
  const bool ok = result.kind == Kind::Synced || result.kind == Kind::Plain || result.kind == Kind::Instrumental;
  return ok && (!save || saved || bytes.isEmpty()) ? kExitAccepted : kExitRejected;
}

}  // namespace

int runLyricCommand(const QStringList &args) {
  if (args.isEmpty()) return usageError(QStringLiteral("lyric needs a command: check, find or fetch"));
  const QString command = args.first();
  Options o;
  QString error;
  if (command == QLatin1String("check")) {
    if (!parseOptions(args.mid(1), {}, &o, &error)) return usageError(error);
    return lyricCheck(o);
  }
  if (command == QLatin1String("find")) {
    const QStringList valued{QStringLiteral("--lyric-dir"), QStringLiteral("--artist"),
                             QStringLiteral("--album"), QStringLiteral("--title")};
    if (!parseOptions(args.mid(1), valued, &o, &error)) return usageError(error);
    return lyricFind(o);
  }
  if (command == QLatin1String("fetch")) {
    QStringList rest = args.mid(1);
    const bool save = rest.removeAll(QStringLiteral("--save")) > 0;
    if (!parseOptions(rest, {QStringLiteral("--length")}, &o, &error)) return usageError(error);
    return lyricFetch(o, save);
  }
  return usageError(QStringLiteral("unknown lyric command '%1'").arg(command));
}

}  // namespace cantorel::tool
