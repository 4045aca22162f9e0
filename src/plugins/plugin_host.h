#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "core/general.h"
#include "plugins/plugin_object.h"

namespace cantorel {

enum class PluginKind { Input, Vis };

// What the preferences window lists: the visualization plug-in files
// (`visPlugins`, with the entry to select, -1 for none) and the input plug-in
// names (`inputPlugins`).
struct PluginListing {
  QStringList visPlugins;  // library file names ("qv_plugin.so")
  int selectedVisPlugin = -1;
  QStringList inputPlugins;  // plug-in names ("qv_input_gst")
  // What each plug-in says it does (`GetDescription`), in the same order; a
  // plug-in that says nothing gets its file name.
  QStringList visDescriptions;
  QStringList inputDescriptions;
};

// Finds, loads and creates plug-ins. Input plug-ins are
// <dir>/input_plugins/qv_input_*.so, visualization plug-ins
// <dir>/vis_plugins/qv_*.so; a plug-in's name is its file name without the
// suffix and its class that name + ".Processor". Libraries stay loaded for
// the rest of the run once loaded, since objects made from them may live on.
// Anything broken (not a library, not a plug-in, wrong class, no invokable
// constructor, missing members) is skipped with a warning.
class PluginHost {
 public:
  explicit PluginHost(QString pluginDir);

  // The platform's suffix of loadable libraries (".so" here).
  static QString librarySuffix();
  // The plug-in name of a library file name ("qv_input_gst.so" gives
  // "qv_input_gst").
  static QString libraryName(const QString &fileName);

  const QString &pluginDir() const { return dir_; }
  QString folder(PluginKind kind) const;
  // Library file names of one kind, sorted by name.
  QStringList libraryFiles(PluginKind kind) const;

  // A fresh object of class `name` + ".Processor", or null (with a warning).
  std::shared_ptr<PluginObject> create(PluginKind kind, const QString &name);

  // Classes made in-process rather than from a library; they take precedence
  // over a library of the same name (used by tests of the transport).
  using Factory = std::function<std::unique_ptr<QObject>()>;
  void registerClass(PluginKind kind, const QString &name, Factory factory);

  // Builds `InputPluginTable` from the input plug-in folder, only while no
  // input plug-in has been chosen (`InputPluginName` empty).
  void ScanInputPlugins(General &g);
  // The media file dialogs' filter, "Music files|<every pattern the plug-ins
  // declare>|All files|*" ("All files|*" alone when none declares any).
  static QString InputFilter(const QList<InputPluginInfo> &table);
  // Chooses the player for a file extension (upper case, no dot). True when a
  // plug-in matched and its object is now `Player`.
  bool PickInputPlugin(General &g, const QString &extension);
  // Makes `VisPlugin` from `VisPluginName` (null when empty or failing).
  void CreatePlugin(General &g);
  // The lists of the preferences window.
  PluginListing ListPlugins(General &g);
  // Makes the listed visualization file `entry` ("qv_x.so") the active one.
  void ApplyVisPlugin(General &g, const QString &entry);

 private:
  QString dir_;
  QHash<QString, Factory> classes_;  // key: kind prefix + name
};

}  // namespace cantorel
