#pragma once

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "playlist/track_info_window.h"
#include "playlist/playlist.h"

class QWidget;

namespace cantorel {

struct General;
struct MainState;
class Settings;
class Folders;
class DesktopServices;
class CoverWindow;
class TrackInfoWindow;

// The file dialogs the playlist commands use. The program uses Qt's; tests
// answer with paths of their own. An empty result means cancelled.
class PlaylistDialogs {
 public:
  virtual ~PlaylistDialogs() = default;
  // `filter` uses "Name|*.a;*.b|Name|*.c" pairs; `filterIndex` is 1-based
  // and is updated to the one chosen.
  virtual QString openFile(const QString &title, const QString &filter, const QString &folder,
                           int *filterIndex) = 0;
  virtual QString saveFile(const QString &title, const QString &filter, const QString &folder) = 0;
  virtual QString folder(const QString &prompt) = 0;
};

// Qt's dialogs, owned by `owner`.
std::unique_ptr<PlaylistDialogs> makeQtPlaylistDialogs(QWidget *owner);

// The playlist commands of the main window and the cover display: dialogs,
// adding, clearing, the cover window and the file information window.
class PlaylistCommands {
 public:
  PlaylistCommands(QWidget *owner, General &g, MainState &st, Settings &settings, const Folders &folders,
                   DesktopServices &desktop, Playlist &pl);
  ~PlaylistCommands();

  void setDialogs(std::unique_ptr<PlaylistDialogs> d) { dialogs_ = std::move(d); }
  // Called after every change of the lists (the list box and count label).
  void onChanged(std::function<void()> fn) { changed_ = std::move(fn); }
  // Starts playback of entry `TNum` (playback's business).
  void onPlay(std::function<void()> fn) { play_ = std::move(fn); }

  EntryTitleFn entryTitle() const;

  bool PlRead(const QString &file);
  void PlLoad();
  void PlSave();
  // True when a file was chosen (AddPath, AddName, AddTitle are set).
  bool OpenMediaFile();
  void PlAddOpened();
  void AddFromDir();
  void PlClear();
  // Moving and removing work on the list box's selection.
  void onSelection(std::function<int()> get, std::function<void(int)> set) {
    selected_ = std::move(get);
    select_ = std::move(set);
  }
  void PlMoveEntry(int delta);
  void PlRemoveSelected();
  // Dropped files are added one by one, as if opened.
  void dropFiles(const QStringList &paths);

  // Covers. The chosen picture goes to the skin's cover area (the function
  // given here; a null picture clears it) and to the cover window, which
  // shows it when the user opens it.
  void onCover(std::function<void(const QPixmap &)> fn) { cover_ = std::move(fn); }
  void LoadCover(const QString &x);
  void LoadTagCover(const QString &folder, const QString &artist, const QString &album);
  void SelectCover();
  void toggleCoverWindow();
  CoverWindow *coverWindow();
  // Whether the preferences window is open (covers are then left alone).
  void setPrefsOpen(std::function<bool()> fn) { prefsOpen_ = std::move(fn); }

  // The file information window (not modal); saving a tag releases the
  // playing file through `access` and takes it up again.
  void setPlayerAccess(TrackInfoWindow::PlayerAccess access) { playerAccess_ = std::move(access); }
  void ShowInfo();
  TrackInfoWindow *infoWindow() const;

 private:
  void changed();
  void rememberFolder(const QString &folder);

  QWidget *owner_;
  General &g_;
  MainState &st_;
  Settings &settings_;
  const Folders &folders_;
  DesktopServices &desktop_;
  Playlist &pl_;
  std::unique_ptr<PlaylistDialogs> dialogs_;
  std::function<void()> changed_;
  std::function<void()> play_;
  std::function<void(const QPixmap &)> cover_;
  TrackInfoWindow::PlayerAccess playerAccess_;
  std::function<bool()> prefsOpen_;
  std::function<int()> selected_;
  std::function<void(int)> select_;
  int mediaFilterIndex_ = 0;
  QPointer<CoverWindow> coverWindow_;
  QPointer<TrackInfoWindow> info_;
};

}  // namespace cantorel
