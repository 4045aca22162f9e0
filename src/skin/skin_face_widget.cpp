#include "skin/skin_face_widget.h"

#include <QApplication>
#include <QFontInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QWindow>

#include "core/text_codec.h"
#include "skin/skin_logic.h"

namespace cantorel {

namespace {

QColor toColor(SkinColor c) {
  return QColor(skinRed(c), skinGreen(c), skinBlue(c));
}

QString colorCss(SkinColor c) {
  return toColor(c).name();
}

// A font by name, or Arial when that name is not installed.
QFont skinFont(const QString &name, int size) {
  QFont f(name.isEmpty() ? QStringLiteral("Arial") : name);
  if (QFontInfo(f).family().compare(f.family(), Qt::CaseInsensitive) != 0)
    f.setFamily(QStringLiteral("Arial"));
  if (size > 0) f.setPointSize(size);
  return f;
}

// The lyric box's lines wrap, so each line's height comes from laying out
// its text. The list asks again for every line it touches whenever the
// current line moves (to find what to repaint and where to scroll): the
// sizes are kept until the lines, the width or the font change.
class LyricLineSizes : public QStyledItemDelegate {
 public:
  explicit LyricLineSizes(QListWidget *box) : QStyledItemDelegate(box) {
    QAbstractItemModel *m = box->model();
    connect(m, &QAbstractItemModel::modelReset, this, &LyricLineSizes::forget);
    connect(m, &QAbstractItemModel::layoutChanged, this, &LyricLineSizes::forget);
    connect(m, &QAbstractItemModel::rowsInserted, this, &LyricLineSizes::forget);
    connect(m, &QAbstractItemModel::rowsRemoved, this, &LyricLineSizes::forget);
    connect(m, &QAbstractItemModel::rowsMoved, this, &LyricLineSizes::forget);
    connect(m, &QAbstractItemModel::dataChanged, this, &LyricLineSizes::forget);
  }
  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    if (!(option.font == font_)) {
      sizes_.clear();
      font_ = option.font;
    }
    const quint64 key = (quint64(quint32(index.row())) << 32) | quint32(option.rect.width());
    const auto known = sizes_.constFind(key);
    if (known != sizes_.constEnd()) return *known;
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    sizes_.insert(key, size);
    return size;
  }
  void forget() { sizes_.clear(); }

 private:
  mutable QHash<quint64, QSize> sizes_;
  mutable QFont font_;
};

}  // namespace

SkinFace::SkinFace(SkinTables &t, MainState &st, QWidget *parent) : QWidget(parent), t_(t), st_(st) {
  setObjectName(QStringLiteral("SkinFace"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  lyricBox_ = new QListWidget(this);
  lyricBox_->setObjectName(QStringLiteral("PlLyrics"));
  lyricBox_->setWordWrap(true);
  lyricBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lyricBox_->setItemDelegate(new LyricLineSizes(lyricBox_));
  lyricBox_->hide();
  lyricLine_ = new QLabel(this);
  lyricLine_->setObjectName(QStringLiteral("lyricLine"));
  lyricLine_->setTextFormat(Qt::PlainText);
  lyricLine_->setAlignment(Qt::AlignCenter);
  lyricLine_->setWordWrap(true);
  lyricLine_->hide();
  cover_ = new QLabel(this);
  cover_->setObjectName(QStringLiteral("cover"));
  cover_->setScaledContents(true);
  cover_->setAttribute(Qt::WA_TransparentForMouseEvents);
  cover_->hide();
  // A right press opens the menu (contextMenuRequested) only once: the
  // window's own context menu handling stays out of it.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void SkinFace::setCoverPicture(const QPixmap &picture) {
  if (picture.isNull())
    cover_->clear();
  else
    cover_->setPixmap(picture);
}

void SkinFace::setDisplayTip(int n, const QString &tip) {
  if (n >= 1 && n <= SkinTables::kDisplays) displayTips_[static_cast<size_t>(n)] = tip;
}

QLabel *SkinFace::label(int n) const {
  return n >= 1 && n <= SkinTables::kLabels ? labels_[static_cast<size_t>(n)] : nullptr;
}

void SkinFace::setPictures(SkinPictures p) {
  pics_ = std::move(p);
  update();
}

void SkinFace::adoptPlaylistBox(QListWidget *box) {
  playlistBox_ = box;
  box->setParent(this);
  box->hide();
}

void SkinFace::placeBox(QWidget *w, const SkinBox &b, bool withFont) {
  if (!b.Visible) {
    w->hide();
    return;
  }
  w->setGeometry(b.Left, b.Top, b.Width, b.Height);
  w->setToolTip(plainToolTip(b.ToolTip));
  if (withFont) {
    QFont f = skinFont(b.FontName, b.FontSize);
    f.setBold(false);
    w->setFont(f);
    // Colours from the skin; the selection and the scroll bars follow them.
    const QColor fore = toColor(b.ForeColor);
    const QString soft =
        QStringLiteral("rgba(%1, %2, %3, %4)").arg(fore.red()).arg(fore.green()).arg(fore.blue());
    w->setStyleSheet(
        QStringLiteral(
            "* { color: %1; background: %2; border: none; selection-color: %1;"
            " selection-background-color: %3; }"
            "QScrollBar:vertical { background: %2; width: 8px; margin: 0; }"
            "QScrollBar:horizontal { background: %2; height: 8px; margin: 0; }"
            "QScrollBar::handle { background: %4; border-radius: 3px; min-height: 20px; min-width: 20px; }"
            "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(colorCss(b.ForeColor), colorCss(b.BackColor), soft.arg(50), soft.arg(70)));
  }
  w->show();
  // The style sheet paints a list's background itself and turns off the
  // fill of the list's viewport. Qt then takes the viewport for see-through
  // and repaints every visible line each time the list scrolls, where an
  // opaque one has what it shows moved and paints only the line that came
  // into view. The fill (under the same background) makes it opaque again;
  // it is set once the style sheet has been applied, which would undo it.
  if (auto *list = qobject_cast<QAbstractScrollArea *>(w)) {
    list->ensurePolished();
    list->viewport()->setAutoFillBackground(true);
  }
}

void SkinFace::applyLayout() {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toColor(t_.BackColor));
  setPalette(pal);
  for (int n = 1; n <= SkinTables::kLabels; ++n) {
    const SkinLabel &l = t_.Lbl[static_cast<size_t>(n)];
    QLabel *&w = labels_[static_cast<size_t>(n)];
    if (!l.Visible) {
      if (w) w->hide();
      continue;
    }
    if (!w) {
      w = new QLabel(this);
      w->setObjectName(QStringLiteral("Lbl%1").arg(n));
      w->setTextFormat(Qt::PlainText);
      w->installEventFilter(this);
    }
    // Labels 1 and 2 answer clicks; the others let the window be dragged through them.
    w->setAttribute(Qt::WA_TransparentForMouseEvents, n > 2);
    QFont f = skinFont(l.FontName, l.FontSize);
    f.setBold(l.Bold);
    f.setItalic(l.Italic);
    f.setUnderline(l.Underline);
    w->setFont(f);
    w->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colorCss(l.ForeColor)));
    w->setGeometry(l.Left, l.Top, l.Width, l.Height);
    w->setToolTip(plainToolTip(l.ToolTip));
    w->show();
  }
  if (playlistBox_) placeBox(playlistBox_, t_.PlNames, true);
  placeBox(lyricBox_, t_.PlLyrics, true);
  static_cast<LyricLineSizes *>(lyricBox_->itemDelegate())->forget();  // a new style sheet
  placeBox(lyricLine_, t_.LyricLine, true);
  placeBox(cover_, t_.Cover, false);
  tmpBtn_ = framed_ = pressed_ = 0;
  update();
}

void SkinFace::setDisplayText(int n, const QString &text, bool clock24) {
  if (n < 1 || n > SkinTables::kDisplays) return;
  const auto i = static_cast<size_t>(n);
  if (displays_[i] == text && clock24_[i] == clock24) return;
  // Only the glyphs drawn before and after are drawn again.
  const QRect before = displayRect(n);
  displays_[i] = text;
  clock24_[i] = clock24;
  const QRect after = displayRect(n);
  if (!before.isEmpty() || !after.isEmpty()) update(before.united(after));
}

QRect SkinFace::displayRect(int n) const {
  const DigitDisplay &d = t_.Dig[static_cast<size_t>(n)];
  if (!d.Visible || pics_.Resource.isNull() || d.DigitHeight <= 0) return {};
  // The cells as drawDisplay places them (a negative gap overlaps them).
  int x = d.Left, left = 0, right = 0;
  bool any = false;
  for (const GlyphCell &g : GlyphCells(d, displays_[static_cast<size_t>(n)], clock24_[static_cast<size_t>(n)])) {
    if (x > width()) break;
    if (g.width > 0) {
      left = any ? qMin(left, x) : x;
      right = any ? qMax(right, x + g.width) : x + g.width;
      any = true;
    }
    x += g.width + d.GlyphGap;
  }
  return any ? QRect(left, d.Top, right - left, d.DigitHeight) : QRect();
}

void SkinFace::setLight(int n, bool on) {
  if (n < 1 || n > SkinTables::kLights || lights_[static_cast<size_t>(n)] == on) return;
  lights_[static_cast<size_t>(n)] = on;
  const SkinLight &l = t_.Ind[static_cast<size_t>(n)];
  if (l.Declared) update(l.Left - 1, l.Top - 1, l.Width + 2, l.Height + 2);
}

void SkinFace::placeSlider(int n, double value, bool now) {
  if (n < 1 || n > SkinTables::kSliders) return;
  st_.Sliders[static_cast<size_t>(n)].Value = value;
  SkinSlider &s = t_.Sliders[static_cast<size_t>(n)];
  const QRect before(s.KnobLeft, s.KnobTop, s.KnobW, s.KnobH);
  if (!PlaceSliderKnob(s, n, value)) return;
  const QRect moved = before.united(QRect(s.KnobLeft, s.KnobTop, s.KnobW, s.KnobH));
  if (now)
    repaint(moved);
  else
    update(moved);
}

// Drawing.

void SkinFace::drawLight(QPainter &p, const SkinLight &l) {
  QRectF r(l.Left, l.Top, l.Width, l.Height);
  if (l.ShapeKind == 1 || l.ShapeKind == 3 || l.ShapeKind == 5) {
    const double side = qMin(r.width(), r.height());
    r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(toColor(l.FillColor));
  switch (l.ShapeKind) {
    case 2:
    case 3:
      p.drawEllipse(r);
      break;
    case 4:
    case 5: {
      const double radius = qMin(r.width(), r.height()) / 4;
      p.drawRoundedRect(r, radius, radius);
      break;
    }
    default:
      p.drawRect(r);
      break;
  }
}

void SkinFace::drawDisplay(QPainter &p, int n) {
  const DigitDisplay &d = t_.Dig[static_cast<size_t>(n)];
  if (!d.Visible || pics_.Resource.isNull() || d.DigitHeight <= 0) return;
  // Outside the part being drawn: nothing to do.
  if (!p.clipBoundingRect().toAlignedRect().intersects(QRect(0, d.Top, width(), d.DigitHeight))) return;
  int x = d.Left;
  const auto cells = GlyphCells(d, displays_[static_cast<size_t>(n)], clock24_[static_cast<size_t>(n)]);
  for (const GlyphCell &g : cells) {
    if (x > width()) break;
    if (g.width > 0) {
      const QRect src(d.SrcX + g.col * d.DigitWidth, d.SrcY + g.row * d.DigitHeight, g.width, d.DigitHeight);
      p.drawImage(QRect(x, d.Top, g.width, d.DigitHeight), pics_.Resource, src);
    }
    x += g.width + d.GlyphGap;
  }
}

void SkinFace::paintEvent(QPaintEvent *e) {
  QPainter p(this);
  p.setClipRegion(e->region());
  // Most repaints are small (a knob moved, a display changed): what lies
  // outside the changed part is left alone rather than clipped away.
  const QRect dirty = e->rect();
  p.fillRect(dirty, toColor(t_.BackColor));
  if (!pics_.Background.isNull()) p.drawImage(dirty, pics_.Background, dirty);
  p.setRenderHint(QPainter::Antialiasing);
  for (int n = 1; n <= SkinTables::kLights; ++n) {
    const SkinLight &l = t_.Ind[static_cast<size_t>(n)];
    if (l.Declared && lights_[static_cast<size_t>(n)] &&
        dirty.intersects(QRect(l.Left - 1, l.Top - 1, l.Width + 2, l.Height + 2)))
      drawLight(p, l);
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  // The bar first, so that a knob on the same track stays on top of it.
  for (int n : {4, 1, 2, 3, 5}) {
    const SkinSlider &s = t_.Sliders[static_cast<size_t>(n)];
    const QRect knob(s.KnobLeft, s.KnobTop, s.KnobW, s.KnobH);
    if (!s.Visible || s.KnobW <= 0 || s.KnobH <= 0 || !dirty.intersects(knob)) continue;
    p.drawImage(knob, pics_.Resource, QRect(s.KnobSrcX, s.KnobSrcY, s.KnobW, s.KnobH));
  }
  for (int n = 1; n <= SkinTables::kDisplays; ++n) drawDisplay(p, n);
  if (hotAreas_) {
    for (int n = 1; n <= 50; ++n) {
      const SkinButton &b = t_.Btn[static_cast<size_t>(n)];
      if (!b.Visible) continue;
      if (hotAreas_ == 1) p.fillRect(b.Left, b.Top, b.Width, b.Height, QColor(128, 128, 128, 160));
      p.setPen(QColor(255, 255, 255, 200));
      p.drawRect(b.Left, b.Top, b.Width - 1, b.Height - 1);
    }
  }
  if (tmpBtn_) {
    const SkinButton &b = t_.Btn[static_cast<size_t>(tmpBtn_)];
    p.drawImage(QRect(b.Left, b.Top, b.Width, b.Height), pics_.Resource,
                QRect(b.SrcX, b.SrcY, b.Width, b.Height));
  }
  if (framed_) {
    const SkinButton &b = t_.Btn[static_cast<size_t>(framed_)];
    p.setPen(QColor(255, 255, 255, 150));
    p.setBrush(Qt::NoBrush);
    p.drawRect(b.Left, b.Top, b.Width - 1, b.Height - 1);
  }
}

// Mouse.

int SkinFace::buttonAt(const QPoint &pt) const {
  for (int n = SkinTables::kButtons; n >= 1; --n) {
    const SkinButton &b = t_.Btn[static_cast<size_t>(n)];
    if (b.Visible && QRect(b.Left, b.Top, b.Width, b.Height).contains(pt)) return n;
  }
  return 0;
}

int SkinFace::knobAt(const QPoint &pt) const {
  for (int n = 1; n <= SkinTables::kSliders; ++n) {
    if (n == kBarSlider) continue;
    const SkinSlider &s = t_.Sliders[static_cast<size_t>(n)];
    if (s.Visible && QRect(s.KnobLeft, s.KnobTop, s.KnobW, s.KnobH).contains(pt)) return n;
  }
  return 0;
}

void SkinFace::buttonDown(int n) {
  const SkinButton &b = t_.Btn[static_cast<size_t>(n)];
  const int old = tmpBtn_;
  tmpBtn_ = n;
  if (old) {
    const SkinButton &o = t_.Btn[static_cast<size_t>(old)];
    update(o.Left, o.Top, o.Width, o.Height);
  }
  repaint(b.Left, b.Top, b.Width, b.Height);
}

void SkinFace::releaseButton(int n) {
  if (tmpBtn_) {
    const SkinButton &b = t_.Btn[static_cast<size_t>(tmpBtn_)];
    update(b.Left, b.Top, b.Width, b.Height);
  }
  tmpBtn_ = 0;
  if (framed_ == n) {
    const SkinButton &b = t_.Btn[static_cast<size_t>(n)];
    update(b.Left, b.Top, b.Width, b.Height);
    framed_ = 0;
  }
  Q_EMIT command(n);
}

void SkinFace::hoverTo(int n) {
  if (n == st_.LastIndex) return;
  const int last = st_.LastIndex;
  auto refresh = [this](int i) {
    if (i <= 0) return;
    const SkinButton &b = t_.Btn[static_cast<size_t>(i)];
    update(b.Left, b.Top, b.Width, b.Height);
  };
  if (t_.HoverMode == 1) {
    framed_ = n;
    refresh(last);
    refresh(n);
  } else if (t_.HoverMode == 2) {
    if (n) {
      buttonDown(n);
    } else {
      tmpBtn_ = 0;
      refresh(last);
    }
  }
  st_.LastIndex = static_cast<qint16>(n);
}

void SkinFace::mousePressEvent(QMouseEvent *e) {
  const QPoint pt = e->position().toPoint();
  // Only the left button works the controls; the right one opens the menu,
  // wherever it is pressed, and arms nothing.
  if (e->button() == Qt::RightButton) {
    Q_EMIT contextMenuRequested(e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (const int k = knobAt(pt); k && st_.SlideFlag == 0) {
    const SkinSlider &s = t_.Sliders[static_cast<size_t>(k)];
    // The grab point is kept in the knob's own coordinates.
    if (s.vertical()) {
      grabY_ = pt.y() - s.KnobTop;
      grabTop_ = s.KnobTop;
    } else {
      grabX_ = pt.x() - s.KnobLeft;
      grabLeft_ = s.KnobLeft;
    }
    st_.SlideFlag = static_cast<qint16>(k);
    Q_EMIT sliderGrabbed(k);
    return;
  }
  if (const int b = buttonAt(pt)) {
    pressed_ = b;
    buttonDown(b);
    return;
  }
  if (st_.DragFlag) return;
  // A drag of the bare window; the window manager is asked to move it once
  // the pointer has moved a little (a double click stays a double click).
  QWidget *w = window();
  pressPoint_ = e->globalPosition().toPoint();
  trySystemMove_ = true;
  grabX_ = pt.x() * st_.TwipX;
  grabY_ = pt.y() * st_.TwipY;
  grabLeft_ = w->x() * st_.TwipX;
  grabTop_ = w->y() * st_.TwipY;
  st_.DragFlag = -1;
}

void SkinFace::mouseMoveEvent(QMouseEvent *e) {
  const QPoint pt = e->position().toPoint();
  if (st_.SlideFlag > 0) {
    const int n = st_.SlideFlag;
    const SkinSlider &s = t_.Sliders[static_cast<size_t>(n)];
    const double v = s.vertical() ? DragSliderKnob(s, pt.y() - grabTop_, grabY_, grabTop_)
                                  : DragSliderKnob(s, pt.x() - grabLeft_, grabX_, grabLeft_);
    lastSliderValue_ = v;
    placeSlider(n, v);
    Q_EMIT sliderMoved(n, v);
    return;
  }
  if (pressed_) return;  // a held button keeps its pressed image
  if (st_.DragFlag) {
    // The window follows the pointer; once the pointer has moved a little
    // (so that a double click stays a double click) the window manager is
    // asked to take over, where it can (on Wayland a window cannot move
    // itself, and the window manager knows the screens' edges and snapping).
    QWidget *w = window();
    const int tx = qMax<int>(1, st_.TwipX), ty = qMax<int>(1, st_.TwipY);
    const qint64 left = qint64(pt.x()) * tx - grabX_ + grabLeft_;
    const qint64 top = qint64(pt.y()) * ty - grabY_ + grabTop_;
    w->move(static_cast<int>(left / tx), static_cast<int>(top / ty));
    grabLeft_ = w->x() * tx;
    grabTop_ = w->y() * ty;
    if (trySystemMove_ && (e->globalPosition().toPoint() - pressPoint_).manhattanLength() >=
                              QApplication::startDragDistance()) {
      trySystemMove_ = false;
      if (w->windowHandle() && w->windowHandle()->startSystemMove()) {
        st_.DragFlag = 0;
        Q_EMIT systemMoveStarted();
      }
    }
    return;
  }
  hoverTo(buttonAt(pt));
}

void SkinFace::mouseReleaseEvent(QMouseEvent *e) {
  if (e->button() != Qt::LeftButton) return;
  if (st_.SlideFlag > 0) {
    const int n = st_.SlideFlag;
    st_.SlideFlag = 0;
    Q_EMIT sliderReleased(n, lastSliderValue_);
    return;
  }
  if (pressed_) {
    const int n = pressed_;
    pressed_ = 0;
    releaseButton(n);
    return;
  }
  if (st_.DragFlag) {
    st_.DragFlag = 0;
    Q_EMIT windowDropped();
  }
}

void SkinFace::mouseDoubleClickEvent(QMouseEvent *e) {
  const QPoint pt = e->position().toPoint();
  if (const int k = knobAt(pt)) {
    Q_EMIT sliderDoubleClicked(k);
    return;
  }
  if (e->button() == Qt::LeftButton && cover_->isVisible() && cover_->geometry().contains(pt) &&
      !buttonAt(pt)) {
    Q_EMIT coverDoubleClicked();
    return;
  }
  // A double click on a button is two clicks.
  mousePressEvent(e);
}

void SkinFace::leaveEvent(QEvent *) {
  if (!pressed_ && !st_.DragFlag) hoverTo(0);
}

bool SkinFace::event(QEvent *e) {
  if (e->type() == QEvent::ToolTip) {
    auto *he = static_cast<QHelpEvent *>(e);
    const QPoint pt = he->pos();
    QString tip;
    if (const int k = knobAt(pt))
      tip = t_.Sliders[static_cast<size_t>(k)].ToolTip;
    else if (const int b = buttonAt(pt))
      tip = t_.Btn[static_cast<size_t>(b)].ToolTip;
    else
      for (int n = 1; n <= SkinTables::kDisplays && tip.isEmpty(); ++n) {
        const DigitDisplay &d = t_.Dig[static_cast<size_t>(n)];
        if (d.Visible && QRect(d.Left, d.Top, d.Width, d.Height).contains(pt)) {
          const QString &own = displayTips_[static_cast<size_t>(n)];
          tip = own.isEmpty() ? d.ToolTip : own;
        }
      }
    // Labels past 2 and the cover area let the mouse through to here.
    for (int n = SkinTables::kLabels; n >= 1 && tip.isEmpty(); --n) {
      const SkinLabel &l = t_.Lbl[static_cast<size_t>(n)];
      if (l.Visible && QRect(l.Left, l.Top, l.Width, l.Height).contains(pt)) tip = l.ToolTip;
    }
    if (tip.isEmpty() && t_.Cover.Visible && cover_->geometry().contains(pt)) tip = t_.Cover.ToolTip;
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(he->globalPos(), plainToolTip(tip), this);
    return true;
  }
  return QWidget::event(e);
}

bool SkinFace::eventFilter(QObject *o, QEvent *e) {
  if (e->type() == QEvent::MouseButtonRelease) {
    for (int n = 1; n <= 2; ++n)
      if (o == labels_[static_cast<size_t>(n)]) Q_EMIT labelClicked(n);
  }
  return QWidget::eventFilter(o, e);
}

}  // namespace cantorel
