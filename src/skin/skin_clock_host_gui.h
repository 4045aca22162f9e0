#pragma once

#include <functional>

#include "playback/clock_schedule.h"
#include "skin/skin_window.h"

namespace cantorel {

// What the clock timer shows, put on the skin: labels, the clock and title
// displays, and the volume knob.
class SkinClockHost : public ClockScheduleHost {
 public:
  void attach(SkinWindow *skin) { skin_ = skin; }
  void setLabel(int number, const QString &text) override {
    if (skin_) skin_->setLabelText(number, text);
  }
  void SetDD(int display, const QString &text) override {
    if (skin_) skin_->SetDD(display, text);
  }
  void hideMainWindow() override {
    if (skin_) skin_->hideWindow();
  }
  // The player's volume now (-1 before one is asked for).
  std::function<double()> readVolume;
  double ReadVolume() override { return readVolume ? readVolume() : -1; }
  void setVolumeSlider(double value) override {
    if (skin_) skin_->showVolume(value);
  }

 private:
  SkinWindow *skin_ = nullptr;
};

}  // namespace cantorel
