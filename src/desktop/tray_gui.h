#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "core/general.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace cantorel {

// The tray icon with its tip and its twelve-command menu. Menu
// choices go to the command callback as dispatcher codes. Where the desktop
// has no tray the icon is not shown (said once on stderr); the menu still
// serves the main window's right click.
class TrayIcon : public QObject {
  Q_OBJECT
 public:
  // `doIt`: runs a command code. `bringToFront`: makes the main window
  // visible and raises it (the always-on-top switch and back).
  TrayIcon(const General &g, std::function<void(int)> doIt, std::function<void()> bringToFront,
          QObject *parent = nullptr);
  ~TrayIcon() override;

  // Adds the icon (when the desktop has a tray) and captions the menu.
  void showIcon();
  // Removes the icon.
  void removeIcon();
  // Re-captions the menu from the message table (after a language change).
  void reloadMenu();
  // Sets the tip to "Cantorel v4.0 - title", cut to fit.
  void setTip(const QString &title);
  QString tip() const { return tip_; }

  // A click or double click on the icon: brings the main window to the front
  // unless the preferences window is open. Trays speaking StatusNotifierItem
  // report a click as Trigger and never a double click.
  void activate();
  // The menu at a screen position (the tray's or the main window's right click).
  void popup(const QPoint &globalPos);
  // A menu choice, item 1..12.
  void runMenuItem(int index);

  QMenu *menu() const { return menu_.get(); }
  bool iconShown() const;

  // The program's icon, drawn: a note on a lyric sheet.
  static QIcon programIcon();

 private:
  const General &g_;
  std::function<void(int)> doIt_;
  std::function<void()> bringToFront_;
  std::unique_ptr<QMenu> menu_;
  std::array<QAction *, 12> menuActions_{};
  QSystemTrayIcon *icon_ = nullptr;
  QString tip_ = QStringLiteral("Cantorel v4.0");
};

}  // namespace cantorel
