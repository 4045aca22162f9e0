#pragma once

#include <QString>

namespace cantorel {

// What the program asks of the desktop: opening web addresses and telling the
// user something. The program uses the desktop's own; tests use one that
// records.
class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  // Opens an http or https address in the user's browser. Other schemes are
  // refused (returns false).
  virtual bool openUrl(const QString &url) = 0;
  // A message box with an OK button; `text` is shown as plain text.
  virtual void showMessage(const QString &text) = 0;
};

// True for the addresses `openUrl` may open.
bool isWebAddress(const QString &url);

}  // namespace cantorel
