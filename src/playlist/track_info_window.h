#pragma once

#include <QWidget>

#include <functional>

#include "playlist/mp3_info.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace cantorel {

struct General;
struct MainState;
class DesktopServices;

// The file information window: shows the tag of the playing file, follows
// it every two seconds until "Edit" is ticked, and saves an edited tag.
class TrackInfoWindow : public QWidget {
  Q_OBJECT
 public:
  // What saving needs from the player: releasing the playing file (giving the
  // play position) and taking it up again at that position.
  struct PlayerAccess {
    std::function<double()> release;
    std::function<void(const QString &path, double position, bool play)> resume;
  };

  TrackInfoWindow(General &g, MainState &st, DesktopServices &desktop, PlayerAccess player,
          QWidget *parent = nullptr);

  // Fills the controls from the shared tag record and the playing file.
  void showPlayingTag();
  // The cover of the shown file, found from its artist and album.
  void showCover();
  // Writes the tag in the controls into the shown file.
  void saveTag();
  // Every two seconds: follows the playing file unless "Edit" is ticked.
  void followPlayingFile();
  // Puts the window (not yet shown) beside `main`, on main's screen.
  void moveBeside(const QWidget &main);
  // The file whose tag is shown (in full; `fileNameValue` may shorten it).
  const QString &filePath() const { return path_; }

  // The controls. The path is shown in one line, shortened in the middle
  // when it does not fit, and whole in its tip.
  QLabel *fileNameValue;
  QLineEdit *titleEdit, *artistEdit, *albumEdit, *yearEdit, *trackEdit, *commentEdit;
  QComboBox *genreCombo;
  QLabel *coverLabel;
  QCheckBox *editCheck;
  QPushButton *okButton, *currentButton, *saveButton;
  QLabel *titleLabel, *artistLabel, *albumLabel, *yearLabel, *genreLabel, *commentLabel, *trackLabel,
      *fileNameLabel, *hintLabel;
  QTimer *followTimer;

 protected:
  void resizeEvent(QResizeEvent *e) override;

 private:
  void setCaptions();
  void showPath();

  General &g_;
  MainState &st_;
  DesktopServices &desktop_;
  PlayerAccess player_;
  QString path_;
};

// Where a window of `size` goes beside `owner` (both in global pixels): to
// its right when that fits in `available`, else to its left, else kept inside
// `available`; its top is level with the owner's.
QPoint PlaceBeside(const QRect &owner, const QSize &size, const QRect &available);

}  // namespace cantorel
