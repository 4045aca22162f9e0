#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/atomic_file.h"
#include "core/general.h"
#include "core/main_state.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_assistant_window.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_search.h"
#include "lyrics/paired_lists_gui.h"
#include "platform/desktop_services.h"
#include "playlist/paths.h"
#include "playlist/playlist_commands_gui.h"
#include "prefs/message_ids.h"

namespace cantorel {

namespace {

QLabel *helpLabel(QWidget *parent) {
  auto *l = new QLabel(parent);
  l->setTextFormat(Qt::PlainText);
  l->setWordWrap(true);
  return l;
}

QPushButton *button(QWidget *parent, const char *name) {
  auto *b = new QPushButton(parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

frmAsistente::frmAsistente(AssistantHost &host, QWidget *parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("frmAsistente"));
  setModal(true);
  for (int i = 1; i <= 7; ++i) {
    Etiquetas[static_cast<size_t>(i)] = helpLabel(this);
    Etiquetas[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Etiquetas%1").arg(i));
  }
  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text2 = new QLineEdit(this);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setMaximumWidth(70);
  Text2->setPlaceholderText(placeholderTime());
  List1 = new QListWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  List2 = new QListWidget(this);
  List2->setObjectName(QStringLiteral("List2"));
  List2->setFixedWidth(70);
  List1->setMinimumHeight(200);
  Command1 = button(this, "Command1");
  Command2 = button(this, "Command2");
  Command3 = button(this, "Command3");
  Command4 = button(this, "Command4");
  Command5 = button(this, "Command5");
  Command6 = button(this, "Command6");
  Command7 = button(this, "Command7");
  Command8 = button(this, "Command8");
  Frame1 = new QGroupBox(this);
  Frame2 = new QGroupBox(this);
  Frame3 = new QGroupBox(this);

  // Frame 1: typing a line.
  auto *f1 = new QGridLayout(Frame1);
  f1->addWidget(Etiquetas[1], 0, 0, 1, 3);
  f1->addWidget(Etiquetas[2], 1, 0, 1, 3);
  f1->addWidget(Text1, 2, 0);
  f1->addWidget(Text2, 2, 1);
  f1->addWidget(Command1, 2, 2);
  f1->setColumnStretch(0, 1);

  // Frame 2: the lines and what can be done with one.
  auto *lists = new QHBoxLayout;
  lists->setSpacing(0);
  lists->addWidget(List1, 1);
  lists->addWidget(List2);
  auto *side = new QVBoxLayout;
  side->addWidget(Command4);
  side->addWidget(Command2);
  side->addWidget(Command7);
  side->addStretch(1);
  auto *f2 = new QGridLayout(Frame2);
  f2->addLayout(lists, 0, 0);
  f2->addLayout(side, 0, 1);
  f2->addWidget(Etiquetas[4], 1, 0, 1, 2);
  f2->addWidget(Etiquetas[5], 2, 0, 1, 2);
  f2->addWidget(Etiquetas[6], 3, 0, 1, 2);
  f2->setColumnStretch(0, 1);

  // Frame 3: lines from files.
  auto *f3 = new QGridLayout(Frame3);
  f3->addWidget(Etiquetas[3], 0, 0, 1, 3);
  f3->addWidget(Command3, 1, 0);
  f3->addWidget(Command8, 1, 1);
  f3->setColumnStretch(2, 1);

  auto *bottom = new QHBoxLayout;
  bottom->addWidget(Etiquetas[7], 1);
  bottom->addWidget(Command5);
  bottom->addWidget(Command6);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(Frame2, 1);
  layout->addWidget(Frame3);
  layout->addLayout(bottom);
  resize(620, 640);

  connect(Command1, &QPushButton::clicked, this, &frmAsistente::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmAsistente::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmAsistente::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &frmAsistente::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &frmAsistente::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &frmAsistente::Command6_Click);
  connect(Command7, &QPushButton::clicked, this, &frmAsistente::Command7_Click);
  connect(Command8, &QPushButton::clicked, this, &frmAsistente::Command8_Click);
  // Enter in the line field acts as the add (or apply) button.
  connect(Text1, &QLineEdit::returnPressed, this, &frmAsistente::Command1_Click);
  linkPairedLists(List1, List2);

  Form_Load();
}

void frmAsistente::Form_Load() {
  const General &g = host_.g;
  setWindowTitle(assistantText(g, msg::AssistantTextCaption));
  Command1->setText(assistantText(g, msg::AssistantAdd));
  Command2->setText(assistantText(g, msg::AssistantDelete));
  Command3->setText(assistantText(g, msg::AssistantLoadText));
  Command4->setText(assistantText(g, msg::AssistantModify));
  Command5->setText(assistantText(g, msg::AssistantClose));
  Command6->setText(assistantText(g, msg::AssistantSaveAndTime));
  Command7->setText(QStringLiteral("Clear All"));
  Command8->setText(assistantText(g, msg::AssistantImport));
  for (int i = 1; i <= 7; ++i)
    Etiquetas[static_cast<size_t>(i)]->setText(g.message(msg::AssistantTextHelpFirst + i - 1));

  // The lyric already found for the song, with its times. A lyric that was
  // not found leaves a failure text as its only line (and no time): that is
  // not a lyric line.
  lines_.clear();
  LyricLines &lyric = host_.lyric;
  if (!lyric.PlLyrics.isEmpty()) {
    if (lyric.PlLyrics.first() != g.message(msg::LyricNotFound) &&
        lyric.PlTimes.size() == lyric.PlLyrics.size()) {
      lines_.texts = lyric.PlLyrics.mid(0, kMaxLyricEntries);
      lines_.times = lyric.PlTimes.mid(0, kMaxLyricEntries);
    } else {
      lyric.clear();
    }
  }
  // Without a timed lyric, a plain lyric in the song's tag is the text to time.
  if (lines_.count() == 0 && !g.Facts.plain.isEmpty()) lines_.append(g.Facts.plain.text.split(u'\n'));
  refreshLists();
  Command6->setEnabled(lines_.count() > 0);
}

bool frmAsistente::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate && host_.keepMainBelow) host_.keepMainBelow();
  return QDialog::event(e);
}

void frmAsistente::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  QTimer::singleShot(0, Text1, [this] { Text1->setFocus(); });
}

void frmAsistente::refreshLists() {
  const QSignalBlocker b1(List1), b2(List2);
  List1->clear();
  List2->clear();
  // Texts from files are shown as they are: list items never render markup.
  List1->addItems(lines_.texts);
  List2->addItems(lines_.times);
  List1->setCurrentRow(-1);
  List2->setCurrentRow(-1);
}

int frmAsistente::selected() const {
  const int row = List1->currentRow();
  return lines_.valid(row) ? row : -1;
}

void frmAsistente::clearSelection() {
  List1->setCurrentRow(-1);
  List2->setCurrentRow(-1);
  List1->clearSelection();
  List2->clearSelection();
}

void frmAsistente::Command1_Click() {
  const General &g = host_.g;
  if (!modifying_) {
    if (Text1->text().isEmpty()) {
      host_.desktop.showMessage(assistantText(g, msg::AssistantEmptyLine));
      return;
    }
    if (!lines_.add(Text1->text(), selected())) return;
    refreshLists();
    Text1->clear();
    clearSelection();
    Text1->setFocus();
    Command6->setEnabled(true);
    return;
  }
  // Apply: an empty line would make the file unreadable (an empty text
  // line), so it is refused as adding one is; an empty time is the
  // placeholder, for the same reason.
  if (Text1->text().isEmpty()) {
    host_.desktop.showMessage(assistantText(g, msg::AssistantEmptyLine));
    return;
  }
  const QString time = Text2->text().isEmpty() ? placeholderTime() : Text2->text();
  // The entry may have been deleted or cleared meanwhile: nothing to replace.
  lines_.replace(selected(), Text1->text(), time);
  refreshLists();
  Text1->clear();
  Text2->clear();
  Command5->setEnabled(false);
  List1->setEnabled(true);
  List2->setEnabled(true);
  modifying_ = false;
  Command1->setText(assistantText(g, msg::AssistantAdd));
  clearSelection();
}

void frmAsistente::Command2_Click() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToDelete));
    return;
  }
  lines_.remove(i);
  refreshLists();
  Command6->setEnabled(lines_.count() > 0);
}

void frmAsistente::Command3_Click() {
  int filter = 1;
  const QString f =
      host_.dialogs.openFile(QStringLiteral("Open TXT file"), QStringLiteral("TXT Files|*.TXT|All Files|*.*"),
                             host_.g.Path, &filter);
  if (f.isEmpty()) return;
  if (host_.rememberFolder) host_.rememberFolder(DirPart(f));
  QStringList lines;
  if (!readPlainLyricFile(f, &lines)) return;
  lines_.append(lines);
  refreshLists();
  clearSelection();
  Text1->setFocus();
  Command6->setEnabled(lines_.count() > 0);
}

void frmAsistente::Command4_Click() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToModify));
    return;
  }
  Text1->setText(lines_.texts[i]);
  Text2->setText(lines_.times[i]);
  Command5->setEnabled(true);
  modifying_ = true;
  Command1->setText(assistantText(host_.g, msg::AssistantApply));
  List1->setEnabled(false);
  List2->setEnabled(false);
}

void frmAsistente::Command5_Click() {
  reject();
}

void frmAsistente::Command6_Click() {
  if (lines_.count() == 0) return;
  General &g = host_.g;
  const QString r = GrabaLetra(host_.st.SongPath, g.SongTag);
  g.LastLyricFile = r;
  LyricLines &lyric = host_.lyric;
  if (r.isEmpty()) {
    lyric.clear();
    reject();
    return;
  }
  QString error;
  if (!WriteLyricFile(r, lines_.texts, lines_.times, &error))
    host_.desktop.showMessage(QStringLiteral("The lyric could not be saved in %1: %2").arg(r, error));
  lyric.PlLyrics = lines_.texts;
  lyric.PlTimes = lines_.times;
  g.LyricLineCount = static_cast<qint16>(lines_.count());
  g.LyricNext = 0;
  goToTiming_ = true;
  accept();
}

void frmAsistente::Command7_Click() {
  lines_.clear();
  refreshLists();
  Command6->setEnabled(false);
}

void frmAsistente::Command8_Click() {
  const QString song = FilePart(host_.st.SongPath);
  if (song.isEmpty()) return;  // no song to put it beside
  int filter = 1;
  const QString f = host_.dialogs.openFile(QStringLiteral("Open TXT file"),
                                           QStringLiteral("QVL Files|*.QVL|LRC Files|*.LRC|All Files|*.*"),
                                           host_.g.Path, &filter);
  if (f.isEmpty()) return;
  if (host_.rememberFolder) host_.rememberFolder(DirPart(f));
  General &g = host_.g;
  // Beside the song, named after it (the dot is looked for in the file name
  // only, so a dotted folder name cannot move the file elsewhere).
  const qsizetype dot = song.lastIndexOf(QLatin1Char('.'));
  const QString target =
      DirPart(host_.st.SongPath) + (dot < 0 ? song : song.left(dot)) + QStringLiteral(".qvl");
  // Only a readable timed lyric replaces the one beside the song: a wrong
  // file chosen must not destroy a good lyric.
  LyricLines check;
  const LyricStatus s = isLrcFileName(f) ? LyricStatus::BadHeader : readLyricFileStatus(f, check);
  if (s == LyricStatus::BadHeader) {
    // An LRC file (by its name, or by its content under another name).
    QByteArray head;
    if (isLrcFileName(f) || (readFileLimited(f, kMaxLyricFileBytes, &head) && looksLikeLrc(head))) {
      importLrc(f, target);
      return;
    }
  }
  if (s != LyricStatus::Correct) {
    host_.desktop.showMessage(lyricStatusText(s, g));
    return;
  }
  QByteArray bytes;
  // Read whole, then replaced whole: importing the file onto itself keeps it.
  if (!readFileLimited(f, kMaxLyricFileBytes, &bytes) || !writeFileAtomically(target, bytes)) {
    host_.desktop.showMessage(QStringLiteral("The lyric could not be copied to %1.").arg(target));
    return;
  }
  LoadLyricFor(f, g, host_.lyric);
  reject();
}

void frmAsistente::importLrc(const QString &file, const QString &target) {
  General &g = host_.g;
  LyricLines imported;
  const LyricStatus s = readLrcFile(file, imported);
  if (s != LyricStatus::Correct) {
    host_.desktop.showMessage(lyricStatusText(s, g));
    return;
  }
  // Its lines and the times the time display shows for them, in our own
  // format beside the song, as a timed-lyric import puts it there. The LRC
  // file itself is left as it is.
  QString error;
  if (!WriteLyricFile(target, imported.PlLyrics, imported.PlTimes, &error)) {
    host_.desktop.showMessage(QStringLiteral("The lyric could not be saved in %1: %2").arg(target, error));
    return;
  }
  LoadLyricFor(target, g, host_.lyric);
  reject();
}

}  // namespace cantorel
