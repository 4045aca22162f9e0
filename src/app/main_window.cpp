#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
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

#include <functional>

#include "app/main_window_host.h"
#include "app/main_window_mpris.h"
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

frmQuelt::frmQuelt(General &g, Settings &settings, const Folders &folders, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      g_(g),
      settings_(settings),
      folders_(folders),
      lifecycle_(g, st_, settings, *this),
      channel_(folders.instanceKey()),
      desktop_(this),
      clockSchedule_(g, st_, clock_, clockHost_) {
  setObjectName(QStringLiteral("frmQuelt"));
  resize(420, 320);
  setStyleSheet(QStringLiteral(
      "#frmQuelt { background: #1d2430; }"
      "QLabel#title { color: #e8eef7; font-weight: bold; font-size: 13pt; padding: 6px; }"
      "QListWidget { background: #121820; color: #cfd8e3; border: 1px solid #2c3646; }"
      "QToolButton { color: #cfd8e3; background: transparent; border: none; font-size: 13pt; }"
      "QToolButton:hover { color: #ff7a59; }"));
  auto *top = new QHBoxLayout;
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  auto *close = new QToolButton(this);
  close->setText(QStringLiteral("\u2715"));
  close->setToolTip(QStringLiteral("Close"));
  connect(close, &QToolButton::clicked, this, &frmQuelt::Quit);
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
  clockHost_.attach(skin_.get(), this);
  plCommands_ = std::make_unique<PlaylistCommands>(this, g_, st_, settings_, folders_, desktop_, pl_);
  plCommands_->onChanged([this] { refreshPlaylistBox(); });
  plCommands_->onSelection([this] { return playlistBox_->currentRow(); },
                           [this](int i) { playlistBox_->setCurrentRow(i); });
  setAcceptDrops(true);

  plugins_ = std::make_unique<PluginHost>(folders.pluginDir());
  host_ = std::make_unique<MainWindowHost>(*this, g_, st_, lyric_, playlistBox_);
  transport_ = std::make_unique<Transport>(g_, st_, pl_, *plugins_, *host_);
  wirePlayer();
  // A double-click plays the entry.
  connect(playlistBox_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
    st_.TNum = static_cast<qint16>(playlistBox_->row(item) + 1);
    st_.Paused = 0;
    transport_->PlayIt(0);
  });

  // `Timer2`: clock, title scroll, snooze and schedule.
  timer2_ = new QTimer(this);
  timer2_->setInterval(200);
  connect(timer2_, &QTimer::timeout, this, [this] { clockSchedule_.tick(); });

  // Settings, schedule and playlist reach the disk while the program runs too.
  checkpointTimer_ = new QTimer(this);
  checkpointTimer_->setInterval(qEnvironmentVariableIntValue("CANTOREL_CHECKPOINT_MS") > 0
                                    ? qEnvironmentVariableIntValue("CANTOREL_CHECKPOINT_MS")
                                    : 30000);
  connect(checkpointTimer_, &QTimer::timeout, this, [this] { lifecycle_.checkpoint(); });

  connect(&channel_, &InstanceChannel::handOffRequested, this, [this] {
    // The channel listens from the very start; a file handed over while the
    // splash is up opens the window at once.
    if (!loaded_ && !loading_) Q_EMIT loadRequested();
    if (!loaded_) {
      // The start-up is under way (it let events run): taken when it is over.
      handOffPending_ = true;
      return;
    }
    if (isVisible()) {
      raise();
      activateWindow();
    }
    QKeyEvent f12(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
    keyPressEvent(&f12);
  });
}

frmQuelt::~frmQuelt() = default;

bool frmQuelt::Form_Load(const QString &commandLine) {
  if (loaded_ || loading_) return true;
  loading_ = true;
  const bool ok = lifecycle_.formLoad(commandLine);
  loading_ = false;
  if (!ok) return false;
  loaded_ = true;
  checkpointTimer_->start();
  startMediaControls();
  // What arrived while the start-up let events run.
  if (handOffPending_) {
    handOffPending_ = false;
    QKeyEvent f12(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
    keyPressEvent(&f12);
  }
  if (unloadPending_) Form_Unload();
  return true;
}

void frmQuelt::Form_Unload() {
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

void frmQuelt::Quit() { close(); }

void frmQuelt::setCaption(const QString &caption) {
  setWindowTitle(plainWindowTitle(caption));
  title_->setText(caption);
}

void frmQuelt::readTwips(qint16 *x, qint16 *y) {
  // 1440 twips make an inch.
  const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
  const double dx = s ? s->logicalDotsPerInchX() : 96.0;
  const double dy = s ? s->logicalDotsPerInchY() : 96.0;
  *x = static_cast<qint16>(qMax(1L, qRound(1440.0 / dx)));
  *y = static_cast<qint16>(qMax(1L, qRound(1440.0 / dy)));
}

Settings::Position frmQuelt::windowPosTwips() const {
  return {pos().x() * st_.TwipX, pos().y() * st_.TwipY};
}

void frmQuelt::moveWindowTwips(qint32 x, qint32 y) {
  move(x / qMax<qint16>(1, st_.TwipX), y / qMax<qint16>(1, st_.TwipY));
}

void frmQuelt::showWindow() { show(); }

// The tray icon; its menu also answers a right click on the window.
void frmQuelt::loadTray() {
  if (!tray_) {
    QApplication::setWindowIcon(frmIcon::programIcon());
    tray_ = std::make_unique<frmIcon>(
        g_, [this](int code) { skin_->runCommand(code); },
        [this] {
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
  tray_->Form_Load();
}

void frmQuelt::unloadTray() {
  if (tray_) tray_->Form_Unload();
}
void frmQuelt::hideWindow() { hide(); }
void frmQuelt::showMessage(const QString &text) { desktop_.showMessage(text); }
void frmQuelt::openUrl(const QString &url) { desktop_.openUrl(url); }
bool frmQuelt::otherInstanceRunning() {
  // Asked early (before the splash) and again by the start-up: one answer.
  if (otherInstance_ < 0) otherInstance_ = channel_.claim() ? 1 : 0;
  return otherInstance_ == 1;
}
void frmQuelt::signalOtherInstance() { channel_.signalPrimary(); }

void frmQuelt::loadLanguage() { LoadLanguage(folders_.dataRoots(), g_.Language, g_.Messages); }

QString frmQuelt::displayTitle(const QString &path) {
  return PonTituloMp3(path, TitleOptions::from(g_));
}

void frmQuelt::clearMediaInfo() {
  // The information labels belong to the skin; until it draws them there is
  // nothing on the window to reset.
}

void frmQuelt::loadCover(const QString &file) { plCommands_->LoadCover(file); }
void frmQuelt::plAddOpened() { plCommands_->PlAddOpened(); }
void frmQuelt::plClear() { plCommands_->PlClear(); }
bool frmQuelt::plRead(const QString &file) { return plCommands_->PlRead(file); }

bool frmQuelt::writePlaylist(const QString &file, QString *error) { return WritePL(file, pl_, error); }

void frmQuelt::readAutoList() {
  clockSchedule_.ReadAutoList(folders_.userFile(QStringLiteral("autolist.txt")));
}

void frmQuelt::buildDayText() {
  clockSchedule_.MakeDayStr();
  timer2_->start();
}

void frmQuelt::writeAutoList() {
  if (autoListWritten_ && savedAutoList_ == clockSchedule_.AutoList) return;
  if (!clockSchedule_.WriteAutoList(folders_.userFile(QStringLiteral("autolist.txt")))) return;
  savedAutoList_ = clockSchedule_.AutoList;
  autoListWritten_ = true;
}

void frmQuelt::ShowVisSelect() {
  if (!visLoader_) {
    // Opened afresh each time: it starts in "VisPLPath", else the music folder.
    visLoader_ = new frmVisLoader(g_, folders_.findData(QStringLiteral("nocover.bmp")),
                                  QStandardPaths::writableLocation(QStandardPaths::MusicLocation), this);
    visLoader_->setAttribute(Qt::WA_DeleteOnClose);
    connect(visLoader_, &frmVisLoader::playlistChosen, this, [this](const QString &file) {
      plCommands_->PlClear();
      plCommands_->PlRead(file);
      playIt(1);
    });
  }
  visLoader_->show();
  visLoader_->raise();
  visLoader_->activateWindow();
}

void frmQuelt::checkAssociations() {
  AssociationPaths paths = AssociationPaths::fromEnvironment(QCoreApplication::applicationFilePath());
  paths.icon = folders_.findData(QStringLiteral("icons/cantorel.png"));
  FileAssociations assoc(paths);
  CheckAssociations(g_, assoc, [this](const QString &title, const QString &text) {
    // Nobody is asked anything once the program has been told to end.
    if (unloadPending_) return false;
    return askAssociationQuestion(this, title, text);
  });
}
void frmQuelt::startNews() {
  const QString url = g_.NewsURL.isEmpty() ? DefaultNewsUrl() : g_.NewsURL;
  if (!InicializaRemoto(g_, folders_.userFile(NewsFileName(url)), settings_.text(key::MsgRemote))) return;
  qCInfo(lcNews) << "News message shown";
  // Modal over the main window, without holding up the rest of the start-up.
  auto *news = new frmMensajes(g_, this);
  news->setAttribute(Qt::WA_DeleteOnClose);
  news->Label1->setText(g_.MsgRemoteSeen);
  news->adjustSize();
  if (QScreen *s = QGuiApplication::primaryScreen())
    news->move(s->availableGeometry().center() - news->rect().center());
  news->show();
}

void frmQuelt::discoverInputPlugins() { plugins_->ScanInputPlugins(g_); }
void frmQuelt::playIt(int mode) { transport_->PlayIt(static_cast<qint16>(mode)); }
void frmQuelt::createVisPlugin() { plugins_->CreatePlugin(g_); }
void frmQuelt::cleanUpPlayer() { transport_->CleanUP(); }

void frmQuelt::endProcess() { QCoreApplication::quit(); }

QString frmQuelt::playlistFile() const { return folders_.userFile(QStringLiteral("playlist.m3u")); }

QString frmQuelt::defaultSkinFile() const {
  const QString shipped = folders_.findData(QStringLiteral("skins/default.skin"));
  return shipped.isEmpty() ? folders_.installDataDir() + QLatin1String("/skins/default.skin") : shipped;
}

void frmQuelt::loadSkin(const QString &path) {
  if (!skin_->LoadSkin(path, true) || layout() == nullptr) return;
  // The first skin takes over the whole window from the plain layout.
  skin_->face()->adoptPlaylistBox(playlistBox_);
  delete layout();
  for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
    if (w != skin_->face()) w->hide();
  skin_->face()->applyLayout();
}

void frmQuelt::applyTransparency() { skin_->SetTransparency(g_.Transparency); }

void frmQuelt::refreshPlaylistBox() {
  playlistBox_->clear();
  playlistBox_->addItems(pl_.PlNames);
  skin_->setLabelText(14, FriendlyName(pl_.Name, g_.FriendlyNames));
  skin_->setLabelText(16, QString::number(pl_.count()));
  mediaStateChanged();
}

void frmQuelt::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_F12) {
    lifecycle_.receiveHandOff();
    return;
  }
  if (!e->text().isEmpty() && skin_->Form_KeyPress(e->text().at(0))) return;
  QWidget::keyPressEvent(e);
}

void frmQuelt::changeEvent(QEvent *e) {
  // Every activation: the screen may have changed, and with it its units.
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) readTwips(&st_.TwipX, &st_.TwipY);
  QWidget::changeEvent(e);
}

void frmQuelt::closeEvent(QCloseEvent *e) {
  Form_Unload();
  e->accept();
}

void frmQuelt::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::LeftButton) {
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
  }
}

void frmQuelt::mouseMoveEvent(QMouseEvent *e) {
  if (dragging_) move(e->globalPosition().toPoint() - dragOffset_);
}

void frmQuelt::mouseReleaseEvent(QMouseEvent *) { dragging_ = false; }

// Files dragged from the desktop onto the window or its list are added.
void frmQuelt::dragEnterEvent(QDragEnterEvent *e) {
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void frmQuelt::dragMoveEvent(QDragMoveEvent *e) {
  if (e->mimeData()->hasUrls()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void frmQuelt::dropEvent(QDropEvent *e) {
  QStringList paths;
  for (const QUrl &u : e->mimeData()->urls())
    if (u.isLocalFile()) paths << u.toLocalFile();
  if (paths.isEmpty()) return;
  e->setDropAction(Qt::CopyAction);
  e->accept();
  plCommands_->dropFiles(paths);
}

}  // namespace cantorel
