#include "plugins/vis_calls.h"

#include "plugins/plugin_object.h"

namespace cantorel {

bool FullScreenMode(General &g, const LyricLineLook &look) {
  if (g.VisPluginName.isEmpty()) return false;
  if (g.VisPlugin)
    g.VisPlugin->call("init_plugin", {look.toolTip, look.foreColour, look.backColour, look.fontName,
                                      look.bold, look.fontSize, look.left, look.top, qint16(0), qint16(0)});
  return true;
}

void ShowLyricOnPlugin(General &g, const QString &line) {
  if (!g.VisPluginName.isEmpty() && g.VisPlugin) g.VisPlugin->call("show_lyric", {line});
}

}  // namespace cantorel
