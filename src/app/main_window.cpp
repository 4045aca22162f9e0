#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <functional>

#include "app/main_window_host.h"
#include "app/main_window_mpris.h"
#include "core/log.h"
#include "core/text_codec.h"
#include "desktop/association_question_gui.h"
#include "desktop/associations.h"
#include "desktop/news_file.h"
#include "desktop/news_message_window.h"
#include "platform/mpris_service_dbus.h"
#include "playback/transport.h"
#include "playlist/display_title.h"
#include "playlist/mp3_info.h"
#include "playlist/paths.h"
#include "playlist/playlist_file.h"
#include "plugins/plugin_host.h"
#include "desktop/tray_gui.h"
#include "prefs/language.h"
#include "skin/skin_face_widget.h"

namespace cantorel {

namespace {
class UserInputWatcher : public QObject {
 public:
  UserInputWatcher(std::function<void()> onInput, QObject *parent)
      : QObject(parent), onInput_(std::move(onInput)) {}

 protected:
  bool eventFilter(QObject *, QEvent *e) override {
    switch (e->type()) {
      case QEvent::MouseButtonRelease:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
      case QEvent::Drop:
        onInput_();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  std::function<void()> onInput_;
};
}  // namespace

MainWindow::MainWindow(General &g, Settings &settings, const Folders &folders, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      g_(g),
      settings_(settings),
      folders_(folders),
      lifecycle_(g, st_, settings, *this),
      channel_(folders.instanceKey()),
      desktop_(this),
      clockSchedule_(g, st_, clock_, clockHost_) {
  setObjectName(QStringLiteral("MainWindow"));
  resize(420, 320);
  setStyleSheet(QStringLiteral(
      "#MainWindow { background: #1d2430; }"
      "QLabel#title { color: #e8eef7; font-weight: bold; font-size: 13pt; padding: 6px; }"
      "QListWidget#PlNames, QListWidget#PlLyrics { background: #121820; color: #cfd8e3; border: 1px solid "
      "#2c3646; }"
      "QToolButton#closeButton { color: #cfd8e3; background: transparent; border: none; font-size: 13pt; }"
      "QToolButton#closeButton:hover { color: #ff7a59; }"));
  auto *top = new QHBoxLayout;
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  auto *close = new QToolButton(this);
  close->setObjectName(QStringLiteral("closeButton"));
  close->setText(QStringLiteral("\u2715"));
  close->setToolTip(QStringLiteral("Close"));
  connect(close, &QToolButton::clicked, this, &MainWindow::quit);
  top->addWidget(title_, 1);
  top->addWidget(close);
  playlistBox_ = new QListWidget(this);
  playlistBox_->setObjectName(QStringLiteral("PlNames"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 8);
  layout->addLayout(top);
  layout->addWidget(playlistBox_, 1);

  // Centred on the screen until a saved position says otherwise.
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->availableGeometry().center() - rect().center());

  skin_ = std::make_unique<SkinWindow>(this, g_, st_);
  skin_->appFolders = folders_.dataRoots();
  skin_->showMessage = [this](const QString &text) { showMessage(text); };
  skin_->openUrl = [this](const QString &url) { return desktop_.openUrl(url); };
  skin_->enableTimer1 = [this](bool on) { enableTimer1(on); };
  // Whichever way a skin loads, the first one takes over the whole window
  // from the plain layout.
  connect(skin_.get(), &SkinWindow::skinLoaded, this, [this] {
    if (this->layout() == nullptr) return;
    skin_->face()->adoptPlaylistBox(playlistBox_);
    delete this->layout();
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
      if (w != skin_->face()) w->hide();
    skin_->face()->applyLayout();
  });
  // Keys typed while a list box has the focus reach the skin too; the lists
  // keep only the keys that move in them or act on their entries.
  playlistBox_->installEventFilter(this);
  skin_->face()->lyricBox()->installEventFilter(this);
  clockHost_.attach(skin_.get());
  // The volume slider follows the player's volume, changed outside the window
  // too, on the playback timer's ticks while something plays (wirePlayer):
  // the clock's own timer need not wake for it.
  plCommands_ = std::make_unique<PlaylistCommands>(this, g_, st_, settings_, folders_, desktop_, pl_);
  plCommands_->onChanged([this] { refreshPlaylistBox(); });
  // The skin's cover area shows the cover; a double click there picks one.
  plCommands_->onCover([this](const QPixmap &picture) { skin_->face()->setCoverPicture(picture); });
  connect(skin_->face(), &SkinFace::coverDoubleClicked, this, [this] { plCommands_->SelectCover(); });
  plCommands_->onSelection([this] { return playlistBox_->currentRow(); },
                           [this](int i) { playlistBox_->setCurrentRow(i); });
  setAcceptDrops(true);

  plugins_ = std::make_unique<PluginHost>(folders.pluginDir());
  host_ = std::make_unique<MainWindowHost>(*this, g_, st_, lyric_, playlistBox_);
  g_.OnlineLyricDir = QDir(folders_.userDataDir()).filePath(QStringLiteral("lyrics"));
  transport_ = std::make_unique<Transport>(g_, st_, pl_, *plugins_, *host_);
  wirePlayer();
  // A double-click plays the entry.
  connect(playlistBox_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
    st_.TNum = static_cast<qint16>(playlistBox_->row(item) + 1);
    st_.Paused = 0;
    transport_->PlayIt(0);
  });

  // `Timer2`: clock, title scroll, snooze and schedule. It wakes only when
  // one of them has something to do.
  timer2_ = new QTimer(this);
  timer2_->setSingleShot(true);
  timer2_->setTimerType(Qt::PreciseTimer);
  connect(timer2_, &QTimer::timeout, this, [this] {
    const int fired = clockSchedule_.fireCount();
    clockSchedule_.tick();
    if (clockSchedule_.fireCount() != fired) scheduleCheckpoint();  // a snooze switches itself off
    startClockTimer();
  });

  // Settings, schedule and playlist reach the disk while the program runs
  // too: a while after something changed, not on a fixed beat.
  checkpointTimer_ = new QTimer(this);
  checkpointTimer_->setSingleShot(true);
  checkpointTimer_->setInterval(qEnvironmentVariableIntValue("CANTOREL_CHECKPOINT_MS") > 0
                                    ? qEnvironmentVariableIntValue("CANTOREL_CHECKPOINT_MS")
                                    : 30000);
  connect(checkpointTimer_, &QTimer::timeout, this, [this] { lifecycle_.checkpoint(); });
  // Whatever the user changes (settings, playlist, window place) comes
  // after a click, a key, a wheel turn or a drop.
  QCoreApplication::instance()->installEventFilter(
      new UserInputWatcher(
          [this] {
            scheduleCheckpoint();
            // A click or a key may change what the playback timer shows
            // (the time display's mode among them).
            playbackChanged();
          },
          this));

  connect(&channel_, &InstanceChannel::handOffReceived, this, [this](const CommandLineRequest &request) {
    handOffs_.push_back(request);
    // A file handed over while the splash is up opens the window at once;
    // during the start-up it waits until the start-up is over.
    if (!loaded_ && !loading_) Q_EMIT loadRequested();
    if (loaded_) takeHandOffs();
  });
}

MainWindow::~MainWindow() = default;

bool MainWindow::listenForHandOffs() {
  return channel_.listen();
}

void MainWindow::startUp(const CommandLineRequest &request) {
  if (loaded_ || loading_) return;
  loading_ = true;
  lifecycle_.formLoad(request);
  loading_ = false;
  loaded_ = true;
  checkpointTimer_->start();
  startMediaControls();
  // What arrived while the start-up let events run.
  takeHandOffs();
  if (unloadPending_) shutDown();
}

void MainWindow::takeHandOffs() {
  // Carrying one out may let events run, and another may arrive meanwhile:
  // it waits in the queue for this loop.
  if (takingHandOffs_) return;
  takingHandOffs_ = true;
  while (!handOffs_.empty() && !lifecycle_.unloaded()) {
    const CommandLineRequest request = handOffs_.front();
    handOffs_.pop_front();
    if (isVisible()) {
      raise();
      activateWindow();
    }
    lifecycle_.receiveHandOff(request);
  }
  takingHandOffs_ = false;
}

void MainWindow::shutDown() {
  // Asked to end before or in the middle of the start-up: right after it.
  // Before the start-up nothing was read, so nothing may be written back yet.
  if (!loaded_) {
    unloadPending_ = true;
    if (loading_) {
      // A question the start-up is waiting on (the associations one) would
      // hold the shut-down until someone answers it; a signal or the end of
      // the session must not wait for that. Closing it answers "Cancel",
      // which changes nothing.
      const QWidgetList windows = QApplication::topLevelWidgets();
      for (QWidget *w : windows) {
        auto *dialog = qobject_cast<QDialog *>(w);
        if (dialog && dialog->isModal() && dialog->isVisible()) dialog->reject();
      }
    }
    return;
  }
  timer2_->stop();
  checkpointTimer_->stop();
  stopMediaControls();
  lifecycle_.formUnload();
}

void MainWindow::quit() { close(); }

void MainWindow::setCaption(const QString &caption) {
  setWindowTitle(plainWindowTitle(caption));
  title_->setText(caption);
}

void MainWindow::readTwips(qint16 *x, qint16 *y) {
  // 1440 twips make an inch.
  const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
  const double dx = s ? s->logicalDotsPerInchX() : 96.0;
  const double dy = s ? s->logicalDotsPerInchY() : 96.0;
  *x = static_cast<qint16>(qMax(1L, qRound(1440.0 / dx)));
  *y = static_cast<qint16>(qMax(1L, qRound(1440.0 / dy)));
}

Settings::Position MainWindow::windowPosTwips() const {
  return {pos().x() * st_.TwipX, pos().y() * st_.TwipY};
}

void MainWindow::moveWindowTwips(qint32 x, qint32 y) {
  move(x / qMax<qint16>(1, st_.TwipX), y / qMax<qint16>(1, st_.TwipY));
}

void MainWindow::showWindow() { show(); }

// The tray icon; its menu also answers a right click on the window.
void MainWindow::loadTray() {
  if (!tray_) {
    QApplication::setWindowIcon(TrayIcon::programIcon());
    tray_ = std::make_unique<TrayIcon>(
        g_, [this](int code) { skin_->runCommand(code); },
        [this] {
          if (isMinimized()) showNormal();
          show();
          raise();
          activateWindow();
          skin_->SetTopMost(true);
          skin_->SetTopMost(g_.WinOnTop != 0);
        });
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) { tray_->popup(mapToGlobal(p)); });
    connect(skin_.get(), &SkinWindow::contextMenuRequested, this, [this](const QPoint &p) { tray_->popup(p); });
  }
  tray_->showIcon();
}

void MainWindow::unloadTray() {
  if (tray_) tray_->removeIcon();
}
void MainWindow::hideWindow() { skin_->hideWindow(); }
void MainWindow::showMessage(const QString &text) { desktop_.showMessage(text); }
void MainWindow::openUrl(const QString &url) { desktop_.openUrl(url); }

void MainWindow::loadLanguage() { LoadLanguage(folders_.dataRoots(), g_.Language, g_.Messages); }

QString MainWindow::displayTitle(const QString &path) {
  return TitleFromFile(path, TitleOptions::from(g_));
}

void MainWindow::clearMediaInfo() {
  // The information labels belong to the skin; until it draws them there is
  // nothing on the window to reset.
}

void MainWindow::loadCover(const QString &file) { plCommands_->LoadCover(file); }
void MainWindow::plAddOpened() { plCommands_->PlAddOpened(); }
void MainWindow::plClear() { plCommands_->PlClear(); }
bool MainWindow::plRead(const QString &file) { return plCommands_->PlRead(file); }

bool MainWindow::writePlaylist(const QString &file, QString *error) { return WritePL(file, pl_, error); }

void MainWindow::readAutoList() {
  clockSchedule_.ReadAutoList(folders_.userFile(QStringLiteral("autolist.txt")));
}

void MainWindow::buildDayText() {
  clockSchedule_.MakeDayStr();
  startClockTimer();
}

void MainWindow::startClockTimer() {
  // A modal window (the preferences) may change what the clock shows: while
  // one is open the clock looks every step.
  timer2_->start(QApplication::activeModalWidget() ? ClockSchedule::kStepMs
                                                   : clockSchedule_.nextTickMs(clock_.now()));
}

void MainWindow::scheduleCheckpoint() {
  if (loaded_ && !lifecycle_.unloaded() && !checkpointTimer_->isActive()) checkpointTimer_->start();
}

void MainWindow::writeAutoList() {
  if (autoListWritten_ && savedAutoList_ == clockSchedule_.AutoList) return;
  const QString file = folders_.userFile(QStringLiteral("autolist.txt"));
  QString error;
  if (!clockSchedule_.WriteAutoList(file, &error)) {
    // Said once, not at every checkpoint while the disk stays full.
    if (autoListFailureShown_) return;
    autoListFailureShown_ = true;
    qCWarning(lcCore).noquote() << "Schedule not saved to" << file + QLatin1Char(':') << error;
    if (!lifecycle_.unloaded())  // no message box while the program ends
      showMessage(QStringLiteral("The alarm schedule could not be saved in %1: %2").arg(file, error));
    return;
  }
  savedAutoList_ = clockSchedule_.AutoList;
  autoListWritten_ = true;
  autoListFailureShown_ = false;
}

void MainWindow::showPlaylistBrowser() {
  if (!playlistBrowser_) {
    // Opened afresh each time: it starts in "VisPLPath", else the music folder.
    playlistBrowser_ = new PlaylistBrowserWindow(g_, folders_.findData(QStringLiteral("nocover.bmp")),
                                  QStandardPaths::writableLocation(QStandardPaths::MusicLocation), this);
    playlistBrowser_->setAttribute(Qt::WA_DeleteOnClose);
    connect(playlistBrowser_, &PlaylistBrowserWindow::playlistChosen, this, [this](const QString &file) {
      plCommands_->PlClear();
      plCommands_->PlRead(file);
      playIt(1);
    });
  }
  playlistBrowser_->show();
  playlistBrowser_->raise();
  playlistBrowser_->activateWindow();
}

void MainWindow::checkAssociations() {
  AssociationPaths paths = AssociationPaths::fromEnvironment(QCoreApplication::applicationFilePath());
  paths.icon = folders_.findData(QStringLiteral("icons/cantorel.png"));
  FileAssociations assoc(paths);
  CheckAssociations(g_, assoc, [this](const QString &title, const QString &text) {
    // Nobody is asked anything once the program has been told to end.
    if (unloadPending_) return false;
    bool dontAskAgain = false;
    const bool ok = askAssociationQuestion(this, title, text, &dontAskAgain);
    // "Don't ask again": after OK the types are taken over from now on
    // without asking; after Cancel the program stops taking care of them
    // (asking no more must not mean taking them over unasked).
    if (dontAskAgain) {
      if (ok)
        g_.AskForIt = 0;
      else
        g_.AutoRegistry = 0;
    }
    return ok;
  });
}
void MainWindow::startNews() {
  const QString url = g_.NewsURL.isEmpty() ? DefaultNewsUrl() : g_.NewsURL;
  if (!LoadNewsMessage(g_, folders_.userFile(NewsFileName(url)), settings_.text(key::MsgRemote))) return;
  qCInfo(lcNews) << "News message shown";
  // Modal over the main window, without holding up the rest of the start-up.
  auto *news = new NewsMessageWindow(g_, this);
  news->setAttribute(Qt::WA_DeleteOnClose);
  news->messageLabel->setText(g_.MsgRemoteSeen);
  news->adjustSize();
  if (QScreen *s = QGuiApplication::primaryScreen())
    news->move(s->availableGeometry().center() - news->rect().center());
  news->show();
}

void MainWindow::discoverInputPlugins() { plugins_->ScanInputPlugins(g_); }
void MainWindow::playIt(int mode) { transport_->PlayIt(static_cast<qint16>(mode)); }
void MainWindow::createVisPlugin() { plugins_->CreatePlugin(g_); }
void MainWindow::cleanUpPlayer() { transport_->CleanUP(); }

void MainWindow::endProcess() { QCoreApplication::quit(); }

QString MainWindow::playlistFile() const { return folders_.userFile(QStringLiteral("playlist.m3u")); }

QString MainWindow::defaultSkinFile() const {
  const QString shipped = folders_.findData(QStringLiteral("skins/default.skin"));
  return shipped.isEmpty() ? folders_.installDataDir() + QLatin1String("/skins/default.skin") : shipped;
}

void MainWindow::loadSkin(const QString &path) { skin_->LoadSkin(path, true); }

void MainWindow::applyTransparency() { skin_->SetTransparency(g_.Transparency); }

void MainWindow::refreshPlaylistBox() {
  playlistBox_->clear();
  playlistBox_->addItems(pl_.PlNames);
  skin_->setLabelText(14, FriendlyName(pl_.Name, g_.FriendlyNames));
  skin_->setLabelText(16, QString::number(pl_.count()));
  mediaStateChanged();
}

void MainWindow::keyPressEvent(QKeyEvent *e) {
  if (!e->text().isEmpty() && skin_->HandleKey(e->text().at(0))) return;
  QWidget::keyPressEvent(e);
}

bool MainWindow::eventFilter(QObject *o, QEvent *e) {
  if (e->type() == QEvent::KeyPress && (o == playlistBox_ || o == skin_->face()->lyricBox())) {
    auto *k = static_cast<QKeyEvent *>(e);
    switch (k->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_Left:
      case Qt::Key_Right:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Home:
      case Qt::Key_End:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Delete:
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        return false;
      default:
        break;
    }
    // Shortcuts with Ctrl or Alt stay the list's (select all, copy).
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    if (!k->text().isEmpty() && skin_->HandleKey(k->text().at(0))) return true;
  }
  return QWidget::eventFilter(o, e);
}

void MainWindow::changeEvent(QEvent *e) {
  // Every activation: the screen may have changed, and with it its units.
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) readTwips(&st_.TwipX, &st_.TwipY);
  QWidget::changeEvent(e);
}

void MainWindow::closeEvent(QCloseEvent *e) {
  shutDown();
  e->accept();
}

void MainWindow::mousePressEvent(QMouseEvent *e) {
  if (e->button() != Qt::LeftButton) return;
  // The window manager moves the window where it can (always on Wayland).
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  {
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
  }
}

void MainWindow::mouseMoveEvent(QMouseEvent *e) {
  if (dragging_) move(e->globalPosition().toPoint() - dragOffset_);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *) { dragging_ = false; }

// Files dragged from the desktop onto the window or its list are added.
void MainWindow::dragEnterEvent(QDragEnterEvent *e) {
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void MainWindow::dragMoveEvent(QDragMoveEvent *e) {
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void MainWindow::dropEvent(QDropEvent *e) {
  QStringList paths;
  for (const QUrl &u : e->mimeData()->urls())
    if (u.isLocalFile()) paths << u.toLocalFile();
  if (paths.isEmpty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
  plCommands_->dropFiles(paths);
}

}  // namespace cantorel
