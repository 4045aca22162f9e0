#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/general.h"
#include "core/main_state.h"
#include "lyrics/lrc_file.h"
#include "lyrics/lyric_assistant_window.h"
#include "lyrics/lyric_file.h"
#include "lyrics/lyric_search.h"
#include "lyrics/lyric_submission.h"
#include "lyrics/paired_lists_gui.h"
#include "platform/desktop_services.h"
#include "playback/transport.h"
#include "prefs/message_ids.h"

namespace cantorel {

namespace {

// The speed range of the main window's slider 5.
constexpr int kMinRatePercent = 50;
constexpr int kMaxRatePercent = 150;

}  // namespace

LyricTimingDialog::LyricTimingDialog(AssistantHost &host, QWidget *parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("LyricTimingDialog"));
  setModal(true);
  for (int i = 0; i < 7; ++i) {
    auto *l = new QLabel(this);
    l->setObjectName(QStringLiteral("helpLabel%1").arg(i));
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    helpLabels[static_cast<size_t>(i)] = l;
  }
  lyricEdit = new QLineEdit(this);
  lyricEdit->setObjectName(QStringLiteral("lyricEdit"));
  QFont big = lyricEdit->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  lyricEdit->setFont(big);
  timeEdit = new QLineEdit(this);
  timeEdit->setObjectName(QStringLiteral("timeEdit"));
  timeEdit->setFixedWidth(70);
  timeEdit->setPlaceholderText(QStringLiteral("m:ss"));
  lyricList = new QListWidget(this);
  lyricList->setObjectName(QStringLiteral("lyricList"));
  timeList = new QListWidget(this);
  timeList->setObjectName(QStringLiteral("timeList"));
  timeList->setFixedWidth(70);
  lyricList->setMinimumHeight(180);
  const auto button = [this](const char *name) {
    auto *b = new QPushButton(this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  playButton = button("playButton");
  finishButton = button("finishButton");
  cancelEditButton = button("cancelEditButton");
  editButton = button("editButton");
  markButton = button("markButton");
  markButton->setMinimumHeight(40);
  markButton->setFont(big);
  markButton->setToolTip(QStringLiteral("Marks the line (Space)"));
  markingGroup = new QGroupBox(this);
  recordedGroup = new QGroupBox(this);

  // Slower playback (the pitch stays) makes fast lines easier to catch.
  rateSlider = new QSlider(Qt::Horizontal, this);
  rateSlider->setObjectName(QStringLiteral("rateSlider"));
  rateSlider->setRange(kMinRatePercent, kMaxRatePercent);
  rateSlider->setSingleStep(5);
  rateSlider->setPageStep(10);
  rateSlider->setTickPosition(QSlider::TicksBelow);
  rateSlider->setTickInterval(25);
  rateSlider->setToolTip(QStringLiteral("Playback speed while timing; the pitch stays the same"));
  rateLabel = new QLabel(this);
  rateLabel->setObjectName(QStringLiteral("rateLabel"));
  rateLabel->setTextFormat(Qt::PlainText);
  rateLabel->setMinimumWidth(rateLabel->fontMetrics().horizontalAdvance(QStringLiteral("150%")) + 4);
  auto *rateCaption = new QLabel(QStringLiteral("Speed:"), this);
  rateCaption->setTextFormat(Qt::PlainText);
  keysLabel = new QLabel(this);
  keysLabel->setObjectName(QStringLiteral("keysLabel"));
  keysLabel->setTextFormat(Qt::PlainText);
  keysLabel->setWordWrap(true);
  keysLabel->setText(
      QStringLiteral("Keys: Space marks the line. Backspace or Ctrl+Z takes the last mark back and goes "
                     "back %1 seconds. Enter presses the button with the focus.")
          .arg(kUndoMarkSeconds));

  // Playing and marking.
  auto *f1 = new QGridLayout(markingGroup);
  for (int i = 0; i < 4; ++i) f1->addWidget(helpLabels[static_cast<size_t>(i)], i, 0, 1, 3);
  f1->addWidget(lyricEdit, 4, 0, 1, 3);
  f1->addWidget(playButton, 5, 0);
  f1->addWidget(markButton, 5, 1, 1, 2);
  f1->addWidget(keysLabel, 6, 0, 1, 3);
  auto *rate = new QHBoxLayout;
  rate->addWidget(rateCaption);
  rate->addWidget(rateSlider, 1);
  rate->addWidget(rateLabel);
  f1->addLayout(rate, 7, 0, 1, 3);
  f1->setColumnStretch(1, 1);

  // The recorded lines and their correction.
  auto *lists = new QHBoxLayout;
  lists->setSpacing(0);
  lists->addWidget(lyricList, 1);
  lists->addWidget(timeList);
  auto *edit = new QHBoxLayout;
  edit->addWidget(timeEdit);
  edit->addWidget(editButton);
  edit->addWidget(cancelEditButton);
  edit->addStretch(1);
  auto *f2 = new QVBoxLayout(recordedGroup);
  f2->addLayout(lists, 1);
  f2->addWidget(helpLabels[4]);
  f2->addWidget(helpLabels[5]);
  f2->addLayout(edit);

  saveLrcCheck = new QCheckBox(QStringLiteral("Also save as LRC"), this);
  saveLrcCheck->setObjectName(QStringLiteral("saveLrcCheck"));
  saveLrcCheck->setToolTip(
      QStringLiteral("Finish also writes the lyric as an LRC file beside the song, for other players"));

  auto *bottom = new QHBoxLayout;
  bottom->addWidget(helpLabels[6], 1);
  bottom->addWidget(saveLrcCheck);
  bottom->addWidget(finishButton);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(markingGroup);
  layout->addWidget(recordedGroup, 1);
  layout->addLayout(bottom);
  resize(620, 660);

  connect(playButton, &QPushButton::clicked, this, &LyricTimingDialog::onPlayClicked);
  connect(finishButton, &QPushButton::clicked, this, &LyricTimingDialog::onFinishClicked);
  connect(cancelEditButton, &QPushButton::clicked, this, &LyricTimingDialog::onCancelEditClicked);
  connect(editButton, &QPushButton::clicked, this, &LyricTimingDialog::onEditClicked);
  connect(markButton, &QPushButton::clicked, this, &LyricTimingDialog::onMarkClicked);
  linkPairedLists(lyricList, timeList);

  populate();

  // The speed the main window's slider set.
  {
    const QSignalBlocker block(rateSlider);
    const float rate = static_cast<float>(host_.st.Sliders[5].Value + 0.5);
    rateSlider->setValue(std::clamp(qRound(rate * 100.0f), kMinRatePercent, kMaxRatePercent));
    rateLabel->setText(Transport::rateText(rate));
  }
  connect(rateSlider, &QSlider::valueChanged, this, &LyricTimingDialog::rateChanged);

  // The keys work wherever the focus is in the window.
  installEventFilter(this);
  for (QWidget *w : findChildren<QWidget *>()) w->installEventFilter(this);
}

void LyricTimingDialog::rateChanged(int percent) {
  // As the main window's slider 5 does: its value 0..1 is the rate - 0.5.
  const double value = percent / 100.0 - 0.5;
  host_.st.Sliders[5].Value = value;
  host_.transport.SetRate(value);
  rateLabel->setText(Transport::rateText(static_cast<float>(value + 0.5)));
}

LyricTimingDialog::Key LyricTimingDialog::keyRole(QObject *target, const QKeyEvent *e) const {
  // A field open for typing (while an entry is edited) keeps its keys.
  if (auto *edit = qobject_cast<QLineEdit *>(target); edit && edit->isEnabled() && !edit->isReadOnly())
    return Key::Pass;
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  // Space marks while the mark button marks; while an entry is edited it
  // presses the focused button as usual.
  if (e->key() == Qt::Key_Space && mods == Qt::NoModifier)
    return buttons_.mark() == TimingButtons::Mark::Mark ? Key::Mark : Key::Pass;
  if ((e->key() == Qt::Key_Backspace && mods == Qt::NoModifier) || e->matches(QKeySequence::Undo))
    return Key::Undo;
  // With Space taken, Enter is how the keyboard presses a button here.
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && mods == Qt::NoModifier &&
      qobject_cast<QAbstractButton *>(target))
    return Key::Press;
  return Key::Pass;
}

bool LyricTimingDialog::eventFilter(QObject *watched, QEvent *e) {
  const QEvent::Type type = e->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
    return QDialog::eventFilter(watched, e);
  auto *key = static_cast<QKeyEvent *>(e);
  const Key role = keyRole(watched, key);
  if (role == Key::Pass) return QDialog::eventFilter(watched, e);
  if (type == QEvent::ShortcutOverride) {
    // The key comes here as a key press, not as some shortcut's.
    e->accept();
    return true;
  }
  // A key held down marks once; the press and the release are both kept
  // from the focused widget, so a focused button is not pressed as well.
  if (type == QEvent::KeyPress && !key->isAutoRepeat()) {
    switch (role) {
      case Key::Mark:
        onMarkClicked();
        break;
      case Key::Undo:
        undoMark();
        break;
      case Key::Press:
        if (auto *b = qobject_cast<QAbstractButton *>(watched); b && b->isEnabled()) b->click();
        break;
      case Key::Pass:
        break;
    }
  }
  return true;
}

void LyricTimingDialog::undoMark() {
  if (!buttons_.canUndo(recorded_.count())) return;
  MainState &st = host_.st;
  const double at = st.Elapsed;
  undoLastMark(recorded_, cursor_);
  marksMs_.resize(recorded_.count());
  refreshLists();
  if (recorded_.count() > 0) lyricList->setCurrentRow(recorded_.count() - 1);
  lyricEdit->setText(toMark_.value(cursor_));
  // Marking the last line stopped playback: it plays again from where it
  // stopped, so that line can be marked anew.
  if (!st.Playing) host_.transport.PlayIt(0);
  host_.transport.PlayFrom(undoMarkSecond(at));
  buttons_.unmarked(recorded_.count(), st.Playing != 0, st.Paused != 0);
  showButtons();
}

void LyricTimingDialog::populate() {
  General &g = host_.g;
  setWindowTitle(assistantText(g, msg::AssistantTimingCaption));
  for (int i = 0; i < 7; ++i)
    helpLabels[static_cast<size_t>(i)]->setText(g.message(msg::AssistantTimingHelpFirst + i));
  cancelEditButton->setText(assistantText(g, msg::AssistantCancelEdit));
  editButton->setText(assistantText(g, msg::AssistantEdit));
  finishButton->setText(assistantText(g, msg::AssistantFinish));

  // Marked times are elapsed times.
  host_.transport.StopIt();
  host_.st.TimeFlag = 0;
  cursor_ = 0;
  // The lines to mark are kept here: starting playback searches the song's
  // lyric again, and a name the search does not try (a song tagged with an
  // artist only) would otherwise swap the lines for the failure text.
  toMark_ = host_.lyric.PlLyrics;
  const QString r = ReadLyricFile(g.LastLyricFile, g, host_.lyric);
  if (r == lyricCorrectText())
    toMark_ = host_.lyric.PlLyrics;
  else if (r != g.message(msg::LyricNotFound))
    host_.desktop.showMessage(r);
  lyricEdit->setText(toMark_.value(0));
  recorded_.clear();
  marksMs_.clear();
  refreshLists();
  showButtons();
}

bool LyricTimingDialog::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate && host_.keepMainBelow) host_.keepMainBelow();
  return QDialog::event(e);
}

void LyricTimingDialog::showButtons() {
  const General &g = host_.g;
  playButton->setText(assistantText(g, buttons_.playCaption()));
  markButton->setText(assistantText(g, buttons_.markCaption()));
  markButton->setEnabled(buttons_.markEnabled());
  finishButton->setEnabled(buttons_.finishEnabled());
  cancelEditButton->setEnabled(buttons_.cancelEnabled());
  lyricEdit->setReadOnly(!buttons_.editFieldsEnabled());
  timeEdit->setEnabled(buttons_.editFieldsEnabled());
  lyricList->setEnabled(buttons_.listsEnabled());
  timeList->setEnabled(buttons_.listsEnabled());
}

void LyricTimingDialog::refreshLists() {
  const QSignalBlocker b1(lyricList), b2(timeList);
  lyricList->clear();
  timeList->clear();
  lyricList->addItems(recorded_.texts);
  timeList->addItems(recorded_.times);
}

int LyricTimingDialog::selected() const {
  const int row = lyricList->currentRow();
  return recorded_.valid(row) ? row : -1;
}

void LyricTimingDialog::clearSelection() {
  lyricList->setCurrentRow(-1);
  timeList->setCurrentRow(-1);
  lyricList->clearSelection();
  timeList->clearSelection();
}

void LyricTimingDialog::onPlayClicked() {
  const MainState &st = host_.st;
  if (buttons_.play() == TimingButtons::Play::Start) {
    host_.transport.PlayIt(0);
    buttons_.started();
  } else {
    host_.transport.PlayPause();
    buttons_.toggled(st.Paused != 0, st.Playing != 0);
  }
  showButtons();
}

void LyricTimingDialog::onMarkClicked() {
  switch (buttons_.click()) {
    case TimingButtons::Action::Record:
      markLine();
      break;
    case TimingButtons::Action::Apply:
      applyEdit();
      break;
    case TimingButtons::Action::None:
      break;
  }
}

void LyricTimingDialog::markLine() {
  // The player's position at this press, read once: as the time display
  // shows it, and in milliseconds for the LRC form.
  const double at = std::clamp(host_.transport.Position(), 0.0, 2147483647.0);
  const QString time = Transport::timeText(static_cast<qint32>(Transport::roundEven(at)), false);
  recorded_.texts.append(lyricEdit->text());
  recorded_.times.append(time);
  marksMs_.append(std::llround(at * 1000));
  lyricList->addItem(lyricEdit->text());
  timeList->addItem(time);
  lyricList->setCurrentRow(recorded_.count() - 1);
  ++cursor_;
  const bool complete = cursor_ >= toMark_.size();
  if (!complete) {
    lyricEdit->setText(toMark_[cursor_]);
  } else {
    host_.transport.StopIt();
    lyricEdit->clear();
  }
  buttons_.marked(complete);
  showButtons();
}

void LyricTimingDialog::onEditClicked() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToEdit));
    return;
  }
  lyricEdit->setText(recorded_.texts[i]);
  timeEdit->setText(recorded_.times[i]);
  buttons_.editStarted();
  showButtons();
}

void LyricTimingDialog::applyEdit() {
  if (!isValidMarkTime(timeEdit->text())) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantBadTime));
    return;
  }
  // After a cancel the button keeps its apply role with nothing selected:
  // there is then nothing to replace.
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToEdit));
    return;
  }
  // An empty text line would make the file unreadable.
  if (lyricEdit->text().isEmpty()) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantEmptyLine));
    return;
  }
  // A time typed by hand holds whole seconds only.
  if (recorded_.times[i] != timeEdit->text() && i < marksMs_.size()) marksMs_[i] = -1;
  recorded_.replace(i, lyricEdit->text(), timeEdit->text());
  lyricList->item(i)->setText(lyricEdit->text());
  timeList->item(i)->setText(timeEdit->text());
  buttons_.editApplied();
  showButtons();
  clearSelection();
}

void LyricTimingDialog::onCancelEditClicked() {
  lyricEdit->clear();
  timeEdit->clear();
  buttons_.editCancelled();
  showButtons();
  lyricEdit->setFocus();
  clearSelection();
}

void LyricTimingDialog::onFinishClicked() {
  General &g = host_.g;
  const QString path = LyricWritePath(host_.st.SongPath, g.SongTag);
  QStringList texts, times;
  if (!path.isEmpty()) {
    texts = recorded_.texts;
    times = recorded_.times;
    QString error;
    if (!WriteLyricFile(path, texts, times, &error))
      host_.desktop.showMessage(QStringLiteral("The lyric could not be saved in %1: %2").arg(path, error));
    host_.lyric.PlLyrics = texts;
    host_.lyric.PlTimes = times;
    host_.lyric.PlStampsMs.clear();  // whole seconds, as written
    written_ = path;
    if (saveLrcCheck->isChecked()) {
      // The same name with ".lrc": the lyric's two forms side by side.
      const QString base =
          path.endsWith(QLatin1String(".qvl"), Qt::CaseInsensitive) ? path.left(path.size() - 4) : path;
      const QString lrc = base + QStringLiteral(".lrc");
      if (WriteLrcFile(lrc, texts, times, g.SongTag, &error, marksMs_))
        writtenLrc_ = lrc;
      else
        host_.desktop.showMessage(
            QStringLiteral("The LRC file could not be saved in %1: %2").arg(lrc, error));
    }
  }
  // Sent when "SubmitLyric" is 1 and the machine is online; the request runs
  // on by itself, so the window closes at once. Without a service address the
  // user who asked for it hears that it went nowhere.
  if (g.SubmitLyric == 1 && g.SubmitURL.isEmpty())
    host_.desktop.showMessage(
        QStringLiteral("The lyric was not sent: there is no lyric service to send it to."));
  else
    SubmitTimedLyric(g, path, texts, times, host_.onlineCheck);
  accept();
}

bool ShowLyricAssistant(AssistantHost &host, QWidget *parent) {
  if (host.st.SongPath.isEmpty()) return false;
  bool timing = false;
  {
    LyricTextDialog text(host, parent);
    text.exec();
    timing = text.goToTiming();
  }
  if (timing) {
    LyricTimingDialog timingWindow(host, parent);
    timingWindow.exec();
  }
  // The entry starts again, which loads the lyric just written.
  host.transport.StopIt();
  host.transport.PlayIt(0);
  return true;
}

}  // namespace cantorel
