#pragma once

#include <QWidget>

class QLabel;

// The full-screen lyric window: one line at a time, large and centred, in
// the colours and font of the player's lyric line. Escape, or a click,
// closes it.
class LyricWindow : public QWidget {
  Q_OBJECT
 public:
  LyricWindow();

  // Font family, weight and the size in points the skin gave the line; the
  // line is drawn much larger, scaled to the screen.
  void setLook(const QColor &fore, const QColor &back, const QString &family, bool bold, double points);
  void setLine(const QString &text);
  QString line() const;
  // Shows the window over the whole of `screen`.
  void showOn(QScreen *screen);

 protected:
  void keyPressEvent(QKeyEvent *e) override;
  void mousePressEvent(QMouseEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;

 private:
  void fitFont();

  QLabel *label_ = nullptr;
  QString family_;
  bool bold_ = false;
  double points_ = 12;
};
