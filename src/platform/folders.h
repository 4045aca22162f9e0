#pragma once

#include <QString>
#include <QStringList>

namespace cantorel {

// Where the program's files are. What the program ships (skins, language
// files, documents, plug-ins) is read from the install; what it writes
// (playlist.m3u, autolist.txt, msg.txt) goes to the user's data folder, which
// is also searched first when reading, so a user can override a shipped file.
// CANTOREL_HOME points all of it, the settings file included, at one folder
// (portable use and tests); shipped files are still found in the install,
// and the desktop's association files go below it (see AssociationPaths).
class Folders {
 public:
  // Folders from the environment and the program's own location.
  static Folders fromEnvironment();
  // Explicit folders (tests).
  Folders(QString userData, QString installData, QString pluginDir, QString configFile);

  const QString &userDataDir() const { return userData_; }
  const QString &installDataDir() const { return installData_; }
  const QString &pluginDir() const { return pluginDir_; }
  const QString &configFile() const { return configFile_; }

  // Folders searched for a shipped file, user folder first.
  QStringList dataRoots() const;
  // The first existing `relative` in the data roots, or empty.
  QString findData(const QString &relative) const;
  // A file the program writes, in the user's data folder (created on demand).
  QString userFile(const QString &name) const;
  // Every file of ours the program replaces whole in these folders (the
  // settings, the playlist of the last run, the schedule, the news file).
  QStringList writtenFiles() const;
  // A name that tells instances with different settings apart, for the
  // single-instance channel.
  QString instanceKey() const;

 private:
  QString userData_;
  QString installData_;
  QString pluginDir_;
  QString configFile_;
};

}  // namespace cantorel
