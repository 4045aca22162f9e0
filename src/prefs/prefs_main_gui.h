#pragma once

namespace cantorel {

class frmQuelt;

// `ShowPrefs`: the preferences window over the main window, editing its
// settings, schedule, skin, transparency, tray menu and plug-ins.
void ShowPrefs(frmQuelt &w);

}  // namespace cantorel
