#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace cantorel {

// The cover window: one picture, kept square and centred as the window is
// resized.
class CoverWindow : public QWidget {
  Q_OBJECT
 public:
  // `caption` is language text 142; `lastCover` is shown when it exists.
  CoverWindow(const QString &caption, const QString &lastCover, QWidget *parent = nullptr);

  // Shows the picture; false (and the old picture stays) when it cannot be
  // decoded.
  bool setPicture(const QString &file);
  void setPicture(const QPixmap &pic);
  void clearPicture();
  bool hasPicture() const { return !picture_.isNull(); }

  QLabel *pictureLabel;

 protected:
  void resizeEvent(QResizeEvent *e) override;

 private:
  void place();
  QPixmap picture_;
};

}  // namespace cantorel
