#include "playlist/album_window.h"

#include <QLabel>
#include <QResizeEvent>

#include "core/text_codec.h"
#include "playlist/paths.h"

namespace cantorel {

frmAlbum::frmAlbum(const QString &caption, const QString &lastCover, QWidget *parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmAlbum"));
  setWindowTitle(caption.isEmpty() ? QStringLiteral("Now Playing") : plainWindowTitle(caption));
  setStyleSheet(QStringLiteral("#frmAlbum { background: black; }"));
  Cover = new QLabel(this);
  Cover->setObjectName(QStringLiteral("Cover"));
  Cover->setAlignment(Qt::AlignCenter);
  resize(300, 300);
  if (FileExists(lastCover)) setPicture(lastCover);
}

bool frmAlbum::setPicture(const QString &file) {
  const QPixmap pic(file);
  if (pic.isNull()) return false;
  setPicture(pic);
  return true;
}

void frmAlbum::setPicture(const QPixmap &pic) {
  picture_ = pic;
  place();
}

void frmAlbum::clearPicture() {
  picture_ = QPixmap();
  Cover->clear();
}

void frmAlbum::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  place();
}

void frmAlbum::place() {
  const int s = qMin(width(), height());
  Cover->setGeometry((width() - s) / 2, (height() - s) / 2, s, s);
  if (!picture_.isNull())
    Cover->setPixmap(picture_.scaled(s, s, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace cantorel
