#include "desktop/news_message_window.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/text_codec.h"
#include "prefs/message_ids.h"

namespace cantorel {

frmMensajes::frmMensajes(const General &g, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmMensajes"));
  setWindowModality(Qt::ApplicationModal);
  setStyleSheet(QStringLiteral(
      "#frmMensajes { background: #1d2430; border: 1px solid #2c3646; }"
      "QLabel { color: #cfd8e3; }"
      "QLabel#Label2 { color: #e8eef7; font-weight: bold; font-size: 13pt; }"));
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setTextFormat(Qt::PlainText);
  const QString heading = g.message(msg::NewsHeading);
  Label2->setText(heading.isEmpty() ? QStringLiteral("News from Cantorel") : heading);
  setWindowTitle(plainWindowTitle(Label2->text()));
  // The message comes from the network: plain text only, never markup or links.
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->setTextInteractionFlags(Qt::NoTextInteraction);
  Label1->setWordWrap(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 20);
  layout->addWidget(Label2);
  layout->addWidget(Label1, 1);
  setMinimumWidth(360);
}

void frmMensajes::mousePressEvent(QMouseEvent *e) {
  e->accept();
  close();
}

}  // namespace cantorel
