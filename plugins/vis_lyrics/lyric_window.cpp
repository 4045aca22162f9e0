#include "lyric_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

LyricWindow::LyricWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("LyricWindow"));
  setWindowTitle(QStringLiteral("Lyrics"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setCursor(Qt::BlankCursor);
  setAutoFillBackground(true);
  label_ = new QLabel(this);
  label_->setObjectName(QStringLiteral("LyricLine"));
  label_->setTextFormat(Qt::PlainText);  // lyric text is never markup
  label_->setAlignment(Qt::AlignCenter);
  label_->setWordWrap(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 40, 40, 40);
  layout->addWidget(label_);
}

void LyricWindow::setLook(const QColor &fore, const QColor &back, const QString &family, bool bold,
                          double points) {
  QPalette p = palette();
  p.setColor(QPalette::Window, back);
  p.setColor(QPalette::WindowText, fore);
  setPalette(p);
  label_->setPalette(p);
  family_ = family;
  bold_ = bold;
  points_ = points > 0 ? points : 12;
  fitFont();
}

void LyricWindow::setLine(const QString &text) {
  label_->setText(text);
}

QString LyricWindow::line() const {
  return label_->text();
}

void LyricWindow::showOn(QScreen *screen) {
  if (screen) setGeometry(screen->geometry());
  showFullScreen();
  raise();
  activateWindow();
}

void LyricWindow::fitFont() {
  // Readable across a room: a twelfth of the screen height, and never
  // smaller than three times what the skin asked for.
  QFont f(family_.isEmpty() ? font().family() : family_);
  f.setBold(bold_);
  const int pixels = std::max(static_cast<int>(points_ * 3 * 96 / 72), height() / 12);
  f.setPixelSize(std::max(12, pixels));
  label_->setFont(f);
}

void LyricWindow::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void LyricWindow::mousePressEvent(QMouseEvent *) {
  close();
}

void LyricWindow::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  fitFont();
}
