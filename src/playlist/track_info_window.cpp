#include "playlist/track_info_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

#include "core/general.h"
#include "core/main_state.h"
#include "platform/desktop_services.h"
#include "playlist/cover.h"
#include "playlist/paths.h"

namespace cantorel {

namespace {

constexpr int kFollowMs = 2000;
constexpr int kCoverSize = 120;

QLabel *plainLabel(QWidget *parent) {
  auto *l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);
  return l;
}

}  // namespace

TrackInfoWindow::TrackInfoWindow(General &g, MainState &st, DesktopServices &desktop, PlayerAccess player,
                                 QWidget *parent)
    : QWidget(parent, Qt::Window), g_(g), st_(st), desktop_(desktop), player_(std::move(player)) {
  setObjectName(QStringLiteral("TrackInfoWindow"));
  const auto edit = [this](const char *name, int maxLength) {
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
  };
  fileNameValue = plainLabel(this);
  fileNameValue->setObjectName(QStringLiteral("fileNameValue"));
  fileNameValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fileNameValue->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  fileNameValue->setMinimumWidth(260);
  titleEdit = edit("titleEdit", TagInfo::kTitleWidth);
  artistEdit = edit("artistEdit", TagInfo::kArtistWidth);
  albumEdit = edit("albumEdit", TagInfo::kAlbumWidth);
  yearEdit = edit("yearEdit", TagInfo::kYearWidth);
  trackEdit = edit("trackEdit", 3);
  commentEdit = edit("commentEdit", TagInfo::kCommentWidth);
  genreCombo = new QComboBox(this);
  genreCombo->setObjectName(QStringLiteral("genreCombo"));
  genreCombo->addItems(GenreList());
  coverLabel = plainLabel(this);
  coverLabel->setObjectName(QStringLiteral("coverLabel"));
  coverLabel->setFixedSize(kCoverSize, kCoverSize);
  coverLabel->setAlignment(Qt::AlignCenter);
  editCheck = new QCheckBox(this);
  editCheck->setObjectName(QStringLiteral("editCheck"));
  okButton = new QPushButton(this);
  okButton->setObjectName(QStringLiteral("okButton"));
  currentButton = new QPushButton(this);
  currentButton->setObjectName(QStringLiteral("currentButton"));
  saveButton = new QPushButton(this);
  saveButton->setObjectName(QStringLiteral("saveButton"));
  saveButton->setEnabled(false);
  const std::pair<QLabel **, const char *> labels[] = {
      {&titleLabel, "titleLabel"},     {&artistLabel, "artistLabel"},   {&albumLabel, "albumLabel"},
      {&yearLabel, "yearLabel"},       {&genreLabel, "genreLabel"},     {&commentLabel, "commentLabel"},
      {&trackLabel, "trackLabel"},     {&fileNameLabel, "fileNameLabel"}, {&hintLabel, "hintLabel"}};
  for (const auto &[label, name] : labels) {
    *label = plainLabel(this);
    (*label)->setObjectName(QLatin1String(name));
  }
  hintLabel->setWordWrap(true);
  followTimer = new QTimer(this);
  followTimer->setInterval(kFollowMs);

  auto *grid = new QGridLayout;
  int row = 0;
  const auto addRow = [&](QLabel *label, QWidget *field) {
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    ++row;
  };
  addRow(fileNameLabel, fileNameValue);
  addRow(titleLabel, titleEdit);
  addRow(artistLabel, artistEdit);
  addRow(albumLabel, albumEdit);
  addRow(trackLabel, trackEdit);
  addRow(yearLabel, yearEdit);
  addRow(genreLabel, genreCombo);
  addRow(commentLabel, commentEdit);
  auto *top = new QHBoxLayout;
  top->addLayout(grid, 1);
  top->addWidget(coverLabel, 0, Qt::AlignTop);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(editCheck);
  buttons->addStretch(1);
  buttons->addWidget(currentButton);
  buttons->addWidget(saveButton);
  buttons->addWidget(okButton);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(hintLabel);
  layout->addLayout(buttons);

  connect(followTimer, &QTimer::timeout, this, &TrackInfoWindow::followPlayingFile);
  connect(editCheck, &QCheckBox::toggled, saveButton, &QPushButton::setEnabled);
  connect(currentButton, &QPushButton::clicked, this, &TrackInfoWindow::showPlayingTag);
  connect(saveButton, &QPushButton::clicked, this, &TrackInfoWindow::saveTag);
  connect(okButton, &QPushButton::clicked, this, &QWidget::close);

  showPlayingTag();
  setCaptions();
  followTimer->start();
}

void TrackInfoWindow::setCaptions() {
  const auto text = [this](int n, const char *fallback) {
    const QString m = g_.message(n);
    return m.isEmpty() ? QString::fromUtf8(fallback) : m;
  };
  setWindowTitle(text(143, "Track Info"));
  fileNameLabel->setText(text(144, "File"));
  titleLabel->setText(text(145, "Title"));
  artistLabel->setText(text(146, "Artist"));
  albumLabel->setText(text(147, "Album"));
  trackLabel->setText(text(148, "Track"));
  yearLabel->setText(text(149, "Year"));
  genreLabel->setText(text(150, "Genre"));
  commentLabel->setText(text(151, "Comment"));
  okButton->setText(text(152, "OK"));
  editCheck->setText(text(153, "Edit"));
  currentButton->setText(text(154, "Current"));
  saveButton->setText(text(155, "Save"));
  hintLabel->setText(text(156,
                       "Click \"Edit\" to avoid tag updates. Click \"Current\" to load tag from "
                       "current song."));
}

void TrackInfoWindow::showPlayingTag() {
  const TagInfo &t = g_.Tag;
  path_ = st_.SongPath;
  showPath();
  titleEdit->setText(t.Title.trimmed());
  artistEdit->setText(t.Artist.trimmed());
  albumEdit->setText(t.Album.trimmed());
  yearEdit->setText(t.Year.trimmed());
  commentEdit->setText(t.Comment.trimmed());
  // A file without a tag shows no track number.
  trackEdit->setText(t.Found ? QStringLiteral("%1").arg(t.Track, 2, 10, QLatin1Char('0')) : QString());
  genreCombo->setCurrentIndex(GenreListIndex(t.Genre));
  showCover();
}

void TrackInfoWindow::showPath() {
  const int room = fileNameValue->contentsRect().width();
  fileNameValue->setText(fileNameValue->fontMetrics().elidedText(path_, Qt::ElideMiddle, qMax(room, 40)));
  fileNameValue->setToolTip(path_.isEmpty() ? QString()
                                            : Qt::convertFromPlainText(path_, Qt::WhiteSpaceNoWrap));
}

void TrackInfoWindow::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  showPath();
}

void TrackInfoWindow::moveBeside(const QWidget &main) {
  adjustSize();
  if (const QScreen *s = main.screen())
    move(PlaceBeside(main.frameGeometry(), frameGeometry().size(), s->availableGeometry()));
}

QPoint PlaceBeside(const QRect &owner, const QSize &size, const QRect &available) {
  const int gap = 8;
  int x = owner.right() + 1 + gap;
  if (x + size.width() - 1 > available.right()) x = owner.left() - gap - size.width();
  if (x < available.left()) x = qMax(available.left(), available.right() + 1 - size.width());
  const int y =
      qBound(available.top(), owner.top(), qMax(available.top(), available.bottom() + 1 - size.height()));
  return {x, y};
}

void TrackInfoWindow::showCover() {
  QString found;
  if (!albumEdit->text().isEmpty())
    found = FindTagCover(DirPart(path_), artistEdit->text(), albumEdit->text());
  const QPixmap pic = found.isEmpty() ? QPixmap() : QPixmap(found);
  if (pic.isNull()) {
    coverLabel->clear();
    return;
  }
  coverLabel->setPixmap(pic.scaled(coverLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void TrackInfoWindow::followPlayingFile() {
  if (!editCheck->isChecked() && st_.SongPath != path_) showPlayingTag();
}

void TrackInfoWindow::saveTag() {
  const QString p = path_;
  if (p.isEmpty() || QFileInfo(p).size() < 256) return;
  int track = 0;
  if (!ParseTrackText(trackEdit->text(), &track)) {
    desktop_.showMessage(QStringLiteral("The track number must be a whole number from 0 to 255."));
    return;
  }
  TagInfo t;
  t.setTitle(titleEdit->text());
  t.setArtist(artistEdit->text());
  t.setAlbum(albumEdit->text());
  t.setYear(yearEdit->text());
  t.setComment(commentEdit->text());
  t.Track = track;
  t.Genre = GenreByteForIndex(genreCombo->currentIndex());
  t.Found = true;

  // The playing file is released while it is written, then taken up again.
  const bool release = p == st_.SongPath && (st_.Playing != 0 || st_.Paused != 0);
  double position = 0;
  if (release) {
    if (player_.release) position = player_.release();
    followTimer->stop();
  }
  const TagWriteResult r = WriteIdTag(p, t);
  if (release) {
    // The record as it now reads from the file (kept and re-encoded fields).
    if (r == TagWriteResult::Updated || r == TagWriteResult::Added) g_.Tag = ReadMp3Info(p).Tag;
    if (player_.resume) player_.resume(p, position, st_.Playing != 0);
    followTimer->start();
  }

  QString head = g_.message(52);
  if (head.isEmpty()) head = QStringLiteral("ID3 tag");
  if (!head.endsWith(QLatin1Char(' '))) head += QLatin1Char(' ');
  switch (r) {
    case TagWriteResult::Updated:
      desktop_.showMessage(head + QStringLiteral("Updated!"));
      break;
    case TagWriteResult::Added:
      desktop_.showMessage(head + QStringLiteral("Added!"));
      break;
    case TagWriteResult::Failed: {
      const QString m = g_.message(53);
      desktop_.showMessage(m.isEmpty() ? QStringLiteral("The tag could not be written.") : m);
      break;
    }
    case TagWriteResult::TooShort:
      break;
  }
}

}  // namespace cantorel
