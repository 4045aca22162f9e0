#include "skin/skin_window.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "playlist/paths.h"
#include "skin/skin_face_widget.h"
#include "skin/skin_logic.h"
#include "skin/skin_picture_gui.h"

namespace cantorel {

namespace {
QScreen *screenOf(QWidget *w) {
  QScreen *s = w->screen();
  return s ? s : QGuiApplication::primaryScreen();
}
}  // namespace

SkinWindow::SkinWindow(QWidget *window, General &g, MainState &st, QObject *parent)
    : QObject(parent), window_(window), g_(g), st_(st) {
  face_ = new SkinFace(t_, st_, window_);
  face_->hide();
  openFileDialog = [this](const QString &title, const QString &filter, const QString &folder,
                          const QString &name) {
    return QFileDialog::getOpenFileName(window_, title, AddBackslash(folder) + name, filter, nullptr,
                                        QFileDialog::ReadOnly);
  };
  connect(face_, &SkinFace::command, this, &SkinWindow::runCommand);
  connect(face_, &SkinFace::sliderGrabbed, this, [this](int n) {
    if (!t_.Sliders[static_cast<size_t>(n)].vertical() && enableTimer1) enableTimer1(false);
  });
  connect(face_, &SkinFace::sliderMoved, this, &SkinWindow::SliderChanged);
  connect(face_, &SkinFace::sliderReleased, this, [this](int n, double last) {
    if (n == 1) Q_EMIT seekRequested(static_cast<int>(last * st_.SongLen));
    if (enableTimer1) enableTimer1(true);
  });
  connect(face_, &SkinFace::sliderDoubleClicked, this, [this](int n) {
    if (n == 3) {
      g_.Balance = 0.5f;
      PlaceSlider(3, 0.5);
      SliderChanged(3, 0.5);
    } else if (n == 5) {
      SliderChanged(5, 0.5);
    }
  });
  connect(face_, &SkinFace::labelClicked, this, [this](int n) {
    if (n == 1) {
      st_.TimeFlag = st_.TimeFlag ? 0 : -1;
      RefreshDisplays();
    } else if (n == 2) {
      runCommand(16);  // file information
    }
  });
  connect(face_, &SkinFace::windowDropped, this, &SkinWindow::SnapWindow);
  snapTimer_ = new QTimer(this);
  snapTimer_->setSingleShot(true);
  snapTimer_->setInterval(300);
  connect(snapTimer_, &QTimer::timeout, this, [this] {
    systemMove_ = false;
    SnapWindow();
  });
  connect(face_, &SkinFace::systemMoveStarted, this, [this] { systemMove_ = true; });
  connect(face_, &SkinFace::contextMenuRequested, this, &SkinWindow::contextMenuRequested);
  window_->installEventFilter(this);
}

SkinWindow::~SkinWindow() = default;

bool SkinWindow::LoadSkin(const QString &name, bool reuseImportFolder) {
  SkinEnvironment env;
  QScreen *s = screenOf(window_);
  env.screenWidthPx = s ? s->geometry().width() : 1024;
  env.twipX = qMax<qint16>(1, st_.TwipX);
  env.twipY = qMax<qint16>(1, st_.TwipY);
  // The window is placed on the work area of the screen it is on.
  env.screenTwips = GetWorkArea();
  env.windowPosTwips = QPoint(window_->x() * env.twipX, window_->y() * env.twipY);
  env.appFolders = appFolders;
  env.pickImportFile = [this](const QString &filter, const QString &defaultName, const QString &folder) {
    // The skin's filter is written "Name|*.x".
    QString f = filter;
    const qsizetype bar = f.indexOf(u'|');
    if (bar >= 0) f = f.left(bar) + QStringLiteral(" (") + f.mid(bar + 1).replace(u';', u' ') + u')';
    return openFileDialog ? openFileDialog(QStringLiteral("Import Skin"), f, folder, defaultName) : QString();
  };

  // The tables are filled in a copy, so a skin that fails to open leaves the window as it was.
  SkinTables next = t_;
  const SkinLoadResult r = cantorel::LoadSkin(name, reuseImportFolder, env, next, g_);
  t_.SkinFolder = next.SkinFolder;
  if (r.loaded) {
    if (enableTimer1) enableTimer1(false);
    t_ = std::move(next);
    SkinPictures pics = face_->pictures();
    const SkinShape shape = ApplyPictureSteps(t_.Pictures, pics);
    face_->setPictures(std::move(pics));
    applyShape(QRegion(), false);  // rectangular until a new region is given
    st_.HFlag = 0;
    st_.Small = 0;
    resizeTwips(t_.WindowSizes[0]);
    window_->move(r.windowPosTwips.x() / env.twipX, r.windowPosTwips.y() / env.twipY);
    if (shape.hasRegion) applyShape(shape.hRgn, true);
    bool ok = false;
    const QRegion outline = OutlineRegion(t_, &ok);
    if (ok) applyShape(outline, true);
    face_->applyLayout();
    // Labels this skin declares show what they were last given, even when
    // the skin before had no such label.
    for (int n = 1; n <= SkinTables::kLabels; ++n)
      if (QLabel *l = face_->label(n)) l->setText(labelTexts_[static_cast<size_t>(n)]);
    face_->show();
    face_->raise();
    RefreshDisplays();
    ShowLights();
    for (int n = 1; n <= SkinTables::kSliders; ++n) {
      t_.Sliders[static_cast<size_t>(n)].Drawn = -1;
      face_->placeSlider(n, st_.Sliders[static_cast<size_t>(n)].Value);
    }
    showVolume(st_.Sliders[2].Value);
  }
  for (const QString &m : r.messages)
    if (showMessage) showMessage(m);
  if (r.loaded) {
    if (enableTimer1) enableTimer1(true);
    Q_EMIT skinLoaded();
  }
  return r.loaded;
}

void SkinWindow::SelectSkin() {
  // The skin folder of the preferences, else the shipped skins (the last
  // application folder that has any).
  QString folder = g_.SkinPath;
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder.clear();
    for (auto it = appFolders.crbegin(); it != appFolders.crend() && folder.isEmpty(); ++it)
      if (!QDir(AddBackslash(*it) + QStringLiteral("skins")).entryList({QStringLiteral("*.skin")}).isEmpty())
        folder = AddBackslash(*it) + QStringLiteral("skins/");
  }
  const QString path = openFileDialog
                           ? openFileDialog(QStringLiteral("Select Skin"),
                                            QStringLiteral("Skin control file (*.skin)"), folder, QString())
                           : QString();
  if (!path.isEmpty()) LoadSkin(path, false);
}

void SkinWindow::runCommand(int code) {
  if (doIt_)
    doIt_(code);
  else
    windowCommand(code);
}

bool SkinWindow::windowCommand(int code) {
  switch (code) {
    case 1:
      window_->close();
      return true;
    case 2:
      hideWindow();
      return true;
    case 3:
      ToggleExpand();
      return true;
    case 4:
      ToggleMini();
      return true;
    case 6:
      SelectSkin();
      return true;
    default:
      break;
  }
  if (code >= 101 && code <= 110) {
    const QString name = t_.KeyStrings[static_cast<size_t>(code - 100)];
    LoadSkin(name, false);
    return true;
  }
  if (code >= 111 && code <= 120) {
    if (openUrl) openUrl(t_.KeyStrings[static_cast<size_t>(code - 100)]);
    return true;
  }
  return false;
}

bool SkinWindow::HandleKey(QChar c) {
  if (!face_->isVisible()) return false;
  if (c == QChar(27)) {
    face_->setHotAreasShown(0);
  } else if (c == u'`') {
    face_->setHotAreasShown(1);
  } else if (c == u'~') {
    face_->setHotAreasShown(2);
  } else {
    const QChar upper = c.toUpper();
    int button = 0;
    // Only buttons this skin declares: a button the skin lacks keeps the key
    // a skin before gave it, and a blank key by default.
    for (int n = 1; n <= 40 && !button; ++n) {
      const SkinButton &b = t_.Btn[static_cast<size_t>(n)];
      if (b.Visible && b.KeyChar == upper) button = n;
    }
    if (!button && c == u' ') button = 36;  // play or pause
    if (button) runCommand(button);
  }
  return true;
}

void SkinWindow::resizeTwips(QPoint sizeTwips) {
  const int w = sizeTwips.x() / qMax<qint16>(1, st_.TwipX), h = sizeTwips.y() / qMax<qint16>(1, st_.TwipY);
  window_->setFixedSize(qMax(1, w), qMax(1, h));
  face_->setGeometry(0, 0, qMax(1, w), qMax(1, h));
}

bool SkinWindow::eventFilter(QObject *o, QEvent *e) {
  // Every activation sets the stacking again from "WinOnTop".
  if (o == window_ && e->type() == QEvent::WindowActivate) SetTopMost(g_.WinOnTop != 0);
  if (o == window_ && e->type() == QEvent::Move && systemMove_) snapTimer_->start();
  return QObject::eventFilter(o, e);
}

void SkinWindow::ToggleExpand() {
  st_.HFlag = static_cast<qint16>(1 - st_.HFlag);
  if (st_.Small == 0) resizeTwips(WindowSizeFor(t_, st_.HFlag, 0));
}

void SkinWindow::ToggleMini() {
  st_.Small = static_cast<qint16>(1 - st_.Small);
  resizeTwips(WindowSizeFor(t_, st_.HFlag, st_.Small));
}

void SkinWindow::applyShape(const QRegion &region, bool has) {
  region_ = region;
  hasRegion_ = has;
  if (has)
    window_->setMask(region);
  else
    window_->clearMask();
}

QRect SkinWindow::GetWorkArea() const {
  QScreen *s = screenOf(window_);
  const QRect a = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  return QRect(a.left() * st_.TwipX, a.top() * st_.TwipY, a.width() * st_.TwipX, a.height() * st_.TwipY);
}

void SkinWindow::SnapWindow() {
  if (!g_.WinSnap) return;
  const int tx = qMax<qint16>(1, st_.TwipX), ty = qMax<qint16>(1, st_.TwipY);
  const QRect w(window_->x() * tx, window_->y() * ty, window_->width() * tx, window_->height() * ty);
  const QPoint p = SnapPosition(w, GetWorkArea());
  window_->move(p.x() / tx, p.y() / ty);
}

void SkinWindow::SetTopMost(bool onTop) {
  if (window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  const bool visible = window_->isVisible();
  window_->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (visible) window_->show();
}

void SkinWindow::hideWindow() {
  if (QSystemTrayIcon::isSystemTrayAvailable())
    window_->hide();
  else
    window_->showMinimized();
}

void SkinWindow::showVolume(double value) {
  PlaceSlider(2, value);
  PlaceSlider(4, value);
  setLabelText(18, QLatin1Char(' ') + QString::number(qRound(value * 100)));
}

void SkinWindow::SetTransparency(int level) {
  // A window at level 0 could not be seen or found again: keep a trace of it.
  const int l = qBound(32, level, 255);
  window_->setWindowOpacity(l / 255.0);
}

QString SkinWindow::labelText(int n) const {
  const QLabel *l = face_->label(n);
  return l ? l->text() : QString();
}

void SkinWindow::setLabelText(int n, const QString &text) {
  if (n < 1 || n > SkinTables::kLabels) return;
  labelTexts_[static_cast<size_t>(n)] = text;
  if (QLabel *l = face_->label(n)) l->setText(text);
}

void SkinWindow::SetDD(int n, const QVariant &value) {
  if (n < 1 || n > SkinTables::kDisplays) return;
  const DigitDisplay &d = t_.Dig[static_cast<size_t>(n)];
  if (!d.Visible) return;
  QString label9;
  // Only the clock formats show the time of day; asking the system for it
  // reads the time zone again, on every tick.
  const bool clock = d.Format == 1 || d.Format == 2;
  QString text = DigitText(d.Format, value, g_.TimeFmt, clock ? QTime::currentTime() : QTime(), &label9);
  if (clock) setLabelText(9, label9);
  if (g_.ScrollName == 1 && n == 6) text = ScrollText(text, d.Format, st_.ScrollStart);
  face_->setDisplayText(n, text, clock && g_.TimeFmt != 0);
}

void SkinWindow::ShowLights() {
  const bool abLoop = st_.RptB >= 1;
  const std::array<bool, 19> on = {
      false,        st_.Light1Flag != 0, !st_.Playing,  st_.Paused != 0, st_.Playing != 0, st_.Intro != 0,
      st_.STP != 0, st_.Repeat != 0,     abLoop,        st_.Random != 0, st_.Shuffle != 0, !st_.Intro,
      !st_.STP,     !st_.Repeat,         st_.RptB == 0, !st_.Random,     !st_.Shuffle,     st_.Mute != 0,
      !st_.Mute};
  for (int n = 1; n <= SkinTables::kLights; ++n) face_->setLight(n, on[static_cast<size_t>(n)]);
}

void SkinWindow::RefreshDisplays() {
  const double secs = st_.TimeFlag ? st_.SongLen - st_.Elapsed : st_.Elapsed;
  SetDD(1, static_cast<int>(qMax(0.0, secs)));
  SetDD(2, st_.TNum);
  SetDD(3, 0);
  SetDD(4, labelText(10).trimmed().toDouble());
  SetDD(5, labelText(11).trimmed().toDouble());
  SetDD(6, st_.SongName);
  setLabelText(3, QTime::currentTime().toString(QStringLiteral("HH:mm")));
}

void SkinWindow::PlaceSlider(int n, double value, bool now) {
  face_->placeSlider(n, value, now);
}

void SkinWindow::SliderChanged(int n, double value) {
  switch (n) {
    case 1: {
      const int secs = static_cast<int>(value * st_.SongLen);
      const QString text = QStringLiteral("%1:%2").arg(secs / 60).arg(secs % 60, 2, 10, QLatin1Char('0'));
      if (labelText(1) != text) setLabelText(1, text);
      SetDD(1, secs);
      break;
    }
    case 2:
      Q_EMIT sliderChanged(2, value);
      showVolume(value);
      break;
    case 3:
    case 5:
      Q_EMIT sliderChanged(n, value);
      PlaceSlider(n, value);
      break;
    default:
      break;
  }
}

}  // namespace cantorel
