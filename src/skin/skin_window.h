#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QVariant>

#include <array>
#include <functional>

#include "core/general.h"
#include "core/main_state.h"
#include "skin/skin_reader.h"
#include "skin/skin_tables.h"

class QTimer;
class QWidget;

namespace cantorel {

class SkinFace;

// Puts a skin on the main window and runs what belongs to the window: loading
// and switching skins, the window's shape, opacity, stacking, snapping and
// sizes, the digit displays, the lights and the sliders. Commands from the
// skin's buttons go to the dispatcher given with setCommandHandler; until one
// is given, the window's own commands (close, hide, sizes, skins, web links)
// are run here.
class SkinWindow : public QObject {
  Q_OBJECT
 public:
  SkinWindow(QWidget *window, General &g, MainState &st, QObject *parent = nullptr);
  ~SkinWindow() override;

  SkinTables &tables() { return t_; }
  SkinFace *face() const { return face_; }

  // Hooks of the owner.
  QStringList appFolders;  // the application folder(s): shipped skins
  std::function<void(const QString &)> showMessage;
  std::function<void(bool)> enableTimer1;
  std::function<bool(const QString &)> openUrl;
  // Asks for a file (title, filter as "Name (*.x)", folder, file name); empty when cancelled.
  std::function<QString(const QString &, const QString &, const QString &, const QString &)> openFileDialog;
  void setCommandHandler(std::function<void(int)> handler) { doIt_ = std::move(handler); }

  // LoadSkin: reads the control file and applies it. Returns whether it loaded.
  bool LoadSkin(const QString &name, bool reuseImportFolder);
  // Lets the user pick a skin and loads it.
  void SelectSkin();
  // The commands the window runs itself when no dispatcher is set.
  bool windowCommand(int code);
  void runCommand(int code);

  // A character typed on the window: Escape, "`" and "~" hide, fill or frame
  // the hot areas; other characters run the first of the skin's buttons 1 to
  // 40 whose key is the character in upper case (Space: whose key field is
  // blank).
  // A Space no button answers pauses or resumes. Returns whether the key was
  // taken (every character is, once a skin is loaded).
  bool HandleKey(QChar c);

  void ToggleExpand();
  void ToggleMini();
  void SnapWindow();
  void SetTopMost(bool onTop);
  void SetTransparency(int level);
  // The work area of the window's screen, in twips.
  QRect GetWorkArea() const;

  // Digit display n shows value (SetDD).
  void SetDD(int n, const QVariant &value);
  // Lights from the state flags.
  void ShowLights();
  // Every digit display again, and the clock label.
  void RefreshDisplays();
  // `now`: drawn at once (see SkinFace::placeSlider).
  void PlaceSlider(int n, double value, bool now = false);
  // The volume on the window: its knob (slider 2), its bar (slider 4) and
  // the readout (label 18).
  void showVolume(double value);
  // Hides the window to the tray where the desktop has one; without a tray
  // it could not be brought back, so it is minimised instead.
  void hideWindow();
  void SliderChanged(int n, double value);

  // The region last given to the window (empty with none).
  const QRegion &windowRegion() const { return region_; }
  bool hasRegion() const { return hasRegion_; }
  // Text of label n (empty when the skin has none).
  QString labelText(int n) const;
  void setLabelText(int n, const QString &text);

 Q_SIGNALS:
  // Slider moves for the transport: 2 volume, 3 balance, 5 rate.
  void sliderChanged(int n, double value);
  // The position knob was let go: play from this second.
  void seekRequested(int seconds);
  // Right click on the bare window: the tray menu at this screen position.
  void contextMenuRequested(const QPoint &globalPos);
  void skinLoaded();

 protected:
  bool eventFilter(QObject *o, QEvent *e) override;

 private:
  void applyShape(const QRegion &region, bool has);
  void resizeTwips(QPoint sizeTwips);

  QWidget *window_;
  General &g_;
  MainState &st_;
  SkinTables t_;
  SkinFace *face_ = nullptr;
  QRegion region_;
  bool hasRegion_ = false;
  std::function<void(int)> doIt_;
  // What each label was last given, so that a label a later skin declares
  // starts with the current text.
  std::array<QString, SkinTables::kLabels + 1> labelTexts_;
  // A move by the window manager (startSystemMove) sends no release to the
  // window: the snap follows once the window has stopped moving.
  QTimer *snapTimer_ = nullptr;
  bool systemMove_ = false;
};

}  // namespace cantorel
