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
class frmInfo : public QWidget {
  Q_OBJECT
 public:
  // What saving needs from the player: releasing the playing file (giving the
  // play position) and taking it up again at that position.
  struct PlayerAccess {
    std::function<double()> release;
    std::function<void(const QString &path, double position, bool play)> resume;
  };

  frmInfo(General &g, MainState &st, DesktopServices &desktop, PlayerAccess player,
          QWidget *parent = nullptr);

  // Fills the controls from the shared tag record and the playing file.
  void GetInfo();
  // The cover of the shown file, found from its artist and album.
  void SetCover();
  // Writes the tag in the controls into the file named in txtFileName.
  void SaveIDTag();
  // Every two seconds: follows the playing file unless "Edit" is ticked.
  void Timer1_Timer();

  // Controls, named as the window's parts are known.
  QLineEdit *txtFileName, *txtTitle, *txtArtist, *txtAlbum, *txtYear, *txtTrack, *txtComment;
  QComboBox *cboGenre;
  QLabel *imgCover;
  QCheckBox *cbEdit;
  QPushButton *cmdOK, *cmdCurrent, *cmdSave;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  QTimer *Timer1;

 private:
  void setCaptions();

  General &g_;
  MainState &st_;
  DesktopServices &desktop_;
  PlayerAccess player_;
};

}  // namespace cantorel
