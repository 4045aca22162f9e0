#pragma once

#include <QString>

#include "core/general.h"

namespace cantorel {

// How the lyric line label looks, as the skin set it up: what
// "init_plugin" passes on to the visualization plug-in.
struct LyricLineLook {
  QString toolTip;
  qint32 foreColour = 0;  // 0x00BBGGRR
  qint32 backColour = 0;
  QString fontName;
  bool bold = false;
  float fontSize = 0;
  float left = 0;  // twips inside the main window
  float top = 0;
};

// Command 41: opens the full-screen display of the active visualization
// plug-in. With none chosen (`VisPluginName` empty) nothing is called and
// the result is false: the caller shows message `msg::NoVisPlugin`.
bool FullScreenMode(General &g, const LyricLineLook &look);
// Hands a lyric line that became current to the visualization plug-in.
void ShowLyricOnPlugin(General &g, const QString &line);

}  // namespace cantorel
