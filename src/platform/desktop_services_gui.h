#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/desktop_services.h"

namespace cantorel {

// The desktop's own services. When CANTOREL_RECORD_DESKTOP names a file,
// addresses and messages are appended to it instead (one line each, "url " or
// "message " first), so tests never open a browser or wait on a dialog.
class QtDesktopServices : public DesktopServices {
 public:
  explicit QtDesktopServices(QWidget *owner = nullptr) : owner_(owner) {}
  void setOwner(QWidget *owner) { owner_ = owner; }
  bool openUrl(const QString &url) override;
  void showMessage(const QString &text) override;

 private:
  bool record(const QString &what, const QString &text);
  QPointer<QWidget> owner_;
};

}  // namespace cantorel
