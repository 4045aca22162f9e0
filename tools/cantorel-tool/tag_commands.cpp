// "tag show" and "tag set": the MPEG header and ID3v1 reader of the player,
// and the save of its file information window, run on the user's files.
#include "tag_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include "playlist/display_title.h"
#include "playlist/mp3_info.h"
#include "tool_common.h"

namespace cantorel::tool {

using namespace common;

const char kTagUsage[] =
    "  tag show FILE [--show-artist 0|1] [--show-album 0|1] [--json]\n"
    "               the stream texts and the ID3v1 tag as the player reads them,\n"
    "               and the title the playlist shows with the title settings\n"
    "               (\"FriendlyNames\", \"ShowArtist\", \"ShowAlbum\"; the options\n"
    "               replace the last two); exit 1 when the file is not read\n"
    "               stream texts come only from an MPEG frame header; for other\n"
    "               files they are blank (the player asks its decoder instead)\n"
    "               JSON: file, read, header {source (\"mpeg-header\" or \"none\"),\n"
    "               bitrate, sampleRate, channels},\n"
    "               tag {found, offset, atEnd, title, artist, album, year,\n"
    "               comment, track, genre, genreName}, displayTitle\n"
    "  tag set FILE [--title T] [--artist A] [--album B] [--year Y]\n"
    "               [--comment C] [--track N] [--genre G] [--json]\n"
    "               write the tag as the file information window saves it: over\n"
    "               the tag at the end of the file or appended; fields not given\n"
    "               keep the file's values; G is a genre name or byte 0..255;\n"
    "               N outside 0..255 is refused; prints updated, added, too-short\n"
    "               (files under 256 bytes are left alone), failed or refused\n"
    "               JSON: file, outcome, written (true when updated or added),\n"
    "               reason (when refused), tag {as in tag show}\n";

namespace {

constexpr int kTailSize = 256;

int usageError(const QString &why) {
  std::fprintf(stderr, "cantorel-tool: %s\nUsage:\n%s", qUtf8Printable(why), kTagUsage);
  return kExitUsage;
}

// Where the tag starts in the file, or -1: the reader looks at the last 256
// bytes only.
qint64 tagOffset(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || f.size() < kTailSize) return -1;
  const qint64 start = f.size() - kTailSize;
  if (!f.seek(start)) return -1;
  const QByteArray tail = f.read(kTailSize);
  if (tail.size() != kTailSize) return -1;
  const int p = TagStartInTail(tail);
  return p < 0 ? -1 : start + p;
}

QString genreName(int genreByte) {
  return GenreList().value(GenreListIndex(genreByte));
}

QJsonObject tagJson(const TagInfo &t, qint64 offset, qint64 size) {
  return QJsonObject{
      {QStringLiteral("found"), t.Found},
      {QStringLiteral("offset"), offset >= 0 ? QJsonValue(offset) : QJsonValue()},
      {QStringLiteral("atEnd"), offset >= 0 && offset == size - 128},
      {QStringLiteral("title"), t.Title.trimmed()},
      {QStringLiteral("artist"), t.Artist.trimmed()},
      {QStringLiteral("album"), t.Album.trimmed()},
      {QStringLiteral("year"), t.Year.trimmed()},
      {QStringLiteral("comment"), t.Comment.trimmed()},
      {QStringLiteral("track"), t.Track},
      {QStringLiteral("genre"), t.Genre},
      {QStringLiteral("genreName"), genreName(t.Genre)},
  };
}

QString tagReport(const TagInfo &t, qint64 offset, qint64 size) {
  QString r;
  if (!t.Found) {
    r += QStringLiteral("Tag:          none (the player shows blank fields)\n");
  } else {
    r += QStringLiteral("Tag:          at byte %1 (%2)\n")
             .arg(offset)
             .arg(offset == size - 128 ? QStringLiteral("the last 128 bytes")
                                       : QStringLiteral("an older placement, found by \"tag\""));
  }
  r += QStringLiteral("  Title:      %1\n").arg(quoted(t.Title.trimmed()));
  r += QStringLiteral("  Artist:     %1\n").arg(quoted(t.Artist.trimmed()));
  r += QStringLiteral("  Album:      %1\n").arg(quoted(t.Album.trimmed()));
  r += QStringLiteral("  Year:       %1\n").arg(quoted(t.Year.trimmed()));
  r += QStringLiteral("  Comment:    %1\n").arg(quoted(t.Comment.trimmed()));
  r += QStringLiteral("  Track:      %1\n").arg(t.Track);
  r += QStringLiteral("  Genre:      %1 (%2)\n").arg(t.Genre).arg(genreName(t.Genre));
  return r;
}

// A 0 or 1 option replacing a title setting.
bool switchOption(const Options &o, const char *option, qint16 *value) {
  if (!o.has(option)) return true;
  const QString v = o.value(option);
  if (v != QLatin1String("0") && v != QLatin1String("1")) return false;
  *value = static_cast<qint16>(v.toInt());
  return true;
}

int tagShow(const Options &o) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("tag show takes one FILE"));
  General g = loadUserSettings();
  if (!switchOption(o, "--show-artist", &g.ShowArtist) ||
      !switchOption(o, "--show-album", &g.ShowAlbum))
    return usageError(QStringLiteral("--show-artist and --show-album take 0 or 1"));
  const QString file = o.positional.first();
  const Mp3Info info = ReadMp3Info(file);
  const qint64 size = QFileInfo(file).size();
  const qint64 offset = info.Tag.Found ? tagOffset(file) : -1;
  const QString title = TitleFromFile(file, TitleOptions::from(g));

  if (o.json) {
    printJson(QJsonObject{
        {QStringLiteral("file"), file},
        {QStringLiteral("read"), info.HeaderRead},
        {QStringLiteral("header"),
         QJsonObject{{QStringLiteral("source"),
                      info.FrameHeader ? QStringLiteral("mpeg-header") : QStringLiteral("none")},
                     {QStringLiteral("bitrate"), info.Header.Bitrate},
                     {QStringLiteral("sampleRate"), info.Header.SampleRate},
                     {QStringLiteral("channels"), info.Header.Channels}}},
        {QStringLiteral("tag"), tagJson(info.Tag, offset, size)},
        {QStringLiteral("displayTitle"), title},
    });
  } else {
    QString r;
    r += QStringLiteral("File:         %1\n").arg(shown(file));
    if (!info.HeaderRead) {
      r += QStringLiteral("Result:       not read (missing, or under 256 bytes)\n");
    } else {
      if (info.FrameHeader) {
        r += QStringLiteral("Stream:       from the MPEG frame header\n");
        r += QStringLiteral("Bitrate:      %1 kbit/s\n").arg(info.Header.Bitrate.trimmed());
        r += QStringLiteral("Sample rate:  %1 kHz\n").arg(info.Header.SampleRate.trimmed());
        r += QStringLiteral("Channels:     %1\n").arg(info.Header.Channels.trimmed());
      } else {
        r += QStringLiteral(
            "Stream:       unknown: no MPEG frame header (the player shows what its decoder reports)\n");
      }
      r += tagReport(info.Tag, offset, size);
    }
    r += QStringLiteral("Display:      %1\n").arg(quoted(title));
    print(r);
  }
  return info.HeaderRead ? kExitAccepted : kExitRejected;
}

// The genre byte for a name of the genre list (any letter case) or a number.
bool parseGenre(const QString &text, int *genre) {
  bool number = false;
  const int n = text.toInt(&number);
  if (number) {
    if (n < 0 || n > 255) return false;
    *genre = n;
    return true;
  }
  const QStringList &list = GenreList();
  for (int i = 0; i < list.size(); ++i) {
    if (list[i].compare(text.trimmed(), Qt::CaseInsensitive) == 0) {
      *genre = GenreByteForIndex(i);
      return true;
    }
  }
  return false;
}

QString outcomeWord(TagWriteResult r) {
  switch (r) {
    case TagWriteResult::Updated:
      return QStringLiteral("updated");
    case TagWriteResult::Added:
      return QStringLiteral("added");
    case TagWriteResult::TooShort:
      return QStringLiteral("too-short");
    case TagWriteResult::Failed:
      break;
  }
  return QStringLiteral("failed");
}

int tagSet(const Options &o) {
  if (o.positional.size() != 1) return usageError(QStringLiteral("tag set takes one FILE"));
  const QString file = o.positional.first();
  // The window starts from the fields it shows for the file; the options
  // replace those the user changed.
  const TagInfo old = ReadMp3Info(file).Tag;
  TagInfo t;
  const auto text = [&o](const char *option, const QString &current) {
    return o.has(option) ? o.value(option) : current.trimmed();
  };
  t.setTitle(text("--title", old.Title));
  t.setArtist(text("--artist", old.Artist));
  t.setAlbum(text("--album", old.Album));
  t.setYear(text("--year", old.Year));
  t.setComment(text("--comment", old.Comment));
  t.Genre = old.Found ? old.Genre : GenreByteForIndex(GenreListIndex(old.Genre));
  if (o.has("--genre") && !parseGenre(o.value("--genre"), &t.Genre))
    return usageError(QStringLiteral("unknown genre '%1'").arg(o.value("--genre")));
  t.Found = true;

  QString reason;
  TagWriteResult result = TagWriteResult::Failed;
  int track = old.Found ? old.Track : 0;
  if (o.has("--track") && !ParseTrackText(o.value("--track"), &track))
    reason = QStringLiteral("the track number must be a whole number from 0 to 255");
  t.Track = track;
  if (reason.isEmpty()) {
    result = WriteIdTag(file, t);
  }
  const QString outcome = reason.isEmpty() ? outcomeWord(result) : QStringLiteral("refused");
  const bool written = reason.isEmpty() &&
                       (result == TagWriteResult::Updated || result == TagWriteResult::Added);

  if (o.json) {
    QJsonObject out{{QStringLiteral("file"), file},
                    {QStringLiteral("outcome"), outcome},
                    {QStringLiteral("written"), written},
                    {QStringLiteral("tag"), tagJson(t, -1, -1)}};
    if (written) {
      const qint64 size = QFileInfo(file).size();
      out.insert(QStringLiteral("tag"), tagJson(ReadMp3Info(file).Tag, size - 128, size));
    }
    if (!reason.isEmpty()) out.insert(QStringLiteral("reason"), reason);
    printJson(out);
  } else {
    print(outcome + u'\n');
    if (!reason.isEmpty()) std::fprintf(stderr, "cantorel-tool: %s\n", qUtf8Printable(reason));
  }
  return written ? kExitAccepted : kExitRejected;
}

}  // namespace

int runTagCommand(const QStringList &args) {
  if (args.isEmpty()) return usageError(QStringLiteral("tag needs a command: show or set"));
  const QString command = args.first();
  Options o;
  QString error;
  if (command == QLatin1String("show")) {
    const QStringList valued{QStringLiteral("--show-artist"), QStringLiteral("--show-album")};
    if (!parseOptions(args.mid(1), valued, &o, &error)) return usageError(error);
    return tagShow(o);
  }
  if (command == QLatin1String("set")) {
    QStringList valued;
    for (const char *v : {"--title", "--artist", "--album", "--year", "--comment", "--track", "--genre"})
      valued << QString::fromLatin1(v);
    if (!parseOptions(args.mid(1), valued, &o, &error)) return usageError(error);
    return tagSet(o);
  }
  return usageError(QStringLiteral("unknown tag command '%1'").arg(command));
}

}  // namespace cantorel::tool
