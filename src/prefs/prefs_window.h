#pragma once

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

#include "core/general.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace cantorel {

class PluginHost;

// What the preferences window needs from the rest of the program. Every hook
// may be left empty; the window then skips that step.
struct PrefsHost {
  QStringList dataFolders;                                // language files and documents
  std::function<QStringList()> scheduleList;              // the main window's schedule
  std::function<void(const QStringList &)> setScheduleList;
  std::function<void(bool)> setOnTop;                     // always-on-top of the main window
  std::function<void()> applyTransparency;                // `Transparency` to the main window
  std::function<void()> selectSkin;                       // lets the user pick a skin
  std::function<QString()> skinInfo;                      // information text of the loaded skin
  std::function<void()> reloadTray;                       // the tray menu takes the new texts
  std::function<void(const QString &)> showMessage;       // message box with OK
  // Folder picker (prompt, start folder) and open-file dialog (title, filter,
  // folder); both give an empty text when cancelled.
  std::function<QString(const QString &, const QString &)> browseForFolder;
  std::function<QString(const QString &, const QString &, const QString &)> openFile;
  std::function<void(const QString &)> rememberPath;      // the dialog folder, stored at once
  PluginHost *plugins = nullptr;
};

// `Pref`: the modal preferences window. Each control writes its setting into
// `General` the moment it changes; there is no cancel.
class Pref : public QDialog {
  Q_OBJECT
 public:
  Pref(General &g, PrefsHost host, QWidget *parent = nullptr);
  ~Pref() override;

  // The open preferences window, if any.
  static Pref *current();

  // Re-applies every caption from the message table.
  void CambiaIdioma();
  // Enables the lyric-upload controls from `Check1` and `Option1`.
  void Establece_Opciones();
  // Shows document 0..3 in the viewer.
  void ShowDocument(int index);
  // Picks a language by name, as a choice in `Combo1` does.
  void chooseLanguage(const QString &name);
  // The schedule editor's buttons.
  void OOAddBtn_Click();
  void OODelBtn_Click();
  // Applies the visualization plug-in chosen in `List1`.
  void Command2_Click();

 protected:
  void showEvent(QShowEvent *e) override;
  void done(int r) override;

 private:
  void build();
  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void copyScheduleToMain();
  void pickFolder(QLineEdit *box, QString General::*setting, const QString &prompt);
  QCheckBox *check(const char *name, qint16 General::*setting);
  void caption(QWidget *w, int msg);

  General &g_;
  PrefsHost host_;
  bool unloaded_ = false;
  std::function<void()> captions_;  // re-applies the control captions

 public:
  // Controls, named as in the window's layout.
  QTabWidget *tabs = nullptr;
  QGroupBox *Frame1 = nullptr, *Frame2 = nullptr, *Frame3 = nullptr, *Frame4 = nullptr, *Frame5 = nullptr,
            *Frame6 = nullptr, *Frame7 = nullptr, *Frame8 = nullptr, *Frame9 = nullptr, *Frame10 = nullptr,
            *fraSample1 = nullptr;
  QCheckBox *cbOnTop = nullptr, *cbSnap = nullptr, *cbSaveWin = nullptr, *cbAutoEn = nullptr, *cbAutoPlay = nullptr,
            *cbClrPl = nullptr, *cbScrollName = nullptr, *cbSnoozeEn = nullptr, *cbTagCover = nullptr,
            *cbMinOnSnz = nullptr, *cbStartMin = nullptr, *cbFriendly = nullptr, *cbTimeFmt = nullptr,
            *cbAutoRegistry = nullptr, *cbAskForIt = nullptr, *cbArtist = nullptr, *cbAlbum = nullptr,
            *Check1 = nullptr;
  std::array<QRadioButton *, 2> SnzMd{};
  std::array<QRadioButton *, 3> StartOpt{};
  std::array<QRadioButton *, 2> Option1{};
  std::array<QRadioButton *, 4> optView{};
  QLineEdit *SnoozeAt = nullptr, *StartFile = nullptr, *SkinPath = nullptr, *Text1 = nullptr, *Text2 = nullptr,
            *TimeIntro = nullptr, *PBOverlap = nullptr, *ValExt = nullptr, *LyrDir = nullptr, *VisPLD = nullptr,
            *OOOnTime = nullptr, *OOOffTime = nullptr, *OOPreset = nullptr;
  QComboBox *Combo1 = nullptr, *trans = nullptr, *SnzMin = nullptr, *OODay = nullptr;
  QListWidget *OOList = nullptr, *List1 = nullptr, *List2 = nullptr;
  QPushButton *OOAddBtn = nullptr, *OODelBtn = nullptr, *Command1 = nullptr, *Command2 = nullptr, *cSelSkin = nullptr,
              *cSetSkinDir = nullptr, *cSetVPD = nullptr, *cSelDir = nullptr, *cSelFile = nullptr, *cmdOK = nullptr;
  QPlainTextEdit *txtMsg = nullptr;
  QLabel *SkinInf = nullptr, *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
         *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr,
         *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr,
         *Label15 = nullptr, *Label16 = nullptr, *Label17 = nullptr;
};

// `ShowPrefs`: opens the preferences window modally unless it is already
// open; the main window leaves the always-on-top state first.
void ShowPreferences(General &g, PrefsHost host, QWidget *parent = nullptr);

}  // namespace cantorel
