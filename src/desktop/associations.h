#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace cantorel {

struct General;

// Where the association files are. Everything we write is the user's own:
// the defaults in $XDG_CONFIG_HOME/mimeapps.list, our desktop entry in
// $XDG_DATA_HOME/applications and the backup of the previous defaults in
// $XDG_CONFIG_HOME/cantorel. With CANTOREL_HOME set, $CANTOREL_HOME/.config
// and $CANTOREL_HOME/.local/share take the place of the two XDG folders.
struct AssociationPaths {
  QString configHome;  // $XDG_CONFIG_HOME (default ~/.config)
  QString dataHome;    // $XDG_DATA_HOME (default ~/.local/share)
  QString program;     // the program the desktop entry starts
  QString icon;        // the program's icon file; empty: the installed theme icon

  static AssociationPaths fromEnvironment(const QString &program);
  QString mimeAppsList() const { return configHome + QStringLiteral("/mimeapps.list"); }
  QString desktopEntry() const { return dataHome + QStringLiteral("/applications/cantorel.desktop"); }
  QString backupFile() const { return configHome + QStringLiteral("/cantorel/associations-backup.list"); }
  QStringList writtenFiles() const { return {mimeAppsList(), desktopEntry(), backupFile()}; }
};

// Makes Cantorel the program that opens media files and playlists, the
// freedesktop way: a desktop entry "cantorel.desktop" with Play and Enqueue
// actions, the default application of each file type in the user's
// mimeapps.list, and the default each type had before kept as its backup so
// that `restore` can put it back.
class FileAssociations {
 public:
  static constexpr const char *kDesktopFile = "cantorel.desktop";
  static constexpr const char *kDefaultsGroup = "Default Applications";
  static constexpr const char *kAddedGroup = "Added Associations";
  static constexpr const char *kBackupGroup = "Previous Defaults";

  explicit FileAssociations(AssociationPaths paths) : paths_(std::move(paths)) {}

  // The media extensions made ours, in registration order, then the playlist.
  static const QStringList &mediaExtensions();
  static QString playlistExtension() { return QStringLiteral(".m3u"); }
  // The extensions the start-up check looks at, in its order.
  static const QStringList &examinedExtensions();
  // The file type of an extension (".mp3" -> "audio/mpeg"); empty for an
  // extension that has no type of its own (".dat"), which is left alone.
  static QString mimeTypeOf(const QString &ext);
  // Every type the desktop entry offers to open (defaults are set only for
  // the extensions above).
  static QStringList entryMimeTypes();
  // The text of the desktop entry for `program`, with `icon` (a file, or
  // empty for the theme icon "cantorel").
  static QString desktopEntryText(const QString &program, const QString &icon = QString());

  // Whether the user's default for the extension's type is our entry.
  bool IsAssociated(const QString &ext) const;
  // " for " followed by each examined extension that is not ours and a blank.
  QString unassociatedList() const;
  // Writes the desktop entry and makes every listed type ours, remembering
  // the previous default of each (a type already ours keeps its earlier
  // backup). Returns false when a file could not be read or written; what was
  // written before stays.
  bool RegisterAll(QString *error = nullptr);
  // Puts back the default each type had before RegisterAll, for the types
  // still ours, and withdraws what we added to "Added Associations"; types
  // the user gave another program since keep it. The backup file
  // goes once everything is back.
  bool restore(QString *error = nullptr);

  const AssociationPaths &paths() const { return paths_; }

 private:
  AssociationPaths paths_;
};

// The question asked before registering: title and text, true for OK.
using AskOkCancelFn = std::function<bool(const QString &title, const QString &text)>;

// What the start-up check did.
enum class AssociationCheck { Off, NothingToDo, Declined, Registered, Failed };

// The start-up check: with "AutoRegistry" set, registers at once, or with
// "AskForIt" set asks first (messages 56 to 58), and only when an examined
// extension is not ours.
AssociationCheck CheckAssociations(const General &g, FileAssociations &assoc, const AskOkCancelFn &ask);

}  // namespace cantorel
