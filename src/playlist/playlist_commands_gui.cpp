#include "playlist/playlist_commands_gui.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/general.h"
#include "core/main_state.h"
#include "core/settings.h"
#include "platform/desktop_services.h"
#include "platform/folders.h"
#include "playlist/cover.h"
#include "playlist/cover_window.h"
#include "playlist/display_title.h"
#include "playlist/paths.h"
#include "playlist/playlist_add.h"
#include "playlist/playlist_file.h"
#include "playlist/track_info_window.h"
#include "plugins/plugin_host.h"

namespace cantorel {

namespace {

// "Name|*.a;*.b|Other|*.c" as Qt's "Name (*.a *.b);;Other (*.c)".
QStringList qtFilters(const QString &filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QLatin1String(" (") + patterns + QLatin1Char(')');
  }
  return out;
}

class QtPlaylistDialogs : public PlaylistDialogs {
 public:
  explicit QtPlaylistDialogs(QWidget *owner) : owner_(owner) {}
  QString openFile(const QString &title, const QString &filter, const QString &folder,
                   int *filterIndex) override {
    const QStringList filters = qtFilters(filter);
    QString selected;
    if (filterIndex && *filterIndex >= 1 && *filterIndex <= filters.size())
      selected = filters[*filterIndex - 1];
    const QString f =
        QFileDialog::getOpenFileName(owner_, title, folder, filters.join(QLatin1String(";;")), &selected);
    if (filterIndex && !f.isEmpty()) *filterIndex = static_cast<int>(filters.indexOf(selected)) + 1;
    return f;
  }
  QString saveFile(const QString &title, const QString &filter, const QString &folder) override {
    return QFileDialog::getSaveFileName(owner_, title, folder, qtFilters(filter).join(QLatin1String(";;")));
  }
  QString folder(const QString &prompt) override {
    return AddBackslash(QFileDialog::getExistingDirectory(owner_, prompt));
  }

 private:
  QPointer<QWidget> owner_;
};

}  // namespace

std::unique_ptr<PlaylistDialogs> makeQtPlaylistDialogs(QWidget *owner) {
  return std::make_unique<QtPlaylistDialogs>(owner);
}

PlaylistCommands::PlaylistCommands(QWidget *owner, General &g, MainState &st, Settings &settings,
                                   const Folders &folders, DesktopServices &desktop, Playlist &pl)
    : owner_(owner),
      g_(g),
      st_(st),
      settings_(settings),
      folders_(folders),
      desktop_(desktop),
      pl_(pl),
      dialogs_(makeQtPlaylistDialogs(owner)) {}

PlaylistCommands::~PlaylistCommands() {
  delete coverWindow_.data();
  delete info_.data();
}

EntryTitleFn PlaylistCommands::entryTitle() const {
  const TitleOptions opt = TitleOptions::from(g_);
  return [opt](const QString &path) { return TitleFromFile(path, opt); };
}

void PlaylistCommands::changed() {
  st_.PLCover = pl_.PLCover;
  if (changed_) changed_();
}

void PlaylistCommands::rememberFolder(const QString &folder) {
  g_.Path = folder;
  settings_.setText(key::Path, folder);
}

bool PlaylistCommands::PlRead(const QString &file) {
  const bool ok = cantorel::PlRead(file, pl_, entryTitle(), g_.FriendlyNames);
  changed();
  return ok;
}

void PlaylistCommands::PlLoad() {
  int index = 1;
  const QString f = dialogs_->openFile(QStringLiteral("Load Playlist"),
                                       QStringLiteral("MP3 Playlists (*.M3U)|*.M3U;*.m3u;*.m3u8|"
                                                      "Playlists (*.PLS)|*.PLS;*.pls"),
                                       g_.Path, &index);
  if (f.isEmpty()) return;
  rememberFolder(DirPart(f));
  if (g_.ClearPLFirst == 1) PlClear();
  PlRead(f);
  if (g_.AutoPlay == 1) {
    st_.TNum = 1;
    if (play_) play_();
  }
}

void PlaylistCommands::PlSave() {
  QString f = dialogs_->saveFile(QStringLiteral("Save Playlist"),
                                 QStringLiteral("MP3 Playlists (*.M3U)|*.M3U;*.m3u"), g_.Path);
  if (f.isEmpty()) return;
  if (!FilePart(f).contains(QLatin1Char('.'))) f += QLatin1String(".m3u");
  rememberFolder(DirPart(f));
  if (!WritePL(f, pl_)) {
    desktop_.showMessage(QStringLiteral("The playlist could not be saved."));
    return;
  }
  pl_.Name = FriendlyName(f, g_.FriendlyNames);
  changed();
}

bool PlaylistCommands::OpenMediaFile() {
  st_.AddName.clear();
  // One entry with every type the plug-ins play (and "All files"), opened in
  // the folder used last, else the user's music folder.
  int index = mediaFilterIndex_ > 0 ? mediaFilterIndex_ : 1;
  QString folder = g_.Path;
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  const QString f = dialogs_->openFile(QStringLiteral("Open Media file"),
                                       PluginHost::InputFilter(g_.InputPluginTable), folder, &index);
  if (f.isEmpty()) return false;
  mediaFilterIndex_ = index;
  st_.AddName = FilePart(f);
  st_.AddTitle = FriendlyName(st_.AddName, g_.FriendlyNames);
  st_.AddPath = f;
  rememberFolder(f.left(f.size() - st_.AddName.size()));
  return true;
}

void PlaylistCommands::PlAddOpened() {
  cantorel::PlAddOpened(
      st_.AddPath, st_.AddName, pl_, g_.ValidExt, entryTitle(), st_.TNum,
      [] { QCoreApplication::processEvents(); }, g_.FriendlyNames);
  changed();
}

void PlaylistCommands::AddFromDir() {
  const QString d = dialogs_->folder(QStringLiteral("Select Directory containing Media Files:"));
  if (d.isEmpty()) return;
  PlAddTree(d, pl_, g_.ValidExt, entryTitle(), [] { QCoreApplication::processEvents(); });
  changed();
}

void PlaylistCommands::PlClear() {
  pl_.PlClear();
  st_.TNum = 1;
  if (coverWindow_) {
    coverWindow_->clearPicture();
    coverWindow_->hide();
  }
  if (cover_) cover_(QPixmap());
  st_.LastCover.clear();
  changed();
}

void PlaylistCommands::PlMoveEntry(int delta) {
  const int from = selected_ ? selected_() : -1;
  const int to = pl_.PlMoveEntry(from, delta);
  if (to == from) return;
  changed();
  if (select_) select_(to);
}

void PlaylistCommands::PlRemoveSelected() {
  const int i = pl_.PlRemove(selected_ ? selected_() : -1);
  changed();
  if (select_) select_(i);
}

void PlaylistCommands::dropFiles(const QStringList &paths) {
  for (const QString &p : paths) {
    st_.AddName = p;
    st_.AddPath = p;
    st_.AddTitle = FriendlyName(p, g_.FriendlyNames);
    PlAddOpened();
  }
}

CoverWindow *PlaylistCommands::coverWindow() {
  if (!coverWindow_) coverWindow_ = new CoverWindow(g_.message(142), st_.LastCover, owner_);
  return coverWindow_;
}

void PlaylistCommands::LoadCover(const QString &x) {
  const CoverChoice c = ChooseCover(x, st_.LastCover, prefsOpen_ && prefsOpen_());
  if (c.action == CoverChoice::Keep) return;
  if (c.action == CoverChoice::Clear) {
    if (coverWindow_) {
      coverWindow_->clearPicture();
      coverWindow_->hide();
    }
    if (cover_) cover_(QPixmap());
    st_.LastCover.clear();
    return;
  }
  // A picture that cannot be decoded leaves the old one.
  const QPixmap pic(c.File);
  if (pic.isNull()) return;
  if (cover_) cover_(pic);
  coverWindow()->setPicture(pic);
  st_.LastCover = c.File;
}

void PlaylistCommands::LoadTagCover(const QString &folder, const QString &artist, const QString &album) {
  QString fallback = folders_.findData(QStringLiteral("nocover.bmp"));
  if (fallback.isEmpty()) fallback = folders_.installDataDir() + QLatin1String("/nocover.bmp");
  LoadCover(TagCoverOrFallback(folder, artist, album, st_.PLCover, fallback));
}

void PlaylistCommands::SelectCover() {
  int index = 1;
  // Opened beside the song that plays.
  const QString f = dialogs_->openFile(QStringLiteral("Select Cover"),
                                       QStringLiteral("Pictures|*.jpg;*.jpeg;*.png;*.gif;*.bmp|All files|*"),
                                       st_.SongPath.isEmpty() ? g_.Path : DirPart(st_.SongPath), &index);
  if (!f.isEmpty()) LoadCover(f);
}

void PlaylistCommands::toggleCoverWindow() {
  CoverWindow *w = coverWindow();
  w->setVisible(!w->isVisible());
}

TrackInfoWindow *PlaylistCommands::infoWindow() const {
  return info_.data();
}

void PlaylistCommands::ShowInfo() {
  if (!info_) {
    info_ = new TrackInfoWindow(g_, st_, desktop_, playerAccess_, owner_);
  }
  if (!info_->isVisible() && owner_) info_->moveBeside(*owner_->window());
  info_->show();
  info_->raise();
}

}  // namespace cantorel
