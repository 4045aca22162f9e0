#pragma once

namespace cantorel {

class MainWindow;

// `ShowPrefs`: the preferences window over the main window, editing its
// settings, schedule, skin, transparency, tray menu and plug-ins.
void ShowPrefs(MainWindow &w);

}  // namespace cantorel
