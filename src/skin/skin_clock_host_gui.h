#pragma once

#include <QWidget>

#include "playback/clock_schedule.h"
#include "skin/skin_window.h"

namespace cantorel {

// What the clock timer shows, put on the skin: labels, the clock and title
// displays, and the volume knob.
class SkinClockHost : public ClockScheduleHost {
 public:
  void attach(SkinWindow *skin, QWidget *window) {
    skin_ = skin;
    window_ = window;
  }
  void setLabel(int number, const QString &text) override {
    if (skin_) skin_->setLabelText(number, text);
  }
  void SetDD(int display, const QString &text) override {
    if (skin_) skin_->SetDD(display, text);
  }
  void hideMainWindow() override {
    if (window_) window_->hide();
  }
  void setVolumeSlider(double value) override {
    if (!skin_) return;
    skin_->PlaceSlider(2, value);
    skin_->PlaceSlider(4, value);
  }

 private:
  SkinWindow *skin_ = nullptr;
  QWidget *window_ = nullptr;
};

}  // namespace cantorel
