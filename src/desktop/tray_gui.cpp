#include "desktop/tray_gui.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

#include <cstdio>

#include "desktop/tray_menu.h"
#include "prefs/message_ids.h"
#include "prefs/prefs_window.h"

namespace cantorel {

namespace {

QPixmap drawIcon(int side) {
  QPixmap pm(side, side);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = side / 32.0;
  p.scale(s, s);
  // A rounded dark-blue tile.
  QLinearGradient bg(0, 0, 0, 32);
  bg.setColorAt(0, QColor(0x2d, 0x5b, 0xa8));
  bg.setColorAt(1, QColor(0x14, 0x2a, 0x5c));
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
  // Lyric lines on the right, the current one bright.
  p.setBrush(QColor(255, 255, 255, 110));
  p.drawRoundedRect(QRectF(17, 8, 10, 2.2), 1, 1);
  p.drawRoundedRect(QRectF(17, 20, 10, 2.2), 1, 1);
  p.setBrush(QColor(0xff, 0xd3, 0x4d));
  p.drawRoundedRect(QRectF(17, 14, 11, 2.6), 1.2, 1.2);
  // A quaver on the left.
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(5, 19.5, 7.5, 5.8));
  p.drawRect(QRectF(10.8, 6, 1.8, 16.5));
  QPainterPath flag;
  flag.moveTo(12.6, 6);
  flag.cubicTo(16, 8.5, 17, 10.5, 14.5, 14.5);
  flag.cubicTo(15, 11.5, 14, 10.5, 12.6, 10);
  flag.closeSubpath();
  p.drawPath(flag);
  return pm;
}

}  // namespace

QIcon TrayIcon::programIcon() {
  QIcon icon;
  for (int side : {16, 22, 24, 32, 48, 64}) icon.addPixmap(drawIcon(side));
  return icon;
}

TrayIcon::TrayIcon(const General &g, std::function<void(int)> doIt, std::function<void()> bringToFront,
                 QObject *parent)
    : QObject(parent), g_(g), doIt_(std::move(doIt)), bringToFront_(std::move(bringToFront)) {
  menu_ = std::make_unique<QMenu>();
  menu_->setObjectName(QStringLiteral("menu"));
  for (int i = 1; i <= 12; ++i) {
    QAction *a = menu_->addAction(QString());
    a->setObjectName(QStringLiteral("mnu%1").arg(i));
    connect(a, &QAction::triggered, this, [this, i] { runMenuItem(i); });
    menuActions_[static_cast<size_t>(i - 1)] = a;
    // Separators between the groups: window, transport, playlist, exit.
    if (i == 1 || i == 6 || i == 8 || i == 11) menu_->addSeparator();
  }
}

TrayIcon::~TrayIcon() { removeIcon(); }

void TrayIcon::showIcon() {
  reloadMenu();
  if (icon_) return;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    static bool warned = false;
    if (!warned) {
      warned = true;
      std::fputs("cantorel: this desktop has no system tray; the tray icon is not shown\n", stderr);
    }
    return;
  }
  icon_ = new QSystemTrayIcon(programIcon(), this);
  icon_->setToolTip(tip_);
  icon_->setContextMenu(menu_.get());
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
    if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick) activate();
  });
  icon_->show();
}

void TrayIcon::removeIcon() {
  if (!icon_) return;
  icon_->hide();
  delete icon_;
  icon_ = nullptr;
}

bool TrayIcon::iconShown() const { return icon_ && icon_->isVisible(); }

void TrayIcon::reloadMenu() {
  for (int i = 1; i <= 12; ++i)
    menuActions_[static_cast<size_t>(i - 1)]->setText(g_.message(msg::TrayFirst + i - 1));
}

void TrayIcon::setTip(const QString &title) {
  const QString tip = TrayTipText(title);
  if (tip == tip_) return;
  tip_ = tip;
  if (icon_) icon_->setToolTip(tip_);
}

void TrayIcon::activate() {
  if (PreferencesDialog::current() && PreferencesDialog::current()->isVisible()) return;
  if (bringToFront_) bringToFront_();
}

void TrayIcon::popup(const QPoint &globalPos) { menu_->popup(globalPos); }

void TrayIcon::runMenuItem(int index) {
  if (index < 1 || index > 12 || !doIt_) return;
  doIt_(kTrayCommandCodes[static_cast<size_t>(index - 1)]);
}

}  // namespace cantorel
