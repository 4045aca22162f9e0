#pragma once

#include <QDialog>
#include <QPixmap>
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
  std::function<QPixmap()> skinPreview;                   // the main window as drawn now
  std::function<void()> reloadTray;                       // the tray menu takes the new texts
  std::function<void(const QString &)> showMessage;       // message box with OK
  // Folder picker (prompt, start folder) and open-file dialog (title, filter,
  // folder); both give an empty text when cancelled.
  std::function<QString(const QString &, const QString &)> browseForFolder;
  std::function<QString(const QString &, const QString &, const QString &)> openFile;
  std::function<void(const QString &)> rememberPath;      // the dialog folder, stored at once
  PluginHost *plugins = nullptr;
};

// The modal preferences window. Each control writes its setting into
// `General` the moment it changes; there is no cancel.
class PreferencesDialog : public QDialog {
  Q_OBJECT
 public:
  PreferencesDialog(General &g, PrefsHost host, QWidget *parent = nullptr);
  ~PreferencesDialog() override;

  // The open preferences window, if any.
  static PreferencesDialog *current();

  // Re-applies every caption from the message table.
  void retranslate();
  // Enables the lyric-upload controls from `submitLyricCheck` and `submitAsRadios`.
  void updateSubmitControls();
  // Shows document 0..3 in the viewer.
  void showDocument(int index);
  // Picks a language by name, as a choice in `languageCombo` does.
  void chooseLanguage(const QString &name);
  // The schedule editor's buttons.
  void addScheduleEntry();
  void deleteScheduleEntry();
  // Applies the visualization plug-in chosen in `visPluginList`.
  void applyVisPlugin();

 protected:
  void showEvent(QShowEvent *e) override;
  void done(int r) override;

 private:
  void build();
  void loadSettings();
  void refreshFromMain();
  // The Skin tab's description and picture from the main window.
  void refreshSkin();
  void finish();
  void copyScheduleToMain();
  void pickFolder(QLineEdit *box, QString General::*setting, const QString &prompt);
  QCheckBox *check(const char *name, qint16 General::*setting);
  void caption(QWidget *w, int msg);

  General &g_;
  PrefsHost host_;
  bool unloaded_ = false;
  std::function<void()> captions_;  // re-applies the control captions

 public:
  // The controls.
  QTabWidget *tabs = nullptr;
  // Group boxes.
  QGroupBox *skinGroup = nullptr, *extensionsGroup = nullptr, *startupGroup = nullptr,
            *shutdownGroup = nullptr, *continuousGroup = nullptr, *windowGroup = nullptr,
            *miscGroup = nullptr, *timerOptionsGroup = nullptr, *snoozeGroup = nullptr,
            *scheduleGroup = nullptr, *foldersGroup = nullptr;
  // Check boxes, each bound to one setting.
  QCheckBox *onTopCheck = nullptr, *snapCheck = nullptr, *savePositionCheck = nullptr,
            *startMinimizedCheck = nullptr, *clock24Check = nullptr, *clearPlaylistCheck = nullptr,
            *autoPlayCheck = nullptr, *scrollNameCheck = nullptr, *tagCoverCheck = nullptr,
            *friendlyNamesCheck = nullptr, *defaultPlayerCheck = nullptr, *askDefaultPlayerCheck = nullptr,
            *showAlbumCheck = nullptr, *showArtistCheck = nullptr, *scheduleEnabledCheck = nullptr,
            *minimizeOnSnoozeCheck = nullptr, *snoozeEnabledCheck = nullptr, *submitLyricCheck = nullptr,
            *onlineLyricCheck = nullptr;
  std::array<QRadioButton *, 4> documentRadios{};    // user guide, readme, skins, credits
  std::array<QRadioButton *, 3> startupRadios{};     // blank playlist, last playlist, file or folder
  std::array<QRadioButton *, 2> snoozeModeRadios{};  // after some minutes, at a time
  std::array<QRadioButton *, 2> submitAsRadios{};    // anonymous, with nick and password
  QLineEdit *startFileEdit = nullptr, *extensionsEdit = nullptr, *overlapEdit = nullptr,
            *snoozeTimeEdit = nullptr, *scheduleOnEdit = nullptr, *scheduleOffEdit = nullptr,
            *scheduleFileEdit = nullptr, *lyricFolderEdit = nullptr, *browserFolderEdit = nullptr,
            *skinFolderEdit = nullptr, *introTimeEdit = nullptr, *nickEdit = nullptr, *passwordEdit = nullptr;
  QComboBox *snoozeMinutesCombo = nullptr, *scheduleDayCombo = nullptr, *languageCombo = nullptr,
            *transparencyCombo = nullptr;
  QListWidget *scheduleEntryList = nullptr, *visPluginList = nullptr, *inputPluginList = nullptr;
  QPushButton *selectSkinButton = nullptr, *startFileButton = nullptr, *startFolderButton = nullptr,
              *scheduleAddButton = nullptr, *scheduleDeleteButton = nullptr, *lyricFolderButton = nullptr,
              *browserFolderButton = nullptr, *skinFolderButton = nullptr, *applyVisPluginButton = nullptr,
              *okButton = nullptr;
  QPlainTextEdit *documentView = nullptr;
  QLabel *skinPreviewLabel = nullptr;
  QLabel *skinInfoLabel = nullptr, *overlapLabel = nullptr, *snoozeMinutesLabel = nullptr,
         *scheduleDayLabel = nullptr, *scheduleOnLabel = nullptr, *scheduleOffLabel = nullptr,
         *scheduleFileLabel = nullptr, *scheduleListLabel = nullptr, *lyricFolderLabel = nullptr,
         *browserFolderLabel = nullptr, *skinFolderLabel = nullptr, *languageLabel = nullptr,
         *transparencyLabel = nullptr, *introTimeLabel = nullptr, *nickLabel = nullptr,
         *passwordLabel = nullptr, *visPluginLabel = nullptr, *inputPluginLabel = nullptr;
};

// Opens the preferences window modally unless it is already
// open; the main window leaves the always-on-top state first.
void ShowPreferences(General &g, PrefsHost host, QWidget *parent = nullptr);

}  // namespace cantorel
