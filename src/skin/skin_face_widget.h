#pragma once

#include <QPixmap>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <array>

#include "core/main_state.h"
#include "skin/skin_picture_gui.h"
#include "skin/skin_tables.h"

class QLabel;
class QListWidget;

namespace cantorel {

// The skin drawn on the main window: background, pressed buttons and hover
// frames, slider knobs and bars, lights and digit displays, with the labels,
// the playlist box, the lyric box, the lyric line label and the cover placed
// on top. It turns the mouse into commands, slider moves and window drags;
// what those mean is for its owner.
class SkinFace : public QWidget {
  Q_OBJECT
 public:
  SkinFace(SkinTables &t, MainState &st, QWidget *parent);

  // After a load: the new pictures, then every element placed from the tables.
  void setPictures(SkinPictures p);
  void applyLayout();
  // Boxes owned elsewhere that the skin places (the playlist box).
  void adoptPlaylistBox(QListWidget *box);
  QListWidget *lyricBox() const { return lyricBox_; }
  QLabel *lyricLine() const { return lyricLine_; }
  QLabel *cover() const { return cover_; }
  // The picture in the skin's cover area; a null one leaves the skin's own.
  void setCoverPicture(const QPixmap &picture);
  // A tip for display n that replaces the skin's (empty: the skin's again),
  // for a display that shows something else than the skin says.
  void setDisplayTip(int n, const QString &tip);
  QLabel *label(int n) const;
  const SkinPictures &pictures() const { return pics_; }

  // The glyph text of digit display n (already formatted).
  void setDisplayText(int n, const QString &text, bool clock24);
  QString displayText(int n) const { return displays_[static_cast<size_t>(qBound(0, n, 6))]; }
  // Light n shown or not.
  void setLight(int n, bool on);
  bool lightShown(int n) const { return lights_[static_cast<size_t>(qBound(0, n, 18))]; }
  // Slider n's knob or bar for `value` (PlaceSlider): stores the value and
  // redraws, at once when `now` (no event posted for a later repaint: the
  // playback timer moves the position knob several times a second).
  void placeSlider(int n, double value, bool now = false);
  // Shows or hides the hot areas (keys Escape, "`" and "~").
  void setHotAreasShown(int mode) {
    hotAreas_ = mode;
    update();
  }

  int pressedButton() const { return tmpBtn_; }
  int hoverButton() const { return st_.LastIndex; }

 Q_SIGNALS:
  void command(int code);                        // a button was released
  void sliderGrabbed(int n);                     // a knob was pressed
  void sliderMoved(int n, double value);         // SliderChanged
  void sliderReleased(int n, double lastValue);  // knob let go; the value of the last knob move
  void sliderDoubleClicked(int n);
  void labelClicked(int n);
  void windowDropped();      // the end of a window drag the window made itself
  void systemMoveStarted();  // the window manager moves the window from here
  void coverDoubleClicked();
  void contextMenuRequested(const QPoint &globalPos);

 protected:
  void paintEvent(QPaintEvent *) override;
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void mouseReleaseEvent(QMouseEvent *e) override;
  void mouseDoubleClickEvent(QMouseEvent *e) override;
  void leaveEvent(QEvent *) override;
  bool event(QEvent *e) override;
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  int buttonAt(const QPoint &p) const;
  int knobAt(const QPoint &p) const;
  void buttonDown(int n);
  void releaseButton(int n);
  void hoverTo(int n);
  void placeBox(QWidget *w, const SkinBox &b, bool withFont);
  void drawDisplay(QPainter &p, int n);
  // Where display n's glyphs are drawn now (empty when nowhere).
  QRect displayRect(int n) const;
  void drawLight(QPainter &p, const SkinLight &l);

  SkinTables &t_;
  MainState &st_;
  SkinPictures pics_;
  std::array<QLabel *, SkinTables::kLabels + 1> labels_{};
  QPointer<QListWidget> playlistBox_;
  QListWidget *lyricBox_ = nullptr;
  QLabel *lyricLine_ = nullptr;
  QLabel *cover_ = nullptr;
  std::array<QString, SkinTables::kDisplays + 1> displays_;
  std::array<bool, SkinTables::kDisplays + 1> clock24_{};
  std::array<bool, SkinTables::kLights + 1> lights_{};
  int tmpBtn_ = 0;    // button whose pressed image is shown (TmpBtn), 0 none
  int framed_ = 0;    // button with the hover frame
  int pressed_ = 0;   // button that got the press
  int hotAreas_ = 0;  // 0 hidden, 1 filled, 2 framed
  int grabX_ = 0, grabY_ = 0, grabLeft_ = 0, grabTop_ = 0;
  double lastSliderValue_ = 0.0;
  QPoint pressPoint_;           // where a drag of the bare window began (on the screen)
  bool trySystemMove_ = false;  // the window manager not asked yet
  std::array<QString, SkinTables::kDisplays + 1> displayTips_;
};

}  // namespace cantorel
