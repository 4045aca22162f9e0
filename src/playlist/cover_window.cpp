#include "playlist/cover_window.h"

#include <QLabel>
#include <QResizeEvent>

#include "core/text_codec.h"
#include "playlist/paths.h"

namespace cantorel {

CoverWindow::CoverWindow(const QString &caption, const QString &lastCover, QWidget *parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("CoverWindow"));
  setWindowTitle(caption.isEmpty() ? QStringLiteral("Now Playing") : plainWindowTitle(caption));
  setStyleSheet(QStringLiteral("#CoverWindow { background: black; }"));
  pictureLabel = new QLabel(this);
  pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
  pictureLabel->setAlignment(Qt::AlignCenter);
  resize(300, 300);
  if (FileExists(lastCover)) setPicture(lastCover);
}

bool CoverWindow::setPicture(const QString &file) {
  const QPixmap pic(file);
  if (pic.isNull()) return false;
  setPicture(pic);
  return true;
}

void CoverWindow::setPicture(const QPixmap &pic) {
  picture_ = pic;
  place();
}

void CoverWindow::clearPicture() {
  picture_ = QPixmap();
  pictureLabel->clear();
}

void CoverWindow::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  place();
}

void CoverWindow::place() {
  const int s = qMin(width(), height());
  pictureLabel->setGeometry((width() - s) / 2, (height() - s) / 2, s, s);
  if (!picture_.isNull())
    pictureLabel->setPixmap(picture_.scaled(s, s, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace cantorel
