#include "desktop/tray_menu.h"

namespace cantorel {

QString TrayTipText(const QString &title) {
  QString tip = QStringLiteral("Cantorel v4.0 - ") + title;
  if (tip.size() > kTrayTipChars) {
    int cut = kTrayTipChars;
    // Never split a character made of two UTF-16 units.
    if (tip.at(cut - 1).isHighSurrogate()) --cut;
    tip.truncate(cut);
  }
  return tip;
}

}  // namespace cantorel
