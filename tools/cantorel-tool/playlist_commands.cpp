// "playlist show" and "playlist convert": the playlist reader and M3U writer
// of the player, run on the user's files with the user's title settings.
#include "playlist_commands.h"

#include <QJsonArray>
#include <QJsonObject>

#include "playlist/display_title.h"
#include "playlist/entry_path.h"
#include "playlist/paths.h"
#include "playlist/playlist_file.h"
#include "tool_common.h"

namespace cantorel::tool {

using namespace common;

const char kPlaylistUsage[] =
    "  playlist show FILE [--json]\n"
    "               read an M3U, M3U8 or PLS playlist as the player does: each\n"
    "               entry's display name and full path, whether it is a stream\n"
    "               or an existing file; the playlist's name and picture\n"
    "               exit 1 when the file cannot be read or is not a playlist\n"
    "               JSON: file, accepted, kind (m3u, pls or null), name, cover\n"
    "               (null when none), entryCount, entries [{name, path, stream,\n"
    "               exists}]\n"
    "  playlist convert IN OUT [--json]\n"
    "               read IN as the player does and write its entries to OUT as\n"
    "               the player saves a playlist (M3U, UTF-8, paths under OUT's\n"
    "               folder relative to it, OUT replaced whole)\n"
    "               JSON: in, out, accepted, written, entryCount, skipped (entries\n"
    "               that cannot be a line of an M3U file, lines too long to be\n"
    "               a path, entries past the player's limit of 32766)\n";

namespace {

int usageError(const QString &why) {
  std::fprintf(stderr, "cantorel-tool: %s\nUsage:\n%s", qUtf8Printable(why), kPlaylistUsage);
  return kExitUsage;
}

// The kind the reader takes from the extension; empty when it reads nothing.
QString playlistKind(const QString &file) {
  const QString ext = ExtPart(file).toUpper();
  if (ext == QLatin1String("M3U") || ext == QLatin1String("M3U8")) return QStringLiteral("m3u");
  if (ext == QLatin1String("PLS")) return QStringLiteral("pls");
  return QString();
}

// Reads `file` with the player's reader and the user's title settings.
// Returns whether the player takes it for a playlist it could read.
// `report` receives what the reader left out.
bool readPlaylist(const QString &file, Playlist *pl, PlaylistReadReport *report = nullptr) {
  const General g = loadUserSettings();
  const TitleOptions opt = TitleOptions::from(g);
  const bool ok = PlRead(
      file, *pl, [opt](const QString &path) { return TitleFromFile(path, opt); }, g.FriendlyNames, report);
  return ok && !playlistKind(file).isEmpty();
}

int playlistShow(const Options &o) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("playlist show takes one FILE"));
  const QString file = o.positional.first();
  Playlist pl;
  const bool accepted = readPlaylist(file, &pl);
  const QString kind = playlistKind(file);

  if (o.json) {
    QJsonArray entries;
    for (int i = 0; i < pl.count(); ++i) {
      const QString &path = pl.PlPath[i];
      const bool stream = IsStreamEntry(path);
      entries.append(QJsonObject{{QStringLiteral("name"), pl.PlNames[i]},
                                 {QStringLiteral("path"), path},
                                 {QStringLiteral("stream"), stream},
                                 {QStringLiteral("exists"), !stream && FileExists(path)}});
    }
    printJson(QJsonObject{
        {QStringLiteral("file"), file},
        {QStringLiteral("accepted"), accepted},
        {QStringLiteral("kind"), kind.isEmpty() ? QJsonValue() : QJsonValue(kind)},
        {QStringLiteral("name"), pl.Name},
        {QStringLiteral("cover"), pl.PLCover.isEmpty() ? QJsonValue() : QJsonValue(pl.PLCover)},
        {QStringLiteral("entryCount"), pl.count()},
        {QStringLiteral("entries"), entries},
    });
  } else {
    QString r;
    r += QStringLiteral("File:     %1\n").arg(shown(file));
    if (!accepted) {
      r += kind.isEmpty()
               ? QStringLiteral("Result:   rejected: the player reads .m3u, .m3u8 and .pls files\n")
               : QStringLiteral("Result:   rejected: the file cannot be read\n");
    } else {
      r += QStringLiteral("Kind:     %1\n").arg(kind.toUpper());
    }
    r += QStringLiteral("Name:     %1\n").arg(quoted(pl.Name));
    r += QStringLiteral("Picture:  %1\n").arg(pl.PLCover.isEmpty() ? QStringLiteral("(none)") : shown(pl.PLCover));
    r += QStringLiteral("Entries:  %1\n").arg(pl.count());
    for (int i = 0; i < pl.count(); ++i) {
      const QString &path = pl.PlPath[i];
      const QString state = IsStreamEntry(path)  ? QStringLiteral("stream")
                            : FileExists(path) ? QStringLiteral("file")
                                               : QStringLiteral("missing");
      r += QStringLiteral("%1  %2  %3\n").arg(i + 1, 5).arg(state, -7).arg(quoted(pl.PlNames[i]));
      r += QStringLiteral("                %1\n").arg(shown(path));
    }
    print(r);
  }
  return accepted ? kExitAccepted : kExitRejected;
}

// Entries the M3U writer leaves out (see PlaylistText).
int skippedEntries(const Playlist &pl) {
  int n = 0;
  for (const QString &s : pl.PlPath)
    if (s.isEmpty() || s.contains(QLatin1String("**")) || s.contains(QLatin1Char('\n')) ||
        s.contains(QLatin1Char('\r')))
      ++n;
  return n;
}

int playlistConvert(const Options &o) {
  if (o.positional.size() != 2) return usageError(QStringLiteral("playlist convert takes IN and OUT"));
  const QString in = o.positional[0];
  const QString out = o.positional[1];
  Playlist pl;
  PlaylistReadReport left;
  const bool accepted = readPlaylist(in, &pl, &left);
  // A playlist the player does not read is not written: OUT stays as it is.
  const bool written = accepted && WritePL(out, pl);
  const int unwritable = skippedEntries(pl);
  const int skipped = unwritable + left.longLines + left.overCap;

  if (o.json) {
    printJson(QJsonObject{{QStringLiteral("in"), in},
                          {QStringLiteral("out"), out},
                          {QStringLiteral("accepted"), accepted},
                          {QStringLiteral("written"), written},
                          {QStringLiteral("entryCount"), pl.count() - unwritable},
                          {QStringLiteral("skipped"), skipped}});
  } else if (!accepted) {
    print(QStringLiteral("rejected: %1 is not a playlist the player reads\n").arg(shown(in)));
  } else if (!written) {
    print(QStringLiteral("failed: %1 could not be written; it is as it was\n").arg(shown(out)));
  } else {
    print(QStringLiteral("written: %1 entries to %2%3\n")
              .arg(pl.count() - unwritable)
              .arg(shown(out))
              .arg(skipped ? QStringLiteral(" (%1 left out)").arg(skipped) : QString()));
  }
  return written ? kExitAccepted : kExitRejected;
}

}  // namespace

int runPlaylistCommand(const QStringList &args) {
  if (args.isEmpty()) return usageError(QStringLiteral("playlist needs a command: show or convert"));
  const QString command = args.first();
  Options o;
  QString error;
  if (!parseOptions(args.mid(1), {}, &o, &error)) return usageError(error);
  if (command == QLatin1String("show")) return playlistShow(o);
  if (command == QLatin1String("convert")) return playlistConvert(o);
  return usageError(QStringLiteral("unknown playlist command '%1'").arg(command));
}

}  // namespace cantorel::tool
