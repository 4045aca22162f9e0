#include "desktop/news_message_window.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/text_codec.h"
#include "prefs/message_ids.h"

namespace cantorel {

NewsMessageWindow::NewsMessageWindow(const General &g, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("NewsMessageWindow"));
  setWindowModality(Qt::ApplicationModal);
  setStyleSheet(QStringLiteral(
      "#NewsMessageWindow { background: #1d2430; border: 1px solid #2c3646; }"
      "QLabel { color: #cfd8e3; }"
      "QLabel#headingLabel { color: #e8eef7; font-weight: bold; font-size: 13pt; }"));
  headingLabel = new QLabel(this);
  headingLabel->setObjectName(QStringLiteral("headingLabel"));
  headingLabel->setTextFormat(Qt::PlainText);
  const QString heading = g.message(msg::NewsHeading);
  headingLabel->setText(heading.isEmpty() ? QStringLiteral("News from Cantorel") : heading);
  setWindowTitle(plainWindowTitle(headingLabel->text()));
  // The message comes from the network: plain text only, never markup or links.
  messageLabel = new QLabel(this);
  messageLabel->setObjectName(QStringLiteral("messageLabel"));
  messageLabel->setTextFormat(Qt::PlainText);
  messageLabel->setTextInteractionFlags(Qt::NoTextInteraction);
  messageLabel->setWordWrap(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 20);
  layout->addWidget(headingLabel);
  layout->addWidget(messageLabel, 1);
  setMinimumWidth(360);
}

void NewsMessageWindow::mousePressEvent(QMouseEvent *e) {
  e->accept();
  close();
}

}  // namespace cantorel
