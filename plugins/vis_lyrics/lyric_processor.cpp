#include "lyric_processor.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "lyric_window.h"

LyricProcessor::LyricProcessor(QObject *parent) : QObject(parent) {}

QString LyricProcessor::GetDescription() const {
  return QStringLiteral("Full-screen lyrics: the current lyric line, large, across the screen.");
}

LyricProcessor::~LyricProcessor() {
  delete window_.data();
}

void LyricProcessor::init_plugin(const QString &tip, qint64 foreColour, qint64 backColour,
                                 const QString &fontName, bool bold, double fontSize, double left, double top,
                                 int, int) {
  // Windows need a widget application; a player without one gets nothing.
  if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
    qWarning("qv_plugin: no widget application, the lyric window cannot open");
    return;
  }
  if (!window_) window_ = new LyricWindow;
  const cantorel::sdk::Rgb fore = cantorel::sdk::colourFromBgr(foreColour);
  const cantorel::sdk::Rgb back = cantorel::sdk::colourFromBgr(backColour);
  window_->setLook(QColor(fore.red, fore.green, fore.blue), QColor(back.red, back.green, back.blue), fontName,
                   bold, fontSize);
  window_->setToolTip(tip);
  window_->setLine(line_);

  // The screen where the player's lyric line sits (left and top are twips
  // inside the player's window), else the one under the pointer.
  QScreen *screen = nullptr;
  if (QWidget *player = QApplication::activeWindow(); player && player != window_) {
    const QPoint at = player->mapToGlobal(QPoint(static_cast<int>(left / 15), static_cast<int>(top / 15)));
    screen = QGuiApplication::screenAt(at);
    if (!screen) screen = player->screen();
  }
  if (!screen) screen = QGuiApplication::primaryScreen();
  window_->showOn(screen);
}

void LyricProcessor::show_lyric(const QString &text) {
  line_ = text;
  if (window_) window_->setLine(text);
}

bool LyricProcessor::IsShown() const {
  return window_ && window_->isVisible();
}

QString LyricProcessor::CurrentLine() const {
  return window_ ? window_->line() : line_;
}
