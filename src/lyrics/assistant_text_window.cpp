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

LyricTextDialog::LyricTextDialog(AssistantHost &host, QWidget *parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("LyricTextDialog"));
  setModal(true);
  for (int i = 1; i <= 7; ++i) {
    helpLabels[static_cast<size_t>(i)] = helpLabel(this);
    helpLabels[static_cast<size_t>(i)]->setObjectName(QStringLiteral("helpLabel%1").arg(i));
  }
  lyricEdit = new QLineEdit(this);
  lyricEdit->setObjectName(QStringLiteral("lyricEdit"));
  timeEdit = new QLineEdit(this);
  timeEdit->setObjectName(QStringLiteral("timeEdit"));
  timeEdit->setMaximumWidth(70);
  timeEdit->setPlaceholderText(placeholderTime());
  lyricList = new QListWidget(this);
  lyricList->setObjectName(QStringLiteral("lyricList"));
  timeList = new QListWidget(this);
  timeList->setObjectName(QStringLiteral("timeList"));
  timeList->setFixedWidth(70);
  lyricList->setMinimumHeight(200);
  addButton = button(this, "addButton");
  deleteButton = button(this, "deleteButton");
  loadTextButton = button(this, "loadTextButton");
  modifyButton = button(this, "modifyButton");
  closeButton = button(this, "closeButton");
  saveAndTimeButton = button(this, "saveAndTimeButton");
  clearButton = button(this, "clearButton");
  importButton = button(this, "importButton");
  lineGroup = new QGroupBox(this);
  linesGroup = new QGroupBox(this);
  filesGroup = new QGroupBox(this);

  // Typing a line.
  auto *f1 = new QGridLayout(lineGroup);
  f1->addWidget(helpLabels[1], 0, 0, 1, 3);
  f1->addWidget(helpLabels[2], 1, 0, 1, 3);
  f1->addWidget(lyricEdit, 2, 0);
  f1->addWidget(timeEdit, 2, 1);
  f1->addWidget(addButton, 2, 2);
  f1->setColumnStretch(0, 1);

  // The lines and what can be done with one.
  auto *lists = new QHBoxLayout;
  lists->setSpacing(0);
  lists->addWidget(lyricList, 1);
  lists->addWidget(timeList);
  auto *side = new QVBoxLayout;
  side->addWidget(modifyButton);
  side->addWidget(deleteButton);
  side->addWidget(clearButton);
  side->addStretch(1);
  auto *f2 = new QGridLayout(linesGroup);
  f2->addLayout(lists, 0, 0);
  f2->addLayout(side, 0, 1);
  f2->addWidget(helpLabels[4], 1, 0, 1, 2);
  f2->addWidget(helpLabels[5], 2, 0, 1, 2);
  f2->addWidget(helpLabels[6], 3, 0, 1, 2);
  f2->setColumnStretch(0, 1);

  // Lines from files.
  auto *f3 = new QGridLayout(filesGroup);
  f3->addWidget(helpLabels[3], 0, 0, 1, 3);
  f3->addWidget(loadTextButton, 1, 0);
  f3->addWidget(importButton, 1, 1);
  f3->setColumnStretch(2, 1);

  auto *bottom = new QHBoxLayout;
  bottom->addWidget(helpLabels[7], 1);
  bottom->addWidget(closeButton);
  bottom->addWidget(saveAndTimeButton);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(lineGroup);
  layout->addWidget(linesGroup, 1);
  layout->addWidget(filesGroup);
  layout->addLayout(bottom);
  resize(620, 640);

  connect(addButton, &QPushButton::clicked, this, &LyricTextDialog::onAddClicked);
  connect(deleteButton, &QPushButton::clicked, this, &LyricTextDialog::onDeleteClicked);
  connect(loadTextButton, &QPushButton::clicked, this, &LyricTextDialog::onLoadTextClicked);
  connect(modifyButton, &QPushButton::clicked, this, &LyricTextDialog::onModifyClicked);
  connect(closeButton, &QPushButton::clicked, this, &LyricTextDialog::onCloseClicked);
  connect(saveAndTimeButton, &QPushButton::clicked, this, &LyricTextDialog::onSaveAndTimeClicked);
  connect(clearButton, &QPushButton::clicked, this, &LyricTextDialog::onClearClicked);
  connect(importButton, &QPushButton::clicked, this, &LyricTextDialog::onImportClicked);
  // Enter in the line field acts as the add (or apply) button.
  connect(lyricEdit, &QLineEdit::returnPressed, this, &LyricTextDialog::onAddClicked);
  linkPairedLists(lyricList, timeList);

  populate();
}

void LyricTextDialog::populate() {
  const General &g = host_.g;
  setWindowTitle(assistantText(g, msg::AssistantTextCaption));
  addButton->setText(assistantText(g, msg::AssistantAdd));
  deleteButton->setText(assistantText(g, msg::AssistantDelete));
  loadTextButton->setText(assistantText(g, msg::AssistantLoadText));
  modifyButton->setText(assistantText(g, msg::AssistantModify));
  closeButton->setText(assistantText(g, msg::AssistantClose));
  saveAndTimeButton->setText(assistantText(g, msg::AssistantSaveAndTime));
  clearButton->setText(QStringLiteral("Clear All"));
  importButton->setText(assistantText(g, msg::AssistantImport));
  for (int i = 1; i <= 7; ++i)
    helpLabels[static_cast<size_t>(i)]->setText(g.message(msg::AssistantTextHelpFirst + i - 1));

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
  // Else untimed text found online for the song is offered as the lines to
  // time (blank lines, which a lyric file cannot hold, left out).
  if (lines_.count() == 0) {
    for (const QString &line : g.PlainLyric)
      if (!line.trimmed().isEmpty() && !lines_.add(line)) break;
  }
  refreshLists();
  saveAndTimeButton->setEnabled(lines_.count() > 0);
}

bool LyricTextDialog::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate && host_.keepMainBelow) host_.keepMainBelow();
  return QDialog::event(e);
}

void LyricTextDialog::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  QTimer::singleShot(0, lyricEdit, [this] { lyricEdit->setFocus(); });
}

void LyricTextDialog::refreshLists() {
  const QSignalBlocker b1(lyricList), b2(timeList);
  lyricList->clear();
  timeList->clear();
  // Texts from files are shown as they are: list items never render markup.
  lyricList->addItems(lines_.texts);
  timeList->addItems(lines_.times);
  lyricList->setCurrentRow(-1);
  timeList->setCurrentRow(-1);
}

int LyricTextDialog::selected() const {
  const int row = lyricList->currentRow();
  return lines_.valid(row) ? row : -1;
}

void LyricTextDialog::clearSelection() {
  lyricList->setCurrentRow(-1);
  timeList->setCurrentRow(-1);
  lyricList->clearSelection();
  timeList->clearSelection();
}

void LyricTextDialog::onAddClicked() {
  const General &g = host_.g;
  if (!modifying_) {
    if (lyricEdit->text().isEmpty()) {
      host_.desktop.showMessage(assistantText(g, msg::AssistantEmptyLine));
      return;
    }
    if (!lines_.add(lyricEdit->text(), selected())) return;
    refreshLists();
    lyricEdit->clear();
    clearSelection();
    lyricEdit->setFocus();
    saveAndTimeButton->setEnabled(true);
    return;
  }
  // Apply: an empty line would make the file unreadable (an empty text
  // line), so it is refused as adding one is; an empty time is the
  // placeholder, for the same reason.
  if (lyricEdit->text().isEmpty()) {
    host_.desktop.showMessage(assistantText(g, msg::AssistantEmptyLine));
    return;
  }
  const QString time = timeEdit->text().isEmpty() ? placeholderTime() : timeEdit->text();
  // The entry may have been deleted or cleared meanwhile: nothing to replace.
  lines_.replace(selected(), lyricEdit->text(), time);
  refreshLists();
  lyricEdit->clear();
  timeEdit->clear();
  closeButton->setEnabled(false);
  lyricList->setEnabled(true);
  timeList->setEnabled(true);
  modifying_ = false;
  addButton->setText(assistantText(g, msg::AssistantAdd));
  clearSelection();
}

void LyricTextDialog::onDeleteClicked() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToDelete));
    return;
  }
  lines_.remove(i);
  refreshLists();
  saveAndTimeButton->setEnabled(lines_.count() > 0);
}

void LyricTextDialog::onLoadTextClicked() {
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
  lyricEdit->setFocus();
  saveAndTimeButton->setEnabled(lines_.count() > 0);
}

void LyricTextDialog::onModifyClicked() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToModify));
    return;
  }
  lyricEdit->setText(lines_.texts[i]);
  timeEdit->setText(lines_.times[i]);
  closeButton->setEnabled(true);
  modifying_ = true;
  addButton->setText(assistantText(host_.g, msg::AssistantApply));
  lyricList->setEnabled(false);
  timeList->setEnabled(false);
}

void LyricTextDialog::onCloseClicked() {
  reject();
}

void LyricTextDialog::onSaveAndTimeClicked() {
  if (lines_.count() == 0) return;
  General &g = host_.g;
  const QString r = LyricWritePath(host_.st.SongPath, g.SongTag);
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
  lyric.PlStampsMs.clear();  // whole seconds, as written
  g.LyricLineCount = static_cast<qint16>(lines_.count());
  g.LyricNext = 0;
  goToTiming_ = true;
  accept();
}

void LyricTextDialog::onClearClicked() {
  lines_.clear();
  refreshLists();
  saveAndTimeButton->setEnabled(false);
}

void LyricTextDialog::onImportClicked() {
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

void LyricTextDialog::importLrc(const QString &file, const QString &target) {
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
  joinSameSecond(imported);
  QString error;
  if (!WriteLyricFile(target, imported.PlLyrics, imported.PlTimes, &error)) {
    host_.desktop.showMessage(QStringLiteral("The lyric could not be saved in %1: %2").arg(target, error));
    return;
  }
  LoadLyricFor(target, g, host_.lyric);
  reject();
}

}  // namespace cantorel
