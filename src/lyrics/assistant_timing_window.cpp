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

frmAsistente2::frmAsistente2(AssistantHost &host, QWidget *parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("frmAsistente2"));
  setModal(true);
  for (int i = 0; i < 7; ++i) {
    auto *l = new QLabel(this);
    l->setObjectName(QStringLiteral("Label1_%1").arg(i));
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    Label1[static_cast<size_t>(i)] = l;
  }
  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  QFont big = Text1->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  Text1->setFont(big);
  Text2 = new QLineEdit(this);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setFixedWidth(70);
  Text2->setPlaceholderText(QStringLiteral("m:ss"));
  List1 = new QListWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  List2 = new QListWidget(this);
  List2->setObjectName(QStringLiteral("List2"));
  List2->setFixedWidth(70);
  List1->setMinimumHeight(180);
  const auto button = [this](const char *name) {
    auto *b = new QPushButton(this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
  };
  Command1 = button("Command1");
  Command2 = button("Command2");
  Command3 = button("Command3");
  Command4 = button("Command4");
  Command5 = button("Command5");
  Command5->setMinimumHeight(40);
  Command5->setFont(big);
  Command5->setToolTip(QStringLiteral("Marks the line (Space)"));
  Frame1 = new QGroupBox(this);
  Frame2 = new QGroupBox(this);

  // Slower playback (the pitch stays) makes fast lines easier to catch.
  RateSlider = new QSlider(Qt::Horizontal, this);
  RateSlider->setObjectName(QStringLiteral("RateSlider"));
  RateSlider->setRange(kMinRatePercent, kMaxRatePercent);
  RateSlider->setSingleStep(5);
  RateSlider->setPageStep(10);
  RateSlider->setTickPosition(QSlider::TicksBelow);
  RateSlider->setTickInterval(25);
  RateSlider->setToolTip(QStringLiteral("Playback speed while timing; the pitch stays the same"));
  RateLabel = new QLabel(this);
  RateLabel->setObjectName(QStringLiteral("RateLabel"));
  RateLabel->setTextFormat(Qt::PlainText);
  RateLabel->setMinimumWidth(RateLabel->fontMetrics().horizontalAdvance(QStringLiteral("150%")) + 4);
  auto *rateCaption = new QLabel(QStringLiteral("Speed:"), this);
  rateCaption->setTextFormat(Qt::PlainText);
  KeysLabel = new QLabel(this);
  KeysLabel->setObjectName(QStringLiteral("KeysLabel"));
  KeysLabel->setTextFormat(Qt::PlainText);
  KeysLabel->setWordWrap(true);
  KeysLabel->setText(
      QStringLiteral("Keys: Space marks the line. Backspace or Ctrl+Z takes the last mark back and goes "
                     "back %1 seconds. Enter presses the button with the focus.")
          .arg(kUndoMarkSeconds));

  // Frame 1: playing and marking.
  auto *f1 = new QGridLayout(Frame1);
  for (int i = 0; i < 4; ++i) f1->addWidget(Label1[static_cast<size_t>(i)], i, 0, 1, 3);
  f1->addWidget(Text1, 4, 0, 1, 3);
  f1->addWidget(Command1, 5, 0);
  f1->addWidget(Command5, 5, 1, 1, 2);
  f1->addWidget(KeysLabel, 6, 0, 1, 3);
  auto *rate = new QHBoxLayout;
  rate->addWidget(rateCaption);
  rate->addWidget(RateSlider, 1);
  rate->addWidget(RateLabel);
  f1->addLayout(rate, 7, 0, 1, 3);
  f1->setColumnStretch(1, 1);

  // Frame 2: the recorded lines and their correction.
  auto *lists = new QHBoxLayout;
  lists->setSpacing(0);
  lists->addWidget(List1, 1);
  lists->addWidget(List2);
  auto *edit = new QHBoxLayout;
  edit->addWidget(Text2);
  edit->addWidget(Command4);
  edit->addWidget(Command3);
  edit->addStretch(1);
  auto *f2 = new QVBoxLayout(Frame2);
  f2->addLayout(lists, 1);
  f2->addWidget(Label1[4]);
  f2->addWidget(Label1[5]);
  f2->addLayout(edit);

  SaveLrc = new QCheckBox(QStringLiteral("Also save as LRC"), this);
  SaveLrc->setObjectName(QStringLiteral("SaveLrc"));
  SaveLrc->setToolTip(
      QStringLiteral("Finish also writes the lyric as an LRC file beside the song, for other players"));

  auto *bottom = new QHBoxLayout;
  bottom->addWidget(Label1[6], 1);
  bottom->addWidget(SaveLrc);
  bottom->addWidget(Command2);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Frame1);
  layout->addWidget(Frame2, 1);
  layout->addLayout(bottom);
  resize(620, 660);

  connect(Command1, &QPushButton::clicked, this, &frmAsistente2::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmAsistente2::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmAsistente2::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &frmAsistente2::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &frmAsistente2::Command5_Click);
  linkPairedLists(List1, List2);

  Form_Load();

  // The speed the main window's slider set.
  {
    const QSignalBlocker block(RateSlider);
    const float rate = static_cast<float>(host_.st.Sliders[5].Value + 0.5);
    RateSlider->setValue(std::clamp(qRound(rate * 100.0f), kMinRatePercent, kMaxRatePercent));
    RateLabel->setText(Transport::rateText(rate));
  }
  connect(RateSlider, &QSlider::valueChanged, this, &frmAsistente2::rateChanged);

  // The keys work wherever the focus is in the window.
  installEventFilter(this);
  for (QWidget *w : findChildren<QWidget *>()) w->installEventFilter(this);
}

void frmAsistente2::rateChanged(int percent) {
  // As the main window's slider 5 does: its value 0..1 is the rate - 0.5.
  const double value = percent / 100.0 - 0.5;
  host_.st.Sliders[5].Value = value;
  host_.transport.SetRate(value);
  RateLabel->setText(Transport::rateText(static_cast<float>(value + 0.5)));
}

frmAsistente2::Key frmAsistente2::keyRole(QObject *target, const QKeyEvent *e) const {
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

bool frmAsistente2::eventFilter(QObject *watched, QEvent *e) {
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
        Command5_Click();
        break;
      case Key::Undo:
        UndoMark();
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

void frmAsistente2::UndoMark() {
  if (!buttons_.canUndo(recorded_.count())) return;
  MainState &st = host_.st;
  const double at = st.Elapsed;
  undoLastMark(recorded_, cursor_);
  refreshLists();
  if (recorded_.count() > 0) List1->setCurrentRow(recorded_.count() - 1);
  Text1->setText(toMark_.value(cursor_));
  // Marking the last line stopped playback: it plays again from where it
  // stopped, so that line can be marked anew.
  if (!st.Playing) host_.transport.PlayIt(0);
  host_.transport.PlayFrom(undoMarkSecond(at));
  buttons_.unmarked(recorded_.count(), st.Playing != 0, st.Paused != 0);
  showButtons();
}

void frmAsistente2::Form_Load() {
  General &g = host_.g;
  setWindowTitle(assistantText(g, msg::AssistantTimingCaption));
  for (int i = 0; i < 7; ++i)
    Label1[static_cast<size_t>(i)]->setText(g.message(msg::AssistantTimingHelpFirst + i));
  Command3->setText(assistantText(g, msg::AssistantCancelEdit));
  Command4->setText(assistantText(g, msg::AssistantEdit));
  Command2->setText(assistantText(g, msg::AssistantFinish));

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
  Text1->setText(toMark_.value(0));
  recorded_.clear();
  refreshLists();
  showButtons();
}

bool frmAsistente2::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate && host_.keepMainBelow) host_.keepMainBelow();
  return QDialog::event(e);
}

void frmAsistente2::showButtons() {
  const General &g = host_.g;
  Command1->setText(assistantText(g, buttons_.playCaption()));
  Command5->setText(assistantText(g, buttons_.markCaption()));
  Command5->setEnabled(buttons_.markEnabled());
  Command2->setEnabled(buttons_.finishEnabled());
  Command3->setEnabled(buttons_.cancelEnabled());
  Text1->setReadOnly(!buttons_.editFieldsEnabled());
  Text2->setEnabled(buttons_.editFieldsEnabled());
  List1->setEnabled(buttons_.listsEnabled());
  List2->setEnabled(buttons_.listsEnabled());
}

void frmAsistente2::refreshLists() {
  const QSignalBlocker b1(List1), b2(List2);
  List1->clear();
  List2->clear();
  List1->addItems(recorded_.texts);
  List2->addItems(recorded_.times);
}

int frmAsistente2::selected() const {
  const int row = List1->currentRow();
  return recorded_.valid(row) ? row : -1;
}

void frmAsistente2::clearSelection() {
  List1->setCurrentRow(-1);
  List2->setCurrentRow(-1);
  List1->clearSelection();
  List2->clearSelection();
}

void frmAsistente2::Command1_Click() {
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

void frmAsistente2::Command5_Click() {
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

void frmAsistente2::markLine() {
  // The time exactly as the main window shows it at this press.
  const QString time = host_.elapsedText ? host_.elapsedText() : QString();
  recorded_.texts.append(Text1->text());
  recorded_.times.append(time);
  List1->addItem(Text1->text());
  List2->addItem(time);
  List1->setCurrentRow(recorded_.count() - 1);
  ++cursor_;
  const bool complete = cursor_ >= toMark_.size();
  if (!complete) {
    Text1->setText(toMark_[cursor_]);
  } else {
    host_.transport.StopIt();
    Text1->clear();
  }
  buttons_.marked(complete);
  showButtons();
}

void frmAsistente2::Command4_Click() {
  const int i = selected();
  if (i < 0) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantNothingToEdit));
    return;
  }
  Text1->setText(recorded_.texts[i]);
  Text2->setText(recorded_.times[i]);
  buttons_.editStarted();
  showButtons();
}

void frmAsistente2::applyEdit() {
  if (!isValidMarkTime(Text2->text())) {
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
  if (Text1->text().isEmpty()) {
    host_.desktop.showMessage(assistantText(host_.g, msg::AssistantEmptyLine));
    return;
  }
  recorded_.replace(i, Text1->text(), Text2->text());
  List1->item(i)->setText(Text1->text());
  List2->item(i)->setText(Text2->text());
  buttons_.editApplied();
  showButtons();
  clearSelection();
}

void frmAsistente2::Command3_Click() {
  Text1->clear();
  Text2->clear();
  buttons_.editCancelled();
  showButtons();
  Text1->setFocus();
  clearSelection();
}

void frmAsistente2::Command2_Click() {
  General &g = host_.g;
  const QString path = GrabaLetra(host_.st.SongPath, g.Tag);
  QStringList texts, times;
  if (!path.isEmpty()) {
    texts = recorded_.texts;
    times = recorded_.times;
    QString error;
    if (!WriteLyricFile(path, texts, times, &error))
      host_.desktop.showMessage(QStringLiteral("The lyric could not be saved in %1: %2").arg(path, error));
    host_.lyric.PlLyrics = texts;
    host_.lyric.PlTimes = times;
    written_ = path;
    if (SaveLrc->isChecked()) {
      // The same name with ".lrc": the lyric's two forms side by side.
      const QString base =
          path.endsWith(QLatin1String(".qvl"), Qt::CaseInsensitive) ? path.left(path.size() - 4) : path;
      const QString lrc = base + QStringLiteral(".lrc");
      if (WriteLrcFile(lrc, texts, times, g.Tag, &error))
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
    host_.desktop.showMessage(QStringLiteral("The lyric was not sent: there is no lyric service to send it to."));
  else
    SubmitTimedLyric(g, path, texts, times, host_.onlineCheck);
  accept();
}

bool ShowLyricAssistant(AssistantHost &host, QWidget *parent) {
  if (host.st.SongPath.isEmpty()) return false;
  bool timing = false;
  {
    frmAsistente text(host, parent);
    text.exec();
    timing = text.goToTiming();
  }
  if (timing) {
    frmAsistente2 timingWindow(host, parent);
    timingWindow.exec();
  }
  // The entry starts again, which loads the lyric just written.
  host.transport.StopIt();
  host.transport.PlayIt(0);
  return true;
}

}  // namespace cantorel
