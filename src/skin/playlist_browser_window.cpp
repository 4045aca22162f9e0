#include "skin/playlist_browser_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/atomic_file.h"
#include "core/general.h"
#include "core/text_codec.h"
#include "playlist/paths.h"
#include "playlist/playlist_add.h"
#include "prefs/message_ids.h"

namespace cantorel {

namespace {

constexpr int kTileSize = 104;  // picture square of one cover (16 fit on a 1024x768 screen)
constexpr int kCaptionHeight = 18;
constexpr qint64 kMaxPlaylistBytes = 4 << 20;  // what a selected playlist shows at most
constexpr int kMaxShownLines = 32766;
const QString kDirCardText = QStringLiteral("This is a directory. Double-click to enter!");

// A cover scaled into the tile, refusing pictures too large to decode sanely.
QPixmap loadCover(const QString &file) {
  if (file.isEmpty()) return QPixmap();
  QImageReader reader(file);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > 8000 || size.height() > 8000)) return QPixmap();
  const QImage img = reader.read();
  if (img.isNull()) return QPixmap();
  return QPixmap::fromImage(img.scaled(kTileSize, kTileSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// A tooltip shows rich text when it looks like markup: escape it so a name is
// always shown as it is.
QString plainTip(const QString &text) { return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>"); }

bool isDirCard(const QString &entry) { return entry.right(4).toUpper() == QLatin1String(".DIR"); }

}  // namespace

CoverTile::CoverTile(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_Hover);
  setMouseTracking(true);
  auto *v = new QVBoxLayout(this);
  v->setContentsMargins(4, 4, 4, 2);
  v->setSpacing(2);
  picture_ = new QLabel(this);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setFixedSize(kTileSize, kTileSize);
  picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
  caption_ = new QLabel(this);
  caption_->setTextFormat(Qt::PlainText);
  caption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  caption_->setFixedSize(kTileSize, kCaptionHeight);
  caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
  v->addWidget(picture_);
  v->addWidget(caption_);
  setFixedSize(kTileSize + 8, kTileSize + kCaptionHeight + 8);
  // A page with few covers keeps the grid's shape.
  QSizePolicy keep = sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  setSizePolicy(keep);
  setCursor(Qt::PointingHandCursor);
}

void CoverTile::setEntry(const QPixmap &picture, const QString &name) {
  picture_->setPixmap(picture);
  if (picture.isNull()) picture_->clear();
  caption_->setText(caption_->fontMetrics().elidedText(name, Qt::ElideRight, kTileSize));
  caption_->setProperty("fullName", name);
  setToolTip(plainTip(name));
}

QString CoverTile::name() const { return caption_->property("fullName").toString(); }

void CoverTile::setFramed(bool on) {
  if (framed_ == on) return;
  framed_ = on;
  update();
}

void CoverTile::setSelected(bool on) {
  if (selected_ == on) return;
  selected_ = on;
  update();
}

void CoverTile::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::LeftButton) Q_EMIT clicked();
}

void CoverTile::mouseDoubleClickEvent(QMouseEvent *e) {
  if (e->button() == Qt::LeftButton) Q_EMIT doubleClicked();
}

void CoverTile::enterEvent(QEnterEvent *) { Q_EMIT hovered(); }

void CoverTile::paintEvent(QPaintEvent *) {
  if (!framed_ && !selected_) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  QColor accent = palette().color(QPalette::Highlight);
  if (selected_) {
    QColor fill = accent;
    fill.setAlpha(110);
    p.setBrush(fill);
  }
  p.setPen(framed_ ? QPen(accent, 2) : Qt::NoPen);
  p.drawRoundedRect(r, 5, 5);
}

PlaylistBrowserWindow::PlaylistBrowserWindow(General &g, const QString &noCoverPath, const QString &appFolder,
                                             QWidget *parent)
    : QWidget(parent, Qt::Window), g_(g) {
  setObjectName(QStringLiteral("PlaylistBrowserWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setMouseTracking(true);
  busy = true;
  hoveredTile = 0;

  auto label = [this](int id) {
    auto *l = new QLabel(g_.message(id), this);
    l->setTextFormat(Qt::PlainText);
    return l;
  };
  auto button = [this](int id) { return new QPushButton(g_.message(id), this); };

  setWindowTitle(g_.message(msg::BrowserTitle));
  titleLabel = label(msg::BrowserTitle);
  QFont big = titleLabel->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  titleLabel->setFont(big);
  contentsLabel = label(msg::BrowserContentsHeader);
  pageLabel = label(msg::BrowserPageCounter);
  pageLabel->setAlignment(Qt::AlignCenter);
  nameLabel = new QLabel(this);
  nameLabel->setTextFormat(Qt::PlainText);
  QFont bold = nameLabel->font();
  bold.setBold(true);
  nameLabel->setFont(bold);
  nameLabel->setWordWrap(true);
  nameLabel->setMinimumHeight(nameLabel->fontMetrics().height() * 2 + 4);
  nameLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  contentsList = new QListWidget(this);
  contentsList->setFixedWidth(230);
  contentsList->setUniformItemSizes(true);
  previousButton = button(msg::BrowserPrev);
  nextButton = button(msg::BrowserNext);
  loadButton = button(msg::BrowserLoad);
  loadButton->setDefault(true);
  folderButton = button(msg::BrowserSelectDir);
  rememberFolderCheck = new QCheckBox(g_.message(msg::BrowserRememberDir), this);
  coloursButton = button(msg::BrowserSwapColours);
  printButton = button(msg::BrowserPrint);
  cancelButton = button(msg::BrowserCancel);

  // Left: heading, the selected playlist and the commands. Right: the grid.
  auto *side = new QVBoxLayout;
  side->addWidget(titleLabel);
  side->addSpacing(4);
  side->addWidget(nameLabel);
  side->addSpacing(4);
  side->addWidget(contentsLabel);
  side->addWidget(contentsList, 1);
  side->addSpacing(4);
  side->addWidget(rememberFolderCheck);
  auto *tools = new QGridLayout;
  tools->addWidget(folderButton, 0, 0);
  tools->addWidget(coloursButton, 0, 1);
  tools->addWidget(printButton, 1, 0);
  tools->addWidget(loadButton, 1, 1);
  side->addLayout(tools);

  auto *grid = new QGridLayout;
  grid->setSpacing(6);
  for (int k = 0; k < kPerPage; ++k) {
    tiles[static_cast<size_t>(k)] = new CoverTile(this);
    CoverTile *t = tiles[static_cast<size_t>(k)];
    grid->addWidget(t, k / kColumns, k % kColumns);
    connect(t, &CoverTile::clicked, this, [this, k] { selectEntry(k); });
    connect(t, &CoverTile::doubleClicked, this, [this, k] {
      selectEntry(k);
      loadSelected();
    });
    connect(t, &CoverTile::hovered, this, [this, k] { hoverTile(k); });
    t->hide();
  }
  auto *paging = new QHBoxLayout;
  paging->addWidget(previousButton);
  paging->addWidget(pageLabel, 1);
  paging->addWidget(nextButton);
  paging->addSpacing(24);
  paging->addWidget(cancelButton);
  auto *right = new QVBoxLayout;
  right->addLayout(grid);
  right->addStretch(1);
  right->addLayout(paging);

  auto *top = new QHBoxLayout(this);
  top->setContentsMargins(14, 14, 14, 14);
  top->setSpacing(16);
  top->addLayout(side);
  top->addLayout(right, 1);

  connect(previousButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::prevPage);
  connect(nextButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::nextPage);
  connect(loadButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::loadSelected);
  connect(folderButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::selectDirectory);
  connect(coloursButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::swapColours);
  connect(printButton, &QPushButton::clicked, this, &PlaylistBrowserWindow::printWindow);
  connect(cancelButton, &QPushButton::clicked, this, [this] {
    if (!busy) close();
  });

  // The desktop's colours, like every other window; "Swap Colours" turns it
  // to white on black and back to black on white.
  applyColours(palette().color(QPalette::Window), palette().color(QPalette::WindowText));
  noCoverFile = QFileInfo::exists(noCoverPath) ? noCoverPath : QString();
  pickFolder_ = [this](const QString &prompt) { return QFileDialog::getExistingDirectory(this, prompt, folder_); };
  scanFolder(g_.VisPLPath.isEmpty() ? appFolder : g_.VisPLPath);
}

void PlaylistBrowserWindow::clearBrowser() {
  entries.clear();
  entryNames.clear();
  selectedEntry.clear();
  contentsList->clear();
  nameLabel->setText(QStringLiteral("<- ") + g_.message(msg::BrowserFolderRead));
}

void PlaylistBrowserWindow::scanFolder(const QString &folderIn) {
  busy = true;
  const QString folder = AddBackslash(folderIn);
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    folder_ = folder;
    clearBrowser();
    const QStringList cards =
        QDir(folder).entryList({QStringLiteral("*.DIR")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    if (!cards.isEmpty()) {
      for (const QString &c : cards) entries.append(folder + c);
    } else {
      Playlist found;
      PlAddTree(folder, found, QStringLiteral("M3U PLS"),
                [](const QString &p) { return FriendlyName(FilePart(p), 1); },
                [] { QCoreApplication::processEvents(); });
      entries = found.PlPath;
      entryNames = found.PlNames;
    }
    page = 0;
    showPage();
    if (rememberFolderCheck->isChecked()) g_.VisPLPath = folder;
  }
  busy = false;
  closeIfPending();
}

void PlaylistBrowserWindow::showPage() {
  const int generation = ++fillGeneration_;
  const bool wasBusy = busy;
  busy = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  contentsList->clear();
  nameLabel->setText(g_.message(msg::BrowserFilling));
  QCoreApplication::processEvents();

  const int count = static_cast<int>(entries.size());
  lastPage = count > 0 ? (count - 1) / kPerPage : 0;
  pageLabel->setText(g_.message(msg::BrowserPageBefore) + QString::number(page + 1) +
                   g_.message(msg::BrowserPageMiddle) + QString::number(lastPage + 1) +
                   g_.message(msg::BrowserPageAfter));
  previousButton->setEnabled(page > 0);
  nextButton->setEnabled(page < lastPage);
  const QPixmap noCover = loadCover(noCoverFile);
  for (int k = 0; k < kPerPage && generation == fillGeneration_; ++k) {
    CoverTile *t = tiles[static_cast<size_t>(k)];
    const int index = page * kPerPage + k;
    if (index <= static_cast<int>(entries.size()) - 1) {
      const QString entry = entries.at(index);
      QPixmap pic = loadCover(FindImageFile(StripExt(entry)));
      if (pic.isNull()) pic = noCover;
      t->setEntry(pic, FriendlyName(StripExt(entry), 1));
      t->setVisible(true);
    } else {
      t->setVisible(false);
    }
    QCoreApplication::processEvents();
  }
  QApplication::restoreOverrideCursor();
  markSelected();
  busy = wasBusy;
  // A fill started while this one let events run has the last word.
  // Nothing to load or print until there is a playlist (and one is chosen);
  // an empty folder says how to get some.
  printButton->setEnabled(count > 0);
  loadButton->setEnabled(count > 0 && !selectedEntry.isEmpty());
  if (generation == fillGeneration_)
    nameLabel->setText(count > 0
                           ? g_.message(msg::BrowserReady)
                           : QStringLiteral("No playlists in this folder. Save the playlist into it "
                                            "(.m3u or .pls), or choose another folder with Change Folder."));
  closeIfPending();
}

void PlaylistBrowserWindow::selectEntry(int k) {
  const int index = page * kPerPage + k;
  if (k < 0 || k >= kPerPage || index > static_cast<int>(entries.size()) - 1) return;
  const QString entry = entries.at(index);
  contentsList->clear();
  nameLabel->setText(FriendlyName(FilePart(entry), 1));
  selectedEntry = entry;
  loadButton->setEnabled(true);
  markSelected();
  if (isDirCard(entry)) {
    contentsList->addItem(kDirCardText);
    return;
  }
  QByteArray bytes;
  if (!readFileLimited(entry, kMaxPlaylistBytes, &bytes)) return;  // unreadable: an empty list
  QStringList lines = decodeText(bytes).split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  int shown = 0;
  for (QString line : lines) {
    if (++shown > kMaxShownLines) break;
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    contentsList->addItem(FilePart(line));
  }
}

void PlaylistBrowserWindow::loadSelected() {
  if (selectedEntry.isEmpty()) return;
  if (isDirCard(selectedEntry)) {
    const QString folder = selectedEntry.left(selectedEntry.size() - 4);
    if (!folder.isEmpty()) scanFolder(folder);
    return;
  }
  Q_EMIT playlistChosen(selectedEntry);
  // Chosen while covers are still being filled: the browser closes once the
  // fill has ended, not from under it.
  closeWhenIdle_ = true;
  closeIfPending();
}

void PlaylistBrowserWindow::closeIfPending() {
  if (closeWhenIdle_ && !busy) {
    closeWhenIdle_ = false;
    close();
  }
}

void PlaylistBrowserWindow::nextPage() {
  if (page < lastPage) {
    ++page;
    showPage();
  }
}

void PlaylistBrowserWindow::prevPage() {
  if (page > 0) {
    --page;
    showPage();
  }
}

void PlaylistBrowserWindow::selectDirectory() {
  const QString folder = pickFolder_ ? pickFolder_(QStringLiteral("Select directory containing media files:")) : QString();
  if (!folder.isEmpty()) scanFolder(folder);
}

void PlaylistBrowserWindow::applyColours(const QColor &background, const QColor &text) {
  QPalette p = palette();
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::Base, background);
  p.setColor(QPalette::AlternateBase, background);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Text, text);
  setPalette(p);
  setAutoFillBackground(true);
  // Frames and the tick box stay visible on either background.
  const QColor mid = background.lightness() < 128 ? QColor(0x60, 0x60, 0x60) : QColor(0xa0, 0xa0, 0xa0);
  p.setColor(QPalette::Mid, mid);
  for (QWidget *w :
       std::initializer_list<QWidget *>{contentsList, titleLabel, nameLabel, contentsLabel, pageLabel}) {
    w->setPalette(p);
  }
  // The list's frame is drawn by a style sheet, which then also decides its
  // colours.
  contentsList->setStyleSheet(
      QStringLiteral("QListWidget { background: %1; color: %2; border: 1px solid %3; border-radius: 3px; padding: 2px; }")
          .arg(background.name(), text.name(), mid.name()));
  QPalette box = p;
  box.setColor(QPalette::Base, background.lightness() < 128 ? QColor(0x30, 0x30, 0x30) : QColor(Qt::white));
  box.setColor(QPalette::Window, background);
  rememberFolderCheck->setPalette(box);
  for (CoverTile *t : tiles) t->setPalette(p);
}

void PlaylistBrowserWindow::swapColours() {
  if (palette().color(QPalette::Window) == QColor(Qt::black))
    applyColours(Qt::white, Qt::black);
  else
    applyColours(Qt::black, Qt::white);
}

bool PlaylistBrowserWindow::printTo(QPrinter &printer) {
  const QPixmap image = grab();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRect page = painter.viewport();
  const QSize size = image.size().scaled(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(page.x(), page.y(), size.width(), size.height());
  painter.setWindow(image.rect());
  painter.drawPixmap(0, 0, image);
  return painter.end();
}

void PlaylistBrowserWindow::printWindow() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(g_.message(msg::BrowserPrint));
  if (dialog.exec() == QDialog::Accepted) printTo(printer);
}

void PlaylistBrowserWindow::markSelected() {
  for (int k = 0; k < kPerPage; ++k) {
    const int index = page * kPerPage + k;
    tiles[static_cast<size_t>(k)]->setSelected(!selectedEntry.isEmpty() && index < entries.size() &&
                                               entries.at(index) == selectedEntry);
  }
}

void PlaylistBrowserWindow::hoverTile(int k) {
  if (hoveredTile >= 0 && hoveredTile < kPerPage) tiles[static_cast<size_t>(hoveredTile)]->setFramed(false);
  hoveredTile = k;
  if (k >= 0 && k < kPerPage) tiles[static_cast<size_t>(k)]->setFramed(true);
}

void PlaylistBrowserWindow::mouseMoveEvent(QMouseEvent *e) {
  // Over the bare window: no cover is framed.
  if (hoveredTile >= 0 && hoveredTile < kPerPage) tiles[static_cast<size_t>(hoveredTile)]->setFramed(false);
  QWidget::mouseMoveEvent(e);
}

void PlaylistBrowserWindow::closeEvent(QCloseEvent *e) {
  if (busy) {
    e->ignore();
    return;
  }
  QWidget::closeEvent(e);
}

}  // namespace cantorel
