#include "platform/folders.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace cantorel {

namespace {

QString envFolder(const char *name, const QString &fallbackUnderHome) {
  const QString v = qEnvironmentVariable(name);
  if (!v.isEmpty() && QDir::isAbsolutePath(v)) return v;
  return QDir::homePath() + QLatin1Char('/') + fallbackUnderHome;
}

// The program's own folder, or empty before QCoreApplication exists.
QString programDir() {
  return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

}  // namespace

Folders::Folders(QString userData, QString installData, QString pluginDir, QString configFile)
    : userData_(std::move(userData)),
      installData_(std::move(installData)),
      pluginDir_(std::move(pluginDir)),
      configFile_(std::move(configFile)) {}

Folders Folders::fromEnvironment() {
  // The install's data sits at <prefix>/share/cantorel beside <prefix>/bin;
  // the build tree is laid out the same way, so both run as they are.
  QString install = QString::fromUtf8(CANTOREL_INSTALL_DATA_DIR);
  QString plugins = QString::fromUtf8(CANTOREL_INSTALL_PLUGIN_DIR);
  const QString exe = programDir();
  if (!exe.isEmpty()) {
    const QString shareNear = QDir::cleanPath(exe + QLatin1String("/../share/cantorel"));
    if (QFileInfo(shareNear).isDir()) install = shareNear;
    for (const char *lib : {"/../lib/cantorel/plugins", "/../lib64/cantorel/plugins",
                            "/../lib/x86_64-linux-gnu/cantorel/plugins"}) {
      const QString p = QDir::cleanPath(exe + QLatin1String(lib));
      if (QFileInfo(p).isDir()) {
        plugins = p;
        break;
      }
    }
  }
  const QString home = qEnvironmentVariable("CANTOREL_HOME");
  if (!home.isEmpty()) {
    const QString abs = QDir(home).absolutePath();
    return Folders(abs, install, plugins, abs + QLatin1String("/cantorel.conf"));
  }
  return Folders(envFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QLatin1String("/cantorel"),
                 install, plugins,
                 envFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) +
                     QLatin1String("/cantorel/cantorel.conf"));
}

QStringList Folders::dataRoots() const {
  QStringList roots{userData_};
  if (installData_ != userData_) roots << installData_;
  return roots;
}

QString Folders::findData(const QString &relative) const {
  for (const QString &root : dataRoots()) {
    const QString p = QDir(root).filePath(relative);
    if (QFileInfo::exists(p)) return p;
  }
  return QString();
}

QString Folders::userFile(const QString &name) const {
  QDir().mkpath(userData_);
  return QDir(userData_).filePath(name);
}

QStringList Folders::writtenFiles() const {
  QStringList files{configFile_};
  for (const char *name : {"playlist.m3u", "autolist.txt", "msg.txt"})
    files << QDir(userData_).filePath(QLatin1String(name));
  return files;
}

QString Folders::instanceKey() const {
  const QByteArray h =
      QCryptographicHash::hash(QFileInfo(configFile_).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
          .toHex()
          .left(12);
  return QStringLiteral("cantorel-%1-%2").arg(::getuid()).arg(QString::fromLatin1(h));
}

}  // namespace cantorel
