#include "prefs/prefs_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include "core/number_text.h"
#include "playlist/paths.h"
#include "plugins/plugin_host.h"
#include "prefs/language.h"
#include "prefs/message_ids.h"
#include "prefs/prefs_logic.h"

namespace cantorel {

namespace {

PreferencesDialog *gOpen = nullptr;

// The Skin tab's picture of the main window (scaled down, never up).
const QSize kSkinPreviewSize(240, 180);

const QString kStartFilter = QStringLiteral(
    "MPEG Audio Files (*.mp? *.MP?);;"
    "ActiveMovie Files (*.mp? *.mpeg *.dat *.wav *.au *.mid *.rmi *.aif? *.mov *.qt *.avi *.m1v *.ra *.ram *.rm "
    "*.rmm);;"
    "Music Modules (*.mod *.mtm *far *.669 *.okt *.stm *.s3m *.nst *.wow *.xm);;"
    "Bitmaps (*.bmp *.gif *.jpg);;Playlists (*.m3u *.pls);;All Files (*)");

// A text edit that shows a document and takes no typing.
class DocumentView : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
};

}  // namespace

PreferencesDialog *PreferencesDialog::current() { return gOpen; }

PreferencesDialog::PreferencesDialog(General &g, PrefsHost host, QWidget *parent)
    : QDialog(parent), g_(g), host_(std::move(host)) {
  setObjectName(QStringLiteral("PreferencesDialog"));
  setWindowTitle(QStringLiteral("Cantorel v4.0 Prefs"));
  setModal(true);
  gOpen = this;
  build();
  loadSettings();
}

PreferencesDialog::~PreferencesDialog() {
  if (gOpen == this) gOpen = nullptr;
}

QCheckBox *PreferencesDialog::check(const char *name, qint16 General::*setting) {
  auto *c = new QCheckBox(this);
  c->setObjectName(QLatin1String(name));
  c->setChecked(g_.*setting != 0);
  connect(c, &QCheckBox::toggled, this, [this, setting](bool on) { g_.*setting = on ? 1 : 0; });
  return c;
}

void PreferencesDialog::caption(QWidget *w, int msg) {
  const QString text = g_.message(msg);
  if (auto *b = qobject_cast<QAbstractButton *>(w))
    b->setText(text);
  else if (auto *l = qobject_cast<QLabel *>(w))
    l->setText(text);
  else if (auto *f = qobject_cast<QGroupBox *>(w))
    f->setTitle(text);
}

static QLabel *plainLabel(QWidget *parent, const char *name) {
  auto *l = new QLabel(parent);
  l->setObjectName(QLatin1String(name));
  l->setTextFormat(Qt::PlainText);
  return l;
}

static QLineEdit *lineEdit(QWidget *parent, const char *name) {
  auto *e = new QLineEdit(parent);
  e->setObjectName(QLatin1String(name));
  return e;
}

static QPushButton *button(QWidget *parent, const char *name, const QString &text = QString()) {
  auto *b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

static QGroupBox *frame(QWidget *parent, const char *name) {
  auto *f = new QGroupBox(parent);
  f->setObjectName(QLatin1String(name));
  return f;
}

void PreferencesDialog::build() {
  auto *outer = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("tabs"));
  outer->addWidget(tabs);

  // Tab 0: skin. The skin's own words beside a small picture of the main
  // window as it is drawn now.
  auto *t0 = new QWidget;
  auto *l0 = new QVBoxLayout(t0);
  skinGroup = frame(t0, "skinGroup");
  auto *f9 = new QGridLayout(skinGroup);
  selectSkinButton = button(skinGroup, "selectSkinButton");
  skinInfoLabel = plainLabel(skinGroup, "skinInfoLabel");
  skinInfoLabel->setText(QStringLiteral("?"));
  skinInfoLabel->setWordWrap(true);
  skinInfoLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  skinPreviewLabel = plainLabel(skinGroup, "skinPreviewLabel");
  skinPreviewLabel->setAlignment(Qt::AlignCenter);
  skinPreviewLabel->setFixedSize(kSkinPreviewSize);
  skinPreviewLabel->setFrameShape(QFrame::StyledPanel);
  f9->addWidget(skinPreviewLabel, 0, 0, 2, 1, Qt::AlignTop);
  f9->addWidget(skinInfoLabel, 0, 1);
  f9->addWidget(selectSkinButton, 1, 1, Qt::AlignLeft | Qt::AlignBottom);
  f9->setColumnStretch(1, 1);
  l0->addWidget(skinGroup);
  l0->addStretch();
  tabs->addTab(t0, QString());

  // Tab 1: documents.
  auto *t1 = new QWidget;
  auto *l1 = new QVBoxLayout(t1);
  auto *viewRow = new QHBoxLayout;
  auto *viewGroup = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    documentRadios[static_cast<size_t>(i)] = new QRadioButton(t1);
    documentRadios[static_cast<size_t>(i)]->setObjectName(QStringLiteral("documentRadio%1").arg(i));
    viewGroup->addButton(documentRadios[static_cast<size_t>(i)], i);
    viewRow->addWidget(documentRadios[static_cast<size_t>(i)]);
  }
  viewRow->addStretch();
  documentView = new DocumentView(t1);
  documentView->setObjectName(QStringLiteral("documentView"));
  documentView->setReadOnly(true);
  documentView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The documents are laid out in 78 columns: show them unbroken.
  documentView->setLineWrapMode(QPlainTextEdit::NoWrap);
  documentView->setMinimumWidth(
      QFontMetrics(documentView->font()).horizontalAdvance(QString(80, QLatin1Char('m'))) + 24);
  l1->addLayout(viewRow);
  l1->addWidget(documentView, 1);
  connect(viewGroup, &QButtonGroup::idClicked, this, &PreferencesDialog::showDocument);
  tabs->addTab(t1, QString());

  // Tab 2: general.
  auto *t2 = new QWidget;
  auto *g2 = new QGridLayout(t2);
  miscGroup = frame(t2, "miscGroup");
  auto *f8 = new QGridLayout(miscGroup);
  showArtistCheck = check("showArtistCheck", &General::ShowArtist);
  showAlbumCheck = check("showAlbumCheck", &General::ShowAlbum);
  askDefaultPlayerCheck = check("askDefaultPlayerCheck", &General::AskForIt);
  defaultPlayerCheck = check("defaultPlayerCheck", &General::AutoRegistry);
  friendlyNamesCheck = check("friendlyNamesCheck", &General::FriendlyNames);
  tagCoverCheck = check("tagCoverCheck", &General::UseTagCover);
  scrollNameCheck = check("scrollNameCheck", &General::ScrollName);
  clock24Check = check("clock24Check", &General::TimeFmt);
  clearPlaylistCheck = check("clearPlaylistCheck", &General::ClearPLFirst);
  autoPlayCheck = check("autoPlayCheck", &General::AutoPlay);
  const QList<QCheckBox *> misc = {
      clock24Check,       clearPlaylistCheck, autoPlayCheck,         scrollNameCheck, tagCoverCheck,
      friendlyNamesCheck, defaultPlayerCheck, askDefaultPlayerCheck, showAlbumCheck,  showArtistCheck};
  for (int i = 0; i < misc.size(); ++i) f8->addWidget(misc[i], i % 5, i / 5);
  startupGroup = frame(t2, "startupGroup");
  auto *f6 = new QGridLayout(startupGroup);
  auto *startGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    startupRadios[static_cast<size_t>(i)] = new QRadioButton(startupGroup);
    startupRadios[static_cast<size_t>(i)]->setObjectName(QStringLiteral("startupRadio%1").arg(i));
    startGroup->addButton(startupRadios[static_cast<size_t>(i)], i);
  }
  startFileEdit = lineEdit(startupGroup, "startFileEdit");
  startFileButton = button(startupGroup, "startFileButton");
  startFolderButton = button(startupGroup, "startFolderButton");
  startFileButton->setMaximumWidth(56);
  startFolderButton->setMaximumWidth(56);
  startMinimizedCheck = check("startMinimizedCheck", &General::StartMin);
  f6->addWidget(startupRadios[0], 0, 0, 1, 3);
  f6->addWidget(startupRadios[1], 1, 0, 1, 3);
  f6->addWidget(startupRadios[2], 2, 0, 1, 3);
  f6->addWidget(startFileEdit, 3, 0);
  f6->addWidget(startFileButton, 3, 1);
  f6->addWidget(startFolderButton, 3, 2);
  f6->addWidget(startMinimizedCheck, 4, 0, 1, 3);
  connect(startGroup, &QButtonGroup::idClicked, this, [this](int id) { g_.StartMd = static_cast<qint16>(id); });
  extensionsGroup = frame(t2, "extensionsGroup");
  auto *f4 = new QVBoxLayout(extensionsGroup);
  extensionsEdit = lineEdit(extensionsGroup, "extensionsEdit");
  f4->addWidget(extensionsEdit);
  continuousGroup = frame(t2, "continuousGroup");
  auto *f10 = new QHBoxLayout(continuousGroup);
  overlapLabel = plainLabel(continuousGroup, "overlapLabel");
  overlapEdit = lineEdit(continuousGroup, "overlapEdit");
  overlapEdit->setMaximumWidth(80);
  f10->addWidget(overlapLabel);
  f10->addWidget(overlapEdit);
  f10->addStretch();
  shutdownGroup = frame(t2, "shutdownGroup");
  auto *f5 = new QVBoxLayout(shutdownGroup);
  savePositionCheck = check("savePositionCheck", &General::WinSavePos);
  f5->addWidget(savePositionCheck);
  windowGroup = frame(t2, "windowGroup");
  auto *fs = new QVBoxLayout(windowGroup);
  onTopCheck = check("onTopCheck", &General::WinOnTop);
  snapCheck = check("snapCheck", &General::WinSnap);
  fs->addWidget(onTopCheck);
  fs->addWidget(snapCheck);
  connect(onTopCheck, &QCheckBox::toggled, this, [this](bool on) {
    if (host_.setOnTop) host_.setOnTop(on);
  });
  g2->addWidget(miscGroup, 0, 0, 1, 2);
  g2->addWidget(startupGroup, 1, 0, 3, 1);
  g2->addWidget(extensionsGroup, 1, 1);
  g2->addWidget(continuousGroup, 2, 1);
  g2->addWidget(shutdownGroup, 3, 1);
  g2->addWidget(windowGroup, 4, 0, 1, 2);
  g2->setRowStretch(5, 1);
  tabs->addTab(t2, QString());

  // Tab 3: timer.
  auto *t3 = new QWidget;
  auto *g3 = new QGridLayout(t3);
  timerOptionsGroup = frame(t3, "timerOptionsGroup");
  auto *f3 = new QVBoxLayout(timerOptionsGroup);
  scheduleEnabledCheck = check("scheduleEnabledCheck", &General::Auto);
  minimizeOnSnoozeCheck = check("minimizeOnSnoozeCheck", &General::SnoozeHide);
  f3->addWidget(scheduleEnabledCheck);
  f3->addWidget(minimizeOnSnoozeCheck);
  f3->addStretch();
  snoozeGroup = frame(t3, "snoozeGroup");
  auto *f2 = new QGridLayout(snoozeGroup);
  snoozeEnabledCheck = check("snoozeEnabledCheck", &General::Snooze);
  connect(snoozeEnabledCheck, &QCheckBox::toggled, this,
          [this] { g_.SnoozeMinutes = -std::abs(g_.SnoozeMinutes); });
  auto *snzGroup = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    snoozeModeRadios[static_cast<size_t>(i)] = new QRadioButton(snoozeGroup);
    snoozeModeRadios[static_cast<size_t>(i)]->setObjectName(QStringLiteral("snoozeModeRadio%1").arg(i));
    snzGroup->addButton(snoozeModeRadios[static_cast<size_t>(i)], i);
  }
  connect(snzGroup, &QButtonGroup::idClicked, this, [this](int id) { g_.SnoozeMode = static_cast<qint16>(id); });
  snoozeMinutesCombo = new QComboBox(snoozeGroup);
  snoozeMinutesCombo->setObjectName(QStringLiteral("snoozeMinutesCombo"));
  snoozeMinutesLabel = plainLabel(snoozeGroup, "snoozeMinutesLabel");
  snoozeTimeEdit = lineEdit(snoozeGroup, "snoozeTimeEdit");
  snoozeTimeEdit->setPlaceholderText(QStringLiteral("hh:mm"));
  snoozeTimeEdit->setMaximumWidth(80);
  f2->addWidget(snoozeEnabledCheck, 0, 0, 1, 3);
  f2->addWidget(snoozeModeRadios[0], 1, 0);
  f2->addWidget(snoozeMinutesCombo, 1, 1);
  f2->addWidget(snoozeMinutesLabel, 1, 2);
  f2->addWidget(snoozeModeRadios[1], 2, 0);
  f2->addWidget(snoozeTimeEdit, 2, 1);
  f2->setColumnStretch(3, 1);
  scheduleGroup = frame(t3, "scheduleGroup");
  auto *f1 = new QGridLayout(scheduleGroup);
  scheduleDayLabel = plainLabel(scheduleGroup, "scheduleDayLabel");
  scheduleOnLabel = plainLabel(scheduleGroup, "scheduleOnLabel");
  scheduleOffLabel = plainLabel(scheduleGroup, "scheduleOffLabel");
  scheduleFileLabel = plainLabel(scheduleGroup, "scheduleFileLabel");
  scheduleListLabel = plainLabel(scheduleGroup, "scheduleListLabel");
  scheduleDayCombo = new QComboBox(scheduleGroup);
  scheduleDayCombo->setObjectName(QStringLiteral("scheduleDayCombo"));
  scheduleDayCombo->addItems(ScheduleDayItems());
  scheduleOnEdit = lineEdit(scheduleGroup, "scheduleOnEdit");
  scheduleOffEdit = lineEdit(scheduleGroup, "scheduleOffEdit");
  scheduleFileEdit = lineEdit(scheduleGroup, "scheduleFileEdit");
  for (QLineEdit *e : {scheduleOnEdit, scheduleOffEdit}) {
    e->setPlaceholderText(QStringLiteral("hh:mm"));
    e->setMaxLength(5);
    e->setMaximumWidth(70);
  }
  scheduleOnEdit->setText(QStringLiteral("00:00"));
  scheduleOffEdit->setText(QStringLiteral("00:00"));
  scheduleFileEdit->setText(QStringLiteral("1"));
  scheduleFileEdit->setMaximumWidth(50);
  scheduleEntryList = new QListWidget(scheduleGroup);
  scheduleEntryList->setObjectName(QStringLiteral("scheduleEntryList"));
  scheduleEntryList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  scheduleAddButton = button(scheduleGroup, "scheduleAddButton");
  scheduleDeleteButton = button(scheduleGroup, "scheduleDeleteButton");
  auto *left = new QGridLayout;
  left->addWidget(scheduleDayLabel, 0, 0);
  left->addWidget(scheduleDayCombo, 0, 1, 1, 3);
  left->addWidget(scheduleOnLabel, 1, 0);
  left->addWidget(scheduleOnEdit, 1, 1);
  left->addWidget(scheduleOffLabel, 1, 2, Qt::AlignRight);
  left->addWidget(scheduleOffEdit, 1, 3);
  left->addWidget(scheduleFileLabel, 2, 0);
  left->addWidget(scheduleFileEdit, 2, 1);
  left->addWidget(scheduleAddButton, 3, 0, 1, 4);
  left->setRowStretch(4, 1);
  auto *right = new QVBoxLayout;
  right->addWidget(scheduleListLabel);
  right->addWidget(scheduleEntryList, 1);
  right->addWidget(scheduleDeleteButton);
  f1->addLayout(left, 0, 0);
  f1->addLayout(right, 0, 1);
  f1->setColumnStretch(1, 1);
  connect(scheduleAddButton, &QPushButton::clicked, this, &PreferencesDialog::addScheduleEntry);
  connect(scheduleDeleteButton, &QPushButton::clicked, this, &PreferencesDialog::deleteScheduleEntry);
  g3->addWidget(timerOptionsGroup, 0, 0);
  g3->addWidget(snoozeGroup, 0, 1);
  g3->addWidget(scheduleGroup, 1, 0, 1, 2);
  g3->setRowStretch(1, 1);
  tabs->addTab(t3, QString());

  // Tab 4: folders.
  auto *t4 = new QWidget;
  auto *l4 = new QVBoxLayout(t4);
  foldersGroup = frame(t4, "foldersGroup");
  auto *f7 = new QGridLayout(foldersGroup);
  lyricFolderLabel = plainLabel(foldersGroup, "lyricFolderLabel");
  browserFolderLabel = plainLabel(foldersGroup, "browserFolderLabel");
  skinFolderLabel = plainLabel(foldersGroup, "skinFolderLabel");
  lyricFolderEdit = lineEdit(foldersGroup, "lyricFolderEdit");
  browserFolderEdit = lineEdit(foldersGroup, "browserFolderEdit");
  skinFolderEdit = lineEdit(foldersGroup, "skinFolderEdit");
  lyricFolderEdit->setReadOnly(true);
  browserFolderEdit->setReadOnly(true);
  lyricFolderButton = button(foldersGroup, "lyricFolderButton", QStringLiteral("..."));
  browserFolderButton = button(foldersGroup, "browserFolderButton", QStringLiteral("..."));
  skinFolderButton = button(foldersGroup, "skinFolderButton", QStringLiteral("..."));
  // One line per folder, with what the program does with it below.
  const QString hints[] = {
      QStringLiteral("Timed lyrics are looked for here first, then beside the song."),
      QStringLiteral(
          "The visual playlist selector opens in this folder and shows the playlists in it and below it."),
      QStringLiteral("The skin picker opens here. Empty: the skins that come with Cantorel.")};
  int row = 0;
  for (auto [label, box, btn] : {std::tuple{lyricFolderLabel, lyricFolderEdit, lyricFolderButton},
                                 std::tuple{browserFolderLabel, browserFolderEdit, browserFolderButton},
                                 std::tuple{skinFolderLabel, skinFolderEdit, skinFolderButton}}) {
    btn->setMaximumWidth(40);
    box->setMinimumWidth(320);
    auto *hint = new QLabel(hints[row / 2], foldersGroup);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    f7->addWidget(label, row, 0);
    f7->addWidget(box, row, 1);
    f7->addWidget(btn, row++, 2);
    hint->setContentsMargins(0, 0, 0, 10);
    f7->addWidget(hint, row++, 1, 1, 2);
  }
  f7->setColumnStretch(1, 1);
  l4->addWidget(foldersGroup);
  l4->addStretch();
  connect(lyricFolderButton, &QPushButton::clicked, this, [this] {
    pickFolder(lyricFolderEdit, &General::LyricPath, QStringLiteral("Select Default Lyric Directory:"));
  });
  connect(browserFolderButton, &QPushButton::clicked, this, [this] {
    pickFolder(browserFolderEdit, &General::VisPLPath, QStringLiteral("Select Initial VisPL Directory:"));
  });
  connect(skinFolderButton, &QPushButton::clicked, this, [this] {
    pickFolder(skinFolderEdit, &General::SkinPath, QStringLiteral("Select Skin Directory:"));
  });
  connect(startFolderButton, &QPushButton::clicked, this, [this] {
    pickFolder(startFileEdit, &General::StartFile, QStringLiteral("Select Start File/Directory:"));
  });
  connect(startFileButton, &QPushButton::clicked, this, [this] {
    if (!host_.openFile) return;
    const QString file = host_.openFile(QStringLiteral("Open Media file"), kStartFilter, g_.Path);
    if (file.isEmpty()) return;
    if (host_.rememberPath) host_.rememberPath(DirPart(file));
    startFileEdit->setText(file);
  });
  tabs->addTab(t4, QString());

  // Tab 5: other.
  auto *t5 = new QWidget;
  auto *g5 = new QGridLayout(t5);
  languageLabel = plainLabel(t5, "languageLabel");
  languageCombo = new QComboBox(t5);
  languageCombo->setObjectName(QStringLiteral("languageCombo"));
  transparencyLabel = plainLabel(t5, "transparencyLabel");
  transparencyCombo = new QComboBox(t5);
  transparencyCombo->setObjectName(QStringLiteral("transparencyCombo"));
  introTimeLabel = plainLabel(t5, "introTimeLabel");
  introTimeEdit = lineEdit(t5, "introTimeEdit");
  introTimeEdit->setMaximumWidth(80);
  auto *upload = new QGroupBox(t5);
  auto *gu = new QGridLayout(upload);
  submitLyricCheck = check("submitLyricCheck", &General::SubmitLyric);
  auto *optGroup = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    submitAsRadios[static_cast<size_t>(i)] = new QRadioButton(upload);
    submitAsRadios[static_cast<size_t>(i)]->setObjectName(QStringLiteral("submitAsRadio%1").arg(i));
    optGroup->addButton(submitAsRadios[static_cast<size_t>(i)], i);
  }
  nickLabel = plainLabel(upload, "nickLabel");
  passwordLabel = plainLabel(upload, "passwordLabel");
  nickEdit = lineEdit(upload, "nickEdit");
  passwordEdit = lineEdit(upload, "passwordEdit");
  passwordEdit->setEchoMode(QLineEdit::Password);
  gu->addWidget(submitLyricCheck, 0, 0, 1, 3);
  gu->addWidget(submitAsRadios[0], 1, 0, 1, 3);
  gu->addWidget(submitAsRadios[1], 2, 0, 1, 3);
  gu->addWidget(nickLabel, 3, 0);
  gu->addWidget(nickEdit, 3, 1);
  gu->addWidget(passwordLabel, 4, 0);
  gu->addWidget(passwordEdit, 4, 1);
  gu->setColumnStretch(2, 1);
  g5->addWidget(languageLabel, 0, 0);
  g5->addWidget(languageCombo, 0, 1);
  g5->addWidget(transparencyLabel, 1, 0);
  g5->addWidget(transparencyCombo, 1, 1);
  g5->addWidget(introTimeLabel, 2, 0);
  g5->addWidget(introTimeEdit, 2, 1);
  // Asking the online lyric database for songs without a lyric on disk. The
  // caption has no message number; the tip says what leaves the machine.
  onlineLyricCheck = check("onlineLyricCheck", &General::LyricOnline);
  onlineLyricCheck->setText(QStringLiteral("Find lyrics online (LRCLIB)"));
  onlineLyricCheck->setToolTip(Qt::convertFromPlainText(
      QStringLiteral("When a song has no lyric file, its artist, title, album and length are sent to "
                     "LRCLIB (%1), an open database of synced lyrics, and the lyric found is saved as "
                     "an LRC file. Nothing is sent for streams or while offline.")
          .arg(g_.LyricOnlineURL)));
  g5->addWidget(onlineLyricCheck, 3, 0, 1, 3);
  g5->addWidget(upload, 4, 0, 1, 3);
  g5->setColumnStretch(2, 1);
  g5->setRowStretch(5, 1);
  connect(submitLyricCheck, &QCheckBox::toggled, this, &PreferencesDialog::updateSubmitControls);
  connect(optGroup, &QButtonGroup::idClicked, this, [this](int id) {
    g_.TypeLyric = static_cast<qint16>(id);
    updateSubmitControls();
  });
  tabs->addTab(t5, QString());

  // Tab 6: plug-ins.
  auto *t6 = new QWidget;
  auto *g6 = new QGridLayout(t6);
  visPluginLabel = plainLabel(t6, "visPluginLabel");
  inputPluginLabel = plainLabel(t6, "inputPluginLabel");
  visPluginList = new QListWidget(t6);
  visPluginList->setObjectName(QStringLiteral("visPluginList"));
  visPluginList->setWordWrap(true);
  inputPluginList = new QListWidget(t6);
  inputPluginList->setWordWrap(true);
  inputPluginList->setObjectName(QStringLiteral("inputPluginList"));
  inputPluginList->setSelectionMode(QAbstractItemView::NoSelection);
  applyVisPluginButton = button(t6, "applyVisPluginButton");
  g6->addWidget(visPluginLabel, 0, 0);
  g6->addWidget(inputPluginLabel, 0, 1);
  g6->addWidget(visPluginList, 1, 0);
  g6->addWidget(inputPluginList, 1, 1);
  g6->addWidget(applyVisPluginButton, 2, 0, Qt::AlignLeft);
  connect(applyVisPluginButton, &QPushButton::clicked, this, &PreferencesDialog::applyVisPlugin);
  tabs->addTab(t6, QString());

  okButton = button(this, "okButton");
  okButton->setDefault(true);
  okButton->setMinimumWidth(90);
  auto *bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(okButton);
  outer->addLayout(bottom);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(selectSkinButton, &QPushButton::clicked, this, [this] {
    if (host_.selectSkin) host_.selectSkin();
    refreshSkin();
  });

  captions_ = [this] {
    const std::pair<QWidget *, int> table[] = {
        {skinGroup, 78}, {selectSkinButton, 79}, {documentRadios[0], 80}, {documentRadios[1], 81},
        {documentRadios[2], 82}, {documentRadios[3], 83}, {extensionsGroup, 84}, {startupGroup, 85},
        {startupRadios[0], 86}, {startupRadios[1], 87}, {startupRadios[2], 88}, {startFileButton, 89},
        {startFolderButton, 90}, {startMinimizedCheck, 91}, {shutdownGroup, 92}, {savePositionCheck, 93},
        {continuousGroup, 94}, {overlapLabel, 95}, {windowGroup, 96}, {onTopCheck, 97}, {snapCheck, 98},
        {miscGroup, 99}, {clock24Check, 100}, {clearPlaylistCheck, 101}, {autoPlayCheck, 102},
        {scrollNameCheck, 103}, {tagCoverCheck, 104}, {friendlyNamesCheck, 105}, {defaultPlayerCheck, 106},
        {askDefaultPlayerCheck, 107}, {showAlbumCheck, 108}, {showArtistCheck, 109}, {timerOptionsGroup, 110},
        {scheduleEnabledCheck, 111}, {minimizeOnSnoozeCheck, 112}, {snoozeGroup, 113},
        {snoozeModeRadios[0], 114}, {snoozeMinutesLabel, 115}, {snoozeModeRadios[1], 116},
        {snoozeEnabledCheck, 117}, {scheduleGroup, 118}, {scheduleDayLabel, 119}, {scheduleAddButton, 120},
        {scheduleOnLabel, 121}, {scheduleOffLabel, 122}, {scheduleFileLabel, 123},
        {scheduleDeleteButton, 124}, {scheduleListLabel, 125}, {foldersGroup, 126}, {skinFolderLabel, 127},
        {browserFolderLabel, 128}, {lyricFolderLabel, 129}, {languageLabel, 130}, {submitLyricCheck, 131},
        {submitAsRadios[0], 132}, {submitAsRadios[1], 133}, {nickLabel, 134}, {passwordLabel, 135},
        {introTimeLabel, 136}, {transparencyLabel, 137}, {visPluginLabel, 138}, {inputPluginLabel, 139},
        {applyVisPluginButton, 140}, {okButton, 141}};
    for (const auto &[w, n] : table) caption(w, n);
  };

  // Text boxes write their settings on every change.
  connect(snoozeTimeEdit, &QLineEdit::textChanged, this, [this](const QString &t) {
    const QString hhmm = NormalizeClockTime(t);
    g_.SnoozeTime = hhmm.isEmpty() ? t : hhmm;
  });
  connect(snoozeTimeEdit, &QLineEdit::editingFinished, this, [this] {
    if (snoozeTimeEdit->text() != g_.SnoozeTime) snoozeTimeEdit->setText(g_.SnoozeTime);
  });
  connect(startFileEdit, &QLineEdit::textChanged, this, [this](const QString &t) { g_.StartFile = t; });
  connect(skinFolderEdit, &QLineEdit::textChanged, this, [this](const QString &t) { g_.SkinPath = t; });
  connect(nickEdit, &QLineEdit::textChanged, this, [this](const QString &t) { g_.Nick = t; });
  connect(passwordEdit, &QLineEdit::textChanged, this, [this](const QString &t) { g_.Pwd = t; });
  connect(extensionsEdit, &QLineEdit::textChanged, this, [this](const QString &t) { g_.ValidExt = t; });
  connect(introTimeEdit, &QLineEdit::textChanged, this,
          [this](const QString &t) { g_.TimeIntro = toInt16(t); });
  connect(overlapEdit, &QLineEdit::textChanged, this,
          [this](const QString &t) { g_.PBOverlap = toInt16(t); });
  connect(transparencyCombo, &QComboBox::activated, this,
          [this](int) { g_.Transparency = toInt16(transparencyCombo->currentText()); });
  connect(snoozeMinutesCombo, &QComboBox::currentTextChanged, this,
          [this](const QString &t) { g_.SnoozeMinutes = -toInt32(t); });
  connect(languageCombo, &QComboBox::textActivated, this, &PreferencesDialog::chooseLanguage);
}

void PreferencesDialog::loadSettings() {
  // 1. Languages.
  languageCombo->addItems(ListLanguages(host_.dataFolders));
  // 3. Controls from the settings (check boxes were set when made).
  snoozeModeRadios[g_.SnoozeMode != 0 ? 1 : 0]->setChecked(true);
  startupRadios[static_cast<size_t>(qBound(0, int(g_.StartMd), 2))]->setChecked(true);
  snoozeTimeEdit->setText(g_.SnoozeTime);
  startFileEdit->setText(g_.StartFile);
  skinFolderEdit->setText(g_.SkinPath);
  browserFolderEdit->setText(g_.VisPLPath);
  lyricFolderEdit->setText(g_.LyricPath);
  introTimeEdit->setText(QString::number(g_.TimeIntro));
  extensionsEdit->setText(g_.ValidExt);
  overlapEdit->setText(QString::number(g_.PBOverlap));
  languageCombo->setCurrentIndex(languageCombo->findText(g_.Language, Qt::MatchFixedString));
  submitAsRadios[g_.TypeLyric == 1 ? 1 : 0]->setChecked(true);
  nickEdit->setText(g_.Nick);
  passwordEdit->setText(g_.Pwd);
  updateSubmitControls();
  // 4. Day box and snooze minutes; choosing "30" sets the countdown to -30.
  scheduleDayCombo->setCurrentIndex(scheduleDayCombo->count() - 1);
  snoozeMinutesCombo->addItems(SnoozeMinuteItems());
  snoozeMinutesCombo->setCurrentIndex(snoozeMinutesCombo->findText(QStringLiteral("30")));
  // 5. Skin information and document 0.
  refreshSkin();
  documentRadios[0]->setChecked(true);
  showDocument(0);
  // 6. The main window leaves the always-on-top state while this is open.
  if (host_.setOnTop) host_.setOnTop(false);
  // 7. Transparency list.
  transparencyCombo->addItems(TransparencyItems());
  transparencyCombo->setCurrentIndex(qBound(0, g_.Transparency - 30, transparencyCombo->count() - 1));
  // 8. Plug-in lists.
  if (host_.plugins) {
    const PluginListing p = host_.plugins->ListPlugins(g_);
    // Listed by what they do; the file behind each is its tip.
    auto fill = [](QListWidget *list, const QStringList &names, const QStringList &descriptions,
                   const QString &suffix) {
      for (int i = 0; i < names.size(); ++i) {
        auto *item = new QListWidgetItem(descriptions.value(i, names[i]), list);
        const QString file = names[i].endsWith(suffix) ? names[i] : names[i] + suffix;
        item->setData(Qt::UserRole, names[i]);
        item->setToolTip(Qt::convertFromPlainText(file, Qt::WhiteSpaceNormal));
      }
    };
    fill(visPluginList, p.visPlugins, p.visDescriptions, PluginHost::librarySuffix());
    visPluginList->setCurrentRow(p.selectedVisPlugin);
    fill(inputPluginList, p.inputPlugins, p.inputDescriptions, PluginHost::librarySuffix());
  }
  retranslate();
  // Centre on the screen.
  adjustSize();
  if (const QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
}

void PreferencesDialog::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  refreshFromMain();
}

void PreferencesDialog::refreshFromMain() {
  if (host_.scheduleList) {
    const QStringList list = host_.scheduleList();
    for (int i = 0; i < list.size(); ++i) {
      if (i < scheduleEntryList->count())
        scheduleEntryList->item(i)->setText(list[i]);
      else
        scheduleEntryList->addItem(list[i]);
    }
  }
  refreshSkin();
}

void PreferencesDialog::refreshSkin() {
  if (host_.skinInfo) skinInfoLabel->setText(host_.skinInfo());
  const QPixmap shot = host_.skinPreview ? host_.skinPreview() : QPixmap();
  if (shot.isNull()) {
    skinPreviewLabel->clear();
    return;
  }
  const QSize room = skinPreviewLabel->contentsRect().size() - QSize(8, 8);
  const bool fits = shot.width() <= room.width() && shot.height() <= room.height();
  skinPreviewLabel->setPixmap(fits ? shot : shot.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PreferencesDialog::done(int r) {
  finish();
  QDialog::done(r);
}

void PreferencesDialog::finish() {
  if (unloaded_) return;
  unloaded_ = true;
  applyVisPlugin();
  if (host_.applyTransparency) host_.applyTransparency();
  if (host_.setOnTop) host_.setOnTop(g_.WinOnTop != 0);
}

void PreferencesDialog::retranslate() {
  const int open = tabs->currentIndex();
  for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, g_.message(msg::PrefsTabFirst + i));
  tabs->setCurrentIndex(open);
  captions_();
}

void PreferencesDialog::updateSubmitControls() {
  const bool upload = submitLyricCheck->isChecked();
  submitAsRadios[0]->setEnabled(upload);
  submitAsRadios[1]->setEnabled(upload);
  // The name and password (and their labels) only count with "my Id".
  const bool id = upload && submitAsRadios[1]->isChecked();
  for (QWidget *w : {static_cast<QWidget *>(nickEdit), static_cast<QWidget *>(passwordEdit),
                     static_cast<QWidget *>(nickLabel), static_cast<QWidget *>(passwordLabel)})
    w->setEnabled(id);
}

void PreferencesDialog::showDocument(int index) {
  documentView->setPlainText(ReadDocument(host_.dataFolders, index));
}

void PreferencesDialog::chooseLanguage(const QString &name) {
  if (name != g_.Language) {
    g_.Language = name;
    LoadLanguage(host_.dataFolders, g_.Language, g_.Messages);
    if (host_.reloadTray) host_.reloadTray();
  }
  retranslate();
}

void PreferencesDialog::addScheduleEntry() {
  const ScheduleEntryResult r = MakeScheduleEntry(scheduleDayCombo->currentText(), scheduleOnEdit->text(),
                                                  scheduleOffEdit->text(), scheduleFileEdit->text());
  if (r.outcome == ScheduleEntryResult::Outcome::BadTime) {
    if (host_.showMessage)
      host_.showMessage(QStringLiteral("Please enter the times as hh:mm, for example 07:30."));
    return;
  }
  if (r.outcome != ScheduleEntryResult::Outcome::Added) return;
  scheduleEntryList->addItem(r.entry);
  copyScheduleToMain();
}

void PreferencesDialog::deleteScheduleEntry() {
  const int i = scheduleEntryList->currentRow();
  if (i < 0 || !scheduleEntryList->currentItem() || !scheduleEntryList->currentItem()->isSelected()) return;
  delete scheduleEntryList->takeItem(i);
  const int next = SelectionAfterDelete(i, scheduleEntryList->count());
  scheduleEntryList->setCurrentRow(next);
  if (next < 0) scheduleEntryList->clearSelection();
  copyScheduleToMain();
}

void PreferencesDialog::copyScheduleToMain() {
  if (!host_.setScheduleList) return;
  QStringList list;
  for (int i = 0; i < scheduleEntryList->count(); ++i) list << scheduleEntryList->item(i)->text();
  host_.setScheduleList(list);
}

void PreferencesDialog::applyVisPlugin() {
  if (!host_.plugins || !visPluginList->currentItem()) return;
  host_.plugins->ApplyVisPlugin(g_, visPluginList->currentItem()->data(Qt::UserRole).toString());
}

void PreferencesDialog::pickFolder(QLineEdit *box, QString General::*setting, const QString &prompt) {
  if (!host_.browseForFolder) return;
  const QString folder = host_.browseForFolder(prompt, box->text());
  if (folder.isEmpty()) return;
  const QString withSep = AddBackslash(folder);
  box->setText(withSep);
  g_.*setting = withSep;
}

void ShowPreferences(General &g, PrefsHost host, QWidget *parent) {
  if (PreferencesDialog::current() && PreferencesDialog::current()->isVisible()) return;
  if (host.setOnTop) host.setOnTop(false);
  PreferencesDialog w(g, std::move(host), parent);
  w.exec();
}

}  // namespace cantorel
