#pragma once

#include <QWidget>

#include "core/general.h"

class QLabel;

namespace cantorel {

// The news message from the server: a heading and the message, shown as plain
// text. A click anywhere on it closes it.
class NewsMessageWindow : public QWidget {
  Q_OBJECT
 public:
  explicit NewsMessageWindow(const General &g, QWidget *parent = nullptr);

  QLabel *messageLabel = nullptr;  // the message
  QLabel *headingLabel = nullptr;  // the heading

 protected:
  void mousePressEvent(QMouseEvent *e) override;
};

}  // namespace cantorel
