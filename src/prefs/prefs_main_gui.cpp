#include "prefs/prefs_main_gui.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/main_window.h"
#include "desktop/tray_gui.h"
#include "prefs/prefs_window.h"

namespace cantorel {

void ShowPrefs(MainWindow &w) {
  General &g = w.general();
  PrefsHost host;
  host.dataFolders = w.folders().dataRoots();
  host.scheduleList = [&w] { return w.clockSchedule().AutoList; };
  host.setScheduleList = [&w](const QStringList &list) { w.clockSchedule().AutoList = list; };
  host.setOnTop = [&w](bool on) { w.skin().SetTopMost(on); };
  host.applyTransparency = [&w] { w.applyTransparency(); };
  host.selectSkin = [&w] { w.skin().SelectSkin(); };
  // The skin's name and description as its author wrote them (the head line,
  // then the "/" lines); the file name when it has none.
  host.skinInfo = [&w, &g]() -> QString {
    if (g.Skin.isEmpty()) return QStringLiteral("?");
    QStringList lines = w.skin().tables().Description.split(u'\r');
    for (QString &l : lines) l = l.trimmed();
    const QString text = lines.join(u'\n').trimmed();
    return text.isEmpty() ? QFileInfo(g.Skin).completeBaseName() : text;
  };
  host.skinPreview = [&w] { return w.grab(); };
  host.reloadTray = [&w] {
    if (w.tray()) w.tray()->reloadMenu();
  };
  host.showMessage = [&w](const QString &text) { w.showMessage(text); };
  host.browseForFolder = [&w](const QString &prompt, const QString &start) {
    return QFileDialog::getExistingDirectory(&w, prompt, start);
  };
  host.openFile = [&w](const QString &title, const QString &filter, const QString &folder) {
    return QFileDialog::getOpenFileName(&w, title, folder, filter);
  };
  host.rememberPath = [&w, &g](const QString &folder) {
    g.Path = folder;
    w.settings().setText(key::Path, folder);
  };
  host.plugins = &w.plugins();
  ShowPreferences(g, std::move(host), &w);
}

}  // namespace cantorel
