#include "desktop/associations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "core/atomic_file.h"
#include "core/general.h"
#include "desktop/mimeapps_list.h"
#include "prefs/message_ids.h"

namespace cantorel {

namespace {

QString envFolder(const char *name, const QString &underHome) {
  const QString v = qEnvironmentVariable(name);
  // The basedir rules ignore relative values.
  if (!v.isEmpty() && QDir::isAbsolutePath(v)) return QDir::cleanPath(v);
  return QDir::homePath() + u'/' + underHome;
}

QString ours() { return QString::fromLatin1(FileAssociations::kDesktopFile); }

// Reads a key file; a missing file is an empty one.
bool readList(const QString &path, MimeAppsList *list, QString *error) {
  if (!QFileInfo::exists(path)) return list->parse(QByteArray());
  QByteArray bytes;
  bool tooLarge = false;
  if (!readFileLimited(path, MimeAppsList::kMaxBytes, &bytes, &tooLarge) || !list->parse(bytes)) {
    if (error) *error = QStringLiteral("cannot read %1%2").arg(path, tooLarge ? QStringLiteral(" (too large)") : QString());
    return false;
  }
  return true;
}

// Writes `bytes` unless the file already holds them. A link (a list kept
// with the user's other dotfiles) stays a link: its target is replaced.
bool writeList(const QString &pathIn, const QByteArray &bytes, QString *error) {
  const QFileInfo info(pathIn);
  const QString path = info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath() : pathIn;
  QByteArray now;
  if (QFileInfo::exists(path) && readFileLimited(path, MimeAppsList::kMaxBytes, &now) && now == bytes) return true;
  QDir().mkpath(QFileInfo(path).absolutePath());
  return writeFileAtomically(path, bytes, error);
}

// The types to make ours, each once, media first, in registration order.
QStringList registeredTypes() {
  QStringList types;
  QStringList exts = FileAssociations::mediaExtensions();
  exts.append(FileAssociations::playlistExtension());
  for (const QString &e : exts) {
    const QString t = FileAssociations::mimeTypeOf(e);
    if (!t.isEmpty() && !types.contains(t)) types.append(t);
  }
  // The MIME database names most Ogg Vorbis files by this subtype rather
  // than by ".ogg"'s own type.
  types.insert(types.indexOf(QStringLiteral("audio/ogg")) + 1, QStringLiteral("audio/x-vorbis+ogg"));
  return types;
}

// One argument of an Exec line: quoted when it holds anything but plain
// characters, with the escapes the desktop entry rules ask for.
QString execArgument(const QString &arg) {
  QString a = arg;
  a.replace(u'%', QLatin1String("%%"));
  bool plain = !a.isEmpty();
  for (QChar c : a) {
    if (!(c.isLetterOrNumber() || QStringLiteral("/._-+%").contains(c))) plain = false;
  }
  if (plain) return a;
  QString q;
  for (QChar c : a) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') q += u'\\';
    q += c;
  }
  // The file is read as a string value first, which turns "\\" into "\".
  q.replace(u'\\', QLatin1String("\\\\"));
  return u'"' + q + u'"';
}

}  // namespace

AssociationPaths AssociationPaths::fromEnvironment(const QString &program) {
  AssociationPaths p;
  // CANTOREL_HOME keeps everything the program writes: the desktop's files
  // go below it in the layout they have below the home folder.
  const QString home = qEnvironmentVariable("CANTOREL_HOME");
  if (!home.isEmpty()) {
    const QString abs = QDir(home).absolutePath();
    p.configHome = abs + QStringLiteral("/.config");
    p.dataHome = abs + QStringLiteral("/.local/share");
  } else {
    p.configHome = envFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    p.dataHome = envFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
  }
  p.program = program;
  return p;
}

const QStringList &FileAssociations::mediaExtensions() {
  static const QStringList list = {
      QStringLiteral(".mp2"), QStringLiteral(".wav"), QStringLiteral(".au"),  QStringLiteral(".snd"),
      QStringLiteral(".mid"), QStringLiteral(".rmi"), QStringLiteral(".ra"),  QStringLiteral(".rm"),
      QStringLiteral(".ram"), QStringLiteral(".rmm"), QStringLiteral(".avi"), QStringLiteral(".mov"),
      QStringLiteral(".qt"),  QStringLiteral(".m1v"), QStringLiteral(".mpa"), QStringLiteral(".mpe"),
      QStringLiteral(".mpg"), QStringLiteral(".mpeg"), QStringLiteral(".dat"), QStringLiteral(".asf"),
      QStringLiteral(".asx"), QStringLiteral(".mp3"), QStringLiteral(".ogg"), QStringLiteral(".oga"),
      QStringLiteral(".flac"), QStringLiteral(".opus"), QStringLiteral(".m4a")};
  return list;
}

const QStringList &FileAssociations::examinedExtensions() {
  static const QStringList list = {
      QStringLiteral(".mp3"), QStringLiteral(".mp2"), QStringLiteral(".wav"), QStringLiteral(".au"),
      QStringLiteral(".snd"), QStringLiteral(".mid"), QStringLiteral(".rmi"), QStringLiteral(".ra"),
      QStringLiteral(".ram"), QStringLiteral(".rmm"), QStringLiteral(".avi"), QStringLiteral(".mov"),
      QStringLiteral(".qt"),  QStringLiteral(".m1v"), QStringLiteral(".mpa"), QStringLiteral(".mpe"),
      QStringLiteral(".mpg"), QStringLiteral(".mpeg"), QStringLiteral(".dat"), QStringLiteral(".asf"),
      QStringLiteral(".asx")};
  return list;
}

QString FileAssociations::mimeTypeOf(const QString &ext) {
  // The types the shared MIME database gives these names. ".dat" has none:
  // taking over every file so named would be wrong, so it is left alone.
  static const QHash<QString, QString> types = {
      {QStringLiteral(".mp2"), QStringLiteral("audio/mp2")},
      {QStringLiteral(".wav"), QStringLiteral("audio/x-wav")},
      {QStringLiteral(".au"), QStringLiteral("audio/basic")},
      {QStringLiteral(".snd"), QStringLiteral("audio/basic")},
      {QStringLiteral(".mid"), QStringLiteral("audio/midi")},
      {QStringLiteral(".rmi"), QStringLiteral("audio/midi")},
      {QStringLiteral(".ra"), QStringLiteral("audio/vnd.rn-realaudio")},
      {QStringLiteral(".rm"), QStringLiteral("application/vnd.rn-realmedia")},
      {QStringLiteral(".ram"), QStringLiteral("application/ram")},
      {QStringLiteral(".rmm"), QStringLiteral("application/vnd.rn-realmedia")},
      {QStringLiteral(".avi"), QStringLiteral("video/x-msvideo")},
      {QStringLiteral(".mov"), QStringLiteral("video/quicktime")},
      {QStringLiteral(".qt"), QStringLiteral("video/quicktime")},
      {QStringLiteral(".m1v"), QStringLiteral("video/mpeg")},
      {QStringLiteral(".mpa"), QStringLiteral("audio/mpeg")},
      {QStringLiteral(".mpe"), QStringLiteral("video/mpeg")},
      {QStringLiteral(".mpg"), QStringLiteral("video/mpeg")},
      {QStringLiteral(".mpeg"), QStringLiteral("video/mpeg")},
      {QStringLiteral(".asf"), QStringLiteral("application/vnd.ms-asf")},
      {QStringLiteral(".asx"), QStringLiteral("audio/x-ms-asx")},
      {QStringLiteral(".mp3"), QStringLiteral("audio/mpeg")},
      {QStringLiteral(".ogg"), QStringLiteral("audio/ogg")},
      {QStringLiteral(".oga"), QStringLiteral("audio/ogg")},
      {QStringLiteral(".flac"), QStringLiteral("audio/flac")},
      {QStringLiteral(".opus"), QStringLiteral("audio/x-opus+ogg")},
      {QStringLiteral(".m4a"), QStringLiteral("audio/mp4")},
      {QStringLiteral(".m3u"), QStringLiteral("audio/x-mpegurl")},
  };
  return types.value(ext.toLower());
}

QStringList FileAssociations::entryMimeTypes() {
  QStringList t = registeredTypes();
  // Also offered in "Open with", never made the default: PLS playlists and
  // folders (played or enqueued whole).
  t << QStringLiteral("audio/x-scpls") << QStringLiteral("inode/directory");
  return t;
}

QString FileAssociations::desktopEntryText(const QString &program, const QString &icon) {
  const QString exec = execArgument(program);
  QString iconValue = icon.isEmpty() ? QStringLiteral("cantorel") : icon;
  iconValue.replace(u'\\', QLatin1String("\\\\"));
  iconValue.replace(u'\n', u' ');
  QString s;
  s += QLatin1String(
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Cantorel\n"
      "GenericName=Media Player\n"
      "Comment=Play music and follow each song's timed lyric line by line\n"
      "Terminal=false\n"
      "Categories=AudioVideo;Audio;Player;\n"
      "Keywords=music;lyrics;playlist;karaoke;\n");
  s += QLatin1String("Icon=") + iconValue + u'\n';
  s += QLatin1String("Exec=") + exec + QLatin1String(" %f\n");
  s += QLatin1String("MimeType=") + entryMimeTypes().join(u';') + QLatin1String(";\n");
  s += QLatin1String("Actions=Play;Enqueue;\n\n");
  s += QLatin1String("[Desktop Action Play]\nName=Play with Cantorel\nExec=") + exec + QLatin1String(" %f\n\n");
  s += QLatin1String("[Desktop Action Enqueue]\nName=Enqueue with Cantorel\nExec=") + exec +
       QLatin1String(" /ADD %f\n");
  return s;
}

bool FileAssociations::IsAssociated(const QString &ext) const {
  const QString type = mimeTypeOf(ext);
  if (type.isEmpty()) return true;  // nothing of ours to set for it
  MimeAppsList list;
  if (!readList(paths_.mimeAppsList(), &list, nullptr)) return false;
  return firstDesktopFile(list.value(QString::fromLatin1(kDefaultsGroup), type)) == ours();
}

QString FileAssociations::unassociatedList() const {
  QString text = QStringLiteral(" for ");
  for (const QString &e : examinedExtensions()) {
    if (!IsAssociated(e)) text += e + u' ';
  }
  return text;
}

bool FileAssociations::RegisterAll(QString *error) {
  const QByteArray entry = desktopEntryText(paths_.program, paths_.icon).toUtf8();
  if (!writeList(paths_.desktopEntry(), entry, error)) return false;

  MimeAppsList list;
  MimeAppsList backup;
  if (!readList(paths_.mimeAppsList(), &list, error) || !readList(paths_.backupFile(), &backup, error)) return false;
  const QString defaults = QString::fromLatin1(kDefaultsGroup);
  const QString added = QString::fromLatin1(kAddedGroup);
  const QString backupGroup = QString::fromLatin1(kBackupGroup);
  for (const QString &type : registeredTypes()) {
    const QString old = list.value(defaults, type);
    // A type already ours keeps the backup it has: overwriting it with our
    // own name would make restoring a no-op.
    if (firstDesktopFile(old) != ours()) backup.setValue(backupGroup, type, old);
    list.setValue(defaults, type, ours() + u';');
    const QString offered = list.value(added, type);
    if (!offered.split(u';').contains(ours())) list.setValue(added, type, ours() + u';' + offered);
  }
  // The backup first: should the second write fail, nothing is lost.
  return writeList(paths_.backupFile(), backup.toBytes(), error) &&
         writeList(paths_.mimeAppsList(), list.toBytes(), error);
}

bool FileAssociations::restore(QString *error) {
  if (!QFileInfo::exists(paths_.backupFile())) return true;
  MimeAppsList list;
  MimeAppsList backup;
  if (!readList(paths_.mimeAppsList(), &list, error) || !readList(paths_.backupFile(), &backup, error)) return false;
  const QString defaults = QString::fromLatin1(kDefaultsGroup);
  const QString added = QString::fromLatin1(kAddedGroup);
  const QString backupGroup = QString::fromLatin1(kBackupGroup);
  for (const QString &type : backup.keys(backupGroup)) {
    // We are no longer offered first for the type either.
    QStringList offered = list.value(added, type).split(u';', Qt::SkipEmptyParts);
    if (offered.removeAll(ours()) > 0) {
      if (offered.isEmpty())
        list.remove(added, type);
      else
        list.setValue(added, type, offered.join(u';') + u';');
    }
    if (firstDesktopFile(list.value(defaults, type)) != ours()) continue;  // the user chose another since
    const QString old = backup.value(backupGroup, type);
    if (old.isEmpty())
      list.remove(defaults, type);
    else
      list.setValue(defaults, type, old);
  }
  list.removeGroupIfEmpty(added);
  list.removeGroupIfEmpty(defaults);
  if (!writeList(paths_.mimeAppsList(), list.toBytes(), error)) return false;
  QFile::remove(paths_.backupFile());
  return true;
}

AssociationCheck CheckAssociations(const General &g, FileAssociations &assoc, const AskOkCancelFn &ask) {
  if (g.AutoRegistry == 0) return AssociationCheck::Off;
  if (g.AskForIt != 0) {
    const QString list = assoc.unassociatedList();
    if (list == QLatin1String(" for ")) return AssociationCheck::NothingToDo;
    const QString text = g.message(msg::AssocQuestionFirst) + u'\n' + list + QLatin1String("files") + u'\n' +
                         g.message(msg::AssocQuestionLast);
    if (!ask || !ask(g.message(msg::AssocTitle), text)) return AssociationCheck::Declined;
  }
  return assoc.RegisterAll() ? AssociationCheck::Registered : AssociationCheck::Failed;
}

}  // namespace cantorel
