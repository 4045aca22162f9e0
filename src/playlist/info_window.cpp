#include "playlist/info_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

frmInfo::frmInfo(General &g, MainState &st, DesktopServices &desktop, PlayerAccess player, QWidget *parent)
    : QWidget(parent, Qt::Window), g_(g), st_(st), desktop_(desktop), player_(std::move(player)) {
  setObjectName(QStringLiteral("frmInfo"));
  const auto edit = [this](const char *name, int maxLength) {
    auto *e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
  };
  txtFileName = edit("txtFileName", 0);
  txtFileName->setReadOnly(true);
  txtTitle = edit("txtTitle", TagInfo::kTitleWidth);
  txtArtist = edit("txtArtist", TagInfo::kArtistWidth);
  txtAlbum = edit("txtAlbum", TagInfo::kAlbumWidth);
  txtYear = edit("txtYear", TagInfo::kYearWidth);
  txtTrack = edit("txtTrack", 3);
  txtComment = edit("txtComment", TagInfo::kCommentWidth);
  cboGenre = new QComboBox(this);
  cboGenre->setObjectName(QStringLiteral("cboGenre"));
  cboGenre->addItems(GenreList());
  imgCover = plainLabel(this);
  imgCover->setObjectName(QStringLiteral("imgCover"));
  imgCover->setFixedSize(kCoverSize, kCoverSize);
  imgCover->setAlignment(Qt::AlignCenter);
  cbEdit = new QCheckBox(this);
  cbEdit->setObjectName(QStringLiteral("cbEdit"));
  cmdOK = new QPushButton(this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdCurrent = new QPushButton(this);
  cmdCurrent->setObjectName(QStringLiteral("cmdCurrent"));
  cmdSave = new QPushButton(this);
  cmdSave->setObjectName(QStringLiteral("cmdSave"));
  cmdSave->setEnabled(false);
  QLabel **labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9};
  for (int i = 0; i < 9; ++i) {
    *labels[i] = plainLabel(this);
    (*labels[i])->setObjectName(QStringLiteral("Label%1").arg(i + 1));
  }
  Label9->setWordWrap(true);
  Timer1 = new QTimer(this);
  Timer1->setInterval(kFollowMs);

  auto *grid = new QGridLayout;
  int row = 0;
  const auto addRow = [&](QLabel *label, QWidget *field) {
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    ++row;
  };
  addRow(Label8, txtFileName);
  addRow(Label1, txtTitle);
  addRow(Label2, txtArtist);
  addRow(Label3, txtAlbum);
  addRow(Label7, txtTrack);
  addRow(Label4, txtYear);
  addRow(Label5, cboGenre);
  addRow(Label6, txtComment);
  auto *top = new QHBoxLayout;
  top->addLayout(grid, 1);
  top->addWidget(imgCover, 0, Qt::AlignTop);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(cbEdit);
  buttons->addStretch(1);
  buttons->addWidget(cmdCurrent);
  buttons->addWidget(cmdSave);
  buttons->addWidget(cmdOK);
  auto *layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Label9);
  layout->addLayout(buttons);

  connect(Timer1, &QTimer::timeout, this, &frmInfo::Timer1_Timer);
  connect(cbEdit, &QCheckBox::toggled, cmdSave, &QPushButton::setEnabled);
  connect(cmdCurrent, &QPushButton::clicked, this, &frmInfo::GetInfo);
  connect(cmdSave, &QPushButton::clicked, this, &frmInfo::SaveIDTag);
  connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

  GetInfo();
  setCaptions();
  Timer1->start();
}

void frmInfo::setCaptions() {
  const auto text = [this](int n, const char *fallback) {
    const QString m = g_.message(n);
    return m.isEmpty() ? QString::fromUtf8(fallback) : m;
  };
  setWindowTitle(text(143, "Track Info"));
  Label8->setText(text(144, "File"));
  Label1->setText(text(145, "Title"));
  Label2->setText(text(146, "Artist"));
  Label3->setText(text(147, "Album"));
  Label7->setText(text(148, "Track"));
  Label4->setText(text(149, "Year"));
  Label5->setText(text(150, "Genre"));
  Label6->setText(text(151, "Comment"));
  cmdOK->setText(text(152, "OK"));
  cbEdit->setText(text(153, "Edit"));
  cmdCurrent->setText(text(154, "Current"));
  cmdSave->setText(text(155, "Save"));
  Label9->setText(text(156,
                       "Click \"Edit\" to avoid tag updates. Click \"Current\" to load tag from "
                       "current song."));
}

void frmInfo::GetInfo() {
  const TagInfo &t = g_.Tag;
  txtFileName->setText(st_.SongPath);
  txtTitle->setText(t.Title.trimmed());
  txtArtist->setText(t.Artist.trimmed());
  txtAlbum->setText(t.Album.trimmed());
  txtYear->setText(t.Year.trimmed());
  txtComment->setText(t.Comment.trimmed());
  // A file without a tag shows no track number.
  txtTrack->setText(t.Found ? QStringLiteral("%1").arg(t.Track, 2, 10, QLatin1Char('0')) : QString());
  cboGenre->setCurrentIndex(GenreListIndex(t.Genre));
  SetCover();
}

void frmInfo::SetCover() {
  QString found;
  if (!txtAlbum->text().isEmpty())
    found = FindTagCover(DirPart(txtFileName->text()), txtArtist->text(), txtAlbum->text());
  const QPixmap pic = found.isEmpty() ? QPixmap() : QPixmap(found);
  if (pic.isNull()) {
    imgCover->clear();
    return;
  }
  imgCover->setPixmap(pic.scaled(imgCover->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmInfo::Timer1_Timer() {
  if (!cbEdit->isChecked() && st_.SongPath != txtFileName->text()) GetInfo();
}

void frmInfo::SaveIDTag() {
  const QString p = txtFileName->text();
  if (p.isEmpty() || QFileInfo(p).size() < 256) return;
  int track = 0;
  if (!ParseTrackText(txtTrack->text(), &track)) {
    desktop_.showMessage(QStringLiteral("The track number must be a whole number from 0 to 255."));
    return;
  }
  TagInfo t;
  t.setTitle(txtTitle->text());
  t.setArtist(txtArtist->text());
  t.setAlbum(txtAlbum->text());
  t.setYear(txtYear->text());
  t.setComment(txtComment->text());
  t.Track = track;
  t.Genre = GenreByteForIndex(cboGenre->currentIndex());
  t.Found = true;

  // The playing file is released while it is written, then taken up again.
  const bool release = p == st_.SongPath && (st_.Playing != 0 || st_.Paused != 0);
  double position = 0;
  if (release) {
    if (player_.release) position = player_.release();
    Timer1->stop();
  }
  const TagWriteResult r = WriteIdTag(p, t);
  if (release) {
    // The record as it now reads from the file (kept and re-encoded fields).
    if (r == TagWriteResult::Updated || r == TagWriteResult::Added) g_.Tag = ReadMp3Info(p).Tag;
    if (player_.resume) player_.resume(p, position, st_.Playing != 0);
    Timer1->start();
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
