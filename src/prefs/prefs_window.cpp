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
#include <QVBoxLayout>

#include "core/number_text.h"
#include "playlist/paths.h"
#include "plugins/plugin_host.h"
#include "prefs/language.h"
#include "prefs/message_ids.h"
#include "prefs/prefs_logic.h"

namespace cantorel {

namespace {

Pref *gOpen = nullptr;

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

Pref *Pref::current() { return gOpen; }

Pref::Pref(General &g, PrefsHost host, QWidget *parent) : QDialog(parent), g_(g), host_(std::move(host)) {
  setObjectName(QStringLiteral("Pref"));
  setWindowTitle(QStringLiteral("Cantorel v4.0 Prefs"));
  setModal(true);
  gOpen = this;
  build();
  Form_Load();
}

Pref::~Pref() {
  if (gOpen == this) gOpen = nullptr;
}

QCheckBox *Pref::check(const char *name, qint16 General::*setting) {
  auto *c = new QCheckBox(this);
  c->setObjectName(QLatin1String(name));
  c->setChecked(g_.*setting != 0);
  connect(c, &QCheckBox::toggled, this, [this, setting](bool on) { g_.*setting = on ? 1 : 0; });
  return c;
}

void Pref::caption(QWidget *w, int msg) {
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

void Pref::build() {
  auto *outer = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("tabs"));
  outer->addWidget(tabs);

  // Tab 0: skin.
  auto *t0 = new QWidget;
  auto *l0 = new QVBoxLayout(t0);
  Frame9 = frame(t0, "Frame9");
  auto *f9 = new QVBoxLayout(Frame9);
  cSelSkin = button(Frame9, "cSelSkin");
  SkinInf = plainLabel(Frame9, "SkinInf");
  SkinInf->setText(QStringLiteral("?"));
  SkinInf->setWordWrap(true);
  SkinInf->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  SkinInf->setFrameShape(QFrame::StyledPanel);
  SkinInf->setMinimumHeight(120);
  auto *selRow = new QHBoxLayout;
  selRow->addWidget(cSelSkin);
  selRow->addStretch();
  f9->addLayout(selRow);
  f9->addWidget(SkinInf, 1);
  l0->addWidget(Frame9, 1);
  tabs->addTab(t0, QString());

  // Tab 1: documents.
  auto *t1 = new QWidget;
  auto *l1 = new QVBoxLayout(t1);
  auto *viewRow = new QHBoxLayout;
  auto *viewGroup = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    optView[static_cast<size_t>(i)] = new QRadioButton(t1);
    optView[static_cast<size_t>(i)]->setObjectName(QStringLiteral("optView%1").arg(i));
    viewGroup->addButton(optView[static_cast<size_t>(i)], i);
    viewRow->addWidget(optView[static_cast<size_t>(i)]);
  }
  viewRow->addStretch();
  txtMsg = new DocumentView(t1);
  txtMsg->setObjectName(QStringLiteral("txtMsg"));
  txtMsg->setReadOnly(true);
  txtMsg->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The documents are laid out in 78 columns: show them unbroken.
  txtMsg->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtMsg->setMinimumWidth(QFontMetrics(txtMsg->font()).horizontalAdvance(QString(80, QLatin1Char('m'))) + 24);
  l1->addLayout(viewRow);
  l1->addWidget(txtMsg, 1);
  connect(viewGroup, &QButtonGroup::idClicked, this, &Pref::ShowDocument);
  tabs->addTab(t1, QString());

  // Tab 2: general.
  auto *t2 = new QWidget;
  auto *g2 = new QGridLayout(t2);
  Frame8 = frame(t2, "Frame8");
  auto *f8 = new QGridLayout(Frame8);
  cbArtist = check("cbArtist", &General::ShowArtist);
  cbAlbum = check("cbAlbum", &General::ShowAlbum);
  cbAskForIt = check("cbAskForIt", &General::AskForIt);
  cbAutoRegistry = check("cbAutoRegistry", &General::AutoRegistry);
  cbFriendly = check("cbFriendly", &General::FriendlyNames);
  cbTagCover = check("cbTagCover", &General::UseTagCover);
  cbScrollName = check("cbScrollName", &General::ScrollName);
  cbTimeFmt = check("cbTimeFmt", &General::TimeFmt);
  cbClrPl = check("cbClrPl", &General::ClearPLFirst);
  cbAutoPlay = check("cbAutoPlay", &General::AutoPlay);
  const QList<QCheckBox *> misc = {cbTimeFmt, cbClrPl,        cbAutoPlay, cbScrollName, cbTagCover,
                                   cbFriendly, cbAutoRegistry, cbAskForIt, cbAlbum,      cbArtist};
  for (int i = 0; i < misc.size(); ++i) f8->addWidget(misc[i], i % 5, i / 5);
  Frame6 = frame(t2, "Frame6");
  auto *f6 = new QGridLayout(Frame6);
  auto *startGroup = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    StartOpt[static_cast<size_t>(i)] = new QRadioButton(Frame6);
    StartOpt[static_cast<size_t>(i)]->setObjectName(QStringLiteral("StartOpt%1").arg(i));
    startGroup->addButton(StartOpt[static_cast<size_t>(i)], i);
  }
  StartFile = lineEdit(Frame6, "StartFile");
  cSelFile = button(Frame6, "cSelFile");
  cSelDir = button(Frame6, "cSelDir");
  cSelFile->setMaximumWidth(56);
  cSelDir->setMaximumWidth(56);
  cbStartMin = check("cbStartMin", &General::StartMin);
  f6->addWidget(StartOpt[0], 0, 0, 1, 3);
  f6->addWidget(StartOpt[1], 1, 0, 1, 3);
  f6->addWidget(StartOpt[2], 2, 0, 1, 3);
  f6->addWidget(StartFile, 3, 0);
  f6->addWidget(cSelFile, 3, 1);
  f6->addWidget(cSelDir, 3, 2);
  f6->addWidget(cbStartMin, 4, 0, 1, 3);
  connect(startGroup, &QButtonGroup::idClicked, this, [this](int id) { g_.StartMd = static_cast<qint16>(id); });
  Frame4 = frame(t2, "Frame4");
  auto *f4 = new QVBoxLayout(Frame4);
  ValExt = lineEdit(Frame4, "ValExt");
  f4->addWidget(ValExt);
  Frame10 = frame(t2, "Frame10");
  auto *f10 = new QHBoxLayout(Frame10);
  Label2 = plainLabel(Frame10, "Label2");
  PBOverlap = lineEdit(Frame10, "PBOverlap");
  PBOverlap->setMaximumWidth(80);
  f10->addWidget(Label2);
  f10->addWidget(PBOverlap);
  f10->addStretch();
  Frame5 = frame(t2, "Frame5");
  auto *f5 = new QVBoxLayout(Frame5);
  cbSaveWin = check("cbSaveWin", &General::WinSavePos);
  f5->addWidget(cbSaveWin);
  fraSample1 = frame(t2, "fraSample1");
  auto *fs = new QVBoxLayout(fraSample1);
  cbOnTop = check("cbOnTop", &General::WinOnTop);
  cbSnap = check("cbSnap", &General::WinSnap);
  fs->addWidget(cbOnTop);
  fs->addWidget(cbSnap);
  connect(cbOnTop, &QCheckBox::toggled, this, [this](bool on) {
    if (host_.setOnTop) host_.setOnTop(on);
  });
  g2->addWidget(Frame8, 0, 0, 1, 2);
  g2->addWidget(Frame6, 1, 0, 3, 1);
  g2->addWidget(Frame4, 1, 1);
  g2->addWidget(Frame10, 2, 1);
  g2->addWidget(Frame5, 3, 1);
  g2->addWidget(fraSample1, 4, 0, 1, 2);
  g2->setRowStretch(5, 1);
  tabs->addTab(t2, QString());

  // Tab 3: timer.
  auto *t3 = new QWidget;
  auto *g3 = new QGridLayout(t3);
  Frame3 = frame(t3, "Frame3");
  auto *f3 = new QVBoxLayout(Frame3);
  cbAutoEn = check("cbAutoEn", &General::Auto);
  cbMinOnSnz = check("cbMinOnSnz", &General::SnoozeHide);
  f3->addWidget(cbAutoEn);
  f3->addWidget(cbMinOnSnz);
  f3->addStretch();
  Frame2 = frame(t3, "Frame2");
  auto *f2 = new QGridLayout(Frame2);
  cbSnoozeEn = check("cbSnoozeEn", &General::Snooze);
  connect(cbSnoozeEn, &QCheckBox::toggled, this, [this] { g_.SnoozeMinutes = -std::abs(g_.SnoozeMinutes); });
  auto *snzGroup = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    SnzMd[static_cast<size_t>(i)] = new QRadioButton(Frame2);
    SnzMd[static_cast<size_t>(i)]->setObjectName(QStringLiteral("SnzMd%1").arg(i));
    snzGroup->addButton(SnzMd[static_cast<size_t>(i)], i);
  }
  connect(snzGroup, &QButtonGroup::idClicked, this, [this](int id) { g_.SnoozeMode = static_cast<qint16>(id); });
  SnzMin = new QComboBox(Frame2);
  SnzMin->setObjectName(QStringLiteral("SnzMin"));
  Label8 = plainLabel(Frame2, "Label8");
  SnoozeAt = lineEdit(Frame2, "SnoozeAt");
  SnoozeAt->setPlaceholderText(QStringLiteral("hh:mm"));
  SnoozeAt->setMaximumWidth(80);
  f2->addWidget(cbSnoozeEn, 0, 0, 1, 3);
  f2->addWidget(SnzMd[0], 1, 0);
  f2->addWidget(SnzMin, 1, 1);
  f2->addWidget(Label8, 1, 2);
  f2->addWidget(SnzMd[1], 2, 0);
  f2->addWidget(SnoozeAt, 2, 1);
  f2->setColumnStretch(3, 1);
  Frame1 = frame(t3, "Frame1");
  auto *f1 = new QGridLayout(Frame1);
  Label3 = plainLabel(Frame1, "Label3");
  Label4 = plainLabel(Frame1, "Label4");
  Label5 = plainLabel(Frame1, "Label5");
  Label6 = plainLabel(Frame1, "Label6");
  Label7 = plainLabel(Frame1, "Label7");
  OODay = new QComboBox(Frame1);
  OODay->setObjectName(QStringLiteral("OODay"));
  OODay->addItems(ScheduleDayItems());
  OOOnTime = lineEdit(Frame1, "OOOnTime");
  OOOffTime = lineEdit(Frame1, "OOOffTime");
  OOPreset = lineEdit(Frame1, "OOPreset");
  for (QLineEdit *e : {OOOnTime, OOOffTime}) {
    e->setPlaceholderText(QStringLiteral("hh:mm"));
    e->setMaxLength(5);
    e->setMaximumWidth(70);
  }
  OOOnTime->setText(QStringLiteral("00:00"));
  OOOffTime->setText(QStringLiteral("00:00"));
  OOPreset->setText(QStringLiteral("1"));
  OOPreset->setMaximumWidth(50);
  OOList = new QListWidget(Frame1);
  OOList->setObjectName(QStringLiteral("OOList"));
  OOList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  OOAddBtn = button(Frame1, "OOAddBtn");
  OODelBtn = button(Frame1, "OODelBtn");
  auto *left = new QGridLayout;
  left->addWidget(Label3, 0, 0);
  left->addWidget(OODay, 0, 1, 1, 3);
  left->addWidget(Label4, 1, 0);
  left->addWidget(OOOnTime, 1, 1);
  left->addWidget(Label5, 1, 2, Qt::AlignRight);
  left->addWidget(OOOffTime, 1, 3);
  left->addWidget(Label6, 2, 0);
  left->addWidget(OOPreset, 2, 1);
  left->addWidget(OOAddBtn, 3, 0, 1, 4);
  left->setRowStretch(4, 1);
  auto *right = new QVBoxLayout;
  right->addWidget(Label7);
  right->addWidget(OOList, 1);
  right->addWidget(OODelBtn);
  f1->addLayout(left, 0, 0);
  f1->addLayout(right, 0, 1);
  f1->setColumnStretch(1, 1);
  connect(OOAddBtn, &QPushButton::clicked, this, &Pref::OOAddBtn_Click);
  connect(OODelBtn, &QPushButton::clicked, this, &Pref::OODelBtn_Click);
  g3->addWidget(Frame3, 0, 0);
  g3->addWidget(Frame2, 0, 1);
  g3->addWidget(Frame1, 1, 0, 1, 2);
  g3->setRowStretch(1, 1);
  tabs->addTab(t3, QString());

  // Tab 4: folders.
  auto *t4 = new QWidget;
  auto *l4 = new QVBoxLayout(t4);
  Frame7 = frame(t4, "Frame7");
  auto *f7 = new QGridLayout(Frame7);
  Label9 = plainLabel(Frame7, "Label9");
  Label1 = plainLabel(Frame7, "Label1");
  Label14 = plainLabel(Frame7, "Label14");
  LyrDir = lineEdit(Frame7, "LyrDir");
  VisPLD = lineEdit(Frame7, "VisPLD");
  SkinPath = lineEdit(Frame7, "SkinPath");
  LyrDir->setReadOnly(true);
  VisPLD->setReadOnly(true);
  Command1 = button(Frame7, "Command1", QStringLiteral("..."));
  cSetVPD = button(Frame7, "cSetVPD", QStringLiteral("..."));
  cSetSkinDir = button(Frame7, "cSetSkinDir", QStringLiteral("..."));
  int row = 0;
  for (auto [label, box, btn] : {std::tuple{Label9, LyrDir, Command1}, std::tuple{Label1, VisPLD, cSetVPD},
                                  std::tuple{Label14, SkinPath, cSetSkinDir}}) {
    btn->setMaximumWidth(40);
    f7->addWidget(label, row++, 0, 1, 2);
    f7->addWidget(box, row, 0);
    f7->addWidget(btn, row++, 1);
  }
  l4->addWidget(Frame7);
  l4->addStretch();
  connect(Command1, &QPushButton::clicked, this, [this] {
    pickFolder(LyrDir, &General::LyricPath, QStringLiteral("Select Default Lyric Directory:"));
  });
  connect(cSetVPD, &QPushButton::clicked, this, [this] {
    pickFolder(VisPLD, &General::VisPLPath, QStringLiteral("Select Initial VisPL Directory:"));
  });
  connect(cSetSkinDir, &QPushButton::clicked, this, [this] {
    pickFolder(SkinPath, &General::SkinPath, QStringLiteral("Select Skin Directory:"));
  });
  connect(cSelDir, &QPushButton::clicked, this, [this] {
    pickFolder(StartFile, &General::StartFile, QStringLiteral("Select Start File/Directory:"));
  });
  connect(cSelFile, &QPushButton::clicked, this, [this] {
    if (!host_.openFile) return;
    const QString file = host_.openFile(QStringLiteral("Open Media file"), kStartFilter, g_.Path);
    if (file.isEmpty()) return;
    if (host_.rememberPath) host_.rememberPath(DirPart(file));
    StartFile->setText(file);
  });
  tabs->addTab(t4, QString());

  // Tab 5: other.
  auto *t5 = new QWidget;
  auto *g5 = new QGridLayout(t5);
  Label10 = plainLabel(t5, "Label10");
  Combo1 = new QComboBox(t5);
  Combo1->setObjectName(QStringLiteral("Combo1"));
  Label15 = plainLabel(t5, "Label15");
  trans = new QComboBox(t5);
  trans->setObjectName(QStringLiteral("trans"));
  Label13 = plainLabel(t5, "Label13");
  TimeIntro = lineEdit(t5, "TimeIntro");
  TimeIntro->setMaximumWidth(80);
  auto *upload = new QGroupBox(t5);
  auto *gu = new QGridLayout(upload);
  Check1 = check("Check1", &General::SubmitLyric);
  auto *optGroup = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    Option1[static_cast<size_t>(i)] = new QRadioButton(upload);
    Option1[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Option1_%1").arg(i));
    optGroup->addButton(Option1[static_cast<size_t>(i)], i);
  }
  Label11 = plainLabel(upload, "Label11");
  Label12 = plainLabel(upload, "Label12");
  Text1 = lineEdit(upload, "Text1");
  Text2 = lineEdit(upload, "Text2");
  Text2->setEchoMode(QLineEdit::Password);
  gu->addWidget(Check1, 0, 0, 1, 3);
  gu->addWidget(Option1[0], 1, 0, 1, 3);
  gu->addWidget(Option1[1], 2, 0, 1, 3);
  gu->addWidget(Label11, 3, 0);
  gu->addWidget(Text1, 3, 1);
  gu->addWidget(Label12, 4, 0);
  gu->addWidget(Text2, 4, 1);
  gu->setColumnStretch(2, 1);
  g5->addWidget(Label10, 0, 0);
  g5->addWidget(Combo1, 0, 1);
  g5->addWidget(Label15, 1, 0);
  g5->addWidget(trans, 1, 1);
  g5->addWidget(Label13, 2, 0);
  g5->addWidget(TimeIntro, 2, 1);
  g5->addWidget(upload, 3, 0, 1, 3);
  g5->setColumnStretch(2, 1);
  g5->setRowStretch(4, 1);
  connect(Check1, &QCheckBox::toggled, this, &Pref::Establece_Opciones);
  connect(optGroup, &QButtonGroup::idClicked, this, [this](int id) {
    g_.TypeLyric = static_cast<qint16>(id);
    Establece_Opciones();
  });
  tabs->addTab(t5, QString());

  // Tab 6: plug-ins.
  auto *t6 = new QWidget;
  auto *g6 = new QGridLayout(t6);
  Label16 = plainLabel(t6, "Label16");
  Label17 = plainLabel(t6, "Label17");
  List1 = new QListWidget(t6);
  List1->setObjectName(QStringLiteral("List1"));
  List2 = new QListWidget(t6);
  List2->setObjectName(QStringLiteral("List2"));
  List2->setSelectionMode(QAbstractItemView::NoSelection);
  Command2 = button(t6, "Command2");
  g6->addWidget(Label16, 0, 0);
  g6->addWidget(Label17, 0, 1);
  g6->addWidget(List1, 1, 0);
  g6->addWidget(List2, 1, 1);
  g6->addWidget(Command2, 2, 0, Qt::AlignLeft);
  connect(Command2, &QPushButton::clicked, this, &Pref::Command2_Click);
  tabs->addTab(t6, QString());

  cmdOK = button(this, "cmdOK");
  cmdOK->setDefault(true);
  cmdOK->setMinimumWidth(90);
  auto *bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(cmdOK);
  outer->addLayout(bottom);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(cSelSkin, &QPushButton::clicked, this, [this] {
    if (host_.selectSkin) host_.selectSkin();
    if (host_.skinInfo) SkinInf->setText(host_.skinInfo());
  });

  captions_ = [this] {
    const std::pair<QWidget *, int> table[] = {
        {Frame9, 78},     {cSelSkin, 79},    {optView[0], 80},    {optView[1], 81},      {optView[2], 82},
        {optView[3], 83}, {Frame4, 84},      {Frame6, 85},        {StartOpt[0], 86},     {StartOpt[1], 87},
        {StartOpt[2], 88}, {cSelFile, 89},   {cSelDir, 90},       {cbStartMin, 91},      {Frame5, 92},
        {cbSaveWin, 93},  {Frame10, 94},     {Label2, 95},        {fraSample1, 96},      {cbOnTop, 97},
        {cbSnap, 98},     {Frame8, 99},      {cbTimeFmt, 100},    {cbClrPl, 101},        {cbAutoPlay, 102},
        {cbScrollName, 103}, {cbTagCover, 104}, {cbFriendly, 105}, {cbAutoRegistry, 106}, {cbAskForIt, 107},
        {cbAlbum, 108},   {cbArtist, 109},   {Frame3, 110},       {cbAutoEn, 111},       {cbMinOnSnz, 112},
        {Frame2, 113},    {SnzMd[0], 114},   {Label8, 115},       {SnzMd[1], 116},       {cbSnoozeEn, 117},
        {Frame1, 118},    {Label3, 119},     {OOAddBtn, 120},     {Label4, 121},         {Label5, 122},
        {Label6, 123},    {OODelBtn, 124},   {Label7, 125},       {Frame7, 126},         {Label14, 127},
        {Label1, 128},    {Label9, 129},     {Label10, 130},      {Check1, 131},         {Option1[0], 132},
        {Option1[1], 133}, {Label11, 134},   {Label12, 135},      {Label13, 136},        {Label15, 137},
        {Label16, 138},   {Label17, 139},    {Command2, 140},     {cmdOK, 141}};
    for (const auto &[w, n] : table) caption(w, n);
  };

  // Text boxes write their settings on every change.
  connect(SnoozeAt, &QLineEdit::textChanged, this, [this](const QString &t) {
    const QString hhmm = NormalizeClockTime(t);
    g_.SnoozeTime = hhmm.isEmpty() ? t : hhmm;
  });
  connect(SnoozeAt, &QLineEdit::editingFinished, this, [this] {
    if (SnoozeAt->text() != g_.SnoozeTime) SnoozeAt->setText(g_.SnoozeTime);
  });
  connect(StartFile, &QLineEdit::textChanged, this, [this](const QString &t) { g_.StartFile = t; });
  connect(SkinPath, &QLineEdit::textChanged, this, [this](const QString &t) { g_.SkinPath = t; });
  connect(Text1, &QLineEdit::textChanged, this, [this](const QString &t) { g_.Nick = t; });
  connect(Text2, &QLineEdit::textChanged, this, [this](const QString &t) { g_.Pwd = t; });
  connect(ValExt, &QLineEdit::textChanged, this, [this](const QString &t) { g_.ValidExt = t; });
  connect(TimeIntro, &QLineEdit::textChanged, this, [this](const QString &t) { g_.TimeIntro = toInt16(t); });
  connect(PBOverlap, &QLineEdit::textChanged, this, [this](const QString &t) { g_.PBOverlap = toInt16(t); });
  connect(trans, &QComboBox::activated, this, [this](int) { g_.Transparency = toInt16(trans->currentText()); });
  connect(SnzMin, &QComboBox::currentTextChanged, this,
          [this](const QString &t) { g_.SnoozeMinutes = -toInt32(t); });
  connect(Combo1, &QComboBox::textActivated, this, &Pref::chooseLanguage);
}

void Pref::Form_Load() {
  // 1. Languages.
  Combo1->addItems(ListLanguages(host_.dataFolders));
  // 3. Controls from the settings (check boxes were set when made).
  SnzMd[g_.SnoozeMode != 0 ? 1 : 0]->setChecked(true);
  StartOpt[static_cast<size_t>(qBound(0, int(g_.StartMd), 2))]->setChecked(true);
  SnoozeAt->setText(g_.SnoozeTime);
  StartFile->setText(g_.StartFile);
  SkinPath->setText(g_.SkinPath);
  VisPLD->setText(g_.VisPLPath);
  LyrDir->setText(g_.LyricPath);
  TimeIntro->setText(QString::number(g_.TimeIntro));
  ValExt->setText(g_.ValidExt);
  PBOverlap->setText(QString::number(g_.PBOverlap));
  Combo1->setCurrentIndex(Combo1->findText(g_.Language, Qt::MatchFixedString));
  Option1[g_.TypeLyric == 1 ? 1 : 0]->setChecked(true);
  Text1->setText(g_.Nick);
  Text2->setText(g_.Pwd);
  Establece_Opciones();
  // 4. Day box and snooze minutes; choosing "30" sets the countdown to -30.
  OODay->setCurrentIndex(OODay->count() - 1);
  SnzMin->addItems(SnoozeMinuteItems());
  SnzMin->setCurrentIndex(SnzMin->findText(QStringLiteral("30")));
  // 5. Skin information and document 0.
  if (host_.skinInfo) SkinInf->setText(host_.skinInfo());
  optView[0]->setChecked(true);
  ShowDocument(0);
  // 6. The main window leaves the always-on-top state while this is open.
  if (host_.setOnTop) host_.setOnTop(false);
  // 7. Transparency list.
  trans->addItems(TransparencyItems());
  trans->setCurrentIndex(qBound(0, g_.Transparency - 30, trans->count() - 1));
  // 8. Plug-in lists.
  if (host_.plugins) {
    const PluginListing p = host_.plugins->ListPlugins(g_);
    List1->addItems(p.List1);
    List1->setCurrentRow(p.List1Selected);
    List2->addItems(p.List2);
  }
  CambiaIdioma();
  // Centre on the screen.
  adjustSize();
  if (const QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
}

void Pref::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  Form_Activate();
}

void Pref::Form_Activate() {
  if (host_.scheduleList) {
    const QStringList list = host_.scheduleList();
    for (int i = 0; i < list.size(); ++i) {
      if (i < OOList->count())
        OOList->item(i)->setText(list[i]);
      else
        OOList->addItem(list[i]);
    }
  }
  if (host_.skinInfo) SkinInf->setText(host_.skinInfo());
}

void Pref::done(int r) {
  Form_Unload();
  QDialog::done(r);
}

void Pref::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  Command2_Click();
  if (host_.applyTransparency) host_.applyTransparency();
  if (host_.setOnTop) host_.setOnTop(g_.WinOnTop != 0);
}

void Pref::CambiaIdioma() {
  const int open = tabs->currentIndex();
  for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, g_.message(msg::PrefsTabFirst + i));
  tabs->setCurrentIndex(open);
  captions_();
}

void Pref::Establece_Opciones() {
  const bool upload = Check1->isChecked();
  Option1[0]->setEnabled(upload);
  Option1[1]->setEnabled(upload);
  // The name and password (and their labels) only count with "my Id".
  const bool id = upload && Option1[1]->isChecked();
  for (QWidget *w : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Text2), static_cast<QWidget *>(Label11),
                     static_cast<QWidget *>(Label12)})
    w->setEnabled(id);
}

void Pref::ShowDocument(int index) {
  txtMsg->setPlainText(ReadDocument(host_.dataFolders, index));
}

void Pref::chooseLanguage(const QString &name) {
  if (name != g_.Language) {
    g_.Language = name;
    LoadLanguage(host_.dataFolders, g_.Language, g_.Messages);
    if (host_.reloadTray) host_.reloadTray();
  }
  CambiaIdioma();
}

void Pref::OOAddBtn_Click() {
  const ScheduleEntryResult r =
      MakeScheduleEntry(OODay->currentText(), OOOnTime->text(), OOOffTime->text(), OOPreset->text());
  if (r.outcome == ScheduleEntryResult::Outcome::BadTime) {
    if (host_.showMessage)
      host_.showMessage(QStringLiteral("Please enter the times as hh:mm, for example 07:30."));
    return;
  }
  if (r.outcome != ScheduleEntryResult::Outcome::Added) return;
  OOList->addItem(r.entry);
  copyScheduleToMain();
}

void Pref::OODelBtn_Click() {
  const int i = OOList->currentRow();
  if (i < 0 || !OOList->currentItem() || !OOList->currentItem()->isSelected()) return;
  delete OOList->takeItem(i);
  const int next = SelectionAfterDelete(i, OOList->count());
  OOList->setCurrentRow(next);
  if (next < 0) OOList->clearSelection();
  copyScheduleToMain();
}

void Pref::copyScheduleToMain() {
  if (!host_.setScheduleList) return;
  QStringList list;
  for (int i = 0; i < OOList->count(); ++i) list << OOList->item(i)->text();
  host_.setScheduleList(list);
}

void Pref::Command2_Click() {
  if (!host_.plugins || !List1->currentItem()) return;
  host_.plugins->ApplyVisPlugin(g_, List1->currentItem()->text());
}

void Pref::pickFolder(QLineEdit *box, QString General::*setting, const QString &prompt) {
  if (!host_.browseForFolder) return;
  const QString folder = host_.browseForFolder(prompt, box->text());
  if (folder.isEmpty()) return;
  const QString withSep = AddBackslash(folder);
  box->setText(withSep);
  g_.*setting = withSep;
}

void ShowPreferences(General &g, PrefsHost host, QWidget *parent) {
  if (Pref::current() && Pref::current()->isVisible()) return;
  if (host.setOnTop) host.setOnTop(false);
  Pref w(g, std::move(host), parent);
  w.exec();
}

}  // namespace cantorel
