#pragma once

#include <QWidget>

#include "core/general.h"

class QLabel;

namespace cantorel {

// The news message from the server: a heading and the message, shown as plain
// text. A click anywhere on it closes it.
class frmMensajes : public QWidget {
  Q_OBJECT
 public:
  explicit frmMensajes(const General &g, QWidget *parent = nullptr);

  QLabel *Label1 = nullptr;  // the message
  QLabel *Label2 = nullptr;  // the heading

 protected:
  void mousePressEvent(QMouseEvent *e) override;
};

}  // namespace cantorel
