#include "plugins/plugin_host.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QMetaClassInfo>
#include <QPluginLoader>

#include "plugins/plugin_log.h"
#include "plugins/sdk/cantorel_plugin.h"

namespace cantorel {

namespace {

QString kindKey(PluginKind kind, const QString &name) {
  return (kind == PluginKind::Input ? QStringLiteral("in:") : QStringLiteral("vis:")) + name.toLower();
}

// Loaded libraries by absolute path, kept for the whole run: objects made
// from a library must never outlive its code, so nothing is unloaded.
struct LoadedLibrary {
  QPluginLoader *loader = nullptr;
  QObject *root = nullptr;
  QString error;
};

LoadedLibrary &loadLibrary(const QString &path) {
  // Never destroyed, so nothing is unloaded even while the process exits.
  static auto &libraries = *new QHash<QString, LoadedLibrary>;
  auto it = libraries.find(path);
  if (it != libraries.end()) return *it;
  LoadedLibrary lib;
  lib.loader = new QPluginLoader(path);  // lives as long as the process
  lib.root = lib.loader->instance();
  if (!lib.root) lib.error = lib.loader->errorString();
  return *libraries.insert(path, lib);
}

}  // namespace

PluginHost::PluginHost(QString pluginDir) : dir_(std::move(pluginDir)) {}

QString PluginHost::librarySuffix() {
#if defined(Q_OS_WIN)
  return QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
  return QStringLiteral(".dylib");
#else
  return QStringLiteral(".so");
#endif
}

QString PluginHost::libraryName(const QString &fileName) {
  const QString suffix = librarySuffix();
  return fileName.endsWith(suffix, Qt::CaseInsensitive) ? fileName.left(fileName.size() - suffix.size())
                                                        : fileName;
}

QString PluginHost::folder(PluginKind kind) const {
  return dir_ + (kind == PluginKind::Input ? QLatin1String("/input_plugins") : QLatin1String("/vis_plugins"));
}

QStringList PluginHost::libraryFiles(PluginKind kind) const {
  const QString pattern =
      (kind == PluginKind::Input ? QStringLiteral("qv_input_*") : QStringLiteral("qv_*")) + librarySuffix();
  return QDir(folder(kind)).entryList({pattern}, QDir::Files | QDir::Readable, QDir::Name);
}

void PluginHost::registerClass(PluginKind kind, const QString &name, Factory factory) {
  classes_.insert(kindKey(kind, name), std::move(factory));
}

std::shared_ptr<PluginObject> PluginHost::create(PluginKind kind, const QString &name) {
  const QString className = name + QLatin1String(".Processor");
  if (name.isEmpty()) return nullptr;
  if (auto it = classes_.constFind(kindKey(kind, name)); it != classes_.constEnd()) {
    std::unique_ptr<QObject> obj = (*it)();
    if (!obj) return nullptr;
    return std::make_shared<PluginObject>(className, std::move(obj));
  }
  if (name.contains(u'/') || name.contains(u'\\')) {
    qCWarning(lcPlugins).noquote() << "Refusing plug-in name with a folder part:" << name;
    return nullptr;
  }
  const QString path = QFileInfo(folder(kind) + u'/' + name + librarySuffix()).absoluteFilePath();
  if (!QFileInfo::exists(path)) {
    qCWarning(lcPlugins).noquote() << "No plug-in library" << path;
    return nullptr;
  }
  LoadedLibrary &lib = loadLibrary(path);
  if (!lib.root) {
    qCWarning(lcPlugins).noquote() << "Skipping" << path << "- not a plug-in:" << lib.error;
    return nullptr;
  }
  const QString iid = lib.loader->metaData().value(QLatin1String("IID")).toString();
  const QLatin1String wanted(kind == PluginKind::Input ? CANTOREL_INPUT_PLUGIN_IID : CANTOREL_VIS_PLUGIN_IID);
  if (iid != wanted) {
    qCWarning(lcPlugins).noquote() << "Skipping" << path << "- interface" << iid << "is not" << wanted;
    return nullptr;
  }
  const QMetaObject *mo = lib.root->metaObject();
  const int info = mo->indexOfClassInfo(CANTOREL_CLASS_INFO);
  const QString declared = info >= 0 ? QString::fromUtf8(mo->classInfo(info).value()) : QString();
  if (declared.compare(className, Qt::CaseInsensitive) != 0) {
    qCWarning(lcPlugins).noquote() << "Skipping" << path << "- it provides class" << declared << "not"
                                   << className;
    return nullptr;
  }
  QObject *obj = mo->newInstance();
  if (!obj) {
    qCWarning(lcPlugins).noquote() << "Skipping" << path << "- no invokable constructor";
    return nullptr;
  }
  return std::make_shared<PluginObject>(className, std::unique_ptr<QObject>(obj));
}

void PluginHost::ScanInputPlugins(General &g) {
  if (!g.InputPluginName.isEmpty()) return;
  g.InputPluginTable.clear();
  for (const QString &file : libraryFiles(PluginKind::Input)) {
    if (g.InputPluginTable.size() >= General::kMaxInputPlugins) {
      qCWarning(lcPlugins).noquote() << "More than" << General::kMaxInputPlugins << "input plug-ins; ignoring"
                                     << file << "and the rest";
      break;
    }
    InputPluginInfo info;
    info.Name = libraryName(file);
    std::shared_ptr<PluginObject> obj = create(PluginKind::Input, info.Name);
    if (!obj) continue;  // broken: warned already, no record
    info.Author = obj->value("GetAuthor").toString();
    info.Extensions = obj->value("getExtensions").toString();
    info.Version = obj->value("GetVersion").toString();
    info.Description = obj->value("GetDescription").toString();
    g.InputPluginTable.append(info);
  }
}

QString PluginHost::InputFilter(const QList<InputPluginInfo> &table) {
  // Plug-ins declare "Name|*.a;*.b" (several pairs allowed); every pattern of
  // every plug-in goes into one entry, so a folder of mixed songs shows whole.
  QStringList patterns;
  for (const InputPluginInfo &info : table) {
    const QStringList parts = info.Extensions.split(u'|');
    for (qsizetype i = 1; i < parts.size(); i += 2)
      for (const QString &p : parts[i].split(u';', Qt::SkipEmptyParts)) {
        const QString pattern = p.trimmed().toLower();
        if (pattern.startsWith(QLatin1String("*.")) && pattern != QLatin1String("*.*") &&
            !patterns.contains(pattern))
          patterns << pattern;
      }
  }
  const QString all = QStringLiteral("All files|*");
  return patterns.isEmpty() ? all : QStringLiteral("Music files|") + patterns.join(u';') + u'|' + all;
}

bool PluginHost::PickInputPlugin(General &g, const QString &extension) {
  const QString e = extension.toUpper();
  // The last matching row wins; if it cannot be created, the one before it.
  for (qsizetype i = g.InputPluginTable.size() - 1; i >= 0; --i) {
    const InputPluginInfo &info = g.InputPluginTable[i];
    if (!info.Extensions.toUpper().contains(e)) continue;
    std::shared_ptr<PluginObject> obj = create(PluginKind::Input, info.Name);
    if (!obj) continue;
    g.InputPluginName = info.Name;
    g.Player = std::move(obj);
    return true;
  }
  return false;
}

void PluginHost::CreatePlugin(General &g) {
  g.VisPlugin = g.VisPluginName.isEmpty() ? nullptr : create(PluginKind::Vis, g.VisPluginName);
}

PluginListing PluginHost::ListPlugins(General &g) {
  PluginListing out;
  out.visPlugins = libraryFiles(PluginKind::Vis);
  for (int i = 0; i < out.visPlugins.size(); ++i) {
    if (libraryName(out.visPlugins[i]) == g.VisPluginName) out.selectedVisPlugin = i;
  }
  if (out.selectedVisPlugin < 0 && !out.visPlugins.isEmpty()) out.selectedVisPlugin = 0;
  for (const QString &file : out.visPlugins) {
    // Only asked when the plug-in has the member, so older plug-ins list quietly.
    const std::shared_ptr<PluginObject> obj = create(PluginKind::Vis, libraryName(file));
    const QString said =
        obj && obj->has("GetDescription", 0) ? obj->value("GetDescription").toString() : QString();
    out.visDescriptions.append(said.trimmed().isEmpty() ? file : said.trimmed());
  }
  ScanInputPlugins(g);
  for (const InputPluginInfo &info : g.InputPluginTable) {
    out.inputPlugins.append(info.Name);
    const QString said = info.Description.trimmed();
    out.inputDescriptions.append(said.isEmpty() ? info.Name + librarySuffix() : said);
  }
  return out;
}

void PluginHost::ApplyVisPlugin(General &g, const QString &entry) {
  if (entry.isEmpty()) return;
  g.VisPluginName = libraryName(entry);
  CreatePlugin(g);
}

}  // namespace cantorel
